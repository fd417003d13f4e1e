// Printing and the run's displays in the running program: File > Print Setup
// chooses a PDF file that the lists' Print buttons then print to; View >
// Display Performance and View > Display Train Graph open their windows, the
// graph only once the run has started and the territory has OS points.
#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <memory>

#include "lists/list_frame.h"
#include "lists/train_graph.h"
#include "platform/controls.h"
#include "resources/permit_slow_ids.h"
#include "resources/resource_ids.h"
#include "shell/corvane3_app.h"
#include "shell/corvane3_dec.h"
#include "shell/globals.h"
#include "store/corvane3_data.h"
#include "store/fixed_text.h"
#include "tests/shell/gui_app.h"
#include "tools/territory/demo_territory.h"
#include "tests/support/fake_services.h"
#include "tests/support/pdf_text.h"

namespace {

const char* const kNotStarted = "You will need to start the simulation before you can display the train graph.";
const char* const kNoOSPoints =
    "This territory does not have any OS points assigned, therefore, a train graph cannot be displayed.";

class PrintingWindowsTest : public ::testing::Test {
 protected:
  PrintingWindowsTest() {
    app_ = StartShownProgram(folder_, &messages);
    messages.Calls.clear();
  }
  Corvane3Data& store() { return *TheStore; }

  // Chooses the menu bar's item with that command id as the user does.
  static void Choose(int id) {
    const QString name = QString::number(id);
    TheMainFrame->Commands().UpdateEnabled();
    for (QAction* entry : TheMainFrame->menuBar()->actions()) {
      if (QMenu* menu = entry->menu()) {
        for (QAction* item : menu->actions()) {
          if (item->objectName() != name) continue;
          ASSERT_TRUE(item->isEnabled()) << id;
          item->trigger();
          return;
        }
      }
    }
    ADD_FAILURE() << "no menu item " << id;
  }
  // The user picks the PDF file in the print set-up dialog and accepts it.
  void ChoosePdfInPrintSetup(const QString& file) {
    bool seen = false;
    WhenModalOpens([&](QWidget* modal) {
      auto* dialog = qobject_cast<QPrintDialog*>(modal);
      ASSERT_NE(dialog, nullptr);
      seen = true;
      EXPECT_EQ(dialog->windowTitle(), "Print Setup");
      auto* printers = dialog->findChild<QComboBox*>("printers");
      ASSERT_NE(printers, nullptr);
      printers->setCurrentIndex(printers->count() - 1);  // the PDF file comes last
      auto* name = dialog->findChild<QLineEdit*>("filename");
      ASSERT_NE(name, nullptr);
      name->setText(file);
      dialog->accept();
    });
    Choose(res::CM_PRINT_SETUP);
    EXPECT_TRUE(seen);
  }
  void OSPoint(int slot, const char* name) {
    OSData os = store().GetOSData(slot);
    os.InUse = 1;
    SetFieldText(os.Name, name);
    store().UpdateOSData(slot, os);
  }

