// Start, Stop, the speed buttons, the Mode menu and Options > Function
// Activation in the running program on the demonstration territory, with the
// simulation timer driven from the test.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPointer>
#include <QPushButton>
#include <QRegion>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>

#include "dialogs/playback_time_dialog.h"
#include "dialogs/run_dialogs.h"
#include "engine/run_control.h"
#include "platform/bar_fields.h"
#include "platform/controls.h"
#include "resources/playback_time_ids.h"
#include "resources/resource_ids.h"
#include "resources/run_control_ids.h"
#include "shell/corvane3_app.h"
#include "shell/corvane3_dec.h"
#include "shell/corvane3_window.h"
#include "shell/globals.h"
#include "store/corvane3_data.h"
#include "store/operating_mode.h"
#include "store/playback_format.h"
#include "store/track_file.h"
#include "store/train_codes.h"
#include "tests/shell/gui_app.h"
#include "tools/territory/demo_territory.h"
#include "tests/support/fake_services.h"

namespace {

class RunControlWindowTest : public ::testing::Test {
 protected:
  RunControlWindowTest() {
    EnsureQApplication();
    // A file dialog answered before its listing settles may save under its default name in the working
    // folder: keep that inside this test's folder, so a stray file can never stall a later run.
    previousFolder_ = QDir::currentPath();
    QDir::setCurrent(folder_.path());
    Corvane3Data writer;
    territory::BuildDemonstrationTerritory(writer);
    EXPECT_EQ(TrackFile(writer).Write(folder_.filePath("default.trk").toStdString(), 0), 0);
    app_ = std::make_unique<TCorvane3App>(QStringList{folder_.filePath("corvane3")}, &messages);
    app_->InitMainWindow();
    TheStore = &app_->Store();
    QCoreApplication::processEvents();  // the start-up load
    TheStore->FirstRunHints = 0;        // no option file here: the hints would come with the first tick
    messages.Calls.clear();
  }
  ~RunControlWindowTest() override {
    app_.reset();
    QDir::setCurrent(previousFolder_);
  }

  CommandRegistry& Commands() { return TheMainFrame->Commands(); }
  bool Enabled(int id) {
    Commands().UpdateEnabled();
    return Commands().IsEnabled(id);
  }
  // A click on a line of a list, as the mouse makes it.
  static void ClickRow(QListWidget* list, int row) {
    const QPoint at = list->visualItemRect(list->item(row)).center();
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
      QMouseEvent event(type, at, list->viewport()->mapToGlobal(at), Qt::LeftButton,
                        type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
      QApplication::sendEvent(list->viewport(), &event);
    }
  }
  // Options > Function Activation: one switch set as asked, OK.
  void SetFunction(int control, bool on) {
    bool opened = false;
    WhenModalOpens([&](QWidget* modal) {
      auto* dialog = dynamic_cast<TFunctionActiveDialog*>(modal);
      ASSERT_NE(dialog, nullptr);
      opened = true;
      FindControl<QCheckBox>(dialog, control)->setChecked(on);
      FindControl<QPushButton>(dialog, 1)->click();
    });
    ASSERT_TRUE(Commands().Dispatch(res::CM_FUNCTION_ACTIVATION));
    EXPECT_TRUE(opened);
  }

  static void AnswerNextFileDialog(const QString& path) {
    OnModal<QFileDialog>([path](QFileDialog* dialog) { AnswerFileDialog(dialog, path); });
  }
  // Mode > Simulation (with playback), Start on the first start time recording into `path`, Start again.
  void StartRecordedRun(const QString& path) {
    ASSERT_TRUE(Commands().Dispatch(res::CM_MODE_RECORDING));
    ChooseFirstStartTime();
    AnswerNextFileDialog(path);
    ASSERT_TRUE(Commands().Dispatch(res::CM_START));
    ASSERT_TRUE(Commands().Dispatch(res::CM_START));
  }
  static void ChooseFirstStartTime() {
    OnModal<TSelectStart>(
        [](TSelectStart* dialog) { ClickRow(FindControl<QListWidget>(dialog, res::IDC_SELECT_START_LIST), 0); });
  }

