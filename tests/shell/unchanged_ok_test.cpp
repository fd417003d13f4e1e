// Every editing dialog and property page opened on a record that holds the
// widest texts and the largest and "none" values its fields can hold, and
// answered with OK untouched: the stored bytes stay as they were, byte for
// byte. A typing limit governs typing, never what a field shows or gives back.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QTemporaryDir>
#include <algorithm>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "dialogs/alert_dialog.h"
#include "dialogs/random_dialogs.h"
#include "dialogs/train_dialog.h"
#include "dialogs/train_sheet.h"
#include "lists/ctc_permit_list.h"
#include "lists/permit_list.h"
#include "lists/slow_list.h"
#include "lists/train_type_list.h"
#include "platform/controls.h"
#include "shell/corvane3_app.h"
#include "shell/corvane3_dec.h"
#include "shell/corvane3_window.h"
#include "shell/globals.h"
#include "store/corvane3_data.h"
#include "store/file_results.h"
#include "store/fixed_text.h"
#include "store/track_file.h"
#include "tests/shell/gui_app.h"
#include "tests/support/fake_services.h"
#include "tests/support/file_bytes.h"
#include "tools/territory/territory_builder.h"

namespace {

using Bytes = std::vector<uint8_t>;

template <class Record>
Bytes BytesOf(const Record& record) {
  const auto* p = reinterpret_cast<const uint8_t*>(&record);
  return Bytes(p, p + sizeof record);
}

// A text of exactly `chars` characters, starting with `start`.
std::string Widest(const std::string& start, size_t chars) {
  std::string text = start.substr(0, chars);
  while (text.size() < chars) text += static_cast<char>('a' + text.size() % 26);
  return text;
}

class UnchangedOkTest : public ::testing::Test {
 protected:
  UnchangedOkTest() {
    app_ = StartShownProgram(folder_, &messages);
    Build();
    messages.Calls.clear();
  }
  Corvane3Data& store() { return *TheStore; }
  std::string In(const std::string& name) const { return folder_.filePath(QString::fromStdString(name)).toStdString(); }

  std::string LongPath(size_t chars, const std::string& name) {
    const std::string path = file_bytes::LongPath(folder_.path().toStdString(), chars, name);
    EXPECT_EQ(path.size(), chars);
    return path;
  }

  void Build() {
    territory::TerritoryBuilder t(store());
    const int block =
        t.Block({.Name = "B1", .From = {2, 2}, .To = {12, 2}, .Station1 = "AB", .Station2 = "CD", .Track = "Main"});
    t.Location("W", block, territory::End::Left);
    t.Location("E", block, territory::End::Right);
    t.Platform("Central", block);
    t.Platform("North", block);
    t.TrainType("Freight");
    t.Detector("hot box");
    t.Finish();
    AreaData area{};
    std::memcpy(&area, "\x01Quarry", 7);
    store().UpdateAreaData(0, area);
    TerritoryOptions options = store().GetTerritoryOptions();
    options.Units = 1;
    store().UpdateTerritoryOptions(options);
    SetFieldText(store().TrackFilePath, In("bytes.trk"));
  }

