// The running program driven as an outside program drives it in External I/O
// mode: command files written into the folder while the tick runs, replies read
// back from the indication file, and the program's real message boxes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "shell/corvane3_app.h"
#include "shell/globals.h"
#include "store/corvane3_data.h"
#include "store/fixed_text.h"
#include "tests/shell/gui_app.h"

namespace {

// Runs the event loop (and with it the program's timers) until `condition` holds; false when it
// has not held within ten seconds.
template <class Condition>
bool WaitFor(Condition condition) {
  QElapsedTimer clock;
  clock.start();
  while (!condition()) {
    if (clock.elapsed() > 10000) return false;
    QApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return true;
}

QMessageBox* ShownBox(const QString& text) {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    auto* box = qobject_cast<QMessageBox*>(widget);
    if (box && box->isVisible() && box->text() == text) return box;
  }
  return nullptr;
}

std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void Write(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// A damaged file named by a load or a simload brings up its box, and the interface goes on while it
// is up: the replies of the batch are in the indication file, and a command file written meanwhile
// is read and answered, before anybody answers the box.
TEST(ExternalIOBoxTest, ADamagedLoadShowsItsBoxWhileTheInterfaceGoesOnAnswering) {
  EnsureQApplication();
  struct Case {
    const char* command;
    const char* file;
    QString box;
    std::string refusal;
  };
  const Case cases[] = {
      {"load", "damaged.trk", "Illegal track territory file!",
       "The track file name in the fifth field of the message could not be loaded"},
      {"simload", "damaged.ssm", "Illegal simulation file!",
       "The simulation file name in the fifth field of the message could not be loaded"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command);
    QTemporaryDir folder;
    const std::string io = folder.filePath("io").toStdString() + "/";
    std::filesystem::create_directories(io);
    auto app = std::make_unique<TCorvane3App>(QStringList{folder.filePath("corvane3")});  // real boxes
    app->InitMainWindow();
    app->ShowFrame();
    Corvane3Data& store = app->Store();
    OptionData options = store.GetOptionData();
    options.ExternalIOOn = 1;
    options.CTCControlOn = 0;
    options.EIOLogOn = 0;
    options.EIOLastReceived = -1;
    SetFieldText(options.EIOFolder, io);
    store.UpdateOptionData(options);

    const std::string damaged = io + c.file;
    Write(damaged, "no territory here");
    const std::string indications = io + "cv3indications.txt";
    Write(io + "CV3commands.txt", "switch,0001,NoSuchSwitch,x,normal\ncontrol,0002," + std::string(c.command) +
                                      ",12:00:00," + damaged + ",mo,08:00\nswitch,0003,NoSuchSwitch,x,normal\n");
    QMessageBox* box = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (box = ShownBox(c.box)) != nullptr; }));

    const std::string before = Read(indications);
    const size_t refused = before.find("\"" + c.refusal + "\"");
    EXPECT_NE(refused, std::string::npos) << before;
    EXPECT_NE(before.find("\"switch,0001,NoSuchSwitch,x,normal\""), std::string::npos) << before;
    EXPECT_NE(before.find("\"switch,0003,NoSuchSwitch,x,normal\""), std::string::npos) << before;

    Write(io + "CV3commands.txt", "switch,0004,OtherSwitch,x,normal\n");
    EXPECT_TRUE(WaitFor([&] { return Read(indications).find("OtherSwitch") != std::string::npos; }));
    EXPECT_TRUE(box->isVisible()) << "answered while the box was up";
    box->button(QMessageBox::Ok)->click();
    EXPECT_TRUE(WaitFor([&] { return ShownBox(c.box) == nullptr; }));
    app.reset();
  }
}

}  // namespace
