#include "lists/territory_report.h"

#include <QTextStream>
#include <algorithm>
#include <cstring>

#include "dialogs/territory_info.h"
#include "dialogs/train_fields.h"
#include "store/corvane3_data.h"
#include "store/fixed_text.h"
#include "store/whole_file/whole_file.h"

namespace {

constexpr int kValueCell = 15;
constexpr int kLabelCells = 21;
// Room kept under the comments of a page.
constexpr int kCommentReserve = 6;

// Text as lines of at most width characters: a line feed ends a line, a longer run breaks after its last blank
// within the width, or at the width when it has none.
QStringList Wrap(const QString& text, int width) {
  width = std::max(1, width);
  QStringList lines;
  for (QString rest : text.split('\n')) {
    if (rest.endsWith('\r')) rest.chop(1);
    while (rest.size() > width) {
      const qsizetype blank = rest.lastIndexOf(' ', width);
      if (blank > 0) {
        lines << rest.left(blank);
        rest = rest.mid(blank + 1);
      } else {
        lines << rest.left(width);
        rest = rest.mid(width);
      }
    }
    lines << rest;
  }
  return lines;
}

// The header line's text, as the page top prints it.
QString HeaderText(const Corvane3Data& store) {
  return QString::fromStdString(FieldText(store.TrackFilePath, kPathChars) + "    " +
                                PrintDateTime(store.GetRealTime()));
}

}  // namespace

// ---------------------------------------------------------------- territory data

TTPrintTerritory::TTPrintTerritory(Corvane3Data& store, const TerritoryData& territory)
    : TTabularPrintout(store, "Territory Data", "Territory Data", 0, {-1}), territory_(territory) {}

void TTPrintTerritory::SetPrintParams(QPainter& dc, QSize page) {
  TTabularPrintout::SetPrintParams(dc, page);
  // No margin: the report runs the page's width less one cell.
  const int width = std::max(1, PageCells() - 1);
  SetTable("Territory Data", width);
  comments_.clear();
  pageStarts_.clear();
  // The whole file is read now and closed at once, so that a job cancelled part way leaves nothing open.
  std::string bytes;
  if (!territory_.CommentsFile[0] ||
      whole_file::Read(CommentsFilePath(store_, FieldQText(territory_.CommentsFile)).toStdString(), bytes) !=
          whole_file::Result::Read) {
    return;
  }
  QString text = QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
  text.remove('\r');
  if (!text.isEmpty()) comments_ = Wrap(text.endsWith('\n') ? text.chopped(1) : text, width);
}

void TTPrintTerritory::PrintFields() {
  const int valueCells = std::max(1, PageCells() - 1 - kValueCell);
  auto line = [&](const char* label, const QStringList& values, int lines) {
    HeadingText(0, kLabelCells, label, Qt::AlignLeft);
    for (int i = 0; i < lines; ++i) {
      if (i < values.size()) BodyText(kValueCell, valueCells, values[i], Qt::AlignLeft);
      NextLine();
    }
  };
  auto one = [&](const char* label, const QString& value) { line(label, {value}, 1); };
  // Several lines drawn as they are, then one empty line.
  auto block = [&](const char* label, const QString& value) {
    const QStringList lines = value.split('\n');
    line(label, lines, static_cast<int>(lines.size()) + 1);
  };
  one("Name:", FieldQText(territory_.Name));
  one("Version:", FieldQText(territory_.Version));
  one("Country:", FieldQText(territory_.Country));
  one("Railroad:", FieldQText(territory_.Railroad));
  one("Division/Sub:", FieldQText(territory_.Division));
  one("Year:", FieldQText(territory_.Year));
  one("From:", FieldQText(territory_.From));
  one("To:", FieldQText(territory_.To));
  line("Track File:", Wrap(FieldQText(territory_.TrackFileName), valueCells), 2);
  one("Author:", FieldQText(territory_.Author));
  line("E-mail:", {FieldQText(territory_.Email)}, 2);
  block("Address:", FieldQText(territory_.Address).remove('\r'));
  line("Copyrighted:", {territory_.PublicDomain == 1 ? "No" : "Yes"}, 2);
  block("Notice:", FieldQText(territory_.CopyrightNotice).remove('\r'));
  line("Comments File:", Wrap(FieldQText(territory_.CommentsFile), valueCells), 2);
}

void TTPrintTerritory::PrintPage(int page) {
  PrintTop(Margin(), RightEdge(), {});
  if (page == 1) PrintFields();
  if (static_cast<int>(pageStarts_.size()) < page) pageStarts_.resize(static_cast<size_t>(page), 0);
  int next = page == 1 ? 0 : pageStarts_[static_cast<size_t>(page - 1)];
  // Every page carries at least one line, so the job always comes to an end.
  const int room = std::max(1, LinesLeft() - kCommentReserve);
  for (int i = 0; i < room && next < comments_.size(); ++i, ++next) {
    BodyText(0, PageCells() - 1, comments_[next], Qt::AlignLeft);
    NextLine();
  }
  if (next < comments_.size()) {
    pageStarts_.resize(static_cast<size_t>(page + 1));
    pageStarts_[static_cast<size_t>(page)] = next;
    if (page == PageCount) ++PageCount;
  }
}

// ---------------------------------------------------------------- alert list

TTPrintAlerts::TTPrintAlerts(Corvane3Data& store) : TTabularPrintout(store, "Alert List", "Alert List", 0, {-1}) {}

int32_t TTPrintAlerts::CountItems() {
  lines_.clear();
  const int used = std::clamp(store_.Run.AlertLinesUsed, 0, kAlertLines);
  for (int i = 0; i < used; ++i) {
    const auto& line = store_.Run.AlertLines[static_cast<size_t>(i)];
    lines_ << QString::fromLatin1(line.data(), static_cast<qsizetype>(strnlen(line.data(), line.size())));
  }
  return static_cast<int32_t>(lines_.size());
}

void TTPrintAlerts::SetPrintParams(QPainter& dc, QSize page) {
  TTabularPrintout::SetPrintParams(dc, page);
  qsizetype width = HeaderText(store_).size();
  for (const QString& line : lines_) width = std::max(width, line.size());
  SetTable("Alert List", static_cast<int>(width));
}

void TTPrintAlerts::PrintPage(int page) {
  PrintTop(Margin(), RightEdge(), {});
  const int width = (RightEdge() - Margin()) / CellWidth();
  int32_t lines = 0;
  while (NextItem < ItemCount) {
    BodyText(0, width, lines_[NextItem++], Qt::AlignLeft);
    NextLine();
    if (++lines > LinesPerPage) break;
  }
  PrintFooter(page, Margin(), RightEdge());
  if (page == PageCount && NextItem < ItemCount) ++PageCount;
}
