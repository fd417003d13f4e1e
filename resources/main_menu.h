// The main menu: the bar's entries left to right, each a pop-up of items or a
// plain command on the bar itself. The frame builds its menu from this table.
#pragma once

#include <array>
#include <span>

#include "resources/resource_ids.h"

namespace res {

struct MenuItem {
  int Id;  // 0 = separator
  const char* Text;
};

struct MenuEntry {
  const char* Text;
  int Id;  // a plain command on the bar; 0 for a pop-up
  std::span<const MenuItem> Items;
};

inline constexpr MenuItem kFileItems[] = {
    {CM_CHANGE_TERRITORY, "Change Territory Track File"},
    {CM_OPEN_SAVED_SIMULATION, "Open Previous Saved Simulation"},
    {CM_SAVE_SIMULATION_AS, "Save Simulation As"},
    {CM_SAVE_TRACK_FILE, "Save Territory Track File"},
    {CM_RESTART_SIMULATION, "&Restart Simulation alt-r"},
    {0, nullptr},
    {CM_PRINT_SETUP, "Print Setup"},
    {CM_PRINT_TRACK_DATA, "Print Track Data"},
    {CM_PRINT_ALERTS, "Print Alert List"},
    {CM_PRINT_LAYOUT, "Print Track Layout Diagram"},
    {CM_PRINT_ALERT_PARAMETERS, "Print Alert Parameters"},
    {CM_PRINT_RANDOM_PERFORMANCE, "Print Random Performance"},
    {0, nullptr},
    {CM_EXIT, "E&xit"},
};

inline constexpr MenuItem kModeItems[] = {
    {CM_MODE_SIMULATION, "Simulation (no playback)"},
    {CM_MODE_RECORDING, "Simulation (with playback)"},
    {CM_MODE_PLAYBACK, "Playback"},
    {CM_MODE_CTC, "CTC Control"},
    {CM_MODE_EXTERNAL_IO, "External I/O"},
};

inline constexpr MenuItem kDataItems[] = {
    {CM_ABOUT_TERRITORY, "About Territory"},
    {CM_BLOCK_PERMITS, "Block Permits (Track and Time)"},
    {CM_ENTRANCE_EXIT, "Entrance/Exit Locations"},
    {CM_OS_POINTS, "OS Points"},
    {CM_START_TIME, "Start Time"},
    {CM_SLOW_ORDERS, "Slow Orders"},
    {CM_TRAIN_SCHEDULE, "Train Schedule"},
    {CM_TRAIN_TYPES, "Train Type Descriptions"},
    {CM_WAYSIDE_DETECTORS, "Wayside Detectors"},
};

inline constexpr MenuItem kRandomItems[] = {
    {CM_RANDOM_DETECTORS, "Random Defect Detector Parameters"},
    {CM_RANDOM_FAILURES, "Random Switch and Signal Failures"},
    {CM_RANDOM_TRAINS, "Random Train Parameters"},
};

inline constexpr MenuItem kFindItems[] = {
    {CM_FIND_AREA, "Find Area"},
    {CM_FIND_ENTRANCE_EXIT, "Find Entrance/Exit"},
    {CM_FIND_TRACK, "Find a Track"},
    {CM_FIND_TRAIN, "Find a Train"},
    {0, nullptr},
    {CM_FIND_BLOCK_NUMBER, "Find Block By  Number"},
    {CM_FIND_DIAMOND_NUMBER, "Find Diamond By Number"},
    {CM_FIND_SIGNAL_NAME, "Find Signal By Name"},
    {CM_FIND_SIGNAL_NUMBER, "Find Signal By Number"},
    {CM_FIND_SWITCH_NAME, "Find Switch By Name"},
    {CM_FIND_SWITCH_NUMBER, "Find Switch By Number"},
};

inline constexpr MenuItem kOptionsItems[] = {
    {CM_ALERT_PARAMETERS, "Alert Parameters"},
    {CM_FUNCTION_ACTIVATION, "Function Activation"},
    {CM_CTC_FOLDER, "Assign CTC Control File Folder"},
    {CM_EIO_FOLDER, "Assign External I/O File Folder"},
};

inline constexpr MenuItem kViewItems[] = {
    {CM_CLASSIC_DISPLAY, "Classic Display"},
    {CM_BLOCK_LENGTHS, "Display Block Lengths"},
    {CM_BLOCK_NAME, "Display Block Name"},
    {CM_BLOCK_SIGNAL_DIRECTION, "Display Block Signal Direction"},
    {CM_BLOCK_SPEEDS, "Display Block Speeds"},
    {0, nullptr},
    {CM_ALERT_WINDOW, "Display Alert Window"},
    {CM_DISPLAY_LAST_ALERT, "Display Last Alert"},
    {CM_PERFORMANCE, "Display Performance"},
    {CM_TRAIN_GRAPH, "Display Train Graph"},
    {0, nullptr},
    {CM_CTC_LOG, "Show CTC Control Log"},
    {CM_EIO_LOG, "Show External I/O Log"},
};

inline constexpr MenuItem kWebItems[] = {
    {CM_WEB_DOWNLOADS, "Downloads"},         {CM_WEB_NEWS, "News"},
    {CM_WEB_ORDERING, "Ordering"},           {CM_WEB_LIBRARIES, "Territory Libraries"},
    {CM_WEB_MESSAGE_BOARD, "Message Board"},
};

inline constexpr MenuItem kHelpItems[] = {
    {CM_ABOUT, "&About"},
    {CM_HELP, "Help"},
    {CM_OPEN_MANUAL, "Open Manual"},
    {0, nullptr},
    {CM_HELP_MESSAGES, "Help Messages"},
    {CM_STACK_MESSAGE, "Stack Message"},
};

inline constexpr MenuEntry kMainMenu[] = {
    {"File", 0, kFileItems},
    {"Mode", 0, kModeItems},
    {"Trains", CM_ACTIVE_TRAINS, {}},
    {"Permits", CM_ACTIVE_PERMITS, {}},
    {"Slow Orders", CM_ACTIVE_SLOW_ORDERS, {}},
    {"Data", 0, kDataItems},
    {"Random", 0, kRandomItems},
    {"&Find", 0, kFindItems},
    {"Options", 0, kOptionsItems},
    {"View", 0, kViewItems},
    {"Web", 0, kWebItems},
    {"&Help", 0, kHelpItems},
};

// Alt plus a character.
struct Accelerator {
  char Key;
  int Id;
};

inline constexpr Accelerator kAccelerators[] = {
    {'t', CM_TRAIN_SCHEDULE},     {'b', CM_BLOCK_PERMITS}, {'s', CM_SLOW_ORDERS},
    {'r', CM_RESTART_SIMULATION}, {'x', CM_EXIT},
};

}  // namespace res