  QTemporaryDir folder_;
  FakeMessageService messages;
  std::unique_ptr<TCorvane3App> app_;
};

// A scheduled train at its widest: a description of 31 characters (20 are typed), the longest length, crew
// time, entries and stops with the largest values and with "none".
TrainData WidestTrain(Corvane3Data& store) {
  TrainData train = store.GetTrainData(0);
  train.InUse = 1;
  SetFieldText(train.TrainId, Widest("T", 10));
  SetFieldText(train.Description, Widest("Through freight", 31));
  train.CrewMinutesWorked = 999;
  train.EntryDirection = 1;
  train.Length = INT32_MAX;
  train.Type = 0;
  SetFieldText(train.Entrance, "W");
  train.EntranceMinutes = 23 * 60 + 59;
  SetFieldText(train.Exit, "E");
  train.Byte50 = 1;
  train.Stations[0] = {23 * 60 + 59, INT32_MAX};
  train.Stations[1] = {0xFFFF, -1};
  TrainMultipleEntry& leg = train.Multiple[0];
  SetFieldText(leg.LegExit, "E");
  SetFieldText(leg.NextEntrance, "W");
  leg.ReentryMinutes = 0xFFFE;
  SetFieldText(leg.Text8, Widest("L", 10));
  leg.Word19 = 0;
  leg.Byte21 = 1;
  leg.CrewMinutes = INT16_MAX;
  leg.NewLength = INT16_MAX;
  TrainMultipleEntry& second = train.Multiple[1];
  SetFieldText(second.LegExit, "W");
  SetFieldText(second.NextEntrance, "E");
  second.ReentryMinutes = 0xFFFF;
  second.CrewMinutes = second.NewLength = -1;
  TrainLocalWork& work = train.LocalWork[0];
  SetFieldText(work.AreaName, "Quarry");
  work.Minutes = 0xFFFE;
  work.DirectionAfter = 1;
  work.NewLength = INT16_MAX;
  SetFieldText(train.LocalWork[1].AreaName, "Quarry");
  train.LocalWork[1].Minutes = 0xFFFF;
  return train;
}

// A dialog made on the record and answered with OK as it opened.
template <class Dialog, class... Args>
void AnswerOk(Args&&... args) {
  Dialog dialog(TheMainFrame, std::forward<Args>(args)...);
  static_cast<QDialog&>(dialog).accept();  // as its OK button does
  EXPECT_EQ(dialog.result(), QDialog::Accepted) << dialog.windowTitle().toStdString();
}

TEST_F(UnchangedOkTest, EveryEditorAnsweredWithOkUntouchedLeavesEveryStoredByte) {
  Engine& engine = TheLayoutWindow->TheEngine();
  const std::string wave = LongPath(254, "bell.wav");
  std::ofstream(wave, std::ios::binary) << std::string("RIFF\x24\0\0\0WAVEfmt ", 16) << std::string(28, '\0');
  const std::string picture = LongPath(254, "loco.bmp");

  struct Case {
    const char* Name;
    std::function<void()> Put;        // the record at its widest
    std::function<Bytes()> Stored;    // its bytes in the store
    std::function<void()> OpenAndOk;  // the editor opened on it and answered with OK untouched
  };
  const Case cases[] = {
      {"train property sheet, every page", [&] { store().UpdateTrainData(0, WidestTrain(store())); },
       [&] { return BytesOf(store().GetTrainData(0)); },
       [&] {
         TTrainSheet sheet(TheMainFrame, store(), "Edit Train", 0, 0, false);
         sheet.show();
         for (int page = 0; page < sheet.PageCount(); ++page) sheet.SelectPage(page);
         FindControl<QPushButton>(&sheet, 1)->click();
         EXPECT_FALSE(sheet.isVisible());
       }},
      {"CTC train data dialog",
       [&] {
         TrainStatus train = store().GetTrainStatus(0);
         train.InUse = 1;
         SetFieldText(train.TrainId, Widest("C", 10));
         train.Length = INT32_MAX;
         train.Type = 0;
         train.CrewExpiry = 23 * 60 + 59;
         SetFieldText(train.Entrance, "W");
         SetFieldText(train.Exit, "E");
         store().UpdateTrainStatus(0, train, 1);
         train.CrewExpiry = -1;  // none set
         store().UpdateTrainStatus(1, train, 1);
       },
       [&] {
         Bytes both = BytesOf(store().GetTrainStatus(0));
         const Bytes second = BytesOf(store().GetTrainStatus(1));
         both.insert(both.end(), second.begin(), second.end());
         return both;
       },
       [&] {
         for (int slot : {0, 1}) AnswerOk<TTrainDialog>(store(), slot);
       }},
      {"block permit dialog",
       [&] {
         PermitData permit = store().GetPermitData(0);
         permit.InUse = 1;
         SetFieldText(permit.TrackName, "AB-CD Main");
         permit.StartMinutes = 23 * 60 + 59;
         permit.EndMinutes = 0;
         SetFieldText(permit.Requestor, Widest("Track Foreman", 20));
         SetFieldText(permit.Reason, Widest("Rail renewal between the", 30));
         store().UpdatePermitData(0, permit);
       },
       [&] { return BytesOf(store().GetPermitData(0)); }, [&] { AnswerOk<TPermitInfo>(store(), 0); }},
      {"slow order dialog",
       [&] {
         SlowData order = store().GetSlowData(0);
         order.InUse = 1;
         SetFieldText(order.Location, "Block 0000");
         order.StartMinutes = 23 * 60 + 59;
         order.EndMinutes = 0;
         for (int type = 0; type < kMaxTrainTypes; ++type) {
           order.SpeedsFirst[type] = INT16_MAX;
           order.SpeedsSecond[type] = static_cast<int16_t>(type == 0 ? -1 : 7);  // none; kept for types not used
         }
         store().UpdateSlowData(0, order);
       },
       [&] { return BytesOf(store().GetSlowData(0)); }, [&] { AnswerOk<TSlowInfo>(store(), 0); }},
      {"CTC permit dialog",
       [&] {
         PermitStatus permit = store().GetPermitStatus(0);
         permit.InUse = 1;
         permit.State = kCtcPermitIssued;
         SetFieldText(permit.Track, "AB-CD Main");
         permit.StartMinute = 1440 + 23 * 60 + 59;  // tomorrow
         permit.EndMinute = 1440 + 1440 + 30;
         permit.NextMinute = 12345;
         SetFieldText(permit.Requestor, Widest("Signal Maintainer", 20));
         SetFieldText(permit.Reason, Widest("Cable work", 20));
         store().UpdatePermitStatus(0, permit);
       },
       [&] { return BytesOf(store().GetPermitStatus(0)); }, [&] { AnswerOk<TCTCPermitInfo>(store(), engine, 0); }},
      {"alert options",
       [&] {
         AlertData alerts = store().GetAlertData();
         for (int slot = 0; slot < kAlertKinds; ++slot) {
           alerts.Bells[slot] = slot % 2 ? 65535 : 9;  // 65535 is "no bells"
           SetFieldText(alerts.WaveFiles[slot], slot == 3 ? "" : wave);
         }
         alerts.Enabled[10] = alerts.Enabled[2];
         alerts.LateArrivalMinutes = 99;
         store().UpdateAlertData(alerts);
       },
       [&] { return BytesOf(store().GetAlertData()); }, [&] { AnswerOk<TAlertData>(store()); }},
      {"random dialogs",
       [&] {
         RandomData random = store().GetRandomData();
         random.SwitchFailuresPer1000 = random.SignalFailuresPer1000 = 1000;
         random.MaintainerRepairMinutes = INT16_MAX;
         random.MaintainerVariationPercent = 100;
         for (int i = 0; i < 10; ++i) {
           random.Values0[i] = 1000;
           random.FalseAlarmPercent[i] = random.PerformanceSpread[i] = random.LateStartPercent[i] = 100;
           random.LocoProblemPercent[i] = random.TrainProblemPercent[i] = random.RunPastChance[i] = 100;
           random.Bytes60[i] = 1;
         }
         store().UpdateRandomData(random);
       },
       [&] { return BytesOf(store().GetRandomData()); },
       [&] {
         AnswerOk<TRandomSwitchDialog>(store());
         AnswerOk<TRandomTrainDialog>(store());
         AnswerOk<TRandomDetectorDialog>(store());
       }},
      {"train type dialog",
       [&] {
         TrainType type = store().GetTrainType(0);
         SetFieldText(type.Name, Widest("Freight", 20));
         type.StartupSeconds = INT32_MAX;
         type.ReverseSpeed = INT16_MAX;
         for (auto& file : type.BitmapFiles) SetFieldText(file, picture);
         store().UpdateTrainType(0, type);
       },
       [&] { return BytesOf(store().GetTrainType(0)); }, [&] { AnswerOk<TTrainType>(store(), 0); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    c.Put();
    const Bytes before = c.Stored();
    c.OpenAndOk();
    const Bytes after = c.Stored();
    ASSERT_EQ(after.size(), before.size());
    for (size_t i = 0; i < before.size(); ++i) {
      if (after[i] != before[i]) {
        ADD_FAILURE() << "byte +" << i << " was " << +before[i] << ", is " << +after[i];
        break;
      }
    }
    for (const MessageCall& call : messages.Calls) {
      if (call.Icon == MessageIcon::Error) ADD_FAILURE() << call.Text;
    }
    messages.Calls.clear();
  }
}

// Every train of the demonstration territory, its sheet opened for editing on every page and answered with OK
// untouched: each is accepted, and the track file saved afterwards is the one saved before, byte for byte, but
// for its count of changes.
TEST_F(UnchangedOkTest, EveryDemonstrationTrainAnsweredWithOkUntouchedSavesTheSameTrackFile) {
  ASSERT_EQ(TrackFile(store()).Load(CORVANE_DEFAULT_TRK, -1), file_result::kDone);
  messages.Calls.clear();
  const int32_t loadedChanges = store().ChangeCount;
  ASSERT_EQ(TrackFile(store()).Write(In("before.trk"), 0), file_result::kDone);

  int trains = 0;
  for (int slot = 0; slot < kMaxTrains; ++slot) {
    if (store().GetTrainData(slot).InUse != 1) continue;
    ++trains;
    SCOPED_TRACE(FieldText(store().GetTrainData(slot).TrainId));
    const Bytes before = BytesOf(store().GetTrainData(slot));
    TTrainSheet sheet(TheMainFrame, store(), "Edit Train", slot, 0, false);
    sheet.show();
    for (int page = 0; page < sheet.PageCount(); ++page) sheet.SelectPage(page);
    FindControl<QPushButton>(&sheet, 1)->click();
    EXPECT_FALSE(sheet.isVisible()) << "refused: " << (messages.Calls.empty() ? "" : messages.Calls.back().Text);
    const Bytes after = BytesOf(store().GetTrainData(slot));
    const auto differ = std::mismatch(before.begin(), before.end(), after.begin());
    EXPECT_TRUE(differ.first == before.end())
        << "byte +" << differ.first - before.begin() << " was " << +*differ.first << ", is " << +*differ.second;
    messages.Calls.clear();
  }
  EXPECT_EQ(trains, 38);  // 931 too, which enters only as what 131 becomes

  store().ChangeCount = loadedChanges;
  ASSERT_EQ(TrackFile(store()).Write(In("after.trk"), 0), file_result::kDone);
  const Bytes saved = file_bytes::ReadBytes(In("before.trk"));
  ASSERT_FALSE(saved.empty());
  EXPECT_TRUE(file_bytes::ReadBytes(In("after.trk")) == saved);
}

}  // namespace
