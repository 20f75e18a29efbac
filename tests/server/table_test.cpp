// One table without sockets: the deal, rule enforcement, rounds, time-outs,
// leaving, and whole games of computer players checked by a referee.
#include "server/table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "cards/play.h"
#include "game_referee.h"
#include "recording_sink.h"
#include "server/protocol.h"
#include "server_messages.h"

using namespace server;
using namespace std::chrono_literals;

namespace {

const TimePoint t0{};

class TableTest : public ::testing::Test {
 protected:
  stTableOptions options;
  CRecordingSink sink;
  std::unique_ptr<CTable> table;

  // Four humans on connections 10..13, all ready: the game has started.
  void startHumans(std::uint64_t seed = 5) {
    table = std::make_unique<CTable>(1, options, seed, sink);
    for (int i = 0; i < 4; ++i)
      ASSERT_EQ(table->seatPlayer(10 + i, "p" + std::to_string(i), false, t0), i);
    for (int i = 0; i < 4; ++i) table->ready(i, t0);
    ASSERT_TRUE(table->playing());
    sink.clear();
  }
  int turn() const { return table->turn(); }
  const CardList& hand(int site) const { return table->seat(site).hand; }
  std::string announce(bool must) const { return formatGame(-1, 0, turn(), "", 0, must); }
};

CardCode weakestSingle(const CardList& hand) {
  return *std::min_element(hand.begin(), hand.end(), [](CardCode a, CardCode b) {
    return cardStrength(a) < cardStrength(b);
  });
}
CardCode strongestSingle(const CardList& hand) {
  return *std::max_element(hand.begin(), hand.end(), [](CardCode a, CardCode b) {
    return cardStrength(a) < cardStrength(b);
  });
}

}  // namespace

TEST_F(TableTest, DealsTwoShuffledDecksAndAnnouncesTheLead) {
  table = std::make_unique<CTable>(1, options, 9, sink);
  for (int i = 0; i < 4; ++i) table->seatPlayer(10 + i, "p" + std::to_string(i), false, t0);
  for (int i = 0; i < 4; ++i) table->ready(i, t0);
  std::map<CardCode, int> all;
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    std::vector<stSeen> got;
    for (const auto& text : sink.to(10 + i)) got.push_back(readMessage(text));
    // add, then a change for each join and ready from this seat on, start, the lead.
    ASSERT_GE(got.size(), 3u);
    const stSeen& start = got[got.size() - 2];
    ASSERT_EQ(start.opt, "start");
    CardList cards = parseCardList(start.str("cards"));
    EXPECT_EQ(cards.size(), 27u);
    EXPECT_TRUE(std::is_sorted(cards.begin(), cards.end()));
    EXPECT_EQ(cards, hand(i));
    for (CardCode c : cards) ++all[c];
    EXPECT_EQ(sink.to(10 + i).back(), formatGame(-1, 0, turn(), "", 0, true));
  }
  ASSERT_EQ(all.size(), 54u);
  for (auto [code, n] : all) EXPECT_EQ(n, 2) << code;
}

TEST_F(TableTest, ASeedRepeatsTheDeal) {
  startHumans(77);
  const CardList first = hand(0);
  const int leader = turn();
  CRecordingSink other;
  CTable again(1, options, 77, other);
  for (int i = 0; i < 4; ++i) again.seatPlayer(10 + i, "p", false, t0);
  for (int i = 0; i < 4; ++i) again.ready(i, t0);
  EXPECT_EQ(again.seat(0).hand, first);
  EXPECT_EQ(again.turn(), leader);
}

