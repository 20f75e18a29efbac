// The table following the server: every table message sent by a peer on
// 127.0.0.1, decoded by the receive thread, queued, and taken one per tick;
// with what the seats then show of plays, passes, turns and markers.
#include <gtest/gtest.h>

#include "desk_fixture.h"
#include "scenes/hall_scene.h"

namespace desk_test {
namespace {

class DeskEventsTest : public DeskTest {
 protected:
  std::vector<Vec2> playedAt(int serverSeat) {
    std::vector<Vec2> at;
    for (const CardSprite* card : seat(serverSeat).playedCards) at.push_back(card->getPosition());
    return at;
  }
  std::vector<int> playedCodes(int serverSeat) {
    std::vector<int> codes;
    for (const CardSprite* card : seat(serverSeat).playedCards) codes.push_back(card->cardCode);
    return codes;
  }
};

TEST_F(DeskEventsTest, AnEmptyQueueChangesNothing) {
  openTable(1, 0);
  const std::string before = engine::dumpTree(table);
  app.advance(1.5);
  EXPECT_EQ(engine::dumpTree(table), before);
}

TEST_F(DeskEventsTest, LobbyRepliesAreDropped) {
  openTable(1, 0);
  const std::string before = engine::dumpTree(table);
  serve({R"({"opt":"add","desk":"3","site":"1","name":"x"})",
         R"({"opt":"query","online":"9","version":"26"})", R"({"opt":"unknown"})"});
  EXPECT_EQ(engine::dumpTree(table), before);
  EXPECT_EQ(app.director()->getRunningScene()->getChildren()[0], table);
  EXPECT_TRUE(nothingSent());
}

TEST_F(DeskEventsTest, ChangeShowsNamesAndReadyMarkersAndClearsFreeSeats) {
  openTable(1, 1);
  serve({R"({"opt":"score","p0":"120","p1":"80"})", gameMessage(2, "0", 3, ""),
         gameMessage(3, "5", -1, "8,9,")});
  ASSERT_TRUE(seat(2).overLabel->isVisible());
  ASSERT_TRUE(seat(2).passLabel->isVisible());
  ASSERT_FALSE(seat(3).clockLabel->isVisible());

  serve(changeMessage({"ann", "bob", "", ""}, {1, 0, 1, 0}));
  const std::array<std::string, 4> names = {"ann", "bob", "", ""};
  const std::array<bool, 4> ready = {true, false, true, false};
  for (int s = 0; s < 4; ++s) {
    SCOPED_TRACE(s);
    EXPECT_EQ(seat(s).nameLabel->getString(), names[s]);
    EXPECT_EQ(seat(s).readySprite->isVisible(), ready[s]);
  }
  // Seat 0 sits on the player's left when the player has seat 1.
  EXPECT_EQ(seat(0).nameLabel, table->seats[3]->nameLabel);
  for (int s : {2, 3}) {
    SCOPED_TRACE(s);
    EXPECT_FALSE(seat(s).clockLabel->isVisible());
    EXPECT_FALSE(seat(s).overLabel->isVisible());
    EXPECT_FALSE(seat(s).passLabel->isVisible());
  }
  // A free seat keeps what it played: only a whole-table reset clears it.
  EXPECT_EQ(playedCodes(3), (std::vector<int>{8, 9}));
  for (engine::Label* label :
       {table->ownScoreLabel, table->otherScoreLabel, table->tableScoreLabel}) {
    EXPECT_EQ(label->getString(), "0");
  }
}

TEST_F(DeskEventsTest, ASecondStartDealsAgainOnTopOfTheHand) {
  openTable(1, 0);
  serve({startMessage("8,9,"), startMessage("10,")});
  EXPECT_EQ(handCodes(), (std::vector<int>{8, 9, 10}));
}

TEST_F(DeskEventsTest, AGameStepShowsThePlayThenStartsTheTurn) {
  struct Case {
    const char* what;
    int per, now;
    bool playShown;
    int timerSite;
  };
  const Case cases[] = {
      {"turn only", -1, 2, false, 2},
      {"play only", 1, -1, true, -1},
      {"play, then turn", 1, 2, true, 2},
      {"a playing seat the table lacks", 7, 2, false, 2},
      {"a turn for a seat the table lacks", 1, 4, true, -1},
      {"neither seat on the table", -2, 9, false, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    openTable(1, 0);
    serve(gameMessage(c.per, "24", c.now, "3,17,40", 35));
    EXPECT_EQ(table->tableScoreLabel->getString(), "35");
    EXPECT_EQ(seat(1).countLabel->getString(), c.playShown ? "24" : "");
    EXPECT_EQ(seat(1).playedCards.size(), c.playShown ? 3u : 0u);
    EXPECT_EQ(table->lastCards, c.playShown ? (CardList{3, 17, 40}) : CardList{});
    EXPECT_EQ(table->timerSite, c.timerSite);
    for (int s = 0; s < 4; ++s) {
      EXPECT_EQ(seat(s).clockLabel->isVisible(), s == c.timerSite) << "seat " << s;
    }
    if (c.timerSite == 2) {
      EXPECT_EQ(seat(2).clockLabel->getString(), "30");
    }
  }
}

TEST_F(DeskEventsTest, APlayStandsInTheSeatsAreaInTheOrderSent) {
  openTable(1, 0);
  serve(gameMessage(1, "24", -1, "3,17,40", -5));
  EXPECT_EQ(table->tableScoreLabel->getString(), "-5");
  EXPECT_EQ(seat(1).countLabel->getString(), "24");
  EXPECT_EQ(playedAt(1), (std::vector<Vec2>{Vec2(610, 384), Vec2(628, 384), Vec2(646, 384)}));
  for (const CardSprite* card : seat(1).playedCards) {
    EXPECT_EQ(card->getParent(), table);
    EXPECT_EQ(card->getLocalZOrder(), 0);
  }
  EXPECT_FALSE(seat(1).overLabel->isVisible());

  serve(gameMessage(3, "23", -1, "40,3,"));
  EXPECT_EQ(playedCodes(3), (std::vector<int>{40, 3}));
  EXPECT_EQ(playedAt(3), (std::vector<Vec2>{Vec2(98, 384), Vec2(116, 384)}));
  EXPECT_EQ(table->lastCards, (CardList{40, 3}));
  // Seat 1's play stays until its own next turn.
  EXPECT_EQ(seat(1).playedCards.size(), 3u);
}

TEST_F(DeskEventsTest, APassShowsItsMarkerAndKeepsThePlayToBeat) {
  openTable(1, 0);
  serve({gameMessage(1, "24", 2, "12,13,"), gameMessage(2, "20", 3, "")});
  EXPECT_TRUE(seat(2).passLabel->isVisible());
  EXPECT_FALSE(seat(2).clockLabel->isVisible());
  EXPECT_EQ(seat(2).countLabel->getString(), "20");
  EXPECT_EQ(table->lastCards, (CardList{12, 13}));
  EXPECT_EQ(table->timerSite, 3);
}

TEST_F(DeskEventsTest, OnlyASurplusOfExactlyZeroMarksTheSeatOver) {
  struct Case {
    const char* surplus;
    bool over;
  };
  for (const Case& c : {Case{"0", true}, Case{"00", false}, Case{"1", false}}) {
    SCOPED_TRACE(c.surplus);
    openTable(1, 0);
    serve(gameMessage(3, c.surplus, -1, "8,"));
    EXPECT_EQ(seat(3).overLabel->isVisible(), c.over);
    EXPECT_EQ(seat(3).overLabel->getPosition(), Vec2(232, 600));
  }
}

TEST_F(DeskEventsTest, ThePlayersOwnCountNeverShows) {
  openTable(1, 2);
  serve(gameMessage(2, "12", -1, "8,"));
  EXPECT_EQ(seat(2).countLabel->getString(), "12");
  EXPECT_FALSE(seat(2).countLabel->isVisible());
}

TEST_F(DeskEventsTest, TheOwnTurnOffersTheButtons) {
  openTable(1, 0);
  serve(gameMessage(3, "20", 0, "30,"));
  EXPECT_TRUE(table->putButton->isVisible());
  EXPECT_TRUE(table->putButton->isEnabled());
  EXPECT_TRUE(table->noputButton->isVisible());
  EXPECT_TRUE(table->noputButton->isEnabled());
  EXPECT_EQ(table->lastCards, (CardList{30}));
  EXPECT_EQ(table->timerSite, 0);
}

TEST_F(DeskEventsTest, AMustLeadTurnClearsTheTableAndOffersOnlyPlay) {
  openTable(1, 0);
  serve({gameMessage(1, "20", 2, "30,"), gameMessage(2, "20", 3, ""),
         gameMessage(3, "20", -1, "31,")});
  ASSERT_TRUE(seat(2).passLabel->isVisible());
  serve(gameMessage(-1, "", 0, "", 0, 1));
  EXPECT_TRUE(table->lastCards.empty());
  for (int s = 0; s < 4; ++s) {
    SCOPED_TRACE(s);
    EXPECT_TRUE(seat(s).playedCards.empty());
    EXPECT_FALSE(seat(s).passLabel->isVisible());
  }
  EXPECT_EQ(engine::findNodes<CardSprite>(table).size(), 0u);
  EXPECT_TRUE(table->putButton->isVisible());
  EXPECT_FALSE(table->noputButton->isVisible());
}

TEST_F(DeskEventsTest, AnotherSeatsTurnLeavesThePlayersButtonsAlone) {
  openTable(1, 0);
  serve(gameMessage(3, "20", 0, "30,"));
  ASSERT_TRUE(table->putButton->isVisible());
  serve(gameMessage(0, "20", 1, "31,"));
  EXPECT_TRUE(table->putButton->isVisible());
  EXPECT_TRUE(table->noputButton->isVisible());
  EXPECT_EQ(seat(1).clockLabel->getString(), "30");
  EXPECT_TRUE(seat(1).clockLabel->isVisible());
  EXPECT_FALSE(seat(0).clockLabel->isVisible());
  // A turn that comes round again starts the seat's clock afresh and takes
  // its last play off the table.
  serve({startMessage(""), gameMessage(1, "19", 1, "")});
  countdowns(3);
  EXPECT_EQ(seat(1).clockLabel->getString(), "27");
  serve(gameMessage(-1, "", 1, ""));
  EXPECT_EQ(seat(1).clockLabel->getString(), "30");
  EXPECT_FALSE(seat(1).passLabel->isVisible());
}

TEST_F(DeskEventsTest, OverShowsTheResultsAndEndsTheGame) {
  struct Case {
    std::array<int, 4> results;
    const char* title;
    const char* body;
  };
  const Case cases[] = {
      {{10, -10, 10, -10}, "游戏结束，你赢了！", "0:10\r\n1:-10\r\n2:10\r\n3:-10\r\n"},
      {{-5, 5, -5, 5}, "游戏结束，你输了！", "0:-5\r\n1:5\r\n2:-5\r\n3:5\r\n"},
      {{0, 0, 0, 0}, "游戏结束，平局！", "0:0\r\n1:0\r\n2:0\r\n3:0\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.title);
    openTable(4, 2);
    readyAndDeal("8,9,10,");
    serve({gameMessage(1, "5", 2, "20,"), gameMessage(3, "0", -1, "21,")});
    press(table->returnButton);  // the warning
    app.takeBoxes();
    serve(overMessage(c.results));
    const auto shown = app.takeBoxes();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].title, c.title);
    EXPECT_EQ(shown[0].text, c.body);

    EXPECT_FALSE(table->playing);
    EXPECT_FALSE(table->leaveConfirmed);
    EXPECT_EQ(table->timerSite, -1);
    EXPECT_TRUE(table->readyButton->isVisible());
    EXPECT_TRUE(table->readyButton->isEnabled());
    EXPECT_FALSE(seat(2).clockLabel->isVisible());
    // The last game stays on show until the player gets ready.
    EXPECT_EQ(handCodes(), (std::vector<int>{8, 9, 10}));
    EXPECT_EQ(playedCodes(1), (std::vector<int>{20}));
    EXPECT_TRUE(seat(3).overLabel->isVisible());
    countdowns(1);
    EXPECT_EQ(seat(2).clockLabel->getString(), "30");
  }
}

TEST_F(DeskEventsTest, ARunawayEndsTheGameWithItsBox) {
  openTable(4, 0);
  readyAndDeal("8,9,");
  serve(gameMessage(3, "20", 0, "20,"));
  serve(R"({"opt":"run","site":"2","name":"abc"})");
  const auto shown = app.takeBoxes();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].title, "玩家逃跑，游戏结束");
  EXPECT_EQ(shown[0].text, "2->abc:-10\r\n");
  EXPECT_FALSE(table->playing);
  EXPECT_EQ(table->timerSite, -1);
  EXPECT_FALSE(seat(0).clockLabel->isVisible());
  EXPECT_TRUE(table->readyButton->isVisible());
  EXPECT_TRUE(table->readyButton->isEnabled());
  EXPECT_EQ(handCodes(), (std::vector<int>{8, 9}));
  EXPECT_EQ(playedCodes(3), (std::vector<int>{20}));

