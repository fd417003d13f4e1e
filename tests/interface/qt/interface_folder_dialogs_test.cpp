// The interface folder dialogs, driven through their controls.
#include "interface/qt/interface_folder_dialogs.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <filesystem>
#include <fstream>
#include <string>

#include "interface/folders.h"
#include "resources/interface_folder_ids.h"
#include "tests/shell/gui_app.h"
#include "tests/support/store_fixture.h"

namespace {

class FolderDialogTest : public StoreFixture {
 protected:
  FolderDialogTest() {
    EnsureQApplication();
    OptionData options = store().GetOptionData();
    SetFieldText(options.CTCFolder, "/old/ctc/");
    SetFieldText(options.EIOFolder, "/old/io/");
    options.CTCLogOn = 1;
    options.EIOLogOn = 0;
    store().UpdateOptionData(options);
  }
  template <class Dialog>
  QLineEdit* Name(Dialog& dialog) {
    return qobject_cast<QLineEdit*>(dialog.Control(res::IDC_FOLDER_NAME));
  }
  template <class Dialog>
  QCheckBox* Log(Dialog& dialog) {
    return qobject_cast<QCheckBox*>(dialog.Control(res::IDC_FOLDER_LOG));
  }
  template <class Dialog>
  void Click(Dialog& dialog, int id) {
    qobject_cast<QPushButton*>(dialog.Control(id))->click();
  }
};

TEST_F(FolderDialogTest, EachDialogShowsItsFolderAndLogSwitch) {
  TCTCFolder ctc(nullptr, store());
  EXPECT_EQ(ctc.windowTitle(), "Assign CTC Folder Name");
  EXPECT_EQ(qobject_cast<QLabel*>(ctc.Control(res::IDC_FOLDER_EXPLANATION))->text(),
            "Folder that conatins the CTC cv3commands.txt and cv3indications.txt files.");
  EXPECT_EQ(qobject_cast<QLabel*>(ctc.Control(res::IDC_FOLDER_LABEL))->text(), "Folder Name");
  EXPECT_EQ(Name(ctc)->text(), "/old/ctc/");
  EXPECT_EQ(Name(ctc)->maxLength(), 98);
  EXPECT_EQ(Log(ctc)->text(), "Log CTC File Records");
  EXPECT_TRUE(Log(ctc)->isChecked());

  TExternalIOFolder io(nullptr, store());
  EXPECT_EQ(io.windowTitle(), "Assign Eternal I/O Folder Name");
  EXPECT_EQ(qobject_cast<QLabel*>(io.Control(res::IDC_FOLDER_EXPLANATION))->text(),
            "Folder that conatins the External I/O cv3commands.txt and cv3indications.txt files.");
  EXPECT_EQ(Name(io)->text(), "/old/io/");
  EXPECT_EQ(Log(io)->text(), "Log External I/O File Records");
  EXPECT_FALSE(Log(io)->isChecked());
}

TEST_F(FolderDialogTest, AFolderThatCannotBeWrittenKeepsTheDialogOpen) {
  TExternalIOFolder dialog(nullptr, store());
  dialog.show();
  std::ofstream(folder() / "file") << "x";
  // Missing, a plain file, and empty (which would name the filesystem's root).
  for (const std::string& typed : {(folder() / "missing").string(), (folder() / "file").string(), std::string()}) {
    SCOPED_TRACE(typed);
    messages.Calls.clear();
    Name(dialog)->setText(QString::fromStdString(typed));
    Click(dialog, 1);
    ASSERT_EQ(messages.Calls.size(), 1u);
    EXPECT_EQ(messages.Calls[0].Text, xfer::kFolderRefused);
    EXPECT_EQ(messages.Calls[0].Icon, MessageIcon::Error);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(Name(dialog)->selectedText(), Name(dialog)->text()) << "the folder is selected for re-entry";
    EXPECT_EQ(xfer::ChannelFolder(store(), xfer::Channel::ExternalIO), "/old/io/");
  }

  const std::filesystem::path chosen = folder() / "io";
  std::filesystem::create_directory(chosen);
  Name(dialog)->setText(QString::fromStdString(chosen.string()));
  Log(dialog)->setChecked(true);
  Click(dialog, 1);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(xfer::ChannelFolder(store(), xfer::Channel::ExternalIO), chosen.string() + "/");
  EXPECT_EQ(+store().GetOptionData().EIOLogOn, 1);
  EXPECT_TRUE(std::filesystem::is_empty(chosen)) << "no probe file is left";
}

TEST_F(FolderDialogTest, AFolderTypedWithItsSeparatorKeepsOneAndTheLogSwitchGoesWithIt) {
  const std::filesystem::path chosen = folder() / "ctc";
  std::filesystem::create_directory(chosen);
  TCTCFolder dialog(nullptr, store());
  dialog.show();
  Name(dialog)->setText(QString::fromStdString(chosen.string() + "/"));
  Log(dialog)->setChecked(false);
  Click(dialog, 1);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(xfer::ChannelFolder(store(), xfer::Channel::CTCControl), chosen.string() + "/");
  EXPECT_EQ(+store().GetOptionData().CTCLogOn, 0);
  EXPECT_EQ(xfer::ChannelFolder(store(), xfer::Channel::ExternalIO), "/old/io/") << "the other channel keeps its own";
  EXPECT_TRUE(messages.Calls.empty());
}

TEST_F(FolderDialogTest, CancelChangesNothing) {
  TCTCFolder dialog(nullptr, store());
  dialog.show();
  Name(dialog)->setText("/somewhere/else");
  Log(dialog)->setChecked(false);
  Click(dialog, 2);
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
  EXPECT_EQ(xfer::ChannelFolder(store(), xfer::Channel::CTCControl), "/old/ctc/");
  EXPECT_EQ(+store().GetOptionData().CTCLogOn, 1);
  EXPECT_TRUE(messages.Calls.empty());
}

}  // namespace
