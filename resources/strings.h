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

// The manual in the program folder, opened by the desktop's PDF viewer.
inline constexpr const char* kManualFile = "Corvane 3 Manual.pdf";
inline constexpr const char* kManualNotFound =
    "Could not find the manual's file \"Corvane 3 Manual.pdf\".  Copy it into the program's folder from the "
    "program's distribution.";
inline constexpr const char* kNoPdfProgram = "Could not find a program to open PDF files.";
// The local pages of the Web menu, in the folder "web" beside the program.
inline constexpr const char* kWebFolder = "web/";

}  // namespace res
