// One frame of a table in mid-game drawn offscreen: a 27-card hand with two
// cards raised, plays in three seats, the running clock and the markers.
// Saved as desk_midgame.png beside the tests and checked at a few pixels.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "desk_fixture.h"

namespace desk_test {
namespace {

using engine::Color4B;

class DeskFrameTest : public DeskTest {
 protected:
  void draw() { app.director()->drawScene(); }
  // A pixel of the frame drawn last, at a point of the scene.
  Color4B at(float x, float y) {
    return app.platform().pixelAt(static_cast<int>(std::floor(x)),
                                  static_cast<int>(std::floor(768 - y - 0.5f)));
  }
  // The pixels of a scene rectangle, row by row.
  std::vector<Color4B> area(float left, float bottom, float width, float height) {
    std::vector<Color4B> pixels;
    for (float y = bottom; y < bottom + height; y += 1) {
      for (float x = left; x < left + width; x += 1) pixels.push_back(at(x, y));
    }
    return pixels;
  }
  static bool isRed(const Color4B& c) { return c.r > 180 && c.g < 80 && c.b < 80; }
  // The card face is shaded slightly, so faces compare within a margin.
  static bool near(const Color4B& a, const Color4B& b) {
    return std::abs(a.r - b.r) <= 16 && std::abs(a.g - b.g) <= 16 && std::abs(a.b - b.b) <= 16;
  }
  // A point on the uncovered strip of hand card k of 27 (card k at x = 302.5 + 18k).
  static float stripX(int k) { return 302.5f + 18.0f * static_cast<float>(k) - 40; }
};

TEST_F(DeskFrameTest, MidGame) {
  openTable(3, 0);
  serve(changeMessage({"me", "east", "north", "west"}, {0, 1, 1, 1}));
  press(table->readyButton);
  ASSERT_TRUE(sent().has_value());

  // The empty table, for comparison.
  draw();
  const Color4B aboveCard4 = at(stripX(4), 133);
  const Color4B aboveCard5 = at(stripX(5), 133);
  const std::vector<Color4B> clockBefore = area(798, 190, 28, 21);
  const std::vector<Color4B> overBefore = area(215, 590, 34, 20);
  const Color4B seat1Before = at(646 + 20, 344);
  const Color4B emptySpot = at(700, 480);

  std::string hand;
  for (int i = 0; i < 27; ++i) hand += std::to_string((i * 7) % 54) + ",";
  serve(startMessage(hand));
  ASSERT_EQ(table->handCards.size(), 27u);
  serve({gameMessage(1, "25", 2, "20,21,22,", 10), gameMessage(2, "24", 3, "33,34,35,", 20),
         gameMessage(3, "0", 0, "44,45,46,", 30), R"({"opt":"score","p0":"120","p1":"80"})"});
  // Raise cards 5 and 12.
  app.tap(stripX(5), 45);
  app.tap(stripX(12), 45);
  ASSERT_EQ(table->collectSelected().size(), 2u);
  ASSERT_TRUE(seat(0).clockLabel->isVisible());
  ASSERT_TRUE(seat(3).overLabel->isVisible());
  ASSERT_TRUE(table->putButton->isVisible());

  ASSERT_TRUE(app.renderToPng("desk_midgame.png"));
  draw();

  // Card 5, raised, now covers a point above the row; card 4 beside it does not.
  EXPECT_NE(at(stripX(5), 133), aboveCard5);
  EXPECT_EQ(at(stripX(4), 133), aboveCard4);
  EXPECT_TRUE(near(at(stripX(12), 133), at(stripX(5), 133)));

  // Each seat's last card stands where its play is laid out, its blank face
  // alike in all three seats.
  const Color4B seat1Face = at(646 + 20, 344);
  EXPECT_NE(seat1Face, seat1Before);
  EXPECT_TRUE(near(at(348 + 20, 544), seat1Face));  // seat 2: last card at (348, 584)
  EXPECT_TRUE(near(at(134 + 20, 344), seat1Face));  // seat 3: last card at (134, 384)
  EXPECT_FALSE(near(seat1Face, seat1Before));
  EXPECT_EQ(at(700, 480), emptySpot);

  // The player's clock shows, and the left seat's red "over" at its clock's point.
  EXPECT_NE(area(798, 190, 28, 21), clockBefore);
  const std::vector<Color4B> over = area(215, 590, 34, 20);
  EXPECT_NE(over, overBefore);
  EXPECT_TRUE(std::any_of(over.begin(), over.end(), isRed));
}

}  // namespace
}  // namespace desk_test
