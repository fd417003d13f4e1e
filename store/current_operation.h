// Names the routine in progress in the store's CurrentOperation field, so that
// an internal error report can say where it happened; cleared when the scope ends.
#pragma once

#include "store/corvane3_data.h"
#include "store/fixed_text.h"

class CurrentOperationGuard {
 public:
  CurrentOperationGuard(Corvane3Data& store, const std::string& name) : store_(store) {
    SetFieldText(store_.CurrentOperation, kCaptionChars, name);
  }
  ~CurrentOperationGuard() { SetFieldText(store_.CurrentOperation, kCaptionChars, ""); }
  CurrentOperationGuard(const CurrentOperationGuard&) = delete;
  CurrentOperationGuard& operator=(const CurrentOperationGuard&) = delete;

 private:
  Corvane3Data& store_;
};
