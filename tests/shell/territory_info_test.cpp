// Data > About Territory in the running program: the territory's description
// shown, the comments file checked, made when missing and handed to the
// desktop, Print giving "Territory Data" of what is shown while the store
// keeps its record, and Enter refused. File > Print Alert List prints the
// run's alerts and is greyed while there are none.
#include "dialogs/territory_info.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <cstring>
#include <map>
#include <memory>
#include <sstream>

#include "platform/controls.h"
#include "resources/resource_ids.h"
#include "resources/territory_info_ids.h"
#include "shell/corvane3_app.h"
#include "shell/corvane3_dec.h"
#include "shell/globals.h"
#include "store/corvane3_data.h"
#include "store/fixed_text.h"
#include "store/track_file.h"
#include "tests/shell/gui_app.h"
#include "tools/territory/demo_territory.h"
#include "tests/support/fake_services.h"
#include "tests/support/file_bytes.h"
#include "tests/support/pdf_text.h"

namespace {

class TerritoryInfoTest : public ::testing::Test {
 protected:
  TerritoryInfoTest() {
    app_ = StartShownProgram(folder_, &messages);
    messages.Calls.clear();
    TerritoryData data = store().GetTerritoryData();
    SetFieldText(data.Name, "Alder Valley");
    SetFieldText(data.Version, "2.1");
    SetFieldText(data.Address, "12 Depot Road\nAlder\nNorth Province");
    data.PublicDomain = 1;
    data.CopyrightProtected = 0;
    store().UpdateTerritoryData(data);
    TheMainFrame->Printer().Device().setOutputFormat(QPrinter::PdfFormat);
    TheMainFrame->Printer().Device().setOutputFileName(Pdf());
    TheMainFrame->SetShellOpener([this](const std::string& path) {
      opened.push_back(path);
      return ShellOpenResult::Opened;
    });
  }
  Corvane3Data& store() { return *TheStore; }
  QString Pdf() const { return folder_.filePath("territory.pdf"); }

  // The menu item with that id, its enabled state brought up to date.
  static QAction* Item(int id) {
    TheMainFrame->Commands().UpdateEnabled();
    for (QAction* entry : TheMainFrame->menuBar()->actions()) {
      if (QMenu* menu = entry->menu()) {
        for (QAction* item : menu->actions()) {
          if (item->objectName() == QString::number(id)) return item;
        }
      }
    }
    return nullptr;
  }
  // Opens About Territory from its menu item and acts on the dialog.
  template <class Act>
  void WithDialog(Act act) {
    bool seen = false;
    WhenModalOpens([&](QWidget* modal) {
      auto* dialog = dynamic_cast<TTerritoryData*>(modal);
      ASSERT_NE(dialog, nullptr);
      seen = true;
      act(dialog);
      if (dialog->isVisible()) dialog->reject();
    });
    QAction* about = Item(res::CM_ABOUT_TERRITORY);
    ASSERT_NE(about, nullptr);
    ASSERT_TRUE(about->isEnabled());
    about->trigger();
    EXPECT_TRUE(seen);
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const MessageCall& call : messages.Calls) texts.push_back(call.Text);
    return texts;
  }

  QTemporaryDir folder_;
  FakeMessageService messages;
  std::unique_ptr<TCorvane3App> app_;
  std::vector<std::string> opened;
};

TEST_F(TerritoryInfoTest, ShowsTheDescriptionAndOpensOnlyATxtCommentsFileMakingItWhenMissing) {
  const QString notes = folder_.filePath("notes.TXT");
  WithDialog([&](TTerritoryData* dialog) {
    EXPECT_EQ(dialog->windowTitle(), "Territory Information");
    EXPECT_EQ(FindControl<QLineEdit>(dialog, res::IDC_TERRITORY_NAME)->text(), "Alder Valley");
    EXPECT_EQ(FindControl<QPlainTextEdit>(dialog, res::IDC_TERRITORY_ADDRESS)->toPlainText(),
              "12 Depot Road\nAlder\nNorth Province");
    EXPECT_TRUE(FindControl<QRadioButton>(dialog, res::IDC_TERRITORY_PUBLIC_DOMAIN)->isChecked());
    auto* comments = FindControl<QLineEdit>(dialog, res::IDC_TERRITORY_COMMENTS_FILE);
    auto* open = FindControl<QPushButton>(dialog, res::IDC_TERRITORY_OPEN);

    struct Case {
      QString Name;
      const char* Message;  // null: opened
    } cases[] = {{folder_.filePath("notes.doc"), "The comments file name must have a \".txt\" file name extension."},
                 {"", "Could not open comments file"},
                 {folder_.filePath("no such folder/notes.txt"), "Could not open comments file"},
                 {notes, nullptr}};
    for (const Case& c : cases) {
      messages.Calls.clear();
      opened.clear();
      comments->setText(c.Name);
      open->click();
      if (c.Message) {
        EXPECT_EQ(Texts(), std::vector<std::string>{c.Message}) << c.Name.toStdString();
        EXPECT_EQ(messages.Calls[0].Icon, MessageIcon::Error);
        EXPECT_TRUE(opened.empty());
      } else {
        EXPECT_TRUE(messages.Calls.empty());
        EXPECT_EQ(opened, std::vector<std::string>{notes.toStdString()});
      }
    }
  });
  QFile made(notes);
  EXPECT_TRUE(made.exists());
  EXPECT_EQ(made.size(), 0);
  EXPECT_FALSE(QFile::exists(folder_.filePath("notes.doc")));
}

