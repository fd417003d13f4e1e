// Walks over the devices for the interface modes and the train commands: the
// count of cleared blocks ahead of every cleared block, the repaint of devices
// that wait for the CTC field side, and the train in the next block of a train.
#pragma once

class Corvane3Data;
class Engine;

namespace walks {

// The territory's count of a table (a CountData word), never beyond the table.
int TableCount(const Corvane3Data& store, int word, int capacity);

// Cleared blocks ahead are counted up to this many.
inline constexpr int kMaxClearedAhead = 2;

// The number of cleared blocks ahead of `block` in `direction` (1 right, 0
// left), counted up to one more than kMaxClearedAhead: connecting blocks and
// switches are passed over; the count ends at the first block not cleared
// that way, and at a diamond before the first counted block whose crossing
// route is occupied.
int CountBlocksClearedAhead(Engine& engine, int direction, int block);
// In CTC control or External I/O mode (once a run is prepared): stores in
// every cleared block its count of cleared blocks ahead, at most 2, when it
// changed (which reports the block to the outside program).
void UpdateBlocksClearedAhead(Engine& engine);
// In CTC control mode: invalidates every device that waits for an indication,
// so that the painter keeps it flashing.
void CTCRedrawPendingDevices(Engine& engine);
// The train in the first counting block ahead of a train (which 0) or behind
// it (which 1) when that block is occupied in the train's direction of
// travel; -1 otherwise.
int FindTrainInNextBlock(Engine& engine, int train, int which);

}  // namespace walks
