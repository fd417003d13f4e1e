// The performance window ("Performance Data"): for every running train how far
// it has run and how much time it has lost, under a "TOTAL" row over all of
// them; a snapshot taken when the window opens. Its report, "Train Performance
// Data", prints the same table.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "lists/list_frame.h"
#include "lists/printouts.h"
#include "store/records.h"

// A train's performance counters, raw (seconds, feet or metres, counts), or their sums.
struct PerformFigures {
  int64_t Distance = 0, StopTime = 0, LostTime = 0, LateDepartureTime = 0, LateDepartures = 0, MissedExits = 0;

  void Add(const TrainStatus& train);
  // The six values as the columns show them: miles or kilometres, whole minutes, counts.
  std::array<QString, 6> Texts(bool english) const;
};

// The running-train slots in use, by train ID; -1 after the last (1000 entries).
std::vector<int16_t> PerformRowTable(const Corvane3Data& store);
// "Miles" on a territory in English units, else "Kilometers".
QString DistanceHeading(const Corvane3Data& store);

class TPerformWindow : public TListFrame {
  Q_OBJECT

 public:
  TPerformWindow(Corvane3Data& store, QWidget* parent);

  void CmPrint();
  void CmPrinterSetup();
  const std::vector<int16_t>& RowTable() const { return rowTable_; }

 protected:
  std::vector<list::Row> Fill() override;

 private:
  std::vector<int16_t> rowTable_;
};

class TTPrintPerform : public TTabularPrintout {
 public:
  TTPrintPerform(Corvane3Data& store, std::vector<int16_t> orderList);
  void PrintPage(int page) override;

 protected:
  // The pages never grow: page 1 holds the lines of a page, later ones one more.
  int32_t EstimatePages() override { return ItemCount / LinesPerPage + 1; }
};
