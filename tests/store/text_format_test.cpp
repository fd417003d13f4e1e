#include "store/text_format.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(TextFormatTest, FillsTextsAndNumbersAndKeepsALongTextWhole) {
  EXPECT_EQ(textfmt::Format("Train \"%s\" at %02d:%02d", std::string("T12"), 7, 5), "Train \"T12\" at 07:05");
  EXPECT_EQ(textfmt::Format("%s-%s", "A", std::string("B")), "A-B");
  const std::string name(700, 'x');
  EXPECT_EQ(textfmt::Format("(%s)", name), "(" + name + ")");
  EXPECT_EQ(textfmt::Format("plain"), "plain");
}

}  // namespace
