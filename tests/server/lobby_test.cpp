// Routing without sockets: the lobby's answers, seating, and requests that
// name a table or seat the sender does not hold.
#include "server/lobby.h"

#include <gtest/gtest.h>

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