  QTemporaryDir folder_;
  QString previousFolder_;
  FakeMessageService messages;
  std::unique_ptr<TCorvane3App> app_;
};

// Mode > Simulation (with playback) records the run into the file the user names; Mode > Playback replays it.
TEST_F(RunControlWindowTest, ARecordedRunPlaysBackThroughTheModeMenu) {
  Corvane3Data& store = *TheStore;
  const QString recording = folder_.filePath("morning.ply");
  ASSERT_TRUE(Commands().Dispatch(res::CM_MODE_RECORDING));
  EXPECT_TRUE(Commands().IsChecked(res::CM_MODE_RECORDING));
  EXPECT_EQ(store.OperatingMode, operating_mode::kRecording);

  ChooseFirstStartTime();
  AnswerNextFileDialog(recording);
  ASSERT_TRUE(Commands().Dispatch(res::CM_START));
  ASSERT_EQ(messages.Calls.size(), 2u);
  EXPECT_EQ(messages.Calls[0].Text, "The next dialog will ask for the name of the playback file.");
  EXPECT_EQ(messages.Calls[1].Text, run_control::kStartAgain);
  ASSERT_TRUE(Commands().Dispatch(res::CM_START));
  for (int tick = 0; tick < 120; ++tick) TheLayoutWindow->EvTimer(res::TIMER_TICK);
  const int32_t recordedUntil = store.SimClock;
  const qint64 header = static_cast<qint64>(sizeof(PlaybackHeader));
  EXPECT_GT(QFileInfo(recording).size(), header) << "the run's changes follow the header";

  messages.Calls.clear();
  AnswerNextFileDialog(recording);
  bool timeAsked = false;
  OnModal<TPlayBackTimeDialog>([&timeAsked](TPlayBackTimeDialog* dialog) {
    timeAsked = true;
    FindControl<QPushButton>(dialog, 1)->click();
  });
  ASSERT_TRUE(Commands().Dispatch(res::CM_MODE_PLAYBACK));
  EXPECT_TRUE(timeAsked);
  EXPECT_TRUE(messages.Calls.empty());
  EXPECT_EQ(store.OperatingMode, operating_mode::kPlayback);
  EXPECT_TRUE(Commands().IsChecked(res::CM_MODE_PLAYBACK));
  EXPECT_FALSE(Commands().IsChecked(res::CM_MODE_RECORDING));
  EXPECT_EQ(store.SimClock, 5 * 3600) << "from the start of the recording";
  EXPECT_EQ(RunStateField->text(), "Run");
  for (int tick = 0; tick < 60; ++tick) TheLayoutWindow->EvTimer(res::TIMER_TICK);
  EXPECT_EQ(store.SimClock, 5 * 3600 + 600);
  EXPECT_LT(store.SimClock, recordedUntil);
  int replayed = 0;
  for (int slot = 0; slot < store.GetCountData().Words[kCountRunningTrains]; ++slot)
    replayed += store.GetTrainStatus(slot).InUse == 1 ? 1 : 0;
  EXPECT_GT(replayed, 0) << "the replay brought the recorded trains back";
}

// Between choosing Mode > Simulation (with playback) and the Start that names the next recording, no run is in
// progress: a view change then must not be appended to the recording named last, nor to a file of the default
// name in the working folder.
TEST_F(RunControlWindowTest, AViewChangeBeforeTheNextRecordingStartsLeavesTheLastRecordingAlone) {
  Corvane3Data& store = *TheStore;
  const QString earlier = folder_.filePath("earlier.ply");
  ASSERT_NO_FATAL_FAILURE(StartRecordedRun(earlier));
  for (int tick = 0; tick < 30; ++tick) TheLayoutWindow->EvTimer(res::TIMER_TICK);
  ASSERT_TRUE(Commands().Dispatch(res::CM_STOP));
  ASSERT_TRUE(Commands().Dispatch(res::CM_MODE_RECORDING));  // the territory reloaded, the next run not begun
  ASSERT_EQ(QFileInfo(store.PlaybackFileName).absoluteFilePath(), QFileInfo(earlier).absoluteFilePath());
  const qint64 recorded = QFileInfo(earlier).size();
  ASSERT_GT(recorded, static_cast<qint64>(sizeof(PlaybackHeader)));

  ASSERT_TRUE(Commands().Dispatch(res::CM_TOGGLE_ZOOM));
  ASSERT_TRUE(Commands().Dispatch(res::CM_TOGGLE_ZOOM));
  QCoreApplication::processEvents();

  EXPECT_EQ(QFileInfo(earlier).size(), recorded) << "the earlier recording was appended to";
  EXPECT_FALSE(QFileInfo::exists(folder_.filePath("playback.ply")));
}

// Paint events of a widget and the area they covered.
class PaintWatch : public QObject {
 public:
  explicit PaintWatch(QWidget* widget) { widget->installEventFilter(this); }
  int Paints = 0;
  QRegion Painted;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      ++Paints;
      Painted += static_cast<QPaintEvent*>(event)->region();
    }
    return false;
  }
};

