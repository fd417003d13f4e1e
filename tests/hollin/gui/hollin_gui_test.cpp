#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QImage>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QValidator>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>

#include "hollin/core/hollin_data.h"
#include "hollin/file_folder_dialog.h"
#include "hollin/hollin_window.h"
#include "hollin/order_app.h"
#include "hollin/send_file_dialog.h"
#include "tests/shell/gui_app.h"
#include "tests/support/file_bytes.h"

namespace {

template <class Condition>
bool WaitFor(Condition condition, int ms = 5000) {
  QElapsedTimer clock;
  clock.start();
  while (!condition()) {
    if (clock.elapsed() > ms) return false;
    QApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return true;
}

template <class W = QWidget>
W* Child(QWidget* parent, int id) {
  return parent->findChild<W*>(QString::number(id));
}

std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class HollinWindowTest : public ::testing::Test {
 protected:
  HollinWindowTest() {
    EnsureQApplication();
    root_ = std::filesystem::temp_directory_path() / ("hollin_gui_" + std::to_string(::getpid()) + "_" +
                                                      ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(root_);
    std::filesystem::create_directories(root_ / "program");
    std::filesystem::create_directories(root_ / "shared");
    program_ = (root_ / "program").string() + "/";
    shared_ = (root_ / "shared").string();
  }
  ~HollinWindowTest() override {
    app_.reset();
    std::filesystem::remove_all(root_);
  }

  // Starts the program and answers its first folder set-up with the shared folder, polling
  // every tenth of a second.
  THollinWindow* Start() {
    app_ = std::make_unique<TOrderApp>(program_);
    OnModal<TFileFolder>([this](TFileFolder* dialog) {
      Child<QLineEdit>(dialog, 104)->setText(QString::fromStdString(shared_));
      Child<QLineEdit>(dialog, 105)->setText("1");
      Child<QPushButton>(dialog, 1)->click();
    });
    app_->InitMainWindow();
    THollinWindow* window = app_->MainWindow();
    EXPECT_TRUE(WaitFor([window] { return !window->Waiting(); }));
    return window;
  }

  static void Trigger(QWidget* window, int id) { Child<QAction>(window, id)->trigger(); }
  static void TriggerLater(QWidget* window, int id) {
    QTimer::singleShot(0, window, [window, id] { Trigger(window, id); });
  }

  std::filesystem::path root_;
  std::string program_;
  std::string shared_;
  std::unique_ptr<TOrderApp> app_;
};

TEST_F(HollinWindowTest, StartsMaximizedWaitingThenAsksForTheFolderAndRefusesAnUnwritableOne) {
  app_ = std::make_unique<TOrderApp>(program_);
  QString refusal, caption, waitingLine;
  std::string missing = (root_ / "missing").string();
  OnModal<TFileFolder>([&](TFileFolder* dialog) {
    waitingLine = app_->MainWindow()->ScreenLines().front();
    EXPECT_EQ(dialog->windowTitle(), "Test File Folder Setup");
    Child<QLineEdit>(dialog, 104)->setText(QString::fromStdString(missing));
    OnModal<QMessageBox>([&](QMessageBox* box) {
      refusal = box->text();
      caption = box->windowTitle();
      box->button(QMessageBox::Ok)->click();
    });
    Child<QPushButton>(dialog, 1)->click();
    EXPECT_TRUE(dialog->isVisible());  // the dialog stays for the folder to be corrected
    Child<QLineEdit>(dialog, 104)->setText(QString::fromStdString(shared_));
    Child<QPushButton>(dialog, 1)->click();
  });
  app_->InitMainWindow();
  THollinWindow* window = app_->MainWindow();
  EXPECT_EQ(window->windowTitle(), "File Testing Program 1.0");
  EXPECT_TRUE(window->isMaximized());
  ASSERT_TRUE(WaitFor([window] { return !window->Waiting(); }));
  EXPECT_EQ(waitingLine, "Waiting to Start");
  EXPECT_EQ(refusal,
            "We cannot write to a file in the folder you specified.  Make sure it exists.  Please check and re-enter.");
  EXPECT_EQ(caption, "File Testing Program ");
  EXPECT_EQ(app_->Data().TestFolder(), shared_ + "/");
  EXPECT_TRUE(window->ScreenLines().front().startsWith("Running   Time "));
  EXPECT_EQ(window->Timers().Interval(0), 1000);  // the default interval, one second
}

TEST_F(HollinWindowTest, RunningItAnswersTheControlFileAndShowsTheLinesTaken) {
  {
    // A number left from an earlier run: every start forgets it and takes the first line.
    THollinData earlier(program_);
    earlier.LoadOptions();
    HollinOptions options = earlier.GetOptions();
    options.LastReceivedSequence = 1;
    earlier.SetOptions(options);
  }
  THollinWindow* window = Start();
  EXPECT_EQ(+app_->Data().GetOptions().LastReceivedSequence, -1);
  std::ofstream(shared_ + "/cv3ctccontrols.txt")
      << "SWITCH,0001,SW1,10:00:00,REVERSE\nSIGNAL,0002,S1,10:00:00,CLEAR\nBLOCK,0003,B1,10:00:00,OCCUPIED\n";
  const std::string indications = shared_ + "/cv3ctcindications.txt";
  ASSERT_TRUE(WaitFor(
      [&] { return Read(indications).size() > 0 && !std::filesystem::exists(shared_ + "/cv3ctccontrols.txt"); }));
  const std::string answers = Read(indications);
  EXPECT_NE(answers.find(",SW1,"), std::string::npos);
  EXPECT_NE(answers.find("REVERSE,UNOCCUPIED\n"), std::string::npos);
  EXPECT_NE(answers.find("SIGNAL,0001,S1,"), std::string::npos);
  EXPECT_NE(answers.find(",CLEARED\n"), std::string::npos);

  const QStringList lines = window->ScreenLines();
  ASSERT_EQ(lines.size(), 5);
  EXPECT_EQ(lines[1], "Last Data In:");
  EXPECT_EQ(lines[2], "SWITCH,0001,SW1,10:00:00,REVERSE");
  EXPECT_EQ(lines[4], "BLOCK,0003,B1,10:00:00,OCCUPIED");
  EXPECT_NE(Read(program_ + "Test File Log.txt").find(" Input  SIGNAL,0002,S1,10:00:00,CLEAR\n"), std::string::npos);

  // The taken lines are painted: the band of the third one holds ink, the band below it none.
  QWidget* screen = window->centralWidget();
  screen->resize(1000, 300);
  const QImage picture = screen->grab().toImage();
  auto inked = [&](int top, int bottom) {
    for (int y = top; y < bottom; ++y)
      for (int x = 16; x < 600; ++x)
        if (qGray(picture.pixel(x, y)) < 128) return true;
    return false;
  };
  EXPECT_TRUE(inked(48, 68));
  EXPECT_TRUE(inked(108, 128));
  EXPECT_FALSE(inked(130, 160));

  // The folder, the interval and the own numbering survive a restart.
  app_.reset();
  TOrderApp again(program_);
  EXPECT_EQ(again.Data().TestFolder(), shared_ + "/");
  EXPECT_EQ(+again.Data().GetOptions().Interval, 1);
  EXPECT_EQ(+again.Data().GetOptions().OwnSequence, 2);
}

TEST_F(HollinWindowTest, ExitAsksFirstAndNoKeepsTheProgram) {
  THollinWindow* window = Start();
  QString question, caption;
  OnModal<QMessageBox>([&](QMessageBox* box) {
    question = box->text();
    caption = box->windowTitle();
    box->button(QMessageBox::No)->click();
  });
  Trigger(window, 24310);
  EXPECT_EQ(question, "Do you want to exit the program?");
  EXPECT_EQ(caption, "File Test Program ");
  EXPECT_TRUE(window->isVisible());

  OnModal<QMessageBox>([](QMessageBox* box) { box->button(QMessageBox::Yes)->click(); });
  Trigger(window, 24310);
  EXPECT_FALSE(window->isVisible());
}

TEST_F(HollinWindowTest, SetupChangesTheIntervalOfTheTick) {
  THollinWindow* window = Start();
  OnModal<TFileFolder>([](TFileFolder* dialog) {
    auto* interval = Child<QLineEdit>(dialog, 105);
    EXPECT_EQ(interval->text(), "1");
    EXPECT_EQ(interval->maxLength(), 4);
    QString typed = "2x5";
    int at = 0;
    EXPECT_EQ(interval->validator()->validate(typed, at), QValidator::Invalid);  // digits only
    interval->setText("25");
    Child<QPushButton>(dialog, 1)->click();
  });
  Trigger(window, 11844);
  EXPECT_EQ(+app_->Data().GetOptions().Interval, 25);
  EXPECT_EQ(window->Timers().Interval(0), 2500);

  // Cancel changes nothing.
  OnModal<TFileFolder>([this](TFileFolder* dialog) {
    Child<QLineEdit>(dialog, 104)->setText(QString::fromStdString((root_ / "program").string()));
    Child<QPushButton>(dialog, 2)->click();
  });
  Trigger(window, 11844);
  EXPECT_EQ(app_->Data().TestFolder(), shared_ + "/");
}

TEST_F(HollinWindowTest, SendFileSendsBrowsesFromTheLastFolderAndRefusesAMissingFile) {
  THollinWindow* window = Start();
  const std::string events = (root_ / "program" / "events.txt").string();
  std::ofstream(events) << "BLOCK,B7,OCCUPIED\nSWITCH,SW1,NORMAL,CLEARED\n";

  // A missing file: the message, and the dialog stays until a readable one is given.
  QString refusal, openRefusal;
  OnModal<TSendFile>([&](TSendFile* dialog) {
    EXPECT_EQ(dialog->windowTitle(), "Send File");
    auto* file = Child<QLineEdit>(dialog, 104);
    EXPECT_EQ(file->text(), "");
    file->setText(QString::fromStdString((root_ / "none.txt").string()));
    OnModal<QMessageBox>([&](QMessageBox* box) {
      openRefusal = box->text();
      box->button(QMessageBox::Ok)->click();
    });
    Child<QPushButton>(dialog, 102)->click();
    OnModal<QMessageBox>([&](QMessageBox* box) {
      refusal = box->text();
      box->button(QMessageBox::Ok)->click();
    });
    Child<QPushButton>(dialog, 1)->click();
    EXPECT_TRUE(dialog->isVisible());
    std::string opened;
    dialog->SetOpener([&](const std::string& path) { opened = path; });
    file->setText(QString::fromStdString(events));
    Child<QPushButton>(dialog, 102)->click();
    EXPECT_EQ(opened, events);
    Child<QPushButton>(dialog, 1)->click();
  });
  Trigger(window, 2001);
  EXPECT_EQ(openRefusal, "Could not open send file");
  EXPECT_EQ(refusal, "We cannot read the file you specified.  Make sure it exists.  Please check and re-enter.");
  const std::string sent = Read(shared_ + "/cv3ctcindications.txt");
  EXPECT_EQ(sent.substr(0, 14), "BLOCK,0000,B7,");
  EXPECT_NE(sent.find("\nSWITCH,0001,SW1,"), std::string::npos);
  EXPECT_NE(sent.find(",NORMAL,CLEARED\n"), std::string::npos);

  // Browse starts in the folder of the last file sent; the chosen file replaces the text.
  const std::string other = (root_ / "shared" / "more.txt").string();
  std::ofstream(other) << "BLOCK,B8,UNOCCUPIED\n";
  QString startFolder, chosen;
  OnModal<TSendFile>([&](TSendFile* dialog) {
    EXPECT_EQ(Child<QLineEdit>(dialog, 104)->text().toStdString(), events);
    // The dialog lists its folder in the background and may put another name in its field when the
    // listing comes in late (on a busy machine): the answer is given until the dialog takes it.
    OnModal<QFileDialog>([&](QFileDialog* files) {
      startFolder = files->directory().absolutePath();
      AnswerFileDialog(files, QString::fromStdString(other));
    });
    Child<QPushButton>(dialog, 101)->click();
    chosen = Child<QLineEdit>(dialog, 104)->text();
    Child<QPushButton>(dialog, 2)->click();
  });
  Trigger(window, 2001);
  EXPECT_EQ(startFolder.toStdString(), (root_ / "program").string());
  EXPECT_EQ(chosen.toStdString(), other);
}

// Setup and Send File opened on options that hold the widest texts and the largest interval, and answered
// with OK untouched: the stored options stay as they were, byte for byte (the typing limits are shorter
// than the fields).
TEST_F(HollinWindowTest, SetupAndSendFileAnsweredWithOkUntouchedLeaveEveryStoredByte) {
  THollinData data(program_);
  const auto longPath = [this](size_t chars, const std::string& name) {
    return file_bytes::LongPath(shared_, chars, name);
  };
  // A folder of 99 characters with its '/', and a file to send of 499 characters holding no line to send.
  const std::string folderFile = longPath(100, "x");
  const std::string folder = folderFile.substr(0, folderFile.size() - 1);
  const std::string sendFile = longPath(499, "send.txt");
  std::ofstream(sendFile) << "no line here has two commas\n";
  ASSERT_EQ(folder.size(), 99u);
  ASSERT_EQ(sendFile.size(), 499u);

  HollinOptions options = data.GetOptions();
  std::memcpy(options.TestFileFolder, folder.data(), folder.size());
  options.Interval = INT32_MAX;
  options.OwnSequence = 9999;
  std::memcpy(options.FileToSend, sendFile.data(), sendFile.size());
  data.SetOptions(options);
  const auto bytes = [&data] {
    const HollinOptions now = data.GetOptions();
    return std::string(reinterpret_cast<const char*>(&now), sizeof now);
  };
  const std::string before = bytes();

  struct Case {
    const char* Name;
    std::function<QDialog*()> Make;
  };
  const Case cases[] = {
      {"Setup", [&] { return new TFileFolder(data, nullptr); }},
      {"Send File", [&] { return new TSendFile(data, nullptr); }},
  };
  for (const Case& c : cases) {
    std::unique_ptr<QDialog> dialog(c.Make());
    Child<QPushButton>(dialog.get(), 1)->click();
    EXPECT_EQ(dialog->result(), QDialog::Accepted) << c.Name;
    EXPECT_EQ(bytes(), before) << c.Name;
  }
}

}  // namespace