TEST_F(TableTest, RefusesWhatTheRulesDoNotAllowWithoutEffect) {
  startHumans();
  const int t = turn();
  const int next = (t + 1) % 4;
  CardCode missing = 0;
  while (std::count(hand(t).begin(), hand(t).end(), missing) > 0) ++missing;
  CardCode once = -1;
  for (CardCode c : hand(t))
    if (std::count(hand(t).begin(), hand(t).end(), c) == 1) once = c;
  ASSERT_GE(once, 0);
  // Two cards of different ranks, neither joker: never a combination.
  CardList mixed{hand(t).front(), hand(t).back()};
  ASSERT_EQ(classifyPlay(mixed).kind, PLAY_NONE);

  struct {
    const char* name;
    int site;
    std::string cards;
  } cases[] = {
      {"out of turn", next, formatCardList(CardList{hand(next).front()})},
      {"a card not held", t, std::to_string(missing) + ","},
      {"a card held once, played twice", t, formatCardList(CardList{once, once})},
      {"no combination", t, formatCardList(mixed)},
      {"a pass on a lead", t, ""},
      {"a code that names no card", t, "54,"},
      {"a loose card-list text", t, std::to_string(hand(t).front()) + "x"},
      {"no seat", 7, formatCardList(CardList{hand(t).front()})},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    sink.clear();
    const auto before = hand(c.site % 4);
    EXPECT_EQ(table->play(c.site, c.cards, t0), PlayResult::Refused);
    EXPECT_EQ(turn(), t);
    EXPECT_EQ(hand(c.site % 4), before);
    if (c.site < 4) {
      ASSERT_EQ(sink.sent.size(), 1u);
      EXPECT_EQ(sink.sent[0].connection, 10 + c.site);
      EXPECT_EQ(sink.sent[0].text, announce(true));
    } else {
      EXPECT_TRUE(sink.sent.empty());
    }
  }
}

TEST_F(TableTest, RefusesAPlayThatDoesNotFollow) {
  startHumans();
  const int t = turn(), next = (t + 1) % 4;
  const CardCode high = strongestSingle(hand(t));
  const CardCode low = weakestSingle(hand(next));
  ASSERT_LT(cardStrength(low), cardStrength(high));
  ASSERT_EQ(table->play(t, formatCardList(CardList{high}), t0), PlayResult::Accepted);
  sink.clear();
  EXPECT_EQ(table->play(next, formatCardList(CardList{low}), t0), PlayResult::Refused);
  EXPECT_EQ(turn(), next);
  ASSERT_EQ(sink.sent.size(), 1u);
  EXPECT_EQ(sink.sent[0].text, formatGame(-1, 0, next, "", cardPoints({high}), false));
}

TEST_F(TableTest, RelaysAPlayToEverySeatAndGivesTheRoundToTheLastPlayer) {
  startHumans();
  const int t = turn();
  const CardCode card = hand(t).front();
  // The automatic lead comes without a trailing comma; the relay is canonical.
  ASSERT_EQ(table->play(t, std::to_string(card), t0), PlayResult::Accepted);
  const int points = cardPoints({card});
  const std::string relay =
      formatGame(t, 26, (t + 1) % 4, std::to_string(card) + ",", points, false);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(sink.to(10 + i), std::vector<std::string>{relay});
  EXPECT_EQ(hand(t).size(), 26u);

  for (int k = 1; k <= 3; ++k) {
    sink.clear();
    const int s = (t + k) % 4;
    ASSERT_EQ(table->play(s, "", t0), PlayResult::Accepted);
    std::vector<std::string> want;
    if (k == 3) {
      const int p0 = t % 2 == 0 ? points : 0, p1 = t % 2 == 1 ? points : 0;
      want.push_back(formatScore(p0, p1));
      want.push_back(formatGame(s, 27, t, "", 0, true));
    } else {
      want.push_back(formatGame(s, 27, (s + 1) % 4, "", points, false));
    }
    EXPECT_EQ(sink.to(10 + s), want);
  }
  EXPECT_EQ(turn(), t);
  EXPECT_TRUE(table->mustLead());
}

TEST_F(TableTest, ATurnThatRunsOutIsPlayedForTheSeat) {
  options.turnTimeout = 35s;
  startHumans();
  const int t = turn();
  const CardCode lowest = *std::min_element(hand(t).begin(), hand(t).end());
  table->advance(t0 + 35s - 1ms);
  EXPECT_TRUE(sink.sent.empty());
  EXPECT_EQ(table->nextDeadline(), t0 + 35s);
  table->advance(t0 + 35s);
  ASSERT_EQ(sink.to(10).size(), 1u);
  EXPECT_EQ(readMessage(sink.to(10)[0]).str("cards"), std::to_string(lowest) + ",");
  EXPECT_EQ(turn(), (t + 1) % 4);
  // A seat that follows and runs out passes.
  sink.clear();
  table->advance(t0 + 70s);
  ASSERT_EQ(sink.to(10).size(), 1u);
  const stSeen pass = readMessage(sink.to(10)[0]);
  EXPECT_EQ(pass.num("per"), (t + 1) % 4);
  EXPECT_EQ(pass.str("cards"), "");
}

