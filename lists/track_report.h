// The track data report: a line per block ("Track Data - Block Information")
// with its signalled directions, length, speeds for the first four train
// types by blocks cleared ahead (or its running times where the territory
// times its blocks) and platform; then a line per switch ("Track Data -
// Switch Information") with its diverging speeds for those types.
#pragma once

#include <vector>

#include "lists/printouts.h"
#include "store/records.h"

// The name a block's track carries in reports: "a to b c", with "?" for an end that has no name.
QString TrackNameText(const BlockData& block);
// True for the blocks the track reports list: in use and not a connector.
bool ReportedBlock(const BlockData& block);

class TTPrintTrack : public TTabularPrintout {
 public:
  explicit TTPrintTrack(Corvane3Data& store);
  void PrintPage(int page) override;

 protected:
  int32_t EstimatePages() override;

 private:
  std::vector<int> blocks_, switches_;
  int blockPages_ = 1;
};