  // Getting ready clears the last game away.
  press(table->readyButton);
  EXPECT_TRUE(sent().has_value());
  EXPECT_TRUE(table->handCards.empty());
  EXPECT_TRUE(seat(3).playedCards.empty());
}

TEST_F(DeskEventsTest, ScoresShowTheOwnSideFirst) {
  struct Case {
    int site;
    const char* own;
    const char* other;
  };
  for (const Case& c :
       {Case{0, "120", "80"}, Case{1, "80", "120"}, Case{2, "120", "80"}, Case{3, "80", "120"}}) {
    SCOPED_TRACE(c.site);
    openTable(1, c.site);
    serve(R"({"opt":"score","p0":"120","p1":"80"})");
    EXPECT_EQ(table->ownScoreLabel->getString(), c.own);
    EXPECT_EQ(table->otherScoreLabel->getString(), c.other);
  }
}

TEST_F(DeskEventsTest, TimeoutReturnsToAFreshLobby) {
  openTable(1, 0);
  readyAndDeal("8,9,");
  serve(R"({"opt":"timeout"})");
  app.step();
  engine::Scene* running = app.director()->getRunningScene();
  ASSERT_EQ(running->getChildrenCount(), 1u);
  auto* lobby = dynamic_cast<CHallScene*>(running->getChildren()[0]);
  ASSERT_NE(lobby, nullptr);
  EXPECT_EQ(lobby->onlineLabel->getString(), "online: 0");
  EXPECT_EQ(sent(), R"({"opt":"query"})");
  EXPECT_TRUE(nothingSent());
}

}  // namespace
}  // namespace desk_test
