// The dialog kit: controls by id, field checks one message at a time, the
// property sheet's pages and Apply, help, the read-only refusal and the lock.
#include "dialogs/dialog_kit.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QTabWidget>
#include <QValidator>

#include "platform/controls.h"
#include "platform/property_sheet.h"
#include "tests/shell/gui_app.h"
#include "tests/support/store_fixture.h"

namespace {

class DialogKitTest : public StoreFixture {
 protected:
  DialogKitTest() { EnsureQApplication(); }
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const MessageCall& call : messages.Calls) texts.push_back(call.Text);
    return texts;
  }
};

TEST_F(DialogKitTest, TypedFieldsTakeOnlyTheirCharactersAndAreFoundById) {
  QDialog dialog;
  QLineEdit* time = MakeTimeField(&dialog, 103, "06:00");
  QLineEdit* number = MakeNumberField(&dialog, 111, "0", 2);
  MakeReadOnlyField(&dialog, 7285, "east.ply", 254);
  EXPECT_EQ(FindControl<QLineEdit>(&dialog, 103), time);
  EXPECT_TRUE(FindControl<QLineEdit>(&dialog, 7285)->isReadOnly());
  EXPECT_EQ(FindControl<QPushButton>(&dialog, 103), nullptr);
  EXPECT_EQ(time->maxLength(), 5);
  EXPECT_EQ(number->maxLength(), 2);

  const struct {
    QLineEdit* field;
    const char* text;
    bool accepted;
  } cases[] = {{time, "9:05", true}, {time, "9a05", false}, {time, "-1", false},
               {number, "12", true}, {number, "1:", false}, {number, "x", false}};
  for (const auto& c : cases) {
    QString text = c.text;
    int at = 0;
    EXPECT_EQ(c.field->validator()->validate(text, at) == QValidator::Acceptable, c.accepted) << c.text;
  }
}

// The typing limit governs typing: a stored value longer than it is shown whole and given back as stored
// until the user changes the field.
TEST_F(DialogKitTest, AStoredValueIsShownWholeAndKeptUntilTheFieldIsEdited) {
  QDialog dialog;
  QLineEdit* bells = MakeNumberField(&dialog, 2015, "65535", 1);
  QLineEdit* reason = MakeTextField(&dialog, 106, "", 20);
  ShowStoredText(reason, "Rail renewal between the posts");
  EXPECT_EQ(bells->text(), "65535");
  EXPECT_EQ(reason->text(), "Rail renewal between the posts");
  EXPECT_FALSE(TextEdited(bells));
  EXPECT_EQ(KeptNumber<uint16_t>(bells, 65535, 0), 65535);
  ShowStoredText(reason, "short");
  EXPECT_EQ(reason->maxLength(), 20) << "the typing limit is back for a short value";

  bells->setText("3");
  EXPECT_TRUE(TextEdited(bells));
  EXPECT_EQ(KeptNumber<uint16_t>(bells, 65535, 0), 3);
  bells->clear();
  EXPECT_EQ(KeptNumber<uint16_t>(bells, 65535, 0), 0) << "an emptied field gives its none";
}

TEST_F(DialogKitTest, ChecksStopAtTheFirstWrongFieldWithOneMessageAndFocusIt) {
  QDialog dialog;
  QLineEdit* from = MakeTimeField(&dialog, 155, "25:00");
  QLineEdit* to = MakeTimeField(&dialog, 156, "99");
  dialog.show();
  FieldChecks checks;
  checks.Add(from, TimeFieldCheck(store(), "From Time")).Add(to, TimeFieldCheck(store(), "To Time"));

  EXPECT_FALSE(checks.Run());
  ASSERT_EQ(messages.Calls.size(), 1u);
  EXPECT_EQ(messages.Calls[0].Text,
            "The time entered in field \"From Time\" is incorrect.  The correct formats are X:XX, XX:XX, XXX or XXXX.");
  EXPECT_EQ(messages.Calls[0].Icon, MessageIcon::Error);
  EXPECT_EQ(dialog.focusWidget(), from);
  EXPECT_EQ(from->selectedText(), "25:00");

  from->setText("6:00");
  to->setText("1030");
  EXPECT_TRUE(checks.Run());
  EXPECT_EQ(messages.Calls.size(), 1u);
}

