# Bare codes planted in a copy of the real sources: the bare-code check must report each one, by the
# line's own kind, and let the clean lines pass.

# Device number ranges, in every way a number can be written.
plant(shell/layout_painter.cpp "a bare device number range" "bool IsSwitchCell(int device) { return device >= 2000; }")
plant(shell/layout_painter.cpp "a bare device number range" "bool IsSignalCell(int device) { return device / 1000 == 3; }")
plant(shell/layout_painter.cpp "a bare device number range" "bool IsSignalCell2(int device) { return 3 == device / 1000; }")
plant(shell/layout_painter.cpp "a bare device number range" "bool IsPastBlocks(int device) { return device > 1999; }")
plant(dialogs/dialog_kit.cpp "a bare device number range" "bool IsDiamond(int device) { return device >= 0x1388; }")
plant(dialogs/dialog_kit.cpp "a bare device number range" "bool IsSwitch(int device) { return device < 3'000; }")
plant(dialogs/dialog_kit.cpp "a bare device number range" "bool IsBlock(int device) { return device < 2000u; }")
plant(lists/train_graph.cpp "a bare device number range" "int SignalNumber(int index) { return 3000 + index; }")
plant(interface/qt/interface_folder_dialogs.cpp "a bare device number range"
      "int SwitchNumber(int index) { return index + 2000; }")

# Track codes: either way round, through the grid, in a switch's case labels, in hex.
plant(shell/layout_painter.cpp "a bare track code" "bool IsMain(int trackCode) { return trackCode == 21; }")
plant(shell/layout_painter.cpp "a bare track code" "bool IsMain2(const SignalData& s) { return 21 == s.TrackCode; }")
plant(shell/layout_painter.cpp "a bare track code"
      "bool IsMainAt(const Corvane3Data& d, int x, int y) { return d.GetGridTrack(x, y) == 21; }")
plant(lists/train_graph.cpp "a bare track code" "int Arm(int code) {\n  switch (code) {\n    case 21:\n      return 1;\n  }\n  return 0;\n}"
      "case 21:")
plant(dialogs/dialog_kit.cpp "a bare track code" "bool IsPlatformCode(int code) { return code == 0x17; }")

# Status codes of blocks, switches, signals and trains.
plant(shell/layout_painter.cpp "a bare status code" "bool ShowsStop(int s) { return s == 5; }")
plant(shell/layout_painter.cpp "a bare status code" "bool HeldRight(int occupancy) { return occupancy == 3; }")
plant(shell/layout_popup.cpp "a bare status code" "constexpr int kStopAspect = 5;")
plant(shell/layout_hover.cpp "a bare status code"
      "bool WaitsSignal(const TrainStatus& t) { return t.State == 3 && t.Reason == 3; }")
plant(shell/layout_hover.cpp "a bare status code" "bool IsLeaving(const TrainStatus& t) { return 11 == t.State; }")
plant(dialogs/dialog_kit.cpp "a bare status code" "void Hold(TrainStatus& t) { t.Reason = 23; }")
plant(lists/train_graph.cpp "a bare status code" "bool Free(const BlockStatus& b) { return b.Occupancy != 0x4; }")
plant(lists/train_graph.cpp "a bare status code"
      "bool Left(const Corvane3Data& d, int device) { return d.GetDevicePaintStatus(device) == 4; }")
plant(shell/layout_hover.cpp "a bare status code"
      "int Rank(const TrainStatus& t) {\n  switch (t.State) {\n    case 28:\n      return 1;\n  }\n  return 0;\n}" "case 28:")

# The day, the crew shift and the empty slot, in any program folder.
plant(engine/tick.cpp "a bare day in seconds" "int32_t DayOf(int32_t clock) { return clock / 86400; }")
plant(store/clock.cpp "a bare day in seconds" "int32_t NextDay(int32_t clock) { return clock + 86'400; }")
plant(interface/outgoing.cpp "a bare day in seconds" "int32_t Days(int32_t clock) { return clock / 0x15180; }")
plant(tools/territory/demo_territory.cpp "a bare day in seconds" "constexpr int32_t kMonday = 86400;")
plant(engine/tick.cpp "a bare crew shift" "int32_t Expiry(int32_t onDuty) { return onDuty + 43200; }")
plant(engine/tick.cpp "a bare empty train slot"
      "bool Empty(const BlockStatus& b) { return b.Trains[0] == 0xFFFF; }")
plant(store/clock.cpp "a bare empty train slot" "void Clear(BlockStatus& b, int k) { b.Trains[k] = 65535; }")
plant(shell/layout_painter.cpp "a bare empty train slot"
      "bool Held(const BlockStatus& b) { return 0xffff != b.Trains[0]; }")

# What names its codes, or only looks like a code, passes.
plant_clean(shell/layout_painter.cpp "// a switch's number: device >= 2000 and s == 5")
plant_clean(shell/layout_painter.cpp "const char* kCaption = \"Block 2000 == 21\";")
plant_clean(shell/layout_painter.cpp "/* occupancy == 3 */ int Millis(int seconds) { return seconds * 1000; }")
plant_clean(shell/layout_painter.cpp "bool Stops(int s) { return s == aspect::kStop || s == 0; }")
plant_clean(lists/train_graph.cpp "int Seconds(int milliseconds) { return milliseconds / 1000; }")
