// The open train graph follows the running simulation: a tick that stores a train's
// OS passing repaints the run it adds, with no scrolling or Resize to ask for it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QRegion>
#include <QTemporaryDir>
#include <memory>
#include <vector>

#include "dialogs/run_dialogs.h"
#include "lists/train_graph.h"
#include "platform/controls.h"
#include "resources/resource_ids.h"
#include "resources/run_control_ids.h"
#include "shell/corvane3_app.h"
#include "shell/corvane3_dec.h"
#include "shell/corvane3_window.h"
#include "shell/globals.h"
#include "store/corvane3_data.h"
#include "store/track_file.h"
#include "store/train_codes.h"
#include "tests/shell/gui_app.h"
#include "tools/territory/demo_territory.h"
#include "tests/support/fake_services.h"

namespace {

// Collects what the viewport paints.
class PaintSpy : public QObject {
 public:
  QRegion Painted;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) Painted += static_cast<QPaintEvent*>(event)->region();
    return false;
  }
};

class TrainGraphWindowTest : public ::testing::Test {
 protected:
  TrainGraphWindowTest() {
    EnsureQApplication();
    Corvane3Data writer;
    territory::BuildDemonstrationTerritory(writer);
    EXPECT_EQ(TrackFile(writer).Write(folder_.filePath("default.trk").toStdString(), 0), 0);
    app_ = std::make_unique<TCorvane3App>(QStringList{folder_.filePath("corvane3")}, &messages);
    app_->InitMainWindow();
    TheStore = &app_->Store();
    QCoreApplication::processEvents();
    app_->Store().FirstRunHints = 0;
    messages.Calls.clear();
  }

  // Start twice at the first start time: the clock runs.
  void StartRun() {
    OnModal<TSelectStart>([](TSelectStart* dialog) {
      QListWidget* list = FindControl<QListWidget>(dialog, res::IDC_SELECT_START_LIST);
      const QPoint at = list->visualItemRect(list->item(0)).center();
      for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, at, list->viewport()->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(list->viewport(), &event);
      }
    });
    ASSERT_TRUE(TheMainFrame->Commands().Dispatch(res::CM_START));
    ASSERT_TRUE(TheMainFrame->Commands().Dispatch(res::CM_START));
    messages.Calls.clear();
  }

  QTemporaryDir folder_;
  FakeMessageService messages;
  std::unique_ptr<TCorvane3App> app_;
};

TEST_F(TrainGraphWindowTest, TheOpenGraphRepaintsARunATickAddsAtOnce) {
  StartRun();
  TheLayoutWindow->EvTimer(res::TIMER_TICK);  // the run is under way from its first tick
  ASSERT_TRUE(TheMainFrame->Commands().Dispatch(res::CM_TRAIN_GRAPH));
  auto* graph = qobject_cast<TTrainGraph*>(TheDataWindows.TrainGraph.data());
  ASSERT_NE(graph, nullptr);
  // Wide enough for the whole first day: a new run lies in view wherever it falls on it.
  graph->resize(2400, 900);
  graph->show();
  QCoreApplication::processEvents();
  QWidget* viewport = graph->Canvas()->viewport();
  const graph::Layout& layout = graph->GraphLayout();
  ASSERT_GE(viewport->width(), layout.Width());
  ASSERT_GE(viewport->height(), layout.BandTop(0) + layout.OSLines * layout.OSSpacing);
  PaintSpy spy;
  viewport->installEventFilter(&spy);

  Corvane3Data& store = app_->Store();
  int checked = 0;
  for (int tick = 0; tick < 8 * 360 && checked < 3; ++tick) {
    // The dispatcher clears the signal in front of every waiting train.
    for (int slot = store.NextLiveTrainSlot(-1); slot >= 0; slot = store.NextLiveTrainSlot(slot)) {
      const TrainStatus& train = store.TrainStatusRef(slot);
      if (train.State != TrainState::Stopped || train.Reason != StopReason::WaitSignal || train.HeadBlock < 0) continue;
      const BlockData& head = store.BlockDataRef(train.HeadBlock);
      const int signal = train.HeadDirection == 1 ? head.RightSignal : head.LeftSignal;
      if (signal >= 0 && store.GetSignalStatus(signal).Aspect == 5)
        TheLayoutWindow->TheEngine().ClearSignal(3000 + signal, 0, 1);
    }
    const int before = store.GetOSHitCount();
    spy.Painted = QRegion();
    TheLayoutWindow->EvTimer(res::TIMER_TICK);
    QCoreApplication::processEvents();
    const int after = store.GetOSHitCount();
    if (after == before) continue;
    // The runs the tick's hits add, as the whole graph would draw them.
    graph::HitWalk walk(store, layout);
    graph::Segment segments[2];
    for (int index = 0; index < after; ++index) {
      const int made = walk.Step(store.GetOSHit(index), segments);
      if (index < before) continue;
      for (int i = 0; i < made; ++i) {
        EXPECT_TRUE(spy.Painted.contains(segments[i].From) && spy.Painted.contains(segments[i].To))
            << "tick " << tick << ": the run of train slot " << segments[i].Train << " to hit " << index
            << " was not repainted";
        ++checked;
      }
    }
  }
  EXPECT_GT(checked, 0) << "no train ran from one OS point to the next in eight hours";
  viewport->removeEventFilter(&spy);
}

}  // namespace