// A jump into a recording applies its records without repainting each device it changes, then repaints
// the layout once: what the window shows afterwards is the moment jumped to.
TEST_F(RunControlWindowTest, AJumpIntoARecordingShowsTheMomentJumpedTo) {
  Corvane3Data& store = *TheStore;
  app_->ShowFrame();
  QCoreApplication::processEvents();
  const QString recording = folder_.filePath("morning.ply");
  ASSERT_NO_FATAL_FAILURE(StartRecordedRun(recording));
  for (int tick = 0; tick < 180; ++tick) TheLayoutWindow->EvTimer(res::TIMER_TICK);
  ASSERT_GE(store.SimClock, 5 * 3600 + 1800);

  AnswerNextFileDialog(recording);
  OnModal<TPlayBackTimeDialog>([](TPlayBackTimeDialog* dialog) {
    FindControl<QLineEdit>(dialog, res::IDC_PLAYBACK_JUMP_TIME)->setText("05:25");
    FindControl<QPushButton>(dialog, 1)->click();
  });
  ASSERT_TRUE(Commands().Dispatch(res::CM_MODE_PLAYBACK));
  ASSERT_EQ(store.OperatingMode, operating_mode::kPlayback);
  ASSERT_EQ(store.SimClock, 5 * 3600 + 1500);
  // The test drives the ticks: the program's own timer would move the playback on between the looks below.
  TheMainFrame->Timers().Timer(res::TIMER_TICK)->stop();
  QWidget* view = TheLayoutWindow->viewport();
  QCoreApplication::processEvents();  // what the start of the playback asked to paint
  PaintWatch watch(view);

  TheLayoutWindow->EvTimer(res::TIMER_TICK);  // the jump: every record up to 05:25
  int onLayout = 0;
  for (int slot = 0; slot < store.GetCountData().Words[kCountRunningTrains]; ++slot) {
    const TrainStatus train = store.GetTrainStatus(slot);
    onLayout += train.InUse == 1 && train.HeadBlock >= 0 ? 1 : 0;
  }
  EXPECT_GT(onLayout, 0) << "the jump brought the recorded trains back";
  QTimer deadline;  // wakes the wait below should the paint never come
  deadline.start(100);
  for (int wakes = 0; watch.Paints == 0 && wakes < 100; ++wakes)
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  ASSERT_GT(watch.Paints, 0) << "the layout was not repainted after the jump";
  EXPECT_TRUE(watch.Painted.contains(view->rect())) << "the whole layout is repainted after the jump";

  // The window's pixels are the layout of the moment jumped to.
  QWidget* top = view->window();
  const QImage shown = top->screen()
                           ->grabWindow(top->winId())
                           .copy(QRect(view->mapTo(top, QPoint(0, 0)), view->size()))
                           .toImage()
                           .convertToFormat(QImage::Format_RGB32);
  const QImage now = view->grab().toImage().convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(shown.size(), now.size());
  EXPECT_TRUE(shown == now) << "the window still shows a state from before the jump";
}

