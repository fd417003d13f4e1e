// What the fuzz targets of the simulator share: one store for the whole run and
// the private folder that each input is written into under the name its reader
// expects.
#pragma once

#include <string>

#include "fuzz/fuzz_folder.h"
#include "store/corvane3_data.h"
#include "store/fixed_text.h"

namespace fuzz {

// The store, with its settings files in the private folder.
inline Corvane3Data& Store() {
  static Corvane3Data* store = [] {
    auto* s = new Corvane3Data();
    SetFieldText(s->ProgramFolder, kPathChars, Folder());
    return s;
  }();
  return *store;
}

}  // namespace fuzz
