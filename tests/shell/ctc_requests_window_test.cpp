// The running program in CTC control mode: a click on a switch of the layout
// asks the field for it through the controls file, and the switch blinks.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenuBar>
#include <QMouseEvent>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "interface/xfer_msg.h"
#include "resources/resource_ids.h"
#include "shell/corvane3_dec.h"
#include "shell/corvane3_window.h"
#include "shell/globals.h"
#include "store/command_ids.h"
#include "store/corvane3_data.h"
#include "store/fixed_text.h"
#include "tests/shell/gui_app.h"
#include "tests/support/fake_services.h"
#include "tools/territory/territory_builder.h"

namespace {

using territory::Diverge;
using territory::SwitchDevice;

// x:  2    7  8  9    14
//     ==B0==  SW0 ==B1==      y=4
class CTCRequestsWindowTest : public ::testing::Test {
 protected:
  CTCRequestsWindowTest() {
    app_ = StartShownProgram(folder_, &messages);
    Corvane3Data& store = *TheStore;
    territory::TerritoryBuilder t(store);
    const int b0 = t.Block({.Name = "B0", .From = {2, 4}, .To = {7, 4}});
    sw0 = t.Switch("SW0", {8, 4}, Diverge::UpRight);
    const int b1 = t.Block({.Name = "B1", .From = {9, 4}, .To = {14, 4}});
    t.Link(b0, SwitchDevice(sw0));
    t.Link(SwitchDevice(sw0), b1);
    t.Finish();
    store.InitSimulationStatus();
    OptionData options = store.GetOptionData();
    SetFieldText(options.CTCFolder, folder_.path().toStdString() + "/");
    options.CTCLogOn = 0;
    store.UpdateOptionData(options);
    TheLayoutWindow->ComputeLayoutExtent();
    QCoreApplication::processEvents();
  }

  void Choose(int id) {
    TheMainFrame->Commands().UpdateEnabled();
    for (QAction* entry : TheMainFrame->menuBar()->actions()) {
      if (!entry->menu()) continue;
      for (QAction* item : entry->menu()->actions()) {
        if (item->objectName() != QString::number(id)) continue;
        ASSERT_TRUE(item->isEnabled()) << id;
        item->trigger();
        return;
      }
    }
    ADD_FAILURE() << "no menu item " << id;
  }

  void ClickCell(int column, int row) {
    const layout::View view = TheLayoutWindow->CurrentView();
    const layout::Point corner = view.CellToWindow(column, row);
    const QPointF at(corner.X + view.CellSize() / 2, corner.Y + view.CellSize() / 2);
    QWidget* viewport = TheLayoutWindow->viewport();
    QMouseEvent press(QEvent::MouseButtonPress, at, viewport->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, viewport->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &release);
  }

  std::vector<std::string> Controls() const {
    std::vector<std::string> lines;
    std::ifstream in(folder_.filePath(xfer::kCTCControlFile).toStdString());
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  QTemporaryDir folder_;
  FakeMessageService messages;
  std::unique_ptr<TCorvane3App> app_;
  int sw0 = -1;
};

TEST_F(CTCRequestsWindowTest, AClickOnANormalSwitchWritesItsReverseRequestAndTheSwitchBlinks) {
  Choose(command_id::kModeCTC);
  ASSERT_EQ(+TheStore->GetOptionData().CTCControlOn, 1);
  const SwitchData data = TheStore->GetSwitchData(sw0);
  ClickCell(data.CellX, data.CellY);
  TheLayoutWindow->EvTimer(res::TIMER_TICK);  // the CTC poll writes what is queued

  const std::regex request(R"(SWITCH,\d{4},SW0,\d\d:\d\d:\d\d,REVERSE)");
  int found = 0;
  for (const std::string& line : Controls()) found += std::regex_match(line, request) ? 1 : 0;
  EXPECT_EQ(found, 1);
  EXPECT_EQ(+TheStore->GetSwitchStatus(sw0).Position, 0) << "the field moves it, not the click";

  int hidden = 0;
  for (int refresh = 0; refresh < 2; ++refresh) {
    TheLayoutWindow->EvTimer(res::TIMER_DISPLAY);
    hidden += TheStore->GetNoPaintStatus(SwitchDevice(sw0));
  }
  EXPECT_EQ(hidden, 1) << "hidden on one of two display refreshes";
  EXPECT_TRUE(messages.Calls.empty());
}

}  // namespace
