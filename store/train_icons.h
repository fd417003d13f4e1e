// The program's own train pictures: 21 icon slots, three per train type 0-6
// (left locomotive, right locomotive, car). Track files name a picture by the
// slot's name, so the names stay exactly as they are.
#pragma once

#include <array>

struct InternalTrainIcon {
  const char* Name;
  int Resource;  // the picture's resource id
};

inline constexpr int kInternalTrainIcons = 21;
inline constexpr int kInternalIconTypes = 7;

inline constexpr std::array<InternalTrainIcon, kInternalTrainIcons> kInternalTrainIconTable = {{
    {"Amtrack Engine Left (internal bitmap)", 31}, {"Amtrack Engine Right (internal bitmap)", 32},
    {"Amtrack Car (internal bitmap)", 42},         {"Black Diesel Left (internal bitmap)", 107},
    {"Black Diesel Right (internal bitmap)", 102}, {"Black Caboose (internal bitmap)", 111},
    {"Blue Diesel Left (internal bitmap)", 127},   {"Blue Diesel Right (internal bitmap)", 101},
    {"Blue Caboose (internal bitmap)", 87},        {"Green Diesel Left (internal bitmap)", 106},
    {"Green Diesel Right (internal bitmap)", 100}, {"Green Caboose (internal bitmap)", 110},
    {"Red Diesel Left (internal bitmap)", 105},    {"Red Diesel Right (internal bitmap)", 99},
    {"Red Caboose (internal bitmap)", 43},         {"Yellow Diesel Left (internal bitmap)", 130},
    {"Yellow Diesel Right (internal bitmap)", 94}, {"Yellow Caboose (internal bitmap)", 126},
    {"Steam Engine Left (internal bitmap)", 35},   {"Steam Engine Right (internal bitmap)", 36},
    {"Red Caboose (internal bitmap)", 43},
}};
