// Messages that keep the link up but break the protocol, at the lobby and at
// the table: non-object roots, missing keys, numbers where strings belong,
// "info" of other lengths, seats and card codes out of range, a 10,000-card
// deal, a game before the deal, a second deal, kinds meant for the other
// scene. Each shows only the boxes named, touches no seat the table lacks,
// loses none of the messages around it, and the scene goes on to its next
// step.
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "cards/card_sprite.h"
#include "hostile_fixture.h"

namespace hostile {
namespace {

struct BadCase {
  const char* name;
  Where where;
  std::vector<std::string> texts;
  std::vector<std::string> boxes;
  std::function<void(HostileTest&)> check;
};

void PrintTo(const BadCase& c, std::ostream* out) {
  *out << whereName(c.where) << " " << c.name;
}

std::string changeMessage(const std::vector<std::pair<std::string, std::string>>& seats) {
  std::string text = R"({"opt":"change","info":[)";
  for (std::size_t i = 0; i < seats.size(); ++i) {
    if (i > 0) text += ",";
    text += R"({"name":")" + seats[i].first + R"(","ready":")" + seats[i].second + R"("})";
  }
  return text + "]}";
}
std::string overMessage(const std::vector<std::string>& results) {
  std::string text = R"({"opt":"over","info":[)";
  for (std::size_t i = 0; i < results.size(); ++i) {
    if (i > 0) text += ",";
    text += R"({"name":"p)" + std::to_string(i) + R"(","result":")" + results[i] + R"("})";
  }
  return text + "]}";
}
std::string manyCards(int count) {
  std::string cards;
  for (int i = 0; i < count; ++i) cards += std::to_string((i * 7) % 54) + ",";
  return cards;
}

std::vector<int> handCodes(const CDeskScene* table) {
  std::vector<int> codes;
  for (const CardSprite* card : table->handCards) codes.push_back(card->cardCode);
  return codes;
}
std::vector<std::string> seatNames(CDeskScene* table) {
  std::vector<std::string> names;
  for (int s = 0; s < 4; ++s) names.push_back(table->seatRecord(s)->nameLabel->getString());
  return names;
}
std::size_t playedCardCount(CDeskScene* table) {
  std::size_t count = 0;
  for (int s = 0; s < 4; ++s) count += table->seatRecord(s)->playedCards.size();
  return count;
}
void expectUntouchedTable(HostileTest& t) {
  EXPECT_TRUE(t.table->handCards.empty());
  EXPECT_EQ(playedCardCount(t.table), 0u);
  EXPECT_EQ(t.table->timerSite, -1);
  EXPECT_FALSE(t.table->playing);
  EXPECT_FALSE(t.table->putButton->isVisible());
}
void expectLobbyWaiting(HostileTest& t) {
  EXPECT_TRUE(t.stillRunning());
  EXPECT_TRUE(t.lobby->quickJoinButton->isEnabled());
}

const std::string kRunTitle = "玩家逃跑，游戏结束";

std::vector<BadCase> badCases() {
  const Where L = Where::kLobby;
  const Where T = Where::kTable;
  return {
      // -- the lobby
      {"NonObjectRoots",
       L,
       {"[1,2]", R"("query")", "5", "null", "true", "{}"},
       {},
       expectLobbyWaiting},
      {"QueryWithoutOnline",
       L,
       {R"({"opt":"query","version":"26"})"},
       {},
       [](HostileTest& t) { EXPECT_EQ(t.lobby->onlineLabel->getString(), "online:5"); }},
      {"OnlineAsANumber",
       L,
       {R"({"opt":"query","online":12,"version":"26"})"},
       {},
       [](HostileTest& t) {
         EXPECT_NE(std::find(t.observed.begin(), t.observed.end(), "online:"), t.observed.end());
       }},
      {"AddWithoutKeys", L, {R"({"opt":"add"})"}, {}, expectLobbyWaiting},
      {"AddWithNumbers",
       L,
       {R"({"opt":"add","desk":5,"site":2,"name":"abc"})"},
       {},
       expectLobbyWaiting},
      {"AddWithSeatsOutOfRange",
       L,
       {
           R"({"opt":"add","desk":"1","site":"4","name":"x"})",
           R"({"opt":"add","desk":"1","site":"-1","name":"x"})",
           R"({"opt":"add","desk":"1","site":"99999999999","name":"x"})",
           R"({"opt":"add","desk":"1","site":"-2147483649","name":"x"})",
       },
       {},
       expectLobbyWaiting},
      {"TableMessagesAtTheLobby",
       L,
       {changeMessage({{"a", "1"}, {"b", "0"}}),
        R"({"opt":"start","cards":")" + manyCards(10000) + R"("})", gameMessage(1, "3", 0, "8,"),
        overMessage({"10", "-10", "10", "-10"}), R"({"opt":"run","site":"2","name":"abc"})",
        scoreMessage("1", "2"), R"({"opt":"timeout"})"},
       {},
       expectLobbyWaiting},
      {"KindsInOtherLetterCase",
       L,
       {R"({"opt":"Query","online":"99","version":"27"})", R"({"opt":"ADD","desk":"1","site":"0"})",
        R"({"opt":""})", R"({"opt":["query"]})", R"({"opt":null})"},
       {},
       expectLobbyWaiting},

      // -- the table, seat 0
      {"NonObjectRoots",
       T,
       {"[1,2]", R"("game")", "5", "null", "false", "{}"},
       {},
       expectUntouchedTable},
      {"ScoreWithoutKeys",
       T,
       {R"({"opt":"score"})"},
       {},
       [](HostileTest& t) { EXPECT_EQ(t.table->otherScoreLabel->getString(), "x"); }},
      {"ScoresAsNumbers",
       T,
       {R"({"opt":"score","p0":120,"p1":80})"},
       {},
       [](HostileTest& t) {
         EXPECT_NE(std::find(t.observed.begin(), t.observed.end(), ""), t.observed.end());
       }},
      {"GameWithoutKeys",
       T,
       {R"({"opt":"game"})"},
       {},
       [](HostileTest& t) {
         expectUntouchedTable(t);
         EXPECT_EQ(t.table->tableScoreLabel->getString(), "0");
       }},
      {"GameWithNumbers",
       T,
       {R"({"opt":"game","per":1,"surplus":5,"now":0,"cards":"8,","score":7,"must":0})"},
       {},
       [](HostileTest& t) {
         // No seat is named, so none plays and none gets the turn.
         expectUntouchedTable(t);
         EXPECT_TRUE(t.table->lastCards.empty());
       }},
      {"GameSeatsOutOfRange",
       T,
       {gameMessage(7, "5", 9, "8,", 42), gameMessage(-5, "5", 4, "9,", 43),
        gameMessage(2147483647, "1", -2147483647 - 1, "10,", 44)},
       {},
       [](HostileTest& t) {
         expectUntouchedTable(t);
         EXPECT_EQ(t.table->tableScoreLabel->getString(), "44");
         EXPECT_TRUE(t.table->lastCards.empty());
       }},
      {"StartWithoutCards",
       T,
       {R"({"opt":"start"})", R"({"opt":"start","cards":[1,2]})"},
       {},
       [](HostileTest& t) {
         EXPECT_TRUE(t.table->playing);
         EXPECT_TRUE(t.table->handCards.empty());
       }},
      {"CardCodesOutOfRange",
       T,
       {R"({"opt":"start","cards":"99,-5,54,1000000,abc,2147483648"})",
        gameMessage(1, "3", -1, "77,-3,")},
       {},
       [](HostileTest& t) {
         EXPECT_EQ(handCodes(t.table), (std::vector<int>{-5, 0, 54, 99, 1000000, 2147483647}));
         ASSERT_EQ(t.table->seatRecord(1)->playedCards.size(), 2u);
         EXPECT_EQ(t.table->seatRecord(1)->playedCards[0]->cardCode, 77);
         EXPECT_EQ(t.table->seatRecord(1)->playedCards[1]->cardCode, -3);
         t.app.step();  // drawn like any other card
       }},
      {"TenThousandCardStart",
       T,
       {R"({"opt":"start","cards":")" + manyCards(10000) + R"("})"},
       {},
       [](HostileTest& t) {
         // The lowest cards are drawn, up to the table's limit.
         ASSERT_EQ(t.table->handCards.size(), CDeskScene::kMaxDrawnCards);
         std::vector<int> codes = handCodes(t.table);
         EXPECT_TRUE(std::is_sorted(codes.begin(), codes.end()));
         t.app.step();
       }},
      {"GameBeforeStart",
       T,
       {gameMessage(-1, "", 0, "", 0, 1)},
       {},
       [](HostileTest& t) {
         // The turn is shown, but no countdown runs outside a game: nothing
         // is played for the player.
         EXPECT_TRUE(t.table->putButton->isVisible());
         t.app.advance(35);
         EXPECT_TRUE(t.nothingSent());
         EXPECT_EQ(t.table->seatRecord(0)->clockLabel->getString(), "30");
       }},
      {"SecondStart",
       T,
       {R"({"opt":"start","cards":"9,8,"})", R"({"opt":"start","cards":"10,"})"},
       {},
       [](HostileTest& t) {
         EXPECT_TRUE(t.table->playing);
         EXPECT_EQ(handCodes(t.table), (std::vector<int>{8, 9, 10}));
       }},
      {"InfoWithTwoEntries",
       T,
       {changeMessage({{"ann", "1"}, {"bob", "0"}})},
       {},
       [](HostileTest& t) {
         EXPECT_EQ(seatNames(t.table), (std::vector<std::string>{"ann", "bob", "", ""}));
         EXPECT_TRUE(t.table->seatRecord(0)->readySprite->isVisible());
         for (int s : {1, 2, 3}) EXPECT_FALSE(t.table->seatRecord(s)->readySprite->isVisible());
       }},
      {"InfoWithSixEntries",
       T,
       {changeMessage({{"a", "1"}, {"b", "1"}, {"c", "0"}, {"d", "1"}, {"e", "1"}, {"f", "1"}})},
       {},
       [](HostileTest& t) {
         EXPECT_EQ(seatNames(t.table), (std::vector<std::string>{"a", "b", "c", "d"}));
         EXPECT_FALSE(t.table->seatRecord(2)->readySprite->isVisible());
       }},
      {"InfoOfOtherTypes",
       T,
       {R"({"opt":"change","info":"x"})", R"({"opt":"change","info":[1,"a",null,[]]})",
        R"({"opt":"change","info":{"0":{"name":"a"}}})"},
       {},
       [](HostileTest& t) {
         EXPECT_EQ(seatNames(t.table), (std::vector<std::string>{"", "", "", ""}));
       }},
      {"HugeNames",
       T,
       {changeMessage({{std::string(20000, 'W'), "1"}, {std::string(5000, 'x'), "1"}})},
       {},
       [](HostileTest& t) {
         EXPECT_EQ(t.table->seatRecord(0)->nameLabel->getString().size(), 20000u);
         t.app.step();
       }},
      {"RunWithoutKeys",
       T,
       {R"({"opt":"run"})"},
       {box(kRunTitle, "-1->:-10\r\n")},
       [](HostileTest& t) {
         EXPECT_TRUE(t.table->readyButton->isVisible());
         EXPECT_TRUE(t.table->readyButton->isEnabled());
       }},
      {"RunSeatOutOfRange",
       T,
       {R"({"opt":"run","site":"9","name":"x"})"},
       {box(kRunTitle, "9->x:-10\r\n")},
       [](HostileTest& t) { EXPECT_EQ(seatNames(t.table), (std::vector<std::string>(4))); }},
      {"OverWithoutInfo",
       T,
       {R"({"opt":"over"})"},
       {box("游戏结束，平局！", "0:0\r\n1:0\r\n2:0\r\n3:0\r\n")},
       nullptr},
      {"OverWithTwoEntries",
       T,
       {overMessage({"10", "-10"})},
       {box("游戏结束，你赢了！", "0:10\r\n1:-10\r\n2:0\r\n3:0\r\n")},
       nullptr},
      {"LobbyMessagesAtTheTable",
       T,
       {R"({"opt":"add","desk":"3","site":"1","name":"x"})", queryReply("9"), R"({"opt":"Game"})"},
       {},
       expectUntouchedTable},
  };
}

class BadMessagesTest : public HostileTest, public testing::WithParamInterface<BadCase> {};

TEST_P(BadMessagesTest, ShowsOnlyItsBoxesAndLosesNothingAround) {
  const BadCase& c = GetParam();
  open(c.where);
  const long before = residentKb();

  // Good messages before and after the bad ones, all of them shown in order.
  std::vector<std::string> texts;
  std::vector<std::string> expected;
  for (int i = 1; i <= 3; ++i) texts.push_back(marker(c.where, i));
  texts.insert(texts.end(), c.texts.begin(), c.texts.end());
  for (int i = 4; i <= 5; ++i) texts.push_back(marker(c.where, i));
  for (int i = 1; i <= 5; ++i) expected.push_back(shown(c.where, i));
  send(texts);
  ASSERT_TRUE(waitQueued(texts.size()));
  drain();

  std::vector<std::string> markers;
  for (const std::string& value : observed) {
    if (std::find(expected.begin(), expected.end(), value) != expected.end()) {
      markers.push_back(value);
    }
  }
  EXPECT_EQ(markers, expected);
  EXPECT_EQ(boxes(), c.boxes);
  EXPECT_TRUE(stillRunning());
  if (c.check) c.check(*this);
  EXPECT_LT(residentKb() - before, 256 * 1024);

  // The scene still takes its next step: the lobby opens a granted table,
  // the table goes back to the lobby on a time-out.
  if (c.where == Where::kLobby) {
    send({R"({"opt":"add","desk":"3","site":"1","name":"z"})"});
    ASSERT_TRUE(waitQueued(1));
    drain();
    engine::Scene* running = app.director()->getRunningScene();
    ASSERT_EQ(running->getChildren().size(), 1u);
    auto* opened = dynamic_cast<CDeskScene*>(running->getChildren()[0]);
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(opened->desk, 3);
    EXPECT_EQ(opened->site, 1);
  } else {
    send({R"({"opt":"timeout"})"});
    ASSERT_TRUE(waitQueued(1));
    drain();
    engine::Scene* running = app.director()->getRunningScene();
    ASSERT_EQ(running->getChildren().size(), 1u);
    EXPECT_NE(dynamic_cast<CHallScene*>(running->getChildren()[0]), nullptr);
    EXPECT_EQ(peer.readFrame(), onlineQueryRequest());
  }
}

INSTANTIATE_TEST_SUITE_P(Messages, BadMessagesTest, testing::ValuesIn(badCases()),
                         [](const testing::TestParamInfo<BadCase>& p) {
                           return std::string(whereName(p.param.where)) + "_" + p.param.name;
                         });

}  // namespace
}  // namespace hostile