// The demonstration territory fills every field of its description.
TEST_F(TerritoryInfoTest, TheDemonstrationTerritoryShowsEveryText) {
  territory::BuildDemonstrationTerritory(store());
  const TerritoryData data = store().GetTerritoryData();
  WithDialog([&](TTerritoryData* dialog) {
    const struct {
      int Id;
      std::string Stored;
    } lines[] = {{res::IDC_TERRITORY_NAME, FieldText(data.Name)},
                 {res::IDC_TERRITORY_VERSION, FieldText(data.Version)},
                 {res::IDC_TERRITORY_COUNTRY, FieldText(data.Country)},
                 {res::IDC_TERRITORY_RAILROAD, FieldText(data.Railroad)},
                 {res::IDC_TERRITORY_DIVISION, FieldText(data.Division)},
                 {res::IDC_TERRITORY_FROM, FieldText(data.From)},
                 {res::IDC_TERRITORY_TO, FieldText(data.To)},
                 {res::IDC_TERRITORY_YEAR, FieldText(data.Year)},
                 {res::IDC_TERRITORY_TRACK_FILE, FieldText(data.TrackFileName)},
                 {res::IDC_TERRITORY_AUTHOR, FieldText(data.Author)},
                 {res::IDC_TERRITORY_EMAIL, FieldText(data.Email)},
                 {res::IDC_TERRITORY_COMMENTS_FILE, FieldText(data.CommentsFile)}};
    for (const auto& line : lines) {
      const QLineEdit* field = FindControl<QLineEdit>(dialog, line.Id);
      const std::string shown = field->text().toStdString();
      EXPECT_FALSE(shown.empty()) << line.Id;
      EXPECT_EQ(shown, line.Stored) << line.Id;
      EXPECT_EQ(field->cursorPosition(), 0) << line.Id << ": a text wider than its field shows its start";
    }
    for (const int id : {res::IDC_TERRITORY_ADDRESS, res::IDC_TERRITORY_NOTICE}) {
      const QPlainTextEdit* box = FindControl<QPlainTextEdit>(dialog, id);
      EXPECT_FALSE(box->toPlainText().isEmpty()) << id;
      EXPECT_EQ(box->textCursor().position(), 0) << id;
    }
  });
}

TEST_F(TerritoryInfoTest, PrintGivesWhatIsShownAndEnterStoresNothing) {
  const TerritoryData before = store().GetTerritoryData();
  WithDialog([&](TTerritoryData* dialog) {
    FindControl<QLineEdit>(dialog, res::IDC_TERRITORY_NAME)->setText("Typed Name");
    FindControl<QRadioButton>(dialog, res::IDC_TERRITORY_COPYRIGHTED)->setChecked(true);
    FindControl<QPushButton>(dialog, res::IDC_TERRITORY_PRINT)->click();
    TerritoryData now = store().GetTerritoryData();
    EXPECT_EQ(std::memcmp(&now, &before, sizeof now), 0) << "printing changes nothing";

    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(FindControl<QLineEdit>(dialog, res::IDC_TERRITORY_NAME), &enter);
    EXPECT_FALSE(dialog->isVisible());
  });
  EXPECT_EQ(Texts(), std::vector<std::string>{"You cannot make changes to the data shown in this display.  You must "
                                              "use Quarnel to change the data."});
  TerritoryData now = store().GetTerritoryData();
  EXPECT_EQ(std::memcmp(&now, &before, sizeof now), 0);

  const auto pages = PdfPages(Pdf().toStdString());
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_NE(pages[0].find("Territory Data"), std::string::npos);
  EXPECT_NE(pages[0].find("Typed Name"), std::string::npos);
  EXPECT_NE(pages[0].find("Yes"), std::string::npos) << "copyrighted, as the dialog shows";
}

