// Routing without sockets: the lobby's answers, seating, and requests that
// name a table or seat the sender does not hold.
#include "server/lobby.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>
#include <tuple>

#include "recording_sink.h"
#include "server/protocol.h"
#include "server_messages.h"

using namespace server;
using namespace std::chrono_literals;

namespace {

const TimePoint t0{};

class LobbyTest : public ::testing::Test {
 protected:
  CRecordingSink out;
  stLobbyOptions options;
  std::unique_ptr<CLobby> lobby;

  void make(bool bots) {
    options.bots = bots;
    options.seed = 11;
    options.table.botDelay = 0s;
    lobby = std::make_unique<CLobby>(options, out);
  }
  void say(int c, const std::string& text) { ASSERT_TRUE(lobby->receive(c, text, t0)) << text; }
  std::string ready(int desk, int site) {
    return R"({"opt":"change","type":"ready","desk":)" + std::to_string(desk) + R"(,"site":)" +
           std::to_string(site) + "}";
  }
};

}  // namespace

TEST_F(LobbyTest, AnswersQueriesWithTheOnlineCount) {
  make(false);
  for (int c = 1; c <= 3; ++c) lobby->connect(c, t0);
  say(2, R"({"opt":"query"})");
  EXPECT_EQ(out.to(2), std::vector<std::string>{R"({"opt":"query","online":"3","version":"26"})"});
  lobby->disconnect(3, t0);
  out.clear();
  say(1, R"({"opt":"query"})");
  EXPECT_EQ(out.to(1), std::vector<std::string>{R"({"opt":"query","online":"2","version":"26"})"});
}

TEST_F(LobbyTest, SeatsPlayersAtTheFirstTableWithAFreeSeat) {
  make(false);
  for (int c = 1; c <= 5; ++c) {
    lobby->connect(c, t0);
    say(c, R"({"opt":"add"})");
  }
  EXPECT_EQ(out.to(1).front(), R"({"opt":"add","desk":"1","site":"0","name":"player1"})");
  EXPECT_EQ(out.to(4).front(), R"({"opt":"add","desk":"1","site":"3","name":"player4"})");
  EXPECT_EQ(out.to(5).front(), R"({"opt":"add","desk":"2","site":"0","name":"player5"})");
  // Everyone at table 1 heard of the fourth player.
  const stSeen change = readMessage(out.to(1).back());
  EXPECT_EQ(change.opt, "change");
  EXPECT_EQ(change.info[3].first, "player4");
  // Asking again while seated gives the same seat.
  out.clear();
  say(4, R"({"opt":"add"})");
  EXPECT_EQ(out.to(4),
            std::vector<std::string>{R"({"opt":"add","desk":"1","site":"3","name":"player4"})"});
  // A freed seat is offered first; table numbers are reused from 1.
  say(2, R"({"opt":"change","type":"leave","desk":1,"site":1})");
  lobby->connect(6, t0);
  out.clear();
  say(6, R"({"opt":"add"})");
  EXPECT_EQ(out.to(6).front(), R"({"opt":"add","desk":"1","site":"1","name":"player6"})");
}

TEST_F(LobbyTest, WithBotsEachPlayerGetsATableOfTheirOwn) {
  make(true);
  lobby->connect(1, t0);
  lobby->connect(2, t0);
  say(1, R"({"opt":"add"})");
  say(2, R"({"opt":"add"})");
  EXPECT_EQ(out.to(2).front(), R"({"opt":"add","desk":"2","site":"0","name":"player2"})");
  EXPECT_EQ(lobby->tables(), 2);
  // The table goes when its human does.
  lobby->disconnect(1, t0);
  EXPECT_EQ(lobby->tables(), 1);
  EXPECT_EQ(lobby->table(1), nullptr);
}

