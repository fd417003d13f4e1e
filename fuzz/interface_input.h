// What the targets of the message interfaces share: a run of the demonstration
// territory with one channel's options turned on, its folder the private one,
// an input left there as the file the other side writes, and the ticks that
// take it over, check and carry out its lines and answer.
#pragma once

#include <initializer_list>

#include "fuzz/fuzz_run.h"

namespace fuzz {

// Prepare sets the run and the channel's options (written back before the input is laid down); the names
// in written are what the run leaves in the folder, removed at the end.
template <class Prepare>
void RunInterfaceInput(const uint8_t* data, size_t size, const char* input, std::initializer_list<const char*> written,
                       int ticks, Prepare prepare) {
  Corvane3Data& store = Store();
  Engine& engine = InterfaceEngine();
  LoadDemoTerritory(store);
  OptionData options = store.GetOptionData();
  prepare(store, options);
  store.UpdateOptionData(options);
  WriteFile(input, data, size);
  for (int i = 0; i < ticks; ++i) engine.Tick();
  RemoveFiles(written);
}

}  // namespace fuzz
