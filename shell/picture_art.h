// The program's own picture resources, drawn in code by resource id: track
// tiles at both zoom levels, direction triangles, the fleet marker and the
// internal train icons. Each comes back as an indexed image whose colour table
// holds only the colours it uses, in a fixed order, so that a colour change is
// a rewrite of one table entry and never touches a pixel.
#pragma once

#include <QColor>
#include <QImage>

namespace art {

// The colours the pictures are drawn in and recoloured with.
inline constexpr QRgb kBlack = 0xFF000000;
inline constexpr QRgb kWhite = 0xFFFFFFFF;
inline constexpr QRgb kRed = 0xFFFF0000;
inline constexpr QRgb kBrightGreen = 0xFF00FF00;
inline constexpr QRgb kBlue = 0xFF0000FF;
inline constexpr QRgb kYellow = 0xFFFFFF00;
inline constexpr QRgb kMaroon = 0xFF800000;
inline constexpr QRgb kGreen = 0xFF008000;
inline constexpr QRgb kNavy = 0xFF000080;
inline constexpr QRgb kOlive = 0xFF808000;
inline constexpr QRgb kPurple = 0xFF800080;
inline constexpr QRgb kTeal = 0xFF008080;
inline constexpr QRgb kGray = 0xFF808080;
inline constexpr QRgb kLightGray = 0xFFC0C0C0;
inline constexpr QRgb kCyan = 0xFF00FFFF;
inline constexpr QRgb kMagenta = 0xFFFF00FF;

inline constexpr int kTiles = 31;
// The straight piece a switch lying normal shows in place of its own tile.
inline constexpr int kNormalSwitchTile = 26;
// Resource ids of the track tiles: [tile][zoom level 0 (16-pixel cells), 1 (8-pixel cells)].
inline constexpr int kTileResource[kTiles][2] = {
    {1, 46},   {25, 75}, {17, 69}, {2, 47},  {3, 48},  {4, 49},    {5, 50},   {6, 51},    {7, 52},  {22, 72}, {24, 74},
    {10, 55},  {11, 58}, {13, 63}, {14, 65}, {12, 61}, {19, 71},   {18, 70},  {28, 78},   {27, 77}, {26, 76}, {15, 67},
    {60, 128}, {62, 88}, {64, 89}, {66, 90}, {8, 53},  {104, 131}, {96, 109}, {103, 120}, {21, 108}};
// Triangles pointing right, left, up, down: [shape][level].
inline constexpr int kTriangleResource[4][2] = {{9, 54}, {23, 73}, {29, 79}, {30, 80}};
// The fleet marker: [level].
inline constexpr int kFleetMarkerResource[2] = {16, 68};

// The picture of a resource id, or a null image for an id the program does not carry.
QImage ResourcePicture(int resourceId);

// The first colour-table entry of that colour, or -1.
int FindColour(const QImage& image, QRgb colour);
// Rewrites one colour-table entry; index -1 changes nothing.
void SetColour(QImage& image, int index, QRgb colour);

}  // namespace art