  QTemporaryDir folder_;
  FakeMessageService messages;
  std::unique_ptr<TCorvane3App> app_;
};

TEST_F(PrintingWindowsTest, PrintSetupChoosesTheFileThatTheSlowOrderListPrintsTo) {
  const QString pdf = folder_.filePath("slow orders.pdf");
  ChoosePdfInPrintSetup(pdf);
  EXPECT_EQ(TheMainFrame->Printer().Device().outputFormat(), QPrinter::PdfFormat);

  const int slot = store().FindFreeSlowData(1);
  SlowData order = store().GetSlowData(slot);
  order.InUse = 1;
  order.Permanent = 1;
  SetFieldText(order.Location, "Block 7");
  store().UpdateSlowData(slot, order);
  Choose(res::CM_SLOW_ORDERS);
  auto* list = qobject_cast<TListFrame*>(TheDataWindows.SlowOrders.data());
  ASSERT_NE(list, nullptr);
  auto* print = FindControl<QPushButton>(list, res::IDC_LIST_PRINT);
  ASSERT_TRUE(print->isEnabled());
  print->click();

  const auto pages = PdfPages(pdf.toStdString());
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_NE(pages[0].find("Slow Orders"), std::string::npos);
  EXPECT_NE(pages[0].find("Block 7"), std::string::npos);
  EXPECT_NE(pages[0].find("Page 1"), std::string::npos);
  EXPECT_TRUE(messages.Calls.empty());
}

TEST_F(PrintingWindowsTest, DisplayPerformanceOpensTheWindowWhosePrintGivesTheReport) {
  const QString pdf = folder_.filePath("performance.pdf");
  TheMainFrame->Printer().Device().setOutputFormat(QPrinter::PdfFormat);
  TheMainFrame->Printer().Device().setOutputFileName(pdf);
  TrainStatus train = store().GetTrainStatus(0);
  train.InUse = 1;
  SetFieldText(train.TrainId, "101");
  train.Distance = 2 * 5280;
  store().UpdateTrainStatus(0, train, 1);
  TerritoryOptions options = store().GetTerritoryOptions();
  options.Units = 1;
  store().UpdateTerritoryOptions(options);

  Choose(res::CM_PERFORMANCE);
  auto* window = qobject_cast<TListFrame*>(TheDataWindows.Performance.data());
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->windowTitle(), "Performance Data");
  const QAbstractItemModel* rows = window->List()->model();
  ASSERT_EQ(rows->rowCount(), 2);
  EXPECT_EQ(rows->index(0, 0).data().toString(), "TOTAL");
  EXPECT_EQ(rows->index(0, 1).data().toString(), "2");
  EXPECT_EQ(rows->headerData(1, Qt::Horizontal).toString(), "Miles");
  Choose(res::CM_PERFORMANCE);
  EXPECT_EQ(TheDataWindows.Performance.data(), window);

  // "Printer Setup" beside Print is the same set-up dialog; cancelled, the choice stays.
  bool setupSeen = false;
  WhenModalOpens([&](QWidget* modal) {
    setupSeen = qobject_cast<QPrintDialog*>(modal) != nullptr;
    if (modal) modal->close();
  });
  FindControl<QPushButton>(window, res::IDC_LIST_PRINTER_SETUP)->click();
  EXPECT_TRUE(setupSeen);
  EXPECT_EQ(TheMainFrame->Printer().Device().outputFileName(), pdf);

  FindControl<QPushButton>(window, res::IDC_LIST_PRINT)->click();
  const auto pages = PdfPages(pdf.toStdString());
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_NE(pages[0].find("Train Performance Data"), std::string::npos);
  EXPECT_NE(pages[0].find("TOTAL"), std::string::npos);
  EXPECT_NE(pages[0].find("101"), std::string::npos);
}

TEST_F(PrintingWindowsTest, FilePrintTrackDataPrintsTheBlocksAndSwitches) {
  const QString pdf = folder_.filePath("track.pdf");
  TheMainFrame->Printer().Device().setOutputFormat(QPrinter::PdfFormat);
  TheMainFrame->Printer().Device().setOutputFileName(pdf);
  BlockData block = store().GetBlockData(3);
  block.InUse = 1;
  block.PassThrough = 0;
  SetFieldText(block.TrackStation1, "WY");
  SetFieldText(block.TrackStation2, "EY");
  SetFieldText(block.TrackPart, "Main");
  store().UpdateBlockData(3, block);
  Choose(res::CM_PRINT_TRACK_DATA);
  const auto pages = PdfPages(pdf.toStdString());
  ASSERT_GE(pages.size(), 2u);
  EXPECT_NE(pages[0].find("Track Data - Block Information"), std::string::npos);
  EXPECT_NE(pages[0].find("WY to EY Main"), std::string::npos);
  EXPECT_NE(pages.back().find("Track Data - Switch Information"), std::string::npos);
  EXPECT_TRUE(messages.Calls.empty());
}

