// The real lobby and table on the headless engine, connected through the real
// receive thread and queue to a hostile scripted server on 127.0.0.1. Records
// what the scene shows, message by message, and the boxes it raises.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "app/sprite_frames.h"
#include "engine/headless.h"
#include "net/message_queue.h"
#include "net/protocol.h"
#include "net/requests.h"
#include "scenes/desk_scene.h"
#include "scenes/hall_scene.h"
#include "test_support/server_peer.h"

namespace hostile {

using namespace std::chrono_literals;

// A box as "[title] text", which compares and prints plainly.
inline std::string box(std::string_view title, std::string_view text) {
  std::string shownBox;
  shownBox.reserve(title.size() + text.size() + 3);
  shownBox.append("[").append(title).append("] ").append(text);
  return shownBox;
}

// Resident memory of this process now (VmRSS) or at its peak (VmHWM), in kB.
inline long residentKb(const char* key = "VmRSS:") {
  std::ifstream status("/proc/self/status");
  std::string line;
  const std::string prefix(key);
  while (std::getline(status, line)) {
    if (line.rfind(prefix, 0) == 0) return std::stol(line.substr(prefix.size()));
  }
  return -1;
}

inline std::string queryReply(const std::string& online, const std::string& version = "26") {
  return R"({"opt":"query","online":")" + online + R"(","version":")" + version + R"("})";
}
inline std::string scoreMessage(const std::string& p0, const std::string& p1) {
  return R"({"opt":"score","p0":")" + p0 + R"(","p1":")" + p1 + R"("})";
}
inline std::string gameMessage(int per, const std::string& surplus, int now,
                               const std::string& cards, int score = 0, int must = 0) {
  return R"({"opt":"game","per":")" + std::to_string(per) + R"(","surplus":")" + surplus +
         R"(","now":")" + std::to_string(now) + R"(","cards":")" + cards + R"(","score":")" +
         std::to_string(score) + R"(","must":")" + std::to_string(must) + R"("})";
}

enum class Where { kLobby, kTable };
inline const char* whereName(Where where) {
  return where == Where::kLobby ? "lobby" : "table";
}

class HostileTest : public testing::Test {
 public:
  static engine::HeadlessApp::Options appOptions() {
    engine::HeadlessApp::Options options;
    // Frames every half second of virtual time: drawn, but not the cost of a long run.
    options.animationInterval = 0.5f;
    return options;
  }

  void SetUp() override {
    ASSERT_TRUE(peer.listening());
    peer.configureClient();
    ASSERT_EQ(registerSpriteFrames(), "");
    hallTickCount = 1;
    ASSERT_TRUE(CMessageQueue::getInstance()->connect());
    ASSERT_TRUE(peer.accept());
  }
  void TearDown() override { CMessageQueue::getInstance()->disconnect(); }

  // The lobby, with its first online query read off the wire.
  CHallScene* openLobby() {
    lobby = CHallScene::create();
    EXPECT_NE(lobby, nullptr);
    app.runLayer(lobby);
    EXPECT_EQ(peer.readFrame(), onlineQueryRequest());
    layer = lobby;
    watch([this] { return lobby->onlineLabel->getString(); });
    return lobby;
  }
  CDeskScene* openTable(int deskNumber = 1, int seat = 0) {
    table = CDeskScene::create();
    EXPECT_NE(table, nullptr);
    table->setDeskInfo(deskNumber, seat, "me");
    app.runLayer(table);
    layer = table;
    watch([this] { return table->ownScoreLabel->getString(); });
    return table;
  }
  void open(Where where) {
    if (where == Where::kLobby) {
      openLobby();
    } else {
      openTable();
    }
  }

  // A message the scene shows in a label of its own, and what it then shows:
  // the online count at the lobby, the player's own side's score at the table
  // (seat 0, so "p0").
  static std::string marker(Where where, int i) {
    return where == Where::kLobby ? queryReply(std::to_string(i))
                                  : scoreMessage(std::to_string(i), "x");
  }
  static std::string shown(Where where, int i) {
    return where == Where::kLobby ? "online:" + std::to_string(i) : std::to_string(i);
  }

  // Records every change of `read` as the scene runs: it is looked at twice
  // per message tick, so each message the scene takes leaves its own entry.
  void watch(std::function<std::string()> read) {
    observed.clear();
    last = read();
    layer->schedule(
        [this, read](float) {
          std::string now = read();
          if (now != last) {
            observed.push_back(now);
            last = now;
          }
        },
        0.05f, "hostile-watch");
  }

  // Waits (real time) until the receive thread has queued `count` records.
  bool waitQueued(std::size_t count, std::chrono::milliseconds timeout = 20s) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (CMessageQueue::getInstance()->size() < count) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      std::this_thread::sleep_for(2ms);
    }
    return true;
  }
  // Waits (real time) until at least `count` boxes have been shown.
  bool waitBoxes(std::size_t count, std::chrono::milliseconds timeout = 20s) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (app.boxes().size() < count) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      std::this_thread::sleep_for(2ms);
    }
    return true;
  }
  // Runs the scene until the queue is empty, then one tick more.
  void drain() {
    auto* queue = CMessageQueue::getInstance();
    for (int guard = 0; queue->size() > 0 && guard < 100000; ++guard) app.advance(0.05);
    app.advance(0.15);
    EXPECT_EQ(queue->size(), 0u);
  }
  void send(const std::vector<std::string>& texts) {
    for (const std::string& text : texts) ASSERT_TRUE(peer.sendFrame(text));
  }
  bool stillRunning() const {
    engine::Scene* running = app.director()->getRunningScene();
    return running != nullptr && !running->getChildren().empty() &&
           running->getChildren()[0] == layer;
  }
  std::vector<std::string> boxes() const {
    std::vector<std::string> shownBoxes;
    for (const engine::HeadlessApp::Box& b : app.boxes())
      shownBoxes.push_back(box(b.title, b.text));
    return shownBoxes;
  }
  bool nothingSent() { return !peer.readRaw(1, 50ms).has_value(); }

  engine::HeadlessApp app{appOptions()};
  test_support::ServerPeer peer;
  CHallScene* lobby = nullptr;
  CDeskScene* table = nullptr;
  engine::Layer* layer = nullptr;
  std::vector<std::string> observed;
  std::string last;
};

}  // namespace hostile