TEST_F(RunControlWindowTest, StartTwiceRunsAnHourAtTopSpeedWithTrainsEnteringAndStopHaltsTheClock) {
  Corvane3Data& store = *TheStore;
  EXPECT_TRUE(Enabled(res::CM_START));
  EXPECT_FALSE(Enabled(res::CM_STOP));

  // The first Start offers the start times; a click on "05:00  Sunday" prepares that run.
  QStringList lines;
  WhenModalOpens([&](QWidget* modal) {
    auto* dialog = dynamic_cast<TSelectStart*>(modal);
    ASSERT_NE(dialog, nullptr);
    auto* list = FindControl<QListWidget>(dialog, res::IDC_SELECT_START_LIST);
    for (int row = 0; row < list->count(); ++row) lines << list->item(row)->text();
    ClickRow(list, 0);
  });
  ASSERT_TRUE(Commands().Dispatch(res::CM_START));
  EXPECT_EQ(lines.size(), 17);  // 05:00 every day, noon and 18:00 on weekdays
  EXPECT_EQ(lines.value(0), "05:00  Sunday");
  EXPECT_EQ(lines.value(7), "12:00  Monday");
  ASSERT_EQ(messages.Calls.size(), 1u);
  EXPECT_EQ(messages.Calls[0].Text, run_control::kStartAgain);
  EXPECT_EQ(store.SimClock, 5 * 3600);
  EXPECT_EQ(+store.Run.SimStopped, 1);
  EXPECT_EQ(ClockField->text().toStdString().substr(0, 5), "05:00");

  ASSERT_TRUE(Commands().Dispatch(res::CM_START));
  EXPECT_EQ(RunStateField->text(), "Run");
  EXPECT_FALSE(Enabled(res::CM_START));
  EXPECT_TRUE(Enabled(res::CM_STOP));
  for (int press = 0; press < 4; ++press) ASSERT_TRUE(Commands().Dispatch(res::CM_FASTER));
  EXPECT_EQ(SpeedField->text(), "40");
  EXPECT_FALSE(Enabled(res::CM_FASTER));

  int movingTicks = 0;
  for (int tick = 0; tick < 360; ++tick) {
    TheLayoutWindow->EvTimer(res::TIMER_TICK);
    for (int slot = 0; slot < store.GetCountData().Words[kCountRunningTrains]; ++slot) {
      if (store.GetTrainStatus(slot).State == TrainState::Moving) {
        ++movingTicks;
        break;
      }
    }
  }
  EXPECT_EQ(store.SimClock, 6 * 3600);
  EXPECT_EQ(TheMainFrame->Timers().Interval(res::TIMER_TICK), 10000 / 40);
  EXPECT_GT(movingTicks, 0);
  int onLayout = 0;
  for (int slot = 0; slot < store.GetCountData().Words[kCountRunningTrains]; ++slot) {
    const TrainStatus train = store.GetTrainStatus(slot);
    if (train.InUse == 1 && train.HeadBlock >= 0) ++onLayout;
  }
  EXPECT_GT(onLayout, 0);

  ASSERT_TRUE(Commands().Dispatch(res::CM_STOP));
  EXPECT_EQ(RunStateField->text(), "Stop");
  for (int tick = 0; tick < 6; ++tick) TheLayoutWindow->EvTimer(res::TIMER_TICK);
  EXPECT_EQ(store.SimClock, 6 * 3600);
}

