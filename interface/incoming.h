// The incoming message files: taken over by rename on every tick, each line
// logged, split and checked the same way on both channels. Here also the
// External I/O commands, carried out as the dispatcher's own requests would
// be. A refused line is answered with one CMDERROR line naming why.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "interface/xfer_msg.h"
#include "store/services.h"

class Engine;
class Corvane3Data;

namespace xfer {

inline constexpr std::size_t kMaxInLine = 399;  // longer lines are refused whole
// What is held of a line read from the other program: far beyond any line it may send, so that the
// cut changes no answer (a longer line is refused by its length all the same); only the log shows
// no more of it than this.
inline constexpr std::size_t kHeldInLine = std::size_t{1} << 20;
inline constexpr std::size_t kMaxInFields = 10;  // and so are lines with more fields
inline constexpr std::size_t kMaxInField = 99;   // or with a longer field

// A received line split at its commas (kMaxInFields fields, absent ones empty) and its number.
struct ReceivedLine {
  std::vector<std::string> Fields;
  int Sequence = 0;
};

// Splits a received line and checks its length, fields and sequence number against the
// channel's last received one. A refused line is answered with its CMDERROR line and gives
// nothing. A line that passes moves the last received number, whatever its later checks say.
std::optional<ReceivedLine> ReceiveLine(Corvane3Data& store, Channel channel, const std::string& line);

// While it lives, the store's boxes that need no answer (a damaged file named by a load, say) are
// held; when it ends they are shown, none of them waiting to be closed, so that an outside program
// gets every reply of its batch and the next batches are read while a box is up. A question still
// goes to the user at once.
class HeldNotices : public MessageService {
 public:
  explicit HeldNotices(Corvane3Data& store);
  ~HeldNotices() override;
  HeldNotices(const HeldNotices&) = delete;
  HeldNotices& operator=(const HeldNotices&) = delete;
  MessageResult ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon,
                            MessageButtons buttons) override;

 private:
  struct Notice {
    std::string Text;
    std::string Caption;
    MessageIcon Icon;
  };
  Corvane3Data& store_;
  MessageService& shown_;
  std::vector<Notice> held_;
};

// Takes the channel's incoming file over and hands each complete line, logged as received, to
// `process` in order. A file still held by its writer waits for the next poll.
void ReadIncomingFile(Corvane3Data& store, Channel channel, const std::function<void(const std::string&)>& process);

// Queues "CMDERROR,nnnn,"<text>","<line>"" and "TIME,nnnn,dd-hh:mm:ss" with the channel's next number.
void BuildErrorMsg(Corvane3Data& store, Channel channel, std::string_view line, std::string_view text);
void BuildTimeMsg(Corvane3Data& store, Channel channel);

// Reads the command file when External I/O mode is on, and sends the replies.
void EIOReadXferInFile(Engine& engine);
// Checks and carries out one received line.
void EIOProcessXferInMsg(Engine& engine, const std::string& line);
void EIOBuildErrorMsg(Corvane3Data& store, std::string_view line, std::string_view text);
void EIOBuildTimeMsg(Corvane3Data& store);

// The device of the table named `name` (any letter case), or "switch<n>" / "signal<n>" /
// "block<n>" for an unnamed one in use; -1 when none.
enum class DeviceTable { Block, Switch, Signal };
int FindDevice(const Corvane3Data& store, DeviceTable table, const std::string& name);

// The text with its ASCII letters in lower case.
std::string LowerText(std::string text);

}  // namespace xfer
