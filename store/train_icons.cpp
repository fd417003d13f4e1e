#include "store/train_icons.h"

#include "store/corvane3_data.h"
#include "store/fixed_text.h"

void Corvane3Data::AssignInternalTrainIcons() {
  for (int t = 0; t < kInternalIconTypes; ++t) {
    TrainType type = GetTrainType(t);
    for (int k = 0; k < 3; ++k) {
      SetFieldText(type.BitmapFiles[k], kInternalTrainIconTable[3 * t + k].Name);
      TrainTypeIcons[t][k] = static_cast<int16_t>(3 * t + k);
    }
    UpdateTrainType(t, type);
  }
  // Types 7, 8 and 9 draw with the pictures of types 0, 1 and 2.
  for (int t = 0; t < 3; ++t) {
    for (int k = 0; k < 3; ++k) TrainTypeIcons[7 + t][k] = static_cast<int16_t>(3 * t + k);
    UpdateTrainType(7 + t, GetTrainType(t));
  }
  for (int slot = 0; slot < kInternalTrainIcons; ++slot) {
    TrainIconData icon = GetTrainIconData(slot);
    icon.InUse = 1;
    SetFieldText(icon.FileName, kInternalTrainIconTable[slot].Name);
    UpdateTrainIconData(slot, icon);
  }
}
