// Texts of the application shell.
#pragma once

namespace res {

inline constexpr const char* kVersionText = "3.5";
// The second half of the main caption, after the title and " - ".
inline constexpr const char* kContactLine = "Railway Dispatching Simulator";
// The demonstration territory in the program folder, used in place of a
// remembered track file on a floppy drive.
inline constexpr const char* kSampleTerritory = "default.trk";

inline constexpr const char* kExitQuestion = "Do you want to exit?";
inline constexpr const char* kHelpNotAvailable =
    "The \"Help\" function is not available on this system.  Please refer to the \"Corvane 3\" manual for "
    "answers to questions.";
inline constexpr const char* kHelpFile = "corvane3.hlp";
// OK in a read-only display of territory definitions.
inline constexpr const char* kReadOnlyDisplay =
    "You cannot make changes to the data shown in this display.  You must use Quarnel to change the data.";

inline constexpr const char* kAboutCaption = "About";
inline constexpr const char* kAboutProgram = "Corvane Railway Dispatching Simulator";
inline constexpr const char* kAboutLine = "A railway dispatching simulator for one dispatcher at a desktop.";

}  // namespace res
