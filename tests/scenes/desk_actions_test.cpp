// The player's actions at the table, pressed through the engine's input: ready,
// return with its warning, pass, play with the rule check, and the turn
// countdown with its automatic pass or lead; every request read back by the
// server peer byte for byte.
#include <gtest/gtest.h>

#include "desk_fixture.h"
#include "scenes/hall_scene.h"

namespace desk_test {
namespace {

using TouchType = engine::ui::Widget::TouchEventType;

constexpr const char* kPass = R"({"opt":"game","desk":5,"site":2,"cards":""})";
constexpr const char* kLeave = R"({"opt":"change","type":"leave","desk":5,"site":2})";
constexpr const char* kQuery = R"({"opt":"query"})";

class DeskActionsTest : public DeskTest {
 protected:
  void SetUp() override {
    DeskTest::SetUp();
    openTable(5, 2);
  }
  // Hand card k of n stands at x = 512 - 9(n - 1) + 18k + 24.5; its uncovered
  // strip begins 49 units left of that.
  void select(int k) {
    const float n = static_cast<float>(table->handCards.size());
    const float x = 512 - 9 * (n - 1) + 18 * static_cast<float>(k) + 24.5f - 40;
    app.tap(x, 45);
  }
  // Seat 1 plays `cards`, then it is the player's (seat 2's) turn.
  void myTurnAfter(const std::string& cards, int must = 0) {
    serve(gameMessage(1, "20", 2, cards, 0, must));
  }
  bool lobbyIsRunning() {
    engine::Scene* running = app.director()->getRunningScene();
    return running != nullptr && running->getChildrenCount() == 1 &&
           dynamic_cast<CHallScene*>(running->getChildren()[0]) != nullptr;
  }
};

TEST_F(DeskActionsTest, ReadyClearsTheLastGameAndSendsTheRequest) {
  serve({startMessage("8,9,10,"), gameMessage(1, "0", 3, "20,21,", 40)});
  serve(R"({"opt":"score","p0":"120","p1":"80"})");
  ASSERT_EQ(table->handCards.size(), 3u);
  ASSERT_EQ(seat(1).playedCards.size(), 2u);
  ASSERT_TRUE(seat(3).clockLabel->isVisible());

  // Only a released touch counts.
  table->onReadyTouch(table->readyButton, TouchType::BEGAN);
  table->onReadyTouch(table->readyButton, TouchType::MOVED);
  table->onReadyTouch(table->readyButton, TouchType::CANCELED);
  EXPECT_TRUE(nothingSent());
  EXPECT_TRUE(table->readyButton->isVisible());

  press(table->readyButton);
  EXPECT_EQ(sent(), R"({"opt":"change","type":"ready","desk":5,"site":2})");
  EXPECT_FALSE(table->readyButton->isVisible());
  EXPECT_FALSE(table->readyButton->isEnabled());
  EXPECT_TRUE(table->handCards.empty());
  EXPECT_FALSE(table->putButton->isVisible());
  EXPECT_FALSE(table->noputButton->isVisible());
  for (engine::Label* label :
       {table->ownScoreLabel, table->otherScoreLabel, table->tableScoreLabel}) {
    EXPECT_EQ(label->getString(), "0");
  }
  for (int s = 0; s < 4; ++s) {
    SCOPED_TRACE(s);
    EXPECT_EQ(seat(s).readySprite->isVisible(), s == 2);
    EXPECT_FALSE(seat(s).clockLabel->isVisible());
    EXPECT_FALSE(seat(s).overLabel->isVisible());
    EXPECT_FALSE(seat(s).passLabel->isVisible());
    EXPECT_TRUE(seat(s).playedCards.empty());
  }
  EXPECT_EQ(engine::findNodes<CardSprite>(table).size(), 0u);
}

TEST_F(DeskActionsTest, ReturnOutsideAGameLeavesAtOnce) {
  press(table->returnButton);
  EXPECT_EQ(sent(), kLeave);
  app.step();
  EXPECT_TRUE(lobbyIsRunning());
  EXPECT_EQ(sent(), kQuery);  // the new lobby's own query
  EXPECT_TRUE(app.boxes().empty());
}

TEST_F(DeskActionsTest, ReturnDuringAGameWarnsOncePerGame) {
  readyAndDeal("8,9,");
  press(table->returnButton);
  ASSERT_EQ(app.boxes().size(), 1u);
  EXPECT_EQ(app.boxes()[0].text,
            "游戏还未结束，真的要退出吗？再次点击返回按钮将强制退出回到大厅！");
  EXPECT_EQ(app.boxes()[0].title, "提醒");
  EXPECT_TRUE(table->leaveConfirmed);
  EXPECT_TRUE(nothingSent());

  // The game ends; the next one warns again.
  serve(overMessage({10, -10, 10, -10}));
  EXPECT_FALSE(table->leaveConfirmed);
  readyAndDeal("10,");
  app.takeBoxes();
  press(table->returnButton);
  EXPECT_EQ(app.takeBoxes().size(), 1u);
  EXPECT_TRUE(nothingSent());
  EXPECT_FALSE(lobbyIsRunning());

  press(table->returnButton);
  EXPECT_EQ(sent(), kLeave);
  app.step();
  EXPECT_TRUE(lobbyIsRunning());
  EXPECT_EQ(sent(), kQuery);
  EXPECT_TRUE(app.boxes().empty());
}

TEST_F(DeskActionsTest, PassWithTheLeadDoesNothing) {
  readyAndDeal("8,9,10,");
  serve(gameMessage(1, "20", 2, "", 0, 1));
  ASSERT_TRUE(table->lastCards.empty());
  ASSERT_FALSE(table->noputButton->isVisible());
  // Even when called, a pass with nothing to beat sends nothing.
  table->onNoputTouch(table->noputButton, TouchType::ENDED);
  EXPECT_TRUE(nothingSent());
  EXPECT_TRUE(table->putButton->isVisible());
  EXPECT_TRUE(table->putButton->isEnabled());
}

TEST_F(DeskActionsTest, PassWithAPlayToBeatSendsAnEmptyPlay) {
  readyAndDeal("8,9,10,");
  myTurnAfter("20,");
  ASSERT_TRUE(table->noputButton->isVisible());
  ASSERT_TRUE(table->putButton->isVisible());
  press(table->noputButton);
  EXPECT_EQ(sent(), kPass);
  EXPECT_FALSE(table->noputButton->isVisible());
  EXPECT_FALSE(table->putButton->isVisible());
  EXPECT_FALSE(table->noputButton->isEnabled());
  EXPECT_FALSE(table->putButton->isEnabled());
  EXPECT_EQ(handCodes(), (std::vector<int>{8, 9, 10}));
  EXPECT_EQ(table->timerSite, 2);
}

TEST_F(DeskActionsTest, APlaySendsTheSortedCodesEachFollowedByAComma) {
  readyAndDeal("30,13,12,8,");
  myTurnAfter("8,9,");
  select(2);  // 13
  select(1);  // 12
  press(table->putButton);
  EXPECT_EQ(sent(), R"({"opt":"game","desk":5,"site":2,"cards":"12,13,"})");
  EXPECT_EQ(table->lastCards, (CardList{12, 13}));
  EXPECT_EQ(handCodes(), (std::vector<int>{8, 30}));
  EXPECT_EQ(handX(), (std::vector<float>{527.5f, 545.5f}));
  for (const CardSprite* card : table->handCards) EXPECT_FALSE(card->selected);
  EXPECT_FALSE(table->putButton->isVisible());
  EXPECT_FALSE(table->noputButton->isVisible());
  EXPECT_FALSE(table->putButton->isEnabled());
  EXPECT_FALSE(table->noputButton->isEnabled());
  EXPECT_EQ(table->timerSite, 2);
  EXPECT_TRUE(app.boxes().empty());
}

TEST_F(DeskActionsTest, OfTwoEqualCodesTheLeftmostLeaves) {
  readyAndDeal("12,12,40,");
  myTurnAfter("", 1);
  CardSprite* second = table->handCards[1];
  select(1);
  press(table->putButton);
  EXPECT_EQ(sent(), R"({"opt":"game","desk":5,"site":2,"cards":"12,"})");
  ASSERT_EQ(table->handCards.size(), 2u);
  EXPECT_EQ(table->handCards[0], second);
  EXPECT_EQ(handCodes(), (std::vector<int>{12, 40}));
}

TEST_F(DeskActionsTest, AnIllegalPlayIsRefusedAndLeftRaised) {
  readyAndDeal("8,13,40,");
  myTurnAfter("", 1);
  press(table->putButton);  // nothing selected
  select(0);
  select(1);  // 8 and 13: two ranks
  press(table->putButton);
  const std::vector<engine::HeadlessApp::Box> shown = app.takeBoxes();
  ASSERT_EQ(shown.size(), 2u);
  for (const auto& box : shown) {
    EXPECT_EQ(box.text, "出牌不符合规则.");
    EXPECT_EQ(box.title, "提示");
  }
  EXPECT_TRUE(nothingSent());
  EXPECT_EQ(handCodes(), (std::vector<int>{8, 13, 40}));
  EXPECT_TRUE(table->handCards[0]->selected);
  EXPECT_TRUE(table->handCards[1]->selected);
  EXPECT_EQ(table->handCards[0]->getPositionY(), 70);
  EXPECT_TRUE(table->putButton->isVisible());
  EXPECT_TRUE(table->putButton->isEnabled());
  EXPECT_TRUE(table->lastCards.empty());
}

TEST_F(DeskActionsTest, APlayThatDoesNotBeatTheTableIsRefused) {
  readyAndDeal("8,13,40,");
  myTurnAfter("44,");
  select(0);
  press(table->putButton);
  ASSERT_EQ(app.takeBoxes().size(), 1u);
  EXPECT_TRUE(nothingSent());
  EXPECT_EQ(table->lastCards, (CardList{44}));
}

TEST_F(DeskActionsTest, TheOwnCountdownPassesWhenItRunsOut) {
  readyAndDeal("8,9,10,");
  myTurnAfter("20,");
  EXPECT_EQ(seat(2).clockLabel->getString(), "30");
  countdowns(29);
  EXPECT_EQ(seat(2).clockLabel->getString(), "1");
  countdowns(1);
  EXPECT_EQ(seat(2).clockLabel->getString(), "0");
  EXPECT_TRUE(seat(2).clockLabel->isVisible());
  EXPECT_TRUE(nothingSent());

  countdowns(1);
  EXPECT_EQ(sent(), kPass);
  EXPECT_EQ(seat(2).clockLabel->getString(), "-1");
  EXPECT_FALSE(seat(2).clockLabel->isVisible());
  EXPECT_FALSE(table->putButton->isVisible());
  EXPECT_FALSE(table->noputButton->isVisible());
  EXPECT_EQ(table->timerSite, -1);
  EXPECT_EQ(handCodes(), (std::vector<int>{8, 9, 10}));

  countdowns(2);
  EXPECT_TRUE(nothingSent());
  EXPECT_EQ(seat(2).clockLabel->getString(), "-1");
}

TEST_F(DeskActionsTest, TheOwnCountdownLeadsTheLowestCardAlone) {
  readyAndDeal("41,30,8,");
  myTurnAfter("", 1);
  select(1);
  countdowns(31);
  EXPECT_EQ(sent(), R"({"opt":"game","desk":5,"site":2,"cards":"8"})");
  EXPECT_EQ(handCodes(), (std::vector<int>{30, 41}));
  EXPECT_EQ(handX(), (std::vector<float>{527.5f, 545.5f}));
  for (const CardSprite* card : table->handCards) {
    EXPECT_FALSE(card->selected);
    EXPECT_EQ(card->getPositionY(), 45);
  }
  EXPECT_TRUE(table->lastCards.empty());
  EXPECT_EQ(table->timerSite, -1);
}

TEST_F(DeskActionsTest, TheCountdownLeadsNothingFromAnEmptyHand) {
  readyAndDeal("");
  ASSERT_TRUE(table->playing);
  myTurnAfter("", 1);
  countdowns(31);
  EXPECT_TRUE(nothingSent());
  EXPECT_EQ(table->timerSite, -1);
  EXPECT_FALSE(seat(2).clockLabel->isVisible());
}

TEST_F(DeskActionsTest, AnotherSeatsClockGoesOnBelowZero) {
  readyAndDeal("8,9,");
  serve(gameMessage(0, "20", 1, "20,"));
  countdowns(32);
  EXPECT_EQ(seat(1).clockLabel->getString(), "-2");
  EXPECT_TRUE(seat(1).clockLabel->isVisible());
  EXPECT_EQ(table->timerSite, 1);
  EXPECT_TRUE(nothingSent());
}

TEST_F(DeskActionsTest, NoCountdownRunsOutsideAGame) {
  serve(gameMessage(1, "20", 2, "20,"));
  ASSERT_FALSE(table->playing);
  countdowns(3);
  EXPECT_EQ(seat(2).clockLabel->getString(), "30");
}

}  // namespace
}  // namespace desk_test
