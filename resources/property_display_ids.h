// The read-only property displays of switches and blocks: templates and control ids.
#pragma once

#include <array>

namespace res {

// Switch Information.
inline constexpr int IDD_SWITCH_INFORMATION = 26;
inline constexpr int IDC_SWITCH_NUMBER = 7296;
inline constexpr int IDC_SWITCH_NAME = 7330;
inline constexpr int IDC_SWITCH_CONTROL_NAME = 134;
inline constexpr int IDC_SWITCH_OS_POINT = 136;
inline constexpr int IDC_SWITCH_REVERSE_LEFT = 7299;
inline constexpr int IDC_SWITCH_REVERSE_LEFT_LABEL = 103;
inline constexpr int IDC_SWITCH_REVERSE_RIGHT = 7298;
inline constexpr int IDC_SWITCH_REVERSE_RIGHT_LABEL = 104;
inline constexpr int IDC_SWITCH_NORMAL_LEFT = 7300;
inline constexpr int IDC_SWITCH_NORMAL_RIGHT = 7305;
inline constexpr int IDC_SWITCH_SPEED_HEADING = 107;
inline constexpr int IDC_PROPERTY_HELP = 141;

inline constexpr int kTypeSlots = 10;
// Reverse speeds by train type slot: slots 0-4 in the left column pair, 5-9 in the right.
inline constexpr std::array<int, kTypeSlots> kSwitchTypeNames = {112, 113, 114, 115, 117, 123, 124, 125, 126, 127};
inline constexpr std::array<int, kTypeSlots> kSwitchTypeSpeeds = {118, 119, 120, 121, 122, 128, 129, 130, 131, 132};

// Block Properties: the General Block Data page.
inline constexpr int IDD_BLOCK_GENERAL = 11;
inline constexpr int IDC_BLOCK_NUMBER = 7296;
inline constexpr int IDC_BLOCK_TRACK_NAME = 7330;
inline constexpr int IDC_BLOCK_CONNECTOR = 7328;
inline constexpr int IDC_BLOCK_LEFT_DEVICE = 530;
inline constexpr int IDC_BLOCK_LEFT_LOCATION = 7293;
inline constexpr int IDC_BLOCK_RIGHT_DEVICE = 531;
inline constexpr int IDC_BLOCK_RIGHT_LOCATION = 7297;
inline constexpr int IDC_BLOCK_SIGNALLED_LEFT = 200;
inline constexpr int IDC_BLOCK_SIGNALLED_RIGHT = 130;
inline constexpr int IDC_BLOCK_LENGTH = 7305;
inline constexpr int IDC_BLOCK_LENGTH_UNIT = 135;
inline constexpr int IDC_BLOCK_LEFT_EXIT_SIGNAL = 128;
inline constexpr int IDC_BLOCK_RIGHT_EXIT_SIGNAL = 129;
inline constexpr int IDC_BLOCK_CREW_POINT = 109;
inline constexpr int IDC_BLOCK_CREW_DELAY = 7335;
inline constexpr int IDC_BLOCK_CREW_SEND = 117;
inline constexpr int IDC_BLOCK_PLATFORM = 7329;
inline constexpr int IDC_BLOCK_AREA = 122;
inline constexpr std::array<int, 3> kBlockDetectors = {127, 125, 126};
inline constexpr int IDC_BLOCK_REMOTE_MONITOR = 132;
inline constexpr int IDC_BLOCK_OS_POINT = 137;

// Block Properties: the Block Speeds page, one row per train type slot.
inline constexpr int IDD_BLOCK_SPEEDS = 10;
inline constexpr int IDC_BLOCK_SPEED_HEADING = 113;
struct BlockSpeedRowIds {
  int Name;
  std::array<int, 5> Left;   // NONE, ONE, TWO, HELPER, STARTUP
  std::array<int, 5> Right;  // the same
};
inline constexpr std::array<BlockSpeedRowIds, kTypeSlots> kBlockSpeedRows = {{
    {115, {7313, 7318, 7317, 148, 177}, {7314, 7319, 7322, 174, 215}},
    {101, {110, 126, 135, 151, 198}, {144, 153, 162, 175, 216}},
    {102, {111, 127, 136, 158, 199}, {145, 154, 163, 176, 217}},
    {103, {112, 128, 137, 159, 230}, {146, 155, 190, 191, 218}},
    {104, {116, 129, 138, 160, 207}, {147, 156, 165, 178, 219}},
    {105, {117, 130, 139, 161, 208}, {149, 157, 166, 179, 220}},
    {106, {118, 131, 140, 164, 209}, {150, 202, 167, 180, 221}},
    {107, {120, 132, 141, 171, 210}, {205, 211, 168, 181, 222}},
    {108, {124, 133, 142, 172, 213}, {204, 206, 169, 182, 223}},
    {109, {125, 134, 143, 173, 214}, {152, 212, 170, 183, 224}},
}};
inline constexpr int kBlockHelperColumn = 3;

}  // namespace res