TEST_F(RunControlWindowTest, CTCControlGreysTheRunButtonsAndRefusesStartUntilItIsSwitchedOff) {
  Corvane3Data& store = *TheStore;
  ASSERT_TRUE(Commands().Dispatch(res::CM_MODE_CTC));
  EXPECT_TRUE(Commands().IsChecked(res::CM_MODE_CTC));
  EXPECT_FALSE(Commands().IsChecked(res::CM_MODE_SIMULATION));
  EXPECT_EQ(store.OperatingMode, operating_mode::kNone);
  EXPECT_EQ(RunStateField->text(), "");
  EXPECT_EQ(SpeedField->text(), "");
  EXPECT_EQ(store.CTCQueue.Count, 1) << "the all-data request waits for the next poll";
  for (int id : {res::CM_START, res::CM_STOP, res::CM_FASTER, res::CM_SLOWER, res::CM_ACTIVE_SLOW_ORDERS})
    EXPECT_FALSE(Enabled(id)) << id;

  TheLayoutWindow->TheRunControl().CmStart();  // as the External I/O "start" command would
  ASSERT_EQ(messages.Calls.size(), 1u);
  EXPECT_EQ(messages.Calls[0].Text, run_control::kNoStartInCTC);

  ASSERT_TRUE(Commands().Dispatch(res::CM_MODE_CTC));
  EXPECT_TRUE(Commands().IsChecked(res::CM_MODE_SIMULATION));
  EXPECT_EQ(SpeedField->text(), "20");
  EXPECT_TRUE(Enabled(res::CM_START));
  EXPECT_TRUE(Enabled(res::CM_ACTIVE_SLOW_ORDERS));
}

TEST_F(RunControlWindowTest, SoundButtonsAlternateAndOnlyOneIsOnTheBar) {
  auto shown = [](int id) {
    QCoreApplication::processEvents();  // the bar lays itself out again
    QWidget* button = TheControlBar->findChild<QWidget*>(QString::number(id));
    return button && button->isVisible();
  };
  TheMainFrame->show();
  const bool on = TheStore->GetOptionData().AlertSoundsOn != 0;
  const int first = on ? res::CM_SOUND_OFF : res::CM_SOUND_ON, second = on ? res::CM_SOUND_ON : res::CM_SOUND_OFF;
  EXPECT_TRUE(shown(first));
  EXPECT_FALSE(shown(second));
  ASSERT_TRUE(Commands().Dispatch(first));
  EXPECT_EQ(TheStore->GetOptionData().AlertSoundsOn != 0, !on);
  EXPECT_FALSE(shown(first));
  EXPECT_TRUE(shown(second));
  EXPECT_FALSE(Enabled(first));
}

// With "Permission To Enter Territory Active" off a train at an entrance that asks permission enters at
// once; with it on the request is put to the dispatcher.
TEST_F(RunControlWindowTest, FunctionActivationSwitchesTakeEffectInTheEngine) {
  Corvane3Data& store = *TheStore;
  for (int org = 0; org < kMaxLocations; ++org) {
    OrgData location = store.GetOrgData(org);
    if (location.InUse != 1) continue;
    location.PermissionRequired = 1;
    store.UpdateOrgData(org, location);
  }
  SetFunction(res::IDC_PERMISSION_ACTIVE, false);
  EXPECT_EQ(+store.GetOptionData().PermissionToEnterActive, 0);
  Engine& engine = TheLayoutWindow->TheEngine();
  ASSERT_TRUE(TheLayoutWindow->TheRunControl().StartSimulation(0, 5 * 60, 0));
  store.Run.SimStopped = 0;
  for (int tick = 0; tick < 6; ++tick) engine.Tick();
  int entered = 0;
  for (int slot = 0; slot < store.GetCountData().Words[kCountRunningTrains]; ++slot)
    entered += store.GetTrainStatus(slot).HeadBlock >= 0 ? 1 : 0;
  EXPECT_GT(entered, 0);
  EXPECT_TRUE(messages.Calls.empty());

  // The dialog shows the stored switch, and turning it on stores 1 again.
  bool shownOff = false;
  WhenModalOpens([&](QWidget* modal) {
    shownOff = !FindControl<QCheckBox>(modal, res::IDC_PERMISSION_ACTIVE)->isChecked();
    modal->close();
  });
  ASSERT_TRUE(Commands().Dispatch(res::CM_FUNCTION_ACTIVATION));
  EXPECT_TRUE(shownOff);
  SetFunction(res::IDC_PERMISSION_ACTIVE, true);
  EXPECT_EQ(+store.GetOptionData().PermissionToEnterActive, 1);
}

}  // namespace
