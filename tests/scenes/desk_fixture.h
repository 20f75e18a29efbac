// The table on the headless engine with virtual time, fed by a scripted server
// on 127.0.0.1 through the real receive thread and queue; shared by the table's
// test files.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cmath>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "cards/card_sprite.h"
#include "engine/headless.h"
#include "engine/sprite_frame.h"
#include "net/message_queue.h"
#include "scenes/desk_scene.h"
#include "test_support/server_peer.h"

namespace desk_test {

using namespace std::chrono_literals;
using engine::Vec2;

// The frames the table and its cards draw, as start-up registers them.
inline void registerTableFrames() {
  auto* cache = engine::SpriteFrameCache::getInstance();
  auto add = [cache](const std::string& name, const char* file, float x, float y, float w,
                     float h) {
    cache->addSpriteFrame(engine::SpriteFrame::create(file, engine::Rect(x, y, w, h)), name);
  };
  add("flower2", "poker_flower.png", 0, 0, 44, 42);
  add("flower0", "poker_flower.png", 44, 0, 44, 42);
  add("flower3", "poker_flower.png", 88, 0, 44, 42);
  add("flower1", "poker_flower.png", 132, 0, 44, 42);
  for (int i = 0; i < 13; ++i) {
    add("r_num" + std::to_string(i), "poker_num.png", 39.0f * i, 39, 39, 39);
    add("b_num" + std::to_string(i), "poker_num.png", 39.0f * i, 0, 39, 39);
  }
  add("front", "poker_surface.png", 0, 0, 98, 138);
  add("r_joker", "poker_surface.png", 99, 0, 98, 138);
  add("b_joker", "poker_surface.png", 197, 0, 98, 138);
  add("score", "sucai.png", 0, 37, 201, 36);
  add("nickname", "sucai.png", 0, 74, 201, 36);
  add("zhunbei", "zhunbei.png", 0, 0, 70, 35);
  add("beijing", "bj.png", 0, 0, 1024, 768);
}

// Server messages as the server writes them: every value a JSON string.
inline std::string gameMessage(int per, const std::string& surplus, int now,
                               const std::string& cards, int score = 0, int must = 0) {
  return R"({"opt":"game","per":")" + std::to_string(per) + R"(","surplus":")" + surplus +
         R"(","now":")" + std::to_string(now) + R"(","cards":")" + cards + R"(","score":")" +
         std::to_string(score) + R"(","must":")" + std::to_string(must) + R"("})";
}
inline std::string startMessage(const std::string& cards) {
  return R"({"opt":"start","cards":")" + cards + R"("})";
}
inline std::string changeMessage(const std::array<std::string, 4>& names,
                                 const std::array<int, 4>& ready) {
  std::string text = R"({"opt":"change","info":[)";
  for (int i = 0; i < 4; ++i) {
    if (i > 0) text += ",";
    text += R"({"name":")" + names[i] + R"(","ready":")" + std::to_string(ready[i]) + R"("})";
  }
  return text + "]}";
}
inline std::string overMessage(const std::array<int, 4>& results) {
  std::string text = R"({"opt":"over","info":[)";
  for (int i = 0; i < 4; ++i) {
    if (i > 0) text += ",";
    text += R"({"name":"p)" + std::to_string(i) + R"(","result":")" + std::to_string(results[i]) +
            R"("})";
  }
  return text + "]}";
}

class DeskTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(peer.listening());
    peer.configureClient();
    ASSERT_TRUE(CMessageQueue::getInstance()->connect());
    ASSERT_TRUE(peer.accept());
    registerTableFrames();
  }
  void TearDown() override { CMessageQueue::getInstance()->disconnect(); }

  CDeskScene* openTable(int deskNumber, int seat, const std::string& name = "me") {
    table = CDeskScene::create();
    EXPECT_NE(table, nullptr);
    table->setDeskInfo(deskNumber, seat, name);
    opened = app.now();
    app.runLayer(table);
    return table;
  }

  // The peer sends every text as one frame; the table then ticks until it has
  // taken them all, one per tick. A countdown second falling inside that run
  // is let pass first, so that a turn served here still reads "30".
  void serve(const std::vector<std::string>& texts) {
    const double needed = 0.1 * static_cast<double>(texts.size()) + 0.15;
    if (untilCountdown() < needed) app.advance(untilCountdown() + 0.001);
    for (const std::string& text : texts) ASSERT_TRUE(peer.sendFrame(text));
    auto* queue = CMessageQueue::getInstance();
    for (int i = 0; i < 2000 && queue->size() < texts.size(); ++i) std::this_thread::sleep_for(5ms);
    ASSERT_EQ(queue->size(), texts.size());
    for (int guard = 0; queue->size() > 0 && guard < 10000; ++guard) app.advance(0.02);
    ASSERT_EQ(queue->size(), 0u);
  }
  void serve(const std::string& text) { serve(std::vector<std::string>{text}); }

  // Seconds until the one-second countdown next fires.
  double untilCountdown() const {
    const double since = app.now() - opened;
    return std::floor(since + 1e-6) + 1.0 - since;
  }
  // Runs exactly `count` countdown seconds.
  void countdowns(int count) {
    for (int i = 0; i < count; ++i) app.advance(untilCountdown() + 0.001);
  }

  // The next request the table sent, byte for byte (sends are synchronous).
  std::optional<std::string> sent() { return peer.readFrame(5s); }
  bool nothingSent() { return !peer.readRaw(1, 50ms).has_value(); }

  void press(engine::ui::Button* button) {
    const Vec2 at = button->getPosition();
    app.tap(at.x, at.y);
  }

  // The usual way into a game: the player gets ready, then the server deals.
  void readyAndDeal(const std::string& cards) {
    press(table->readyButton);
    ASSERT_EQ(sent(), R"({"opt":"change","type":"ready","desk":)" + std::to_string(table->desk) +
                          R"(,"site":)" + std::to_string(table->site) + "}");
    serve(startMessage(cards));
  }

  std::vector<int> handCodes() const {
    std::vector<int> codes;
    for (const CardSprite* card : table->handCards) codes.push_back(card->cardCode);
    return codes;
  }
  std::vector<float> handX() const {
    std::vector<float> xs;
    for (const CardSprite* card : table->handCards) xs.push_back(card->getPositionX());
    return xs;
  }
  st_player_info& seat(int serverSeat) { return *table->siteMap.at(serverSeat); }

  engine::HeadlessApp app;
  test_support::ServerPeer peer;
  CDeskScene* table = nullptr;
  double opened = 0;
};

}  // namespace desk_test
