// Fixture of the bare-code check: the line below must be reported; this comment (3000 + i) must not.
inline int SignalNumber(int index) { return 3000 + index; }
