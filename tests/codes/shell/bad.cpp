// Fixture of the bare-code check: each line below must be reported.
bool IsSwitchCell(int device) { return device >= 2000 && device < 3000; }
bool IsMainSignal(int trackCode) { return trackCode == 21; }
