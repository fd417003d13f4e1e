#include "store/train_icons.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/support/store_fixture.h"

namespace {

class TrainIconsTest : public StoreFixture {};

TEST_F(TrainIconsTest, TypesGetTheInternalPicturesAndTheLastThreeCopyTheFirstThree) {
  TrainType own = store().GetTrainType(8);
  SetFieldText(own.Name, "Own type");
  store().UpdateTrainType(8, own);
  TrainType first = store().GetTrainType(0);
  SetFieldText(first.Name, "Passenger");
  store().UpdateTrainType(0, first);

  store().AssignInternalTrainIcons();

  for (int t = 0; t < 7; ++t) {
    const TrainType type = store().GetTrainType(t);
    for (int k = 0; k < 3; ++k) {
      EXPECT_EQ(FieldText(type.BitmapFiles[k]), kInternalTrainIconTable[3 * t + k].Name) << t << " " << k;
      EXPECT_EQ(store().TrainTypeIcons[t][k], 3 * t + k);
    }
  }
  EXPECT_EQ(FieldText(store().GetTrainType(0).Name), "Passenger");  // only the picture names are written
  for (int t = 0; t < 3; ++t) {
    const TrainType copy = store().GetTrainType(7 + t);
    const TrainType source = store().GetTrainType(t);
    EXPECT_EQ(std::memcmp(&copy, &source, sizeof copy), 0) << "type " << 7 + t << " is a whole copy";
    for (int k = 0; k < 3; ++k) EXPECT_EQ(store().TrainTypeIcons[7 + t][k], 3 * t + k);
  }
  for (int slot = 0; slot < kInternalTrainIcons; ++slot) {
    const TrainIconData icon = store().GetTrainIconData(slot);
    EXPECT_EQ(+icon.InUse, 1);
    EXPECT_EQ(FieldText(icon.FileName), kInternalTrainIconTable[slot].Name);
  }
  // Types 4 and 6 share the red caboose by name and picture.
  EXPECT_EQ(FieldText(store().GetTrainIconData(14).FileName), "Red Caboose (internal bitmap)");
  EXPECT_EQ(FieldText(store().GetTrainIconData(20).FileName), "Red Caboose (internal bitmap)");
  EXPECT_EQ(kInternalTrainIconTable[14].Resource, kInternalTrainIconTable[20].Resource);
}

}  // namespace