TEST_F(PrintingWindowsTest, TheTrainGraphWaitsForTheStartAndForOSPoints) {
  Choose(res::CM_TRAIN_GRAPH);
  ASSERT_EQ(messages.Calls.size(), 1u);
  EXPECT_EQ(messages.Calls[0].Text, kNotStarted);
  EXPECT_EQ(messages.Calls[0].Icon, MessageIcon::Information);
  EXPECT_TRUE(TheDataWindows.TrainGraph.isNull());

  store().SetSimStartTime(6 * 3600);
  store().SetSimClock(8 * 3600);
  store().Run.RunStarted = 1;
  messages.Calls.clear();
  Choose(res::CM_TRAIN_GRAPH);
  ASSERT_EQ(messages.Calls.size(), 1u);
  EXPECT_EQ(messages.Calls[0].Text, kNoOSPoints);
  EXPECT_TRUE(TheDataWindows.TrainGraph.isNull());

  OSPoint(0, "Ashford");
  OSPoint(1, "Bexley");
  messages.Calls.clear();
  Choose(res::CM_TRAIN_GRAPH);
  EXPECT_TRUE(messages.Calls.empty());
  auto* graph = qobject_cast<TTrainGraph*>(TheDataWindows.TrainGraph.data());
  ASSERT_NE(graph, nullptr);
  EXPECT_TRUE(graph->isVisible());
  EXPECT_EQ(graph->windowTitle(), "Train Graph");
  EXPECT_EQ(graph->GraphLayout().OSLines, 2);
  EXPECT_EQ(graph->GraphLayout().LastDay, graph->GraphLayout().FirstDay);

  // A new run or territory closes it rather than refreshing it.
  store().RefreshAllWindows();
  EXPECT_TRUE(TheDataWindows.TrainGraph.isNull());
}

TEST_F(PrintingWindowsTest, InCTCControlModeTheGraphOpensWithoutAStartAndKeepsItsSizes) {
  OptionData options = store().GetOptionData();
  options.CTCControlOn = 1;
  store().UpdateOptionData(options);
  OSPoint(0, "Ashford");
  Choose(res::CM_TRAIN_GRAPH);
  auto* graph = qobject_cast<TTrainGraph*>(TheDataWindows.TrainGraph.data());
  ASSERT_NE(graph, nullptr);
  FindControl<QLineEdit>(graph, 1094)->setText("45");
  FindControl<QLineEdit>(graph, 1095)->setText("75");
  FindControl<QPushButton>(graph, 1096)->click();
  graph->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  ASSERT_TRUE(TheDataWindows.TrainGraph.isNull());

  Choose(res::CM_TRAIN_GRAPH);
  graph = qobject_cast<TTrainGraph*>(TheDataWindows.TrainGraph.data());
  ASSERT_NE(graph, nullptr);
  EXPECT_EQ(FindControl<QLineEdit>(graph, 1094)->text(), "45");
  EXPECT_EQ(FindControl<QLineEdit>(graph, 1095)->text(), "75");
  EXPECT_TRUE(messages.Calls.empty());
}

}  // namespace

TEST(PrintingMenuItems, FileMenuPrintsTheLayoutAndTheTwoSettingsReports) {
  QTemporaryDir folder;
  FakeMessageService messages;
  auto app = StartShownProgram(folder, &messages);
  messages.Calls.clear();
  territory::BuildDemonstrationTerritory(*TheStore);
  TheStore->InitSimulationStatus();
  TTrainPrinter& printer = TheMainFrame->Printer();
  printer.Device().setOutputFormat(QPrinter::PdfFormat);
  struct Case {
    int command;
    const char* file;
    const char* texts[2];
    bool severalPages;
  };
  const Case cases[] = {
      {res::CM_PRINT_LAYOUT, "layout.pdf", {"Ashford", "Bexley"}, true},
      {res::CM_PRINT_ALERT_PARAMETERS, "alerts.pdf", {"Alert Parameters", "Crew Expired"}, false},
      {res::CM_PRINT_RANDOM_PERFORMANCE, "random.pdf", {"Random Performance", "TRAIN TYPES"}, false},
  };
  for (const Case& c : cases) {
    const QString pdf = folder.filePath(c.file);
    printer.Device().setOutputFileName(pdf);
    TheMainFrame->Commands().UpdateEnabled();
    QAction* item = nullptr;
    for (QAction* entry : TheMainFrame->menuBar()->actions())
      if (QMenu* menu = entry->menu())
        for (QAction* candidate : menu->actions())
          if (candidate->objectName() == QString::number(c.command)) item = candidate;
    ASSERT_NE(item, nullptr) << c.file;
    ASSERT_TRUE(item->isEnabled()) << c.file;
    item->trigger();
    const auto pages = PdfPages(pdf.toStdString());
    EXPECT_EQ(PdfPageCount(pdf.toStdString()) > 1, c.severalPages) << c.file;
    std::string all;
    for (const auto& page : pages) all += page;
    for (const char* text : c.texts) EXPECT_NE(all.find(text), std::string::npos) << c.file << ": " << text;
  }
  EXPECT_TRUE(messages.Calls.empty());
}
