// The pages of a tabular printout drawn on one painter, page after page as
// on a printer, against a reference drawing of the same pieces of text each
// in a painter state of its own: the font, black, clipped to the page and
// drawn in its cell. The pages must come out pixel for pixel the same, so a
// text that leaves its cell or the page, moves, or takes another font shows.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <string>
#include <vector>

#include "lists/train_report.h"
#include "store/fixed_text.h"
#include "tests/shell/gui_app.h"
#include "tests/support/store_fixture.h"

namespace {

// The train data report, noting each piece of text it draws and the page it is on.
class NotedTrainPrintout : public TTPrintTrain {
 public:
  using TTPrintTrain::TTPrintTrain;
  struct Noted {
    int Page;
    QFont Font;
    QRect Cell;
    QString Text;
    Qt::Alignment Align;
  };
  std::vector<Noted> Texts;
  int Page = 0;

 protected:
  void Text(const QFont& font, int left, int top, int right, int bottom, const QString& text,
            Qt::Alignment align) override {
    if (!text.isEmpty())
      Texts.push_back({Page, font, QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)), text, align});
    TTPrintTrain::Text(font, left, top, right, bottom, text, align);
  }
};

int DifferingPixels(const QImage& a, const QImage& b) {
  int n = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) n += a.pixel(x, y) != b.pixel(x, y);
  return n;
}

class PrintoutPagesTest : public StoreFixture {
 protected:
  PrintoutPagesTest() { EnsureQApplication(); }

  // A train whose fields run over their columns: a days text wider than its cells and a change line
  // longer than the 80 cells it has.
  void Train(int slot, const std::string& id, int becomes, int splits) {
    TrainData train = store().GetTrainData(slot);
    train.InUse = 1;
    SetFieldText(train.TrainId, id);
    train.Type = 0;
    train.EntryDirection = static_cast<uint8_t>(slot % 2);
    train.Length = 12345;
    train.CrewMinutesWorked = 30;
    SetFieldText(train.Entrance, "E1");
    SetFieldText(train.Exit, "X1");
    train.EntranceMinutes = 6 * 60 + 5;
    for (uint8_t& day : train.Days) day = 1;
    train.LinkedTrain = -1;
    train.BecomesTrain = static_cast<int16_t>(becomes);
    train.SplitTrain = static_cast<int16_t>(splits);
    train.BecomeMinutes = 32767;
    train.ChangePlaceKind = 'P';
    SetFieldText(train.ChangePlaceName, std::string(22, 'W'));
    for (int i = 0; i < kTrainStations; ++i) {
      train.Stations[i].Minutes = i < 9 ? static_cast<uint16_t>(23 * 60 + 59) : 0xFFFF;
      train.Stations[i].DwellSeconds = 999;
    }
    for (int i = 0; i < kTrainMultipleEntries; ++i) {
      TrainMultipleEntry& leg = train.Multiple[i];
      SetFieldText(leg.NextEntrance, i < 2 ? "WW" : "");
      SetFieldText(leg.LegExit, "WW");
      SetFieldText(leg.Text8, std::string(10, 'W'));
      leg.ReentryMinutes = 0x7FFF;
      leg.Word19 = 0;
      leg.CrewMinutes = -1;
    }
    for (int i = 0; i < kTrainLocalWork; ++i) {
      SetFieldText(train.LocalWork[i].AreaName, i < 2 ? std::string(24, 'W') : "");
      train.LocalWork[i].Minutes = 0x7FFF;
    }
    store().UpdateTrainData(slot, train);
  }
};

TEST_F(PrintoutPagesTest, EveryPieceOfTextLandsInItsCellAndOnThePageAsIfDrawnAlone) {
  TrainType type = store().GetTrainType(0);
  type.InUse = 1;
  SetFieldText(type.Name, std::string(20, 'W'));
  store().UpdateTrainType(0, type);
  for (int p = 0; p < 9; ++p) {  // two groups of station schedules, the second one platform wide
    PlatformData platform = store().GetPlatformData(p);
    platform.InUse = 1;
    SetFieldText(platform.Name, std::string(20, static_cast<char>('A' + p)));
    store().UpdatePlatformData(p, platform);
  }
  Train(1, std::string(10, 'W'), 2, 3);
  Train(2, "MM-2", 3, -1);
  Train(3, "NB-3", -1, -1);

  // At 100 dots an inch the 120 cells of the train table are wider than the page, so its last columns
  // reach beyond the page's right edge; the paper around the page shows what would be drawn there.
  constexpr int kDotsPerMetre = 3937;
  const QSize page(700, 1000);
  const auto blank = [&] {
    QImage image(page.width() + 200, page.height() + 100, QImage::Format_RGB32);
    image.setDotsPerMeterX(kDotsPerMetre);
    image.setDotsPerMeterY(kDotsPerMetre);
    image.fill(Qt::white);
    return image;
  };

  // The printout's pages, one painter for all of them as on a printer.
  NotedTrainPrintout printout(store(), {1, 2, 3, -1});
  std::vector<QImage> printed;
  QImage paper = blank();
  {
    QPainter dc(&paper);
    printout.SetPrintParams(dc, page);
    for (int p = 1; printout.HasPage(p); ++p) {
      printout.Page = p;
      printout.PrintPage(p);
      printed.push_back(paper.copy());
      // A fresh sheet; what the printout set on the painter stays, as over a printer's new page.
      dc.save();
      dc.setClipping(false);
      dc.fillRect(paper.rect(), Qt::white);
      dc.restore();
    }
  }
  ASSERT_EQ(printed.size(), 5u) << "train table, two platform groups, multiple entries, local work";
  ASSERT_GT(printout.Texts.size(), 60u);

  for (int p = 1; p <= static_cast<int>(printed.size()); ++p) {
    SCOPED_TRACE("page " + std::to_string(p));
    QImage reference = blank();
    QPainter dc(&reference);
    int spilled = 0, beyondPage = 0;
    for (const auto& noted : printout.Texts) {
      if (noted.Page != p) continue;
      dc.save();
      dc.setFont(noted.Font);
      dc.setPen(Qt::black);
      dc.setClipRect(QRect(QPoint(0, 0), page));
      dc.drawText(noted.Cell, static_cast<int>(noted.Align | Qt::TextSingleLine), noted.Text);
      dc.restore();
      const QRect needs = QFontMetrics(noted.Font, &reference).boundingRect(noted.Text);
      spilled += needs.width() > noted.Cell.width();
      beyondPage += noted.Cell.right() >= page.width();
    }
    dc.end();
    // The fixture is of use only where texts are wider than their cells or beyond the page.
    if (p == 1) {
      EXPECT_GT(spilled, 0);
      EXPECT_GT(beyondPage, 0);
    }
    EXPECT_EQ(DifferingPixels(printed[static_cast<size_t>(p - 1)], reference), 0);
  }
}

}  // namespace
