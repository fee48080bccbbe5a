#include <gtest/gtest.h>

#include "zolfa/playback/CoverPlacement.h"

namespace {

using zolfa::CoverRect;
using zolfa::PlaceCover;

TEST(CoverPlacement, CentresAtOwnSizeOrAsASquareOfTheSmallerSide) {
  struct Case {
    int W, H, w, h;
    CoverRect expected;
  };
  const Case cases[] = {
      // Smaller than the screen: its own size, centred (integer halves).
      {240, 268, 100, 80, {70, 94, 100, 80}},
      {241, 269, 100, 80, {70, 94, 100, 80}},
      // Exactly the screen.
      {240, 268, 240, 268, {0, 0, 240, 268}},
      // Larger in one dimension only: a square of the smaller side, so the
      // aspect ratio is not kept.
      {240, 268, 300, 100, {0, 14, 240, 240}},
      {240, 268, 100, 300, {0, 14, 240, 240}},
      // Larger in both, on a landscape screen.
      {320, 200, 500, 500, {60, 0, 200, 200}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PlaceCover(c.W, c.H, c.w, c.h), c.expected) << c.W << "x" << c.H << " " << c.w
                                                          << "x" << c.h;
  }
}

}  // namespace
