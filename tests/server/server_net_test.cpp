// The Asio server in-process on an ephemeral loopback port, driven by
// scripted clients: exact texts, a whole game, a player running away, and
// clients that send garbage while others play on.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "game_referee.h"
#include "server/server.h"
#include "server_messages.h"
#include "test_client.h"

using namespace std::chrono_literals;

namespace {

class ServerNetTest : public ::testing::Test {
 protected:
  server::stServerOptions options;
  std::unique_ptr<server::CServer> srv;
  std::mutex logMutex;
  std::vector<std::string> logLines;

  ServerNetTest() {
    options.port = 0;
    options.seed = 1234;
    options.botDelay = 0;
  }

  // The server's thread logs into this fixture: it goes first.
  ~ServerNetTest() override { srv.reset(); }

  void start() {
    srv = std::make_unique<server::CServer>(options);
    srv->setLog([this](const std::string& line) {
      std::lock_guard lock(logMutex);
      logLines.push_back(line);
    });
    std::string error;
    ASSERT_TRUE(srv->listen(error)) << error;
    ASSERT_NE(srv->port(), 0);
    srv->start();
  }

  std::unique_ptr<CTestClient> client() {
    auto c = std::make_unique<CTestClient>(srv->port());
    EXPECT_TRUE(c->connected());
    return c;
  }

  static std::string ready(int desk, int site) {
    return R"({"opt":"change","type":"ready","desk":)" + std::to_string(desk) + R"(,"site":)" +
           std::to_string(site) + "}";
  }

  // Joins and gets ready; returns the seat.
  static int joinAndReady(CTestClient& c) {
    c.send(R"({"opt":"add"})");
    const auto add = c.receiveKind("add");
    if (!add) return -1;
    const stSeen m = readMessage(*add);
    c.send(ready(m.num("desk"), m.num("site")));
    return m.num("site");
  }

  // Reads until "over", feeding the referee; false if the game never ended.
  static bool playOut(CTestClient& c, int site, CGameReferee& referee,
                      std::vector<std::string>* texts = nullptr) {
    referee.setObserver(site);
    while (auto text = c.receive()) {
      if (texts) texts->push_back(*text);
      const stSeen m = readMessage(*text);
      referee.feed(site, m);
      if (m.opt == "over") return true;
    }
    return false;
  }
};

}  // namespace

TEST_F(ServerNetTest, AnswersWithTheExactTexts) {
  start();
  auto a = client();
  a->send(R"({"opt":"query"})");
  EXPECT_EQ(a->receive(), R"({"opt":"query","online":"1","version":"26"})");
  a->send(R"({"opt":"add"})");
  EXPECT_EQ(a->receive(), R"({"opt":"add","desk":"1","site":"0","name":"player1"})");
  EXPECT_EQ(a->receive(),
            R"({"opt":"change","info":[{"name":"player1","ready":"0"},{"name":"","ready":"0"},)"
            R"({"name":"","ready":"0"},{"name":"","ready":"0"}]})");
  auto b = client();
  b->send(R"({"opt":"add"})");
  EXPECT_EQ(b->receive(), R"({"opt":"add","desk":"1","site":"1","name":"player2"})");
  const std::string both =
      R"({"opt":"change","info":[{"name":"player1","ready":"0"},{"name":"player2","ready":"0"},)"
      R"({"name":"","ready":"0"},{"name":"","ready":"0"}]})";
  EXPECT_EQ(b->receive(), both);
  EXPECT_EQ(a->receive(), both);
  a->send(ready(1, 0));
  const std::string oneReady =
      R"({"opt":"change","info":[{"name":"player1","ready":"1"},{"name":"player2","ready":"0"},)"
      R"({"name":"","ready":"0"},{"name":"","ready":"0"}]})";
  EXPECT_EQ(a->receive(), oneReady);
  EXPECT_EQ(b->receive(), oneReady);
  b->send(R"({"opt":"query"})");
  EXPECT_EQ(b->receive(), R"({"opt":"query","online":"2","version":"26"})");
}

TEST_F(ServerNetTest, PlaysAWholeGameAgainstBotsRepeatably) {
  options.bots = true;
  options.turnTimeout = 0.01;  // the scripted player lets its turns run out
  std::vector<std::string> first;
  for (int run = 0; run < 2; ++run) {
    SCOPED_TRACE(run);
    start();
    auto a = client();
    const int site = joinAndReady(*a);
    ASSERT_EQ(site, 0);
    CGameReferee referee;
    std::vector<std::string> texts;
    ASSERT_TRUE(playOut(*a, site, referee, &texts));
    EXPECT_TRUE(referee.ended());
    EXPECT_GT(referee.turns(), 20);
    // After the game the player is seated again, the bots ready.
    const auto change = a->receiveKind("change");
    ASSERT_TRUE(change);
    const stSeen seats = readMessage(*change);
    EXPECT_EQ(seats.info[0].second, "0");
    EXPECT_EQ(seats.info[1].second, "1");
    if (run == 0)
      first = texts;
    else
      EXPECT_EQ(texts, first) << "the same seed gives the same game";
    srv.reset();
  }
}

