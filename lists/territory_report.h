// Two reports that are not tables. "Territory Data": the territory's
// description as labelled lines, then the text of its comments file over as
// many pages as it takes. "Alert List": the alert lines the run holds,
// oldest first.
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "lists/printouts.h"
#include "store/records.h"

class TTPrintTerritory : public TTabularPrintout {
 public:
  // The description printed is the one given (what the territory information dialog shows).
  TTPrintTerritory(Corvane3Data& store, const TerritoryData& territory);
  void SetPrintParams(QPainter& dc, QSize page) override;
  void PrintPage(int page) override;

  // The comments' display lines, word-wrapped to the page, as the job laid them out.
  const QStringList& CommentLines() const { return comments_; }

 protected:
  int32_t EstimatePages() override { return 1; }

 private:
  // Prints the fields from the current line on.
  void PrintFields();

  TerritoryData territory_;
  QStringList comments_;
  // The first comment line of each page.
  std::vector<int> pageStarts_;
};

class TTPrintAlerts : public TTabularPrintout {
 public:
  explicit TTPrintAlerts(Corvane3Data& store);
  void SetPrintParams(QPainter& dc, QSize page) override;
  void PrintPage(int page) override;

 protected:
  int32_t CountItems() override;
  int32_t EstimatePages() override { return ItemCount / LinesPerPage + 1; }

 private:
  QStringList lines_;
};
