// The test program's one data object: its titles, its options and their file,
// the queue of indication lines for the simulator, the lines taken at the last
// read, the wall-clock texts and the two logs. Standard C++ only, so the whole
// field side runs and is tested without a window.
#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <ctime>
#include <functional>
#include <string>

static_assert(std::endian::native == std::endian::little, "the options file is little-endian");

#pragma pack(push, 1)
// The exact image kept in "Order option.tds".
struct HollinOptions {
  char TestFileFolder[100];      // ends with '/'
  int32_t LastReceivedSequence;  // -1: none yet
  int32_t Interval;              // tenths of a second
  int32_t OwnSequence;           // 0-9999
  char FileToSend[500];
};
#pragma pack(pop)
static_assert(sizeof(HollinOptions) == 612);

namespace hollin {

inline constexpr int kSlots = 200;
inline constexpr int kSlotText = 199;  // characters a queued or shown line keeps
inline constexpr int kFlushAt = 151;   // more than 150 waiting lines are written at once
inline constexpr int kMaxSequence = 9999;
inline constexpr int kDefaultInterval = 10;
inline constexpr std::uintmax_t kLogLimit = 1000000;
inline constexpr std::uintmax_t kLogKeep = 800000;

inline constexpr char kOptionFileName[] = "Order option.tds";
inline constexpr char kLogFileName[] = "Test File Log.txt";
inline constexpr char kLogTrimName[] = "Test File Log.tmp";
inline constexpr char kErrorLogName[] = "log.txt";
inline constexpr char kIndicationFileName[] = "cv3ctcindications.txt";
inline constexpr char kControlFileName[] = "CV3CTCcontrols.txt";
inline constexpr char kControlTakeName[] = "CV3CTCcontrols.tmp";
inline constexpr char kFolderProbeName[] = "testrfoldertest.tmp";
inline constexpr char kProgramName[] = "hollin";

enum class LoadResult { Loaded = 0, GuardMismatch = 1, Missing = 2 };

// The next sequence number after n: 9999 is followed by 0.
inline int NextSequence(int n) { return n >= kMaxSequence || n < 0 ? 0 : n + 1; }

// A folder text with one '/' at its end (an empty text stays empty).
std::string WithTrailingSlash(std::string folder);

}  // namespace hollin

class THollinData {
 public:
  // programFolder: the folder of the program file; it holds the options file and the logs.
  explicit THollinData(std::string programFolder);

  const char* Title1() const { return "File Test Program "; }     // the exit question's caption
  const char* Title2() const { return "File Testing Program "; }  // the dialogs' message boxes
  const char* VersionText() const { return "1.0"; }
  const std::string& ProgramFolder() const { return programFolder_; }
  // The test file folder of the options, ending with '/'.
  std::string TestFolder() const;

  HollinOptions GetOptions() const { return options_; }
  // Stores the options and saves the options file at once (at the end of the batch while one is held).
  void SetOptions(const HollinOptions& options);
  // While the lines of one file are handled, each line's new sequence number is saved once, at the end,
  // and the interface log is opened once for the lines: the files then hold what saving and logging at
  // every line would have left. Batches nest.
  class SaveBatch {
   public:
    explicit SaveBatch(THollinData& data) : data_(data) { ++data_.heldSaves_; }
    ~SaveBatch() {
      if (--data_.heldSaves_ == 0) data_.ReleaseHeld();
    }
    SaveBatch(const SaveBatch&) = delete;
    SaveBatch& operator=(const SaveBatch&) = delete;

   private:
    THollinData& data_;
  };
  void SetDefaultOptions();
  hollin::LoadResult LoadOptions();
  // False when the file could not be written (the error log says so).
  bool SaveOptions();

  // The slot the line went to, or -1 when every slot is taken (the drop goes to the error log).
  int QueueIndication(const std::string& line);
  // Writes every queued line to the indication file; a failed write keeps them for the next try.
  void FlushIndications();
  int QueuedCount() const { return queued_; }

  void ClearIncoming();
  int AddIncoming(const std::string& line);
  // 1 and the text, or 0 for an empty slot (or one outside the list).
  int GetIncoming(int slot, std::string& text) const;
  int IncomingCount() const { return incoming_; }

  // The local wall-clock time "hh:mm:ss".
  std::string GetTimeText() const;
  // One interface log line, stamped "MM/DD/YYYY hh:mm:ss"; the log keeps its last 800,000 bytes.
  void LogLine(const std::string& text, bool output);
  void LogError(const std::string& message);

  // The wall clock, replaceable by tests.
  void SetClock(std::function<std::tm()> clock) { clock_ = std::move(clock); }

 private:
  struct Slot {
    bool InUse = false;
    char Text[hollin::kSlotText + 1] = {};
  };
  static int Take(std::array<Slot, hollin::kSlots>& slots, int& count, const std::string& line);
  std::string Stamp() const;
  // Appends whole log lines and trims the log once it is past its limit.
  void AppendLog(const std::string& lines);
  void TrimLog(const std::string& path);
  // At the end of the outermost batch: the held log lines are written and the options saved.
  void ReleaseHeld();

  std::string programFolder_;
  HollinOptions options_{};
  std::array<Slot, hollin::kSlots> queue_{};
  std::array<Slot, hollin::kSlots> incomingList_{};
  int queued_ = 0;
  int incoming_ = 0;
  int heldSaves_ = 0;
  bool savePending_ = false;
  // Log lines held in a batch, and the log's size before them (-1: not yet looked at).
  std::string heldLog_;
  std::intmax_t heldLogBase_ = -1;
  std::function<std::tm()> clock_;
};