TEST_F(TerritoryInfoTest, PrintAlertListIsGreyedWithoutAlertsAndPrintsThemOldestFirst) {
  ASSERT_NE(Item(res::CM_PRINT_ALERTS), nullptr);
  EXPECT_EQ(Item(res::CM_PRINT_ALERTS)->text(), "Print Alert List");
  EXPECT_FALSE(Item(res::CM_PRINT_ALERTS)->isEnabled());
  const char* const alerts[] = {"ALERT 0001  06:00 first", "ALERT 0002  06:05 second"};
  for (const char* alert : alerts) {
    auto& line = store().Run.AlertLines[static_cast<size_t>(store().Run.AlertLinesUsed++)];
    std::strncpy(line.data(), alert, line.size() - 1);
  }
  QAction* print = Item(res::CM_PRINT_ALERTS);
  ASSERT_TRUE(print->isEnabled());
  print->trigger();
  const auto pages = PdfPages(Pdf().toStdString());
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_NE(pages[0].find("Alert List"), std::string::npos);
  EXPECT_LT(pages[0].find("first"), pages[0].find("second"));
  EXPECT_NE(pages[0].find("Page 1"), std::string::npos);
}

// A track file whose description the territory-building program wrote, each text at its own place in the
// record (written here byte by byte, not through the record's names): Territory Information shows each in
// its own field, whole, and the printed "Territory Data" gives each beside its own label.
TEST_F(TerritoryInfoTest, ATrackFileShowsEachDescriptionTextInItsOwnFieldOnScreenAndInPrint) {
  territory::BuildDemonstrationTerritory(store());
  const std::string track = folder_.filePath("described.trk").toStdString();
  ASSERT_EQ(TrackFile(store()).Write(track, 0), 0);
  struct Text {
    size_t Offset, Width;
    int Id;
    const char* Label;
    std::string Value;
  };
  // The widest each field holds, so that a field placed or cut wrongly shows.
  const auto widest = [](const std::string& start, size_t width) {
    std::string text = start;
    while (text.size() < width - 1) text += text.size() % 7 == 6 ? ' ' : static_cast<char>('a' + text.size() % 26);
    return text;
  };
  const Text texts[] = {
      {41, 41, res::IDC_TERRITORY_COUNTRY, "Country:", widest("Northland", 41)},
      {82, 41, res::IDC_TERRITORY_RAILROAD, "Railroad:", widest("Alder Valley Railway", 41)},
      {123, 41, res::IDC_TERRITORY_DIVISION, "Division/Sub:", widest("Hill Division", 41)},
      {164, 61, res::IDC_TERRITORY_FROM, "From:", widest("Millford Junction", 61)},
      {225, 61, res::IDC_TERRITORY_TO, "To:", widest("Harbour Yard", 61)},
      {286, 11, res::IDC_TERRITORY_YEAR, "Year:", "1957-1962"},
      {297, 121, res::IDC_TERRITORY_TRACK_FILE, "Track File:", "/maps/alder/valley.trk"},
  };
  const std::string notice = "Drawn by the Alder Valley\r\nHistorical Society";
  file_bytes::Bytes bytes = file_bytes::ReadBytes(track);
  constexpr size_t kTerritory = 128;  // behind the header and the counts
  const auto put = [&](size_t offset, size_t width, const std::string& text) {
    std::fill_n(bytes.begin() + static_cast<std::ptrdiff_t>(kTerritory + offset), width, uint8_t{0});
    std::copy(text.begin(), text.end(), bytes.begin() + static_cast<std::ptrdiff_t>(kTerritory + offset));
  };
  for (const Text& t : texts) put(t.Offset, t.Width, t.Value);
  put(974, 101, notice);
  file_bytes::WriteBytes(track, bytes);
  ASSERT_EQ(TrackFile(store()).Load(track, 0), 0);

  WithDialog([&](TTerritoryData* dialog) {
    for (const Text& t : texts)
      EXPECT_EQ(FindControl<QLineEdit>(dialog, t.Id)->text().toStdString(), t.Value) << t.Label;
    EXPECT_EQ(FindControl<QPlainTextEdit>(dialog, res::IDC_TERRITORY_NOTICE)->toPlainText(),
              "Drawn by the Alder Valley\nHistorical Society");
    FindControl<QPushButton>(dialog, res::IDC_TERRITORY_PRINT)->click();
  });
  const auto pages = PdfPages(Pdf().toStdString());
  ASSERT_FALSE(pages.empty());
  std::istringstream lines(pages[0]);
  std::map<std::string, std::string> printed;  // label -> the rest of its line
  for (std::string line; std::getline(lines, line);) {
    for (const Text& t : texts) {
      const size_t at = line.find(t.Label);
      if (at != std::string::npos && !printed.count(t.Label)) printed[t.Label] = line.substr(at + strlen(t.Label));
    }
    if (line.find("Notice:") != std::string::npos) printed["Notice:"] = line;
  }
  for (const Text& t : texts) {
    // The value begins on its label's line (a long one may wrap on).
    EXPECT_NE(printed[t.Label].find(t.Value.substr(0, 9)), std::string::npos) << t.Label << printed[t.Label];
  }
  EXPECT_NE(printed["Notice:"].find("Drawn by the Alder Valley"), std::string::npos) << printed["Notice:"];
}

}  // namespace
