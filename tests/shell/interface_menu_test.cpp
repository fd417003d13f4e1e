// The running program's way into the message interfaces: the Options menu's
// folder dialogs, and the interface service the store reaches.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <filesystem>
#include <memory>

#include "interface/interface_service.h"
#include "interface/xfer_msg.h"
#include "resources/interface_folder_ids.h"
#include "resources/resource_ids.h"
#include "shell/corvane3_app.h"
#include "shell/corvane3_dec.h"
#include "shell/globals.h"
#include "store/corvane3_data.h"
#include "store/fixed_text.h"
#include "store/settings_files.h"
#include "tests/shell/gui_app.h"
#include "tests/support/fake_services.h"

namespace {

class InterfaceMenuTest : public ::testing::Test {
 protected:
  InterfaceMenuTest() { EnsureQApplication(); }
  void Start() {
    app_ = std::make_unique<TCorvane3App>(QStringList{folder_.filePath("corvane3")}, &messages);
    app_->InitMainWindow();
    TheStore = &app_->Store();
  }
  Corvane3Data& store() { return *TheStore; }

  // Chooses the menu command; while its dialog is up, types the folder, sets the log box and presses OK.
  QString RunFolderDialog(int command, const QString& typed, bool log) {
    QString title;
    WhenModalOpens([&](QWidget* modal) {
      ASSERT_NE(modal, nullptr);
      title = modal->windowTitle();
      modal->findChild<QLineEdit*>(QString::number(res::IDC_FOLDER_NAME))->setText(typed);
      modal->findChild<QCheckBox*>(QString::number(res::IDC_FOLDER_LOG))->setChecked(log);
      modal->findChild<QPushButton*>("1")->click();
    });
    EXPECT_TRUE(TheMainFrame->Commands().Dispatch(command));
    return title;
  }

  QTemporaryDir folder_;
  FakeMessageService messages;
  std::unique_ptr<TCorvane3App> app_;
};

TEST_F(InterfaceMenuTest, TheOptionsMenuOpensBothFolderDialogs) {
  Start();
  CommandRegistry& commands = TheMainFrame->Commands();
  EXPECT_TRUE(commands.IsEnabled(res::CM_CTC_FOLDER));
  EXPECT_TRUE(commands.IsEnabled(res::CM_EIO_FOLDER));

  const std::filesystem::path chosen = std::filesystem::path(folder_.path().toStdString()) / "exchange";
  std::filesystem::create_directory(chosen);
  EXPECT_EQ(RunFolderDialog(res::CM_EIO_FOLDER, QString::fromStdString(chosen.string()), false),
            "Assign Eternal I/O Folder Name");
  EXPECT_EQ(xfer::ChannelFolder(store(), xfer::Channel::ExternalIO), chosen.string() + "/");
  EXPECT_EQ(+store().GetOptionData().EIOLogOn, 0);

  EXPECT_EQ(RunFolderDialog(res::CM_CTC_FOLDER, QString::fromStdString(chosen.string() + "/"), true),
            "Assign CTC Folder Name");
  EXPECT_EQ(xfer::ChannelFolder(store(), xfer::Channel::CTCControl), chosen.string() + "/");
  EXPECT_EQ(+store().GetOptionData().CTCLogOn, 1);
  EXPECT_TRUE(std::filesystem::is_empty(chosen));
  EXPECT_TRUE(messages.Calls.empty());
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(InterfaceMenuTest, TheStoreReachesTheMessageInterfaces) {
  Start();
  EXPECT_NE(dynamic_cast<MessageInterfaceService*>(&store().Interface()), nullptr);
}

// Started in CTC control mode, the program asks the field side for the state of everything.
TEST_F(InterfaceMenuTest, StartingInCTCControlModeAsksForAllData) {
  {
    Corvane3Data saved;
    SetFieldText(saved.ProgramFolder, kPathChars, folder_.path().toStdString() + "/");
    OptionData options = saved.GetOptionData();
    options.CTCControlOn = 1;
    options.CTCNextOutgoing = 41;
    saved.UpdateOptionData(options);
    ASSERT_EQ(SettingsFiles(saved).SaveOptions(), 0);
  }
  Start();
  ASSERT_EQ(store().CTCQueue.Count, 1);
  EXPECT_TRUE(std::string(store().CTCQueue.Lines[0].data()).starts_with("CONTROL,0041,ALLDATA,"));
  EXPECT_EQ(+store().GetOptionData().CTCNextOutgoing, 42);
}

}  // namespace
