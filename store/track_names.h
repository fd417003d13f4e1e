// The name of the track a block lies on, "first-second part", as the block's
// three name fields store it: permits, slow orders and the find lists name
// tracks this way.
#pragma once

#include <string>

#include "store/fixed_text.h"
#include "store/records.h"

inline std::string BlockTrackName(const BlockData& block) {
  return FieldText(block.TrackStation1) + "-" + FieldText(block.TrackStation2) + " " + FieldText(block.TrackPart);
}