TEST_F(ServerNetTest, APlayerWhoDisconnectsEndsTheGameWithRun) {
  start();
  std::vector<std::unique_ptr<CTestClient>> players;
  for (int i = 0; i < 4; ++i) {
    players.push_back(client());
    ASSERT_EQ(joinAndReady(*players.back()), i);
  }
  for (auto& p : players) ASSERT_TRUE(p->receiveKind("start"));
  players[2]->close();
  for (int i : {0, 1, 3}) {
    SCOPED_TRACE(i);
    EXPECT_EQ(players[i]->receiveKind("run"), R"({"opt":"run","site":"2","name":"player3"})");
    const auto change = players[i]->receive();
    ASSERT_TRUE(change);
    const stSeen m = readMessage(*change);
    EXPECT_EQ(m.opt, "change");
    EXPECT_EQ(m.info[2].first, "");
    EXPECT_EQ(m.info[0].second, "0");
  }
  // The three may be joined by a fourth and play again.
  auto late = client();
  EXPECT_EQ(joinAndReady(*late), 2);
  for (int i : {0, 1, 3}) players[i]->send(ready(1, i));
  EXPECT_TRUE(late->receiveKind("start"));
}

TEST_F(ServerNetTest, BadClientsAreDroppedAloneWhileOthersPlayOn) {
  options.bots = true;
  options.turnTimeout = 0.01;
  start();
  auto good = client();
  ASSERT_EQ(joinAndReady(*good), 0);
  ASSERT_TRUE(good->receiveKind("start"));

  auto frame = [](std::uint32_t n) {
    std::string h(4, '\0');
    for (int i = 0; i < 4; ++i) h[i] = char((n >> (8 * i)) & 0xff);
    return h;
  };
  struct {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"a length far over the limit", frame(1u << 30)},
      {"one byte over the limit", frame(64 * 1024 + 1) + std::string(64 * 1024 + 1, ' ')},
      {"a zero length", frame(0)},
      {"text that is not JSON", server::encodeFrame("hello")},
      {"two JSON values", server::encodeFrame(R"({"opt":"query"}{"opt":"query"})")},
      {"a NUL inside", server::encodeFrame(std::string("{\"opt\":\"query\"}\0", 16))},
      {"deep nesting", server::encodeFrame(std::string(30000, '[') + std::string(30000, ']'))},
      {"a ready with a string seat",
       server::encodeFrame(R"({"opt":"change","type":"ready","desk":1,"site":"0"})")},
      {"random bytes", std::string("\x05\x00\x00\x00\xff\xfe\x00\x01\x02", 9)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto bad = client();
    // Seated at a table of its own first, so dropping it also ends a game.
    ASSERT_GE(joinAndReady(*bad), 0);
    ASSERT_TRUE(bad->receiveKind("start"));
    bad->sendRaw(c.bytes);
    EXPECT_TRUE(bad->closedByPeer());
  }
  // The first player's game went on to its end, and the server still answers.
  ASSERT_TRUE(good->receiveKind("over"));
  good->send(R"({"opt":"query"})");
  EXPECT_EQ(good->receiveKind("query"), R"({"opt":"query","online":"1","version":"26"})");

  srv.reset();
  std::lock_guard lock(logMutex);
  int closedLines = 0;
  for (const auto& line : logLines)
    if (line.find("closed") != std::string::npos && line.find("127.0.0.1:") != std::string::npos)
      ++closedLines;
  EXPECT_GE(closedLines, int(std::size(cases)));
}

TEST_F(ServerNetTest, AFrameMaySpreadOverManyWrites) {
  start();
  auto a = client();
  const std::string frame = server::encodeFrame(R"({"opt":"query"})");
  for (char c : frame) {
    a->sendRaw(std::string(1, c));
    std::this_thread::sleep_for(1ms);
  }
  EXPECT_EQ(a->receive(), R"({"opt":"query","online":"1","version":"26"})");
  // Several frames in one write are all answered, in order.
  a->sendRaw(frame + server::encodeFrame(R"({"opt":"add"})") + frame);
  EXPECT_EQ(readMessage(*a->receive()).opt, "query");
  EXPECT_EQ(readMessage(*a->receive()).opt, "add");
  EXPECT_EQ(readMessage(*a->receive()).opt, "change");
  EXPECT_EQ(readMessage(*a->receive()).opt, "query");
}

TEST_F(ServerNetTest, AClientThatDoesNotReadIsDroppedAlone) {
  start();
  auto other = client();
  CTestClient deaf(srv->port(), 4096);
  ASSERT_TRUE(deaf.connected());
  // Far more answers than the socket buffers and the server's queue hold.
  std::string burst;
  for (int i = 0; i < 2000; ++i) burst += server::encodeFrame(R"({"opt":"query"})");
  for (int k = 0; k < 100 && deaf.sendRaw(burst); ++k) {
  }
  EXPECT_TRUE(deaf.closedByPeer(30s));
  other->send(R"({"opt":"query"})");
  EXPECT_EQ(other->receive(), R"({"opt":"query","online":"1","version":"26"})");
  srv.reset();
  std::lock_guard lock(logMutex);
  ASSERT_FALSE(logLines.empty());
  EXPECT_NE(logLines.front().find("not reading its messages"), std::string::npos)
      << logLines.front();
}