TEST_F(TableTest, ASeatLeftUnreadyGetsTimeoutAndLosesItsSeat) {
  options.readyTimeout = 120s;
  table = std::make_unique<CTable>(3, options, 1, sink);
  table->seatPlayer(10, "a", false, t0);
  table->seatPlayer(11, "b", false, t0 + 10s);
  table->ready(0, t0 + 20s);
  sink.clear();
  table->advance(t0 + 129s);
  EXPECT_TRUE(sink.sent.empty());
  table->advance(t0 + 130s);
  EXPECT_EQ(sink.to(11), std::vector<std::string>{formatTimeout()});
  EXPECT_EQ(sink.releasedConnections, std::vector<int>{11});
  SeatViews left;
  left[0] = {"a", 1};
  EXPECT_EQ(sink.to(10), std::vector<std::string>{formatChange(left)});
  EXPECT_FALSE(table->seat(1).occupied);
  EXPECT_FALSE(table->nextDeadline());
}

TEST_F(TableTest, LeavingDuringAGameEndsItWithRun) {
  startHumans();
  table->leave(2, t0);
  EXPECT_FALSE(table->playing());
  EXPECT_TRUE(sink.to(12).empty());
  SeatViews rest;
  rest[0] = {"p0", 0};
  rest[1] = {"p1", 0};
  rest[3] = {"p3", 0};
  for (int c : {10, 11, 13})
    EXPECT_EQ(sink.to(c), (std::vector<std::string>{formatRun(2, "p2"), formatChange(rest)}));
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(hand(i).empty());
  // The others are seated again and may start the next game once four are ready.
  table->seatPlayer(14, "p4", false, t0);
  for (int i = 0; i < 4; ++i) table->ready(i, t0);
  EXPECT_TRUE(table->playing());
}

TEST_F(TableTest, BotsFillTheTableAndWaitForTheHuman) {
  options.botDelay = 0s;
  table = std::make_unique<CTable>(4, options, 3, sink);
  ASSERT_EQ(table->seatPlayer(10, "player1", true, t0), 0);
  const auto got = sink.to(10);
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0], formatAddReply(4, 0, "player1"));
  EXPECT_EQ(got[1], formatChange({{{"player1", 0}, {"bot1", 1}, {"bot2", 1}, {"bot3", 1}}}));
  EXPECT_FALSE(table->playing());
  table->ready(0, t0);
  ASSERT_TRUE(table->playing());
  table->advance(t0);
  // The bots have played up to the human's turn (or ended the game).
  EXPECT_TRUE(!table->playing() || table->turn() == 0);
  EXPECT_EQ(table->botRefusals(), 0);
}

// Whole games of four computer players, checked by an independent referee.
TEST(TableGames, BotGamesRunFromDealToOver) {
  int turns = 0;
  for (std::uint64_t seed = 1; seed <= 30; ++seed) {
    SCOPED_TRACE(seed);
    CRecordingSink sink;
    stTableOptions options;
    options.botDelay = 0s;
    CTable table(1, options, seed, sink);
    for (int i = 0; i < 4; ++i) table.seatBot("bot" + std::to_string(i), t0);
    table.advance(t0);
    EXPECT_FALSE(table.playing());
    EXPECT_EQ(table.gamesPlayed(), 1);
    EXPECT_EQ(table.botRefusals(), 0);

    CGameReferee referee;
    // The other seats' deals first; seat 0's stream then tells the game.
    for (int site : {1, 2, 3, 0})
      for (const auto& text : sink.seen[site]) referee.feed(site, readMessage(text));
    ASSERT_TRUE(referee.allKnown());
    EXPECT_TRUE(referee.ended());
    turns += referee.turns();
    // Conservation: what was played plus what is left is the two decks.
    std::map<CardCode, int> cards = referee.played();
    for (const CardList& h : referee.hands())
      for (CardCode c : h) ++cards[c];
    ASSERT_EQ(cards.size(), 54u);
    for (auto [code, n] : cards) EXPECT_EQ(n, 2) << code;
    EXPECT_EQ(referee.p0() + referee.p1(), 200);
  }
  EXPECT_GT(turns, 30 * 20);
}
