// The content scale rule: which frame heights take which branch, and the
// factor that the game's own four sizes give.
#include "app/content_scale.h"

#include <gtest/gtest.h>

namespace {

using app::contentScaleFactor;
using app::stScaleSizes;
using app::stSize;

TEST(ContentScale, GameSizesGiveOneForCommonFrames) {
  for (float height : {600.0f, 768.0f, 1080.0f, 1440.0f}) {
    SCOPED_TRACE(height);
    EXPECT_FLOAT_EQ(contentScaleFactor({1024, height}), 1.0f);
  }
}

// Distinct sizes show which branch a frame takes; the game's equal sizes
// cannot tell them apart.
TEST(ContentScale, BranchesCompareHeightsStrictly) {
  const stScaleSizes sizes{{1000, 500}, {500, 250}, {2000, 750}, {4000, 2500}};
  struct Case {
    float frameHeight;
    float factor;
  };
  const Case cases[] = {
      {100, 0.5f},  // small: min(500/1000, 250/500)
      {250, 0.5f},  // exactly the small height is still small
      {251, 1.5f},  // medium: min(2000/1000, 750/500)
      {750, 1.5f},  // exactly the medium height is still medium
      {751, 4.0f},  // large: min(4000/1000, 2500/500)
      {1080, 4.0f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.frameHeight);
    EXPECT_FLOAT_EQ(contentScaleFactor({1024, c.frameHeight}, sizes), c.factor);
  }
}

TEST(ContentScale, TakesTheSmallerQuotient) {
  const stScaleSizes wide{{100, 100}, {300, 200}, {300, 200}, {300, 200}};
  EXPECT_FLOAT_EQ(contentScaleFactor({0, 0}, wide), 2.0f);
  const stScaleSizes tall{{100, 100}, {200, 300}, {200, 300}, {200, 300}};
  EXPECT_FLOAT_EQ(contentScaleFactor({0, 0}, tall), 2.0f);
}

}  // namespace
