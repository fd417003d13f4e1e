// The printed tables: a page laid out in character cells of one fixed-pitch
// face and centred on the paper, a title, a header line with the territory's
// file and the date and time, column headings, body lines and "Page n" at the
// foot. The slow order and block permit reports are built on it here; the
// performance report beside its window.
#pragma once

#include <QFont>
#include <QString>
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
  // "Page n" at the foot of the page, centred between left and right.
  void PrintFooter(int page, int left, int right);

  int BodyLine() const { return bodyLine_; }
  int Margin() const { return margin_; }
  int RightEdge() const { return right_; }
  int PageWidth() const { return pageWidth_; }

  Corvane3Data& store_;

 private:
  void Text(const QFont& font, int left, int top, int right, int bottom, const QString& text, Qt::Alignment align);

  QString pageTitle_;
  int reportCells_;
  std::vector<int16_t> orderList_;
  int headingPoints_;
  bool widenToHeader_ = false;
  QString header_;  // the header line, taken when the job starts
  QPainter* dc_ = nullptr;
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
