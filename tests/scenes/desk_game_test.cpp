// A whole game against the reference server with its computer players, started
// as a process on 127.0.0.1 with a free port: the lobby joins, the table gets
// ready, and the player plays the lowest single that beats the table, passes,
// or lets the countdown lead, until the server ends the game.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <thread>

#include "cards/play.h"
#include "desk_fixture.h"
#include "engine/configuration.h"
#include "scenes/hall_scene.h"

extern char** environ;

namespace desk_test {
namespace {

// The server process, stopped when the test ends.
class ServerProcess {
 public:
  bool start() {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDERR_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    const char* argv[] = {"./quartet-server", "--bots", "--host",  "127.0.0.1",
                          "--port",           "0",      "--seed",  "7",
                          "--bot-delay",      "0",      "--quiet", nullptr};
    const int spawned =
        posix_spawn(&pid_, argv[0], &actions, nullptr, const_cast<char**>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    if (spawned != 0) {
      pid_ = -1;
      close(pipeFds[0]);
      return false;
    }
    log_ = fdopen(pipeFds[0], "r");
    char line[256];
    while (log_ != nullptr && std::fgets(line, sizeof line, log_) != nullptr) {
      const std::string text = line;
      const std::size_t colon = text.rfind(':');
      if (text.rfind("listening on ", 0) == 0 && colon != std::string::npos) {
        port_ = std::stoi(text.substr(colon + 1));
        return true;
      }
    }
    return false;
  }
  ~ServerProcess() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
    if (log_ != nullptr) std::fclose(log_);
  }
  int port() const { return port_; }

 private:
  pid_t pid_ = -1;
  FILE* log_ = nullptr;
  int port_ = 0;
};

TEST(DeskGameTest, AWholeGameAgainstTheReferenceServer) {
  ASSERT_TRUE(std::filesystem::exists("quartet-server")) << "build quartet-server first";
  engine::HeadlessApp app;
  registerTableFrames();
  ServerProcess server;
  ASSERT_TRUE(server.start());
  auto* config = engine::Configuration::getInstance();
  config->setValue("host", engine::Value("127.0.0.1"));
  config->setValue("port", engine::Value(std::to_string(server.port())));
  ASSERT_TRUE(CMessageQueue::getInstance()->connect());

  CHallScene* lobby = CHallScene::create();
  ASSERT_NE(lobby, nullptr);
  app.runLayer(lobby);
  const engine::Vec2 join = lobby->quickJoinButton->getPosition();
  app.tap(join.x, join.y);

  // Runs the loop in virtual time while the server answers in real time.
  auto runFor = [&](int ticks) {
    for (int i = 0; i < ticks; ++i) {
      app.advance(0.1);
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  };
  auto runningTable = [&]() -> CDeskScene* {
    engine::Scene* scene = app.director()->getRunningScene();
    if (scene == nullptr || scene->getChildrenCount() != 1) return nullptr;
    return dynamic_cast<CDeskScene*>(scene->getChildren()[0]);
  };
  CDeskScene* table = nullptr;
  for (int i = 0; i < 500 && table == nullptr; ++i) {
    runFor(1);
    table = runningTable();
  }
  ASSERT_NE(table, nullptr) << "no seat granted";
  ASSERT_TRUE(table->site >= 0 && table->site < 4);
  app.step();
  const engine::Vec2 ready = table->readyButton->getPosition();
  app.tap(ready.x, ready.y);

  int ownTurns = 0;
  int plays = 0;
  bool dealt = false;
  for (int i = 0; i < 20000 && app.boxes().empty(); ++i) {
    runFor(1);
    ASSERT_EQ(runningTable(), table);
    if (table->playing) dealt = true;
    if (table->timerSite != table->site || !table->putButton->isVisible()) continue;
    ++ownTurns;
    // The lowest single that beats the table, if any, through the touch and the
    // play button; otherwise the pass button, or time runs out for a lead.
    CardSprite* single = nullptr;
    for (CardSprite* card : table->handCards) {
      CardList previous = table->lastCards;
      CardList play = {card->cardCode};
      if (canFollow(previous, play)) {
        single = card;
        break;
      }
    }
    const std::size_t before = table->handCards.size();
    if (single != nullptr) {
      app.tap(single->getPositionX() - 40, 45);
      ASSERT_EQ(table->collectSelected(), CardList{single->cardCode});
      const engine::Vec2 put = table->putButton->getPosition();
      app.tap(put.x, put.y);
      EXPECT_EQ(table->handCards.size() + 1, before);
      ++plays;
    } else if (table->noputButton->isVisible()) {
      const engine::Vec2 pass = table->noputButton->getPosition();
      app.tap(pass.x, pass.y);
      EXPECT_FALSE(table->noputButton->isVisible());
    } else {
      for (int s = 0; s < 31 && table->timerSite == table->site; ++s) app.advance(1.0);
    }
  }
  ASSERT_TRUE(dealt);
  EXPECT_GT(ownTurns, 0);
  EXPECT_GT(plays, 0);
  const auto shown = app.boxes();
  ASSERT_EQ(shown.size(), 1u);
  const std::set<std::string> titles = {"游戏结束，你赢了！", "游戏结束，你输了！",
                                        "游戏结束，平局！"};
  EXPECT_TRUE(titles.count(shown[0].title)) << shown[0].title;
  EXPECT_EQ(std::count(shown[0].text.begin(), shown[0].text.end(), '\n'), 4) << shown[0].text;
  EXPECT_FALSE(table->playing);
  EXPECT_TRUE(table->readyButton->isVisible());
  CMessageQueue::getInstance()->disconnect();
}

}  // namespace
}  // namespace desk_test