TEST_F(LobbyTest, RequestsForAnotherTableOrSeatChangeNothing) {
  make(false);
  for (int c = 1; c <= 4; ++c) {
    lobby->connect(c, t0);
    say(c, R"({"opt":"add"})");
  }
  out.clear();
  say(1, ready(1, 1));  // seat 1 is not player1's
  say(1, ready(2, 0));  // nor is table 2
  say(1, R"({"opt":"change","type":"leave","desk":1,"site":3})");
  EXPECT_TRUE(out.sent.empty());
  for (int s = 0; s < 4; ++s) say(s + 1, ready(1, s));
  const CTable* table = lobby->table(1);
  ASSERT_TRUE(table && table->playing());
  const int t = table->turn();
  const CardCode card = table->seat(t).hand.front();
  // The player in turn names another seat: refused like a play out of turn.
  out.clear();
  const int other = (t + 1) % 4;
  say(t + 1, R"({"opt":"game","desk":1,"site":)" + std::to_string(other) + R"(,"cards":")" +
                 std::to_string(card) + R"(,"})");
  EXPECT_EQ(out.sent.size(), 1u);
  EXPECT_EQ(out.to(t + 1), std::vector<std::string>{formatGame(-1, 0, t, "", 0, true)});
  EXPECT_EQ(table->seat(t).hand.size(), 27u);
}

TEST_F(LobbyTest, MalformedTextsAreReportedAndUnknownKindsIgnored) {
  make(false);
  lobby->connect(1, t0);
  EXPECT_FALSE(lobby->receive(1, "not json", t0));
  EXPECT_FALSE(lobby->receive(1, R"({"opt":"game","desk":"1","site":0,"cards":""})", t0));
  EXPECT_TRUE(lobby->receive(1, R"({"opt":"shout"})", t0));
  EXPECT_TRUE(lobby->receive(1, R"({"opt":"game","desk":1,"site":0,"cards":"1,"})", t0));
  EXPECT_FALSE(lobby->receive(99, R"({"opt":"query"})", t0)) << "an unknown connection";
  EXPECT_TRUE(out.sent.empty());
}

TEST_F(LobbyTest, ATimedOutPlayerIsBackInTheLobbyAndMayJoinAgain) {
  make(false);
  options.table.readyTimeout = 60s;
  lobby = std::make_unique<CLobby>(options, out);
  lobby->connect(1, t0);
  say(1, R"({"opt":"add"})");
  EXPECT_EQ(lobby->nextDeadline(), t0 + 60s);
  lobby->advance(t0 + 60s);
  EXPECT_EQ(out.to(1).back(), formatTimeout());
  EXPECT_EQ(lobby->tables(), 0);
  EXPECT_FALSE(lobby->nextDeadline());
  out.clear();
  say(1, R"({"opt":"add"})");
  EXPECT_EQ(out.to(1).front(), R"({"opt":"add","desk":"1","site":"0","name":"player1"})");
}

TEST_F(LobbyTest, ADisconnectDuringAGameSendsRunToTheOthers) {
  make(false);
  for (int c = 1; c <= 4; ++c) {
    lobby->connect(c, t0);
    say(c, R"({"opt":"add"})");
  }
  for (int s = 0; s < 4; ++s) say(s + 1, ready(1, s));
  out.clear();
  lobby->disconnect(3, t0);
  for (int c : {1, 2, 4}) EXPECT_EQ(out.to(c).front(), formatRun(2, "player3"));
  EXPECT_FALSE(lobby->table(1)->playing());
  EXPECT_EQ(lobby->online(), 3);
}

