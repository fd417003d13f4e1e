// The jump into a recorded week: a simulated week on the demonstration territory recorded once, then
// replayed into a fresh store up to the week's last moment in one call, as the first tick of a playback
// that jumps to the end does.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "engine/engine.h"
#include "store/null_services.h"
#include "store/playback_file.h"
#include "store/playback_format.h"
#include "store/playback_recorder.h"
#include "store/train_codes.h"
#include "tools/territory/demo_dispatcher.h"
#include "tools/territory/demo_territory.h"

namespace {

constexpr int32_t kStart = 86400 + 5 * 3600;  // Monday 05:00
constexpr int kWeekTicks = 7 * 86400 / Engine::kTickSeconds;

// Answers the recording's file dialog with one path.
class RecordingShell : public NullShellService {
 public:
  explicit RecordingShell(std::string path) : path_(std::move(path)) {}
  std::string AskSaveFileName(const FileDialogRequest&) override { return path_; }

 private:
  std::string path_;
};

void PrepareRun(Corvane3Data& store) {
  territory::BuildDemonstrationTerritory(store);
  demo::StartRunAt(store, kStart);
}

// A week recorded on the demonstration territory, the dispatcher lining up and clearing the route of every
// waiting train.
const std::string& RecordedWeek() {
  static const std::string path = [] {
    const std::string file = (std::filesystem::temp_directory_path() / "corvane-bench-week.ply").string();
    RecordingShell shell(file);
    Corvane3Data store;
    store.SetShellService(&shell);
    PrepareRun(store);
    store.SetPlaybackSink(&store.Recorder());
    store.OperatingMode = 1;
    if (PlaybackFile(store).Create(kStart) != 0) return std::string();
    store.Run.OutputHold = 0;  // the run is in progress: its changes are recorded
    Engine engine(store);
    demo::DemoDispatcher dispatcher(store, engine);
    for (int i = 0; i < kWeekTicks; ++i) {
      engine.Tick();
      dispatcher.ClearForWaitingTrains();
    }
    PlaybackFile(store).Close();
    return file;
  }();
  return path;
}

// The records of a recording: time stamp, kind byte and image each.
int CountRecords(const std::string& path) {
  std::FILE* in = std::fopen(path.c_str(), "rb");
  if (!in) return 0;
  std::fseek(in, sizeof(PlaybackHeader), SEEK_SET);
  int records = 0;
  unsigned char head[kPlaybackRecordHead];
  while (std::fread(head, 1, sizeof head, in) == sizeof head) {
    const auto kind = static_cast<PlaybackKind>(head[4]);
    if (head[4] > static_cast<uint8_t>(PlaybackKind::View)) break;
    std::fseek(in, PlaybackImageBytes(kind), SEEK_CUR);
    ++records;
  }
  std::fclose(in);
  return records;
}

void BM_JumpToTheEndOfARecordedWeek(benchmark::State& state) {
  const std::string& path = RecordedWeek();
  if (path.empty()) {
    state.SkipWithError("the week could not be recorded");
    return;
  }
  const int records = CountRecords(path);
  if (records == 0) {
    state.SkipWithError("the recorded week holds no records");
    return;
  }
  const int32_t end = kStart + kWeekTicks * Engine::kTickSeconds;
  int trains = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto store = std::make_unique<Corvane3Data>();
    PrepareRun(*store);
    store->OperatingMode = 2;
    store->PlaybackIn = std::fopen(path.c_str(), "rb");
    std::fseek(store->PlaybackIn, sizeof(PlaybackHeader), SEEK_SET);
    store->NextPlaybackTime = -1;
    state.ResumeTiming();
    const int result = PlaybackFile(*store).Read(end);
    state.PauseTiming();
    if (result != 8 && result != 7) state.SkipWithError("the replay failed");
    trains = 0;
    for (int slot = 0; slot < kMaxTrainStatus; ++slot) trains += store->GetTrainStatus(slot).InUse == 1;
    if (store->PlaybackIn) std::fclose(store->PlaybackIn);
    store->PlaybackIn = nullptr;
    store.reset();
    state.ResumeTiming();
  }
  state.counters["records read"] = records;
  state.counters["MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
  state.counters["train slots replayed"] = trains;
}
BENCHMARK(BM_JumpToTheEndOfARecordedWeek)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
