// The train data report: the train table ("Train Data"), the departures at
// the platforms seven platforms at a time ("Train Data - Station Schedules"),
// the multiple entries and the local work, each section from a new page and
// left out when no train has data for it. The trains follow the train data
// window's order, each printed once however many rows it takes there.
#pragma once

#include <cstdint>
#include <vector>

#include "lists/printouts.h"

// The trains a list's rows show, in row order, each once; -1 and repeats are passed over.
std::vector<int16_t> TrainOrderOf(const std::vector<int32_t>& rowRecords);

class TTPrintTrain : public TTabularPrintout {
 public:
  enum Section { TrainTable = 0, StationSchedules = 1, MultipleEntries = 2, LocalWork = 3 };

  TTPrintTrain(Corvane3Data& store, std::vector<int16_t> orderList);
  void SetPrintParams(QPainter& dc, QSize page) override;
  void PrintPage(int page) override;

  // The section each page prints, as laid out when the job started.
  std::vector<Section> PageSections() const;

 protected:
  int32_t EstimatePages() override;

 private:
  // A piece of one train on a page: its record and, in the entry sections, the first of its counted entries
  // and how many of them.
  struct Piece {
    int16_t Train;
    int First = 0, Count = 0;
  };
  struct Page {
    Section Of;
    int Group = 0;  // the first platform column, in the station schedules
    std::vector<Piece> Pieces;
  };

  void LayOut();
  void PrintTrainLine(const Piece& piece);
  void PrintStationLine(const Piece& piece, int group);
  void PrintEntryLines(Section section, const Piece& piece);

  std::vector<int> platforms_;  // the platforms in use, in slot order
  std::vector<Page> pages_;
};
