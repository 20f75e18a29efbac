// The real client, headless on virtual time, against quartet-server --bots
// over loopback: one whole game, and a soak of whole games in a row on one
// connection. Every play the client sends must come back relayed as sent,
// every game must reach "over" and leave the table Seated, and the client's
// memory must stay flat from game to game.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include "app/sprite_frames.h"
#include "engine/configuration.h"
#include "net/message_queue.h"
#include "scenes/hall_scene.h"
#include "table_player.h"

#if defined(__SANITIZE_ADDRESS__)
// AddressSanitizer holds back 256 MB of freed memory by default, which would
// hide whether the client's own memory stays flat.
extern "C" const char* __asan_default_options() {
  return "quarantine_size_mb=16";
}
#endif

namespace e2e {
namespace {

int fromEnvironment(const char* name, int fallback) {
  const char* text = std::getenv(name);
  return text != nullptr && std::atoi(text) > 0 ? std::atoi(text) : fallback;
}

const std::set<std::string> kResultTitles = {"游戏结束，你赢了！", "游戏结束，你输了！",
                                             "游戏结束，平局！"};

class EndToEndTest : public testing::Test {
 public:
  void SetUp() override {
    ASSERT_TRUE(std::filesystem::exists("quartet-server")) << "build quartet-server first";
    ASSERT_TRUE(server.started());
    ASSERT_NE(relay.port(), 0);
    ASSERT_EQ(registerSpriteFrames(), "");
    auto* config = engine::Configuration::getInstance();
    config->setValue("host", engine::Value("127.0.0.1"));
    config->setValue("port", engine::Value(std::to_string(relay.port())));
    hallTickCount = 1;
    ASSERT_TRUE(CMessageQueue::getInstance()->connect());
    std::string failure;
    ASSERT_TRUE(player.joinTable(failure)) << failure;
  }
  void TearDown() override { CMessageQueue::getInstance()->disconnect(); }

  // The checks of one game; false when it failed.
  bool checkGame(const stGameRecord& game) {
    EXPECT_EQ(game.failure, "");
    EXPECT_TRUE(game.over) << "no \"over\" from the server";
    EXPECT_EQ(game.boxes.size(), 1u) << testing::PrintToString(game.boxes);
    if (!game.boxes.empty()) {
      const std::string& box = game.boxes[0];
      const std::string title = box.substr(1, box.find("] ") - 1);
      EXPECT_TRUE(kResultTitles.count(title)) << box;
      EXPECT_EQ(std::count(box.begin(), box.end(), '\n'), 4) << box;
    }
    EXPECT_GT(game.ownTurns, 0);
    EXPECT_EQ(game.relayedPlays, game.sentPlays) << "plays relayed otherwise than sent";
    EXPECT_EQ(game.relayedPasses, game.sentPasses);
    EXPECT_TRUE(game.seatedAfter) << "not back to Seated";
    EXPECT_TRUE(server.alive());
    return !testing::Test::HasFailure();
  }

  engine::HeadlessApp app;
  ServerProcess server{static_cast<unsigned>(fromEnvironment("QUARTET_E2E_SEED", 7))};
  RecordingRelay relay{server.port()};
  TablePlayer player{app, relay};
};

TEST_F(EndToEndTest, AWholeGameOverLoopback) {
  const stGameRecord game = player.playGame();
  checkGame(game);
  EXPECT_FALSE(game.sentPlays.empty());
  RecordProperty("plays", static_cast<int>(game.sentPlays.size()));
  RecordProperty("passes", game.sentPasses);
}

// QUARTET_SOAK_GAMES sets the number of games (the long soak plays 200).
TEST_F(EndToEndTest, SoakOfWholeGamesInARow) {
  const int games = fromEnvironment("QUARTET_SOAK_GAMES", 20);
  const int warmUp = std::max(2, games / 10);
  int completed = 0;
  int boxes = 0;
  int plays = 0;
  long afterWarmUp = 0;
  long highest = 0;
  std::vector<long> resident;
  for (int g = 1; g <= games; ++g) {
    SCOPED_TRACE("game " + std::to_string(g));
    const stGameRecord game = player.playGame();
    boxes += static_cast<int>(game.boxes.size());
    plays += static_cast<int>(game.sentPlays.size());
    if (!checkGame(game)) break;
    ++completed;
    const long now = residentKb();
    resident.push_back(now);
    if (g % 20 == 0) std::printf("soak: after game %d: %ld kB\n", g, now);
    if (g == warmUp) afterWarmUp = now;
    if (g >= warmUp) highest = std::max(highest, now);
  }
  EXPECT_EQ(completed, games);
  // Flat: after the first games have filled the caches, no game adds memory
  // that the next one keeps.
  if (completed == games) {
    EXPECT_LT(highest - afterWarmUp, 24 * 1024) << "kB of growth after " << warmUp << " games";
  }
  const long peak = residentKb("VmHWM:");
  std::printf(
      "soak: %d of %d games completed, %d boxes, %d plays sent and relayed, 0 crashes, "
      "client memory after game %d: %ld kB, highest after: %ld kB, last: %ld kB, "
      "peak: %ld kB\n",
      completed, games, boxes, plays, warmUp, afterWarmUp, highest,
      resident.empty() ? 0 : resident.back(), peak);
  RecordProperty("games", completed);
  RecordProperty("boxes", boxes);
  RecordProperty("peak_kb", static_cast<int>(peak));
  RecordProperty("growth_kb", static_cast<int>(highest - afterWarmUp));
}

}  // namespace
}  // namespace e2e
