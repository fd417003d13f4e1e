// Command, control and resource ids of the simulator's windows. Menu items,
// control-bar buttons and dialog controls carry these numbers, and each control
// carries its id as its objectName, so code and tests find them the same way.
#pragma once

namespace res {

// ---- File menu
inline constexpr int CM_CHANGE_TERRITORY = 133;
inline constexpr int CM_OPEN_SAVED_SIMULATION = 134;
inline constexpr int CM_SAVE_SIMULATION_AS = 109;
inline constexpr int CM_SAVE_TRACK_FILE = 11861;
inline constexpr int CM_RESTART_SIMULATION = 122;
inline constexpr int CM_OLD_FILE_FIRST = 2000;  // recent track files 2000-2009, inserted ahead of Exit
inline constexpr int CM_OLD_FILE_COUNT = 10;
inline constexpr int CM_PRINT_SETUP = 7204;
inline constexpr int CM_PRINT_LAYOUT = 7200;
inline constexpr int CM_PRINT_ALERT_PARAMETERS = 7201;
inline constexpr int CM_PRINT_RANDOM_PERFORMANCE = 7202;
inline constexpr int CM_EXIT = 125;

// ---- Mode menu
inline constexpr int CM_MODE_SIMULATION = 11866;
inline constexpr int CM_MODE_RECORDING = 11862;
inline constexpr int CM_MODE_PLAYBACK = 11863;
inline constexpr int CM_MODE_CTC = 11864;
inline constexpr int CM_MODE_EXTERNAL_IO = 11865;

// ---- items on the menu bar itself
inline constexpr int CM_ACTIVE_TRAINS = 11846;
inline constexpr int CM_ACTIVE_PERMITS = 11850;
inline constexpr int CM_ACTIVE_SLOW_ORDERS = 11852;

// ---- Data menu
inline constexpr int CM_ABOUT_TERRITORY = 102;
inline constexpr int CM_BLOCK_PERMITS = 112;
inline constexpr int CM_ENTRANCE_EXIT = 115;
inline constexpr int CM_OS_POINTS = 11842;
inline constexpr int CM_START_TIME = 11844;
inline constexpr int CM_SLOW_ORDERS = 114;
inline constexpr int CM_TRAIN_SCHEDULE = 113;
inline constexpr int CM_TRAIN_TYPES = 127;
inline constexpr int CM_WAYSIDE_DETECTORS = 11843;

// ---- Random menu
inline constexpr int CM_RANDOM_DETECTORS = 11845;
inline constexpr int CM_RANDOM_FAILURES = 11848;
inline constexpr int CM_RANDOM_TRAINS = 11847;

// ---- Find menu
inline constexpr int CM_FIND_AREA = 11870;
inline constexpr int CM_FIND_ENTRANCE_EXIT = 11854;
inline constexpr int CM_FIND_TRACK = 124;
inline constexpr int CM_FIND_TRAIN = 105;
inline constexpr int CM_FIND_BLOCK_NUMBER = 11855;
inline constexpr int CM_FIND_DIAMOND_NUMBER = 11856;
inline constexpr int CM_FIND_SIGNAL_NAME = 11857;
inline constexpr int CM_FIND_SIGNAL_NUMBER = 11858;
inline constexpr int CM_FIND_SWITCH_NAME = 11859;
inline constexpr int CM_FIND_SWITCH_NUMBER = 11860;

// ---- Options menu
inline constexpr int CM_ALERT_PARAMETERS = 106;
inline constexpr int CM_FUNCTION_ACTIVATION = 11853;
inline constexpr int CM_CTC_FOLDER = 17871;
inline constexpr int CM_EIO_FOLDER = 11872;

// ---- View menu
inline constexpr int CM_CLASSIC_DISPLAY = 116;
inline constexpr int CM_BLOCK_LENGTHS = 101;
inline constexpr int CM_BLOCK_NAME = 117;
inline constexpr int CM_BLOCK_SIGNAL_DIRECTION = 103;
inline constexpr int CM_BLOCK_SPEEDS = 104;
inline constexpr int CM_ALERT_WINDOW = 110;
inline constexpr int CM_DISPLAY_LAST_ALERT = 11849;
inline constexpr int CM_PERFORMANCE = 11867;
inline constexpr int CM_TRAIN_GRAPH = 11851;
inline constexpr int CM_CTC_LOG = 11871;
inline constexpr int CM_EIO_LOG = 17872;

// ---- Web menu
inline constexpr int CM_WEB_DOWNLOADS = 130;
inline constexpr int CM_WEB_NEWS = 128;
inline constexpr int CM_WEB_ORDERING = 129;
inline constexpr int CM_WEB_LIBRARIES = 107;
inline constexpr int CM_WEB_MESSAGE_BOARD = 131;

// ---- Help menu
inline constexpr int CM_ABOUT = 140;
inline constexpr int CM_HELP = 141;
inline constexpr int CM_OPEN_MANUAL = 11869;
inline constexpr int CM_HELP_MESSAGES = 142;
inline constexpr int CM_STACK_MESSAGE = 11868;

// ---- control bar buttons (handled by the layout window)
inline constexpr int CM_PREVIOUS_ALERT = 1000;
inline constexpr int CM_NEXT_ALERT = 1001;
inline constexpr int CM_FASTER = 1002;
inline constexpr int CM_SLOWER = 1003;
inline constexpr int CM_STOP = 1004;
inline constexpr int CM_START = 1005;
inline constexpr int CM_SOUND_ON = 1006;
inline constexpr int CM_SOUND_OFF = 1007;
inline constexpr int CM_GOTO_ALERT = 1008;
inline constexpr int CM_TOGGLE_ZOOM = 1009;
inline constexpr int CM_VIEW_BACK = 1010;
inline constexpr int CM_VIEW_FORWARD = 1011;

// ---- bar fields (gadget ids; the three control-bar fields have id 0 and go by name)
inline constexpr int IDG_MESSAGE_FIELD = 2000;
inline constexpr int IDG_PERFORMANCE_FIELD = 2001;
inline constexpr int IDG_TRACK_FILE_FIELD = 2002;

// ---- dialogs
inline constexpr int IDD_ABOUT = 36;
inline constexpr int IDC_ABOUT_VERSION = 106;

// ---- private messages
inline constexpr int WM_USER_BASE = 1024;
inline constexpr int WM_SHOW_ACTIVE_TRAIN = WM_USER_BASE + 9;

// ---- window timers of the layout window
inline constexpr int TIMER_TICK = 0;
inline constexpr int TIMER_DISPLAY = 1;
inline constexpr int TIMER_BEEPS = 2;

}  // namespace res
