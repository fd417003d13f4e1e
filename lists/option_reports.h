// Two one-page reports of the user's settings: the alert parameters (for each
// alert whether it is raised, its bells and its sound file) and the random
// performance page (run-time performance per train type, headings only).
#pragma once

#include "lists/printouts.h"

class TTPrintAlertPar : public TTabularPrintout {
 public:
  explicit TTPrintAlertPar(Corvane3Data& store);
  void PrintPage(int page) override;

 protected:
  int32_t EstimatePages() override { return 1; }
};

class TTPrintRandom : public TTabularPrintout {
 public:
  explicit TTPrintRandom(Corvane3Data& store);
  void PrintPage(int page) override;

 protected:
  int32_t EstimatePages() override { return 1; }
};