// A page that records what the sheet asked of it and refuses when told to.
class RecordingPage : public PropertyPage {
 public:
  RecordingPage(const QString& title, int id, std::vector<std::string>& log) : PropertyPage(title, id), log_(log) {}
  void SetActive() override { log_.push_back(Title().toStdString() + " active"); }
  bool KillActive() override {
    log_.push_back(Title().toStdString() + " kill");
    return !RefuseLeave;
  }
  bool Apply() override {
    log_.push_back(Title().toStdString() + " apply");
    return !RefuseApply;
  }
  void Help() override { log_.push_back(Title().toStdString() + " help"); }
  void Change() { emit Changed(); }
  bool RefuseLeave = false;
  bool RefuseApply = false;

 private:
  std::vector<std::string>& log_;
};

class PropertySheetTest : public DialogKitTest {
 protected:
  PropertySheetTest() {
    sheet.AddPage(general);
    sheet.AddPage(speeds);
  }
  QPushButton* Button(int id) { return FindControl<QPushButton>(&sheet, id); }
  QTabWidget* Tabs() { return sheet.findChild<QTabWidget*>(); }

  std::vector<std::string> log;
  PropertySheet sheet{nullptr, "Block Properties", 1};
  RecordingPage* general = new RecordingPage("General", 41, log);
  RecordingPage* speeds = new RecordingPage("Speed", 42, log);
};

TEST_F(PropertySheetTest, OpensOnTheStartPageAndLeavesAPageOnlyWhenItAgrees) {
  sheet.show();
  EXPECT_EQ(sheet.CurrentPage(), speeds);
  EXPECT_EQ(log, std::vector<std::string>{"Speed active"});

  speeds->RefuseLeave = true;
  EXPECT_FALSE(sheet.SelectPage(0));
  EXPECT_EQ(Tabs()->currentIndex(), 1);
  speeds->RefuseLeave = false;
  EXPECT_TRUE(sheet.SelectPage(0));
  EXPECT_EQ(sheet.CurrentPage(), general);
  EXPECT_EQ(log, (std::vector<std::string>{"Speed active", "Speed kill", "Speed kill", "General active"}));

  Button(0x0009)->click();
  EXPECT_EQ(log.back(), "General help");
  EXPECT_EQ(FindControl<PropertyPage>(&sheet, 42), speeds);
}

TEST_F(PropertySheetTest, ApplyIsEnabledByAChangeAndStoresEveryPage) {
  sheet.show();
  EXPECT_FALSE(Button(0x3021)->isEnabled());
  general->Change();
  ASSERT_TRUE(Button(0x3021)->isEnabled());
  log.clear();
  Button(0x3021)->click();
  EXPECT_EQ(log, (std::vector<std::string>{"Speed kill", "General apply", "Speed apply"}));
  EXPECT_FALSE(Button(0x3021)->isEnabled());
  EXPECT_TRUE(sheet.isVisible());
}

TEST_F(PropertySheetTest, OkStaysOpenOnAPageThatRefusesToStore) {
  sheet.show();
  general->RefuseApply = true;
  Button(1)->click();
  EXPECT_TRUE(sheet.isVisible());
  EXPECT_EQ(sheet.CurrentPage(), general);
  EXPECT_EQ(sheet.result(), 0);

  general->RefuseApply = false;
  Button(1)->click();
  EXPECT_FALSE(sheet.isVisible());
  EXPECT_EQ(sheet.result(), QDialog::Accepted);
}

TEST_F(DialogKitTest, HelpWithoutAViewerSaysSo) {
  for (uint8_t available : {0, 1}) {
    store().HelpAvailable = available;
    ShowHelp(store(), "block permit request");
  }
  EXPECT_EQ(shell.HelpNotAvailableCalls, 2);
}

TEST_F(DialogKitTest, ReadOnlyRefusalAndTheOneDialogLock) {
  RefuseReadOnlyChange(store());
  {
    DialogLock first(store());
    EXPECT_TRUE(first.Held());
    DialogLock second(store());
    EXPECT_FALSE(second.Held());
  }
  EXPECT_EQ(store().Run.DialogOpen, 0);
  DialogLock again(store());
  EXPECT_TRUE(again.Held());
  EXPECT_EQ(Texts(), (std::vector<std::string>{
                         "You cannot make changes to the data shown in this display.  You must use Quarnel to change "
                         "the data.",
                         "You cannot open a new Dialog Box until all open Dialog Boxes are closed"}));
}

}  // namespace
