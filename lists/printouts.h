// The printed tables: a page laid out in character cells of one fixed-pitch
// face and centred on the paper, a title, a header line with the territory's
// file and the date and time, column headings, body lines and "Page n" at the
// foot. The slow order and block permit reports are built on it here; the
// performance report beside its window.
#pragma once

#include <QFont>
#include <QRectF>
#include <QString>
#include <array>
#include <ctime>
#include <string>
#include <vector>

#include "platform/printer.h"

class Corvane3Data;
class QPainter;

// The header line's date and time: "December 7, 2026 10:35:05 pm".
std::string PrintDateTime(const std::tm& when);

// The number of entries before the first -1.
int32_t CountOrderList(const std::vector<int16_t>& orderList);
// The record indices a list shows, in its order, closed by -1 when fewer than capacity.
std::vector<int16_t> OrderListOf(const std::vector<int32_t>& records, size_t capacity);

class TTabularPrintout : public TPrintout {
 public:
  void SetPrintParams(QPainter& dc, QSize page) override;
  bool HasPage(int page) override { return page <= PageCount; }

  int32_t LinesPerPage = 1;
  int32_t PageCount = 1;
  int32_t ItemCount = 0;
  int32_t NextItem = 0;

 protected:
  // The job prints the records of orderList, in its order, up to the first -1.
  TTabularPrintout(Corvane3Data& store, const QString& jobTitle, QString pageTitle, int reportCells,
                   std::vector<int16_t> orderList, int headingPoints = 10);
  // The text block grows to the header line's length when that is longer than the report's cells.
  void WidenToHeader() { widenToHeader_ = true; }

  // The number of items the job prints, counted when the job starts.
  virtual int32_t CountItems() { return CountOrderList(orderList_); }
  // The record of an item.
  int16_t Record(int32_t item) const { return orderList_[static_cast<size_t>(item)]; }
  // The first estimate of the pages, before any is printed.
  virtual int32_t EstimatePages() = 0;

  // Title, header line, an empty heading line, then the heading rows: each row a list of (column, text,
  // alignment). Title and header are centred between left and right; the cursor ends one body line below
  // the headings, where the body starts.
  struct Heading {
    int Cell, Width;
    QString Text;
    Qt::Alignment Align;
  };
  // rowGap adds that much space below each heading row but the last.
  void PrintTop(int left, int right, const std::vector<std::vector<Heading>>& rows, int rowGap = 0);
  // One piece of body text in the cells (cell, width) of the current line.
  void BodyText(int cell, int width, const QString& text, Qt::Alignment align);
  void NextLine() { y_ += bodyLine_; }
  // A label in the heading font in the cells (cell, width) of the current line.
  void HeadingText(int cell, int width, const QString& text, Qt::Alignment align);
  // The body lines left between the current line and the foot of the page.
  int LinesLeft() const { return (pageHeight_ - y_) / bodyLine_; }
  // The page's width in cells of the fixed-pitch face.
  int PageCells() const { return pageWidth_ / cellWidth_; }
  int CellWidth() const { return cellWidth_; }
  // "Page n" at the foot of the page, centred between left and right.
  void PrintFooter(int page, int left, int right);

  int BodyLine() const { return bodyLine_; }
  // Heading and body characters of another size than the usual 10 points; set before the job starts.
  void SetTextPoints(int points) { textPoints_ = headingPoints_ = points; }
  // A job of several tables: the page title and the report width that the pages from now on take.
  void SetTable(QString pageTitle, int reportCells);

  int Margin() const { return margin_; }
  int RightEdge() const { return right_; }
  int PageWidth() const { return pageWidth_; }

  Corvane3Data& store_;

  // Every piece of text of the pages goes through here: in the font, aligned in the rectangle (left, top) to
  // (right, bottom) on one line, and cut off where it leaves that rectangle or the page.
  virtual void Text(const QFont& font, int left, int top, int right, int bottom, const QString& text,
                    Qt::Alignment align);

 private:
  void CentreReport();
  // How a font sets printable ASCII on the job's device, measured once a job: when each such character has
  // the same advance and a line of them is as wide as its advances add up to, where a text's ink lies in its
  // cells follows from its length.
  static constexpr char16_t kFirstPrintable = 0x20, kLastPrintable = 0x7E;
  struct Face {
    QFont Font;
    bool Fixed = false;
    qreal Advance = 0, Ascent = 0, Height = 0;
    std::array<QRectF, kLastPrintable - kFirstPrintable + 1> Ink;  // of each character, from its origin
  };
  Face MeasureFace(const QFont& font) const;
  // True when drawText would put all of the text's ink inside the cell, with room to spare.
  bool InkInside(const QFont& font, const QRect& cell, const QString& text, Qt::Alignment align);

  QString pageTitle_;
  int reportCells_;
  int textPoints_ = 10;
  std::vector<int16_t> orderList_;
  int headingPoints_;
  bool widenToHeader_ = false;
  QString header_;  // the header line, taken when the job starts
  QPainter* dc_ = nullptr;
  bool inkSet_ = false;  // pen, clip and a font set on dc_ for the job
  QFont inkFont_;        // the font last set
  std::vector<Face> faces_;
  int pageWidth_ = 0, pageHeight_ = 0;
  QFont titleFont_, headingFont_, bodyFont_, smallFont_;
  int titleLine_ = 0, headingLine_ = 0, bodyLine_ = 0;
  int cellWidth_ = 1;
  int margin_ = 0, right_ = 0;
  int y_ = 0;
};

class TTPrintSlow : public TTabularPrintout {
 public:
  TTPrintSlow(Corvane3Data& store, std::vector<int16_t> orderList);
  void PrintPage(int page) override;

 protected:
  int32_t CountItems() override;
  int32_t EstimatePages() override;

 private:
  std::vector<int> types_;
};

class TTPrintPermit : public TTabularPrintout {
 public:
  TTPrintPermit(Corvane3Data& store, std::vector<int16_t> orderList);
  void PrintPage(int page) override;

 protected:
  int32_t EstimatePages() override { return ItemCount / LinesPerPage + 1; }
};