// Clients that send anything at all, in any order, with time passing: the
// lobby never breaks, every message it sends is well formed, and no table
// ever holds a card more often than the two decks do.
TEST(LobbyChaos, SurvivesRandomRequestsFromManyClients) {
  CRecordingSink out;
  stLobbyOptions options;
  options.seed = 3;
  options.table.turnTimeout = 2s;
  options.table.readyTimeout = 20s;
  options.table.botDelay = 100ms;
  std::mt19937 rng(99);
  for (bool bots : {false, true}) {
    SCOPED_TRACE(bots);
    options.bots = bots;
    CLobby lobby(options, out);
    std::set<int> connected;
    std::map<int, std::pair<int, int>> seatOf;
    std::size_t seen = 0;
    TimePoint now{};
    auto pick = [&](int n) { return int(rng() % unsigned(n)); };
    for (int step = 0; step < 6000; ++step) {
      const int c = 1 + pick(8);
      if (!connected.count(c)) {
        lobby.connect(c, now);
        connected.insert(c);
      }
      // Mostly the seat the client was given, sometimes any other.
      int desk = pick(4), site = pick(6) - 1;
      if (auto it = seatOf.find(c); it != seatOf.end() && pick(5) != 0)
        std::tie(desk, site) = it->second;
      std::string cards;
      const CTable* mine = lobby.table(desk);
      if (mine && site >= 0 && site < 4 && !mine->seat(site).hand.empty() && pick(3) != 0)
        cards = std::to_string(mine->seat(site).hand[pick(int(mine->seat(site).hand.size()))]);
      else
        for (int k = pick(4); k > 0; --k) cards += std::to_string(pick(56)) + ",";
      const std::string d = std::to_string(desk), s = std::to_string(site);
      const std::string texts[] = {
          R"({"opt":"query"})",
          R"({"opt":"add"})",
          R"({"opt":"change","type":"ready","desk":)" + d + R"(,"site":)" + s + "}",
          R"({"opt":"change","type":"leave","desk":)" + d + R"(,"site":)" + s + "}",
          R"({"opt":"game","desk":)" + d + R"(,"site":)" + s + R"(,"cards":")" + cards + "\"}",
          R"({"opt":"game","desk":)" + d + R"(,"site":)" + s + R"(,"cards":""})",
          R"({"opt":"game","desk":1,"site":0,"cards":"1,)",
      };
      // Leaving and broken texts are rare, or no game would last.
      std::discrete_distribution<int> weights({2, 2, 3, 0.2, 6, 3, 0.2});
      const std::string& text = texts[weights(rng)];
      if (!lobby.receive(c, text, now) || pick(400) == 0) {
        lobby.disconnect(c, now);
        connected.erase(c);
      }
      for (; seen < out.sent.size(); ++seen) {
        const stSeen m = readMessage(out.sent[seen].text);
        if (m.opt == "add") seatOf[out.sent[seen].connection] = {m.num("desk"), m.num("site")};
      }
      now += std::chrono::milliseconds(pick(700));
      lobby.advance(now);
      ASSERT_EQ(lobby.online(), int(connected.size()));
      for (int t = 1; t <= 8; ++t) {
        const CTable* table = lobby.table(t);
        if (!table) continue;
        std::map<CardCode, int> count;
        int humans = 0;
        for (int i = 0; i < 4; ++i) {
          for (CardCode code : table->seat(i).hand) ++count[code];
          humans += table->seat(i).occupied && !table->seat(i).bot;
        }
        EXPECT_GT(humans, 0) << "a table without humans stays open";
        for (auto [code, n] : count) ASSERT_LE(n, 2) << code;
      }
    }
    std::map<std::string, int> kinds;
    for (const stSent& s : out.sent) {
      const stSeen m = readMessage(s.text);
      ASSERT_FALSE(m.opt.empty()) << s.text;
      ++kinds[m.opt];
      if (m.opt == "game" && m.num("per") >= 0 && !m.str("cards").empty()) ++kinds["play"];
    }
    // The chaos reached games, plays, their ends and the time-outs.
    for (const char* kind : {"start", "play", "timeout"}) EXPECT_GT(kinds[kind], 0) << kind;
    if (!bots) {
      EXPECT_GT(kinds["run"], 0);
    }
    out.sent.clear();
  }
}
