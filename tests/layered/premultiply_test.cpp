// The premultiply helper against the plain division, over every colour and
// alpha byte, and on rows that are not a whole number of anything.
#include <gtest/gtest.h>

#include <vector>

#include "toolkit/Premultiply.h"

namespace {

TEST(Premultiply, EveryColourAndAlphaRoundsToTheNearest) {
  // One row holds all 65536 pairs: pixel i has colour i % 256 in all three
  // channels and alpha i / 256.
  std::vector<uint8_t> row(256 * 256 * 4);
  for (int i = 0; i < 256 * 256; ++i) {
    row[4 * i + 0] = row[4 * i + 1] = row[4 * i + 2] = static_cast<uint8_t>(i % 256);
    row[4 * i + 3] = static_cast<uint8_t>(i / 256);
  }
  tk::PremultiplyRow(row.data(), 256 * 256);
  for (int i = 0; i < 256 * 256; ++i) {
    const int c = i % 256, a = i / 256;
    const int want = (c * a + 127) / 255;
    ASSERT_EQ(row[4 * i + 0], want) << "colour " << c << " alpha " << a;
    ASSERT_EQ(row[4 * i + 1], want) << "colour " << c << " alpha " << a;
    ASSERT_EQ(row[4 * i + 2], want) << "colour " << c << " alpha " << a;
    ASSERT_EQ(row[4 * i + 3], a);
  }
}

TEST(Premultiply, TouchesOnlyTheGivenWidth) {
  uint8_t row[12] = {200, 100, 50, 128, 200, 100, 50, 0, 9, 9, 9, 9};
  tk::PremultiplyRow(row, 2);
  const uint8_t want[12] = {100, 50, 25, 128, 0, 0, 0, 0, 9, 9, 9, 9};
  for (int i = 0; i < 12; ++i) EXPECT_EQ(row[i], want[i]) << i;
  tk::PremultiplyRow(row, 0);
  EXPECT_EQ(row[0], 100);
}

}  // namespace
