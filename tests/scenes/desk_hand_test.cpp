// Selecting hand cards by touch, injected through the engine's input: the
// scan from the right, the uncovered strips, slides across cards and back,
// and the read-out of the selection.
#include <gtest/gtest.h>

#include "desk_fixture.h"

namespace desk_test {
namespace {

// Six cards, 18 units apart: card k stands at x = 491.5 + 18k, its rectangle
// 98 x 138 around (x, 45), so its top edge is at 114 (139 while raised).
class DeskHandTest : public DeskTest {
 protected:
  void SetUp() override {
    DeskTest::SetUp();
    openTable(3, 1);
    readyAndDeal("13,8,9,10,11,12,");
    ASSERT_EQ(handCodes(), (std::vector<int>{8, 9, 10, 11, 12, 13}));
  }
  static float cardX(int k) { return 491.5f + 18.0f * static_cast<float>(k); }
  std::vector<bool> selection() const {
    std::vector<bool> flags;
    for (const CardSprite* card : table->handCards) {
      flags.push_back(card->selected);
      EXPECT_EQ(card->getPositionY(), card->selected ? 70 : 45) << "card " << card->cardCode;
    }
    return flags;
  }
};

TEST_F(DeskHandTest, ATouchTogglesTheCardDrawnOnTop) {
  struct Case {
    const char* what;
    float x, y;
    std::vector<bool> expected;
  };
  const Case cases[] = {
      {"uncovered strip of card 2", cardX(2) - 40, 45, {false, false, true, false, false, false}},
      {"just left of card 3's edge", cardX(3) - 48, 45, {false, false, false, true, false, false}},
      {"right half of the rightmost",
       cardX(5) + 40,
       100,
       {false, false, false, false, false, true}},
      {"inside the rectangles of cards 2 to 4",
       cardX(2) + 2,
       5,
       {false, false, false, false, true, false}},
      {"31 above the top edge", cardX(5), 114 + 31, {false, false, false, false, false, false}},
      {"right of the hand", cardX(5) + 60, 45, {false, false, false, false, false, false}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    openTable(3, 1);
    readyAndDeal("8,9,10,11,12,13,");
    app.touchBegan(c.x, c.y);
    app.touchEnded(c.x, c.y);
    EXPECT_EQ(selection(), c.expected);
  }
}

TEST_F(DeskHandTest, TouchingASelectedCardLowersItAndAgainRaisesIt) {
  app.tap(cardX(1) - 40, 45);
  EXPECT_EQ(selection(), (std::vector<bool>{false, true, false, false, false, false}));
  // The raised card's top stands above its neighbours: touch it there.
  app.tap(cardX(1) - 40, 130);
  EXPECT_EQ(selection(), (std::vector<bool>{false, false, false, false, false, false}));
  EXPECT_EQ(table->handCards[1]->getPositionX(), cardX(1));
  app.tap(cardX(1) - 40, 45);
  EXPECT_EQ(selection(), (std::vector<bool>{false, true, false, false, false, false}));
  EXPECT_EQ(table->lastTouchedCard, table->handCards[1]);
}

TEST_F(DeskHandTest, ASlideTogglesEachCardOnceAsTheFingerEntersIt) {
  app.touchBegan(cardX(3) - 40, 45);
  app.touchMoved(cardX(3) - 35, 50);  // within the same card: nothing
  app.touchMoved(cardX(4) - 40, 45);
  app.touchMoved(cardX(5) + 20, 45);
  EXPECT_EQ(selection(), (std::vector<bool>{false, false, false, true, true, true}));
  app.touchMoved(cardX(4) - 40, 45);  // back onto card 4
  EXPECT_EQ(selection(), (std::vector<bool>{false, false, false, true, false, true}));
  app.touchEnded(cardX(4) - 40, 45);
  EXPECT_EQ(selection(), (std::vector<bool>{false, false, false, true, false, true}));
}

TEST_F(DeskHandTest, ATouchThatBeginsOnTheLastTouchedCardStillTogglesIt) {
  app.tap(cardX(0) - 40, 45);
  app.tap(cardX(0) - 40, 45);
  EXPECT_EQ(selection(), (std::vector<bool>{false, false, false, false, false, false}));
}

TEST_F(DeskHandTest, TheSelectionIsReadLeftToRight) {
  app.tap(cardX(4) - 40, 45);
  app.tap(cardX(1) - 40, 45);
  EXPECT_EQ(table->collectSelected(), (CardList{9, 12}));
  table->layoutHand();
  EXPECT_EQ(selection(), (std::vector<bool>{false, false, false, false, false, false}));
  EXPECT_TRUE(table->collectSelected().empty());
}

TEST_F(DeskHandTest, AnEmptyHandTakesTouchesAndChangesNothing) {
  openTable(3, 1);
  app.touchBegan(500, 45);
  app.touchMoved(520, 45);
  app.touchEnded(520, 45);
  EXPECT_TRUE(table->handCards.empty());
  EXPECT_EQ(table->lastTouchedCard, nullptr);
  engine::Touch touch;
  touch.start(0, Vec2(500, 45));
  EXPECT_TRUE(table->onTouchBegan(&touch, nullptr));
}

}  // namespace
}  // namespace desk_test
