// The lobby on the headless engine with virtual time, talking to a scripted
// server on 127.0.0.1: its screen, the query timing, the one-message-per-tick
// queue work, quick join and the passage to the table.
#include "scenes/hall_scene.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "engine/headless.h"
#include "engine/sprite_frame.h"
#include "net/message_queue.h"
#include "scenes/desk_scene.h"
#include "test_support/server_peer.h"

namespace {

using engine::ui::Widget;
using namespace std::chrono_literals;

constexpr const char* kQuery = R"({"opt":"query"})";
constexpr const char* kAdd = R"({"opt":"add"})";

class HallSceneTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(peer.listening());
    peer.configureClient();
    ASSERT_TRUE(CMessageQueue::getInstance()->connect());
    ASSERT_TRUE(peer.accept());
    // The lobby draws the table's background; start-up registers it.
    engine::SpriteFrameCache::getInstance()->addSpriteFrame(
        engine::SpriteFrame::create("bj.png", engine::Rect(0, 0, 1024, 768)), "beijing");
    hallTickCount = 1;  // as in a fresh process
  }
  void TearDown() override { CMessageQueue::getInstance()->disconnect(); }

  CHallScene* openLobby() {
    CHallScene* lobby = CHallScene::create();
    EXPECT_NE(lobby, nullptr);
    app.runLayer(lobby);
    return lobby;
  }

  // Runs the lobby until its counter reaches `count`; the steps are shorter
  // than a tick, so no tick is skipped.
  void tickUntil(int count) {
    for (int guard = 0; hallTickCount < count && guard < 100000; ++guard) app.advance(0.05);
    ASSERT_EQ(hallTickCount, count);
  }
  void tickOnce() { tickUntil(hallTickCount + 1); }

  // Sends are synchronous, so anything the lobby sent is already readable.
  bool nothingSent() { return !peer.readRaw(1, 50ms).has_value(); }

  // Waits (real time) until the receive thread has queued `count` records.
  void waitQueued(std::size_t count) {
    for (int i = 0; i < 1000 && CMessageQueue::getInstance()->size() < count; ++i) {
      std::this_thread::sleep_for(10ms);
    }
    ASSERT_EQ(CMessageQueue::getInstance()->size(), count);
  }

  engine::HeadlessApp app;
  test_support::ServerPeer peer;
};

TEST_F(HallSceneTest, BuildsTheScreenAndAsksAtOnce) {
  CHallScene* lobby = openLobby();
  EXPECT_EQ(peer.readFrame(), kQuery);

  ASSERT_NE(lobby->quickJoinButton, nullptr);
  EXPECT_EQ(lobby->quickJoinButton->getParent(), lobby);
  EXPECT_EQ(lobby->quickJoinButton->getPosition(), engine::Vec2(512, 384));
  EXPECT_TRUE(lobby->quickJoinButton->isEnabled());
  EXPECT_EQ(lobby->quickJoinButton->getShownImage(), "add_desk_fast.png");

  ASSERT_NE(lobby->onlineLabel, nullptr);
  EXPECT_EQ(lobby->onlineLabel->getString(), "online: 0");
  EXPECT_EQ(lobby->onlineLabel->getPosition(), engine::Vec2(512, 334));
  EXPECT_EQ(lobby->onlineLabel->getLocalZOrder(), 2);
  EXPECT_EQ(lobby->onlineLabel->getColor(), engine::Color3B::WHITE);
  EXPECT_EQ(lobby->onlineLabel->getFontFile(), "fonts/arial.ttf");
  EXPECT_EQ(lobby->onlineLabel->getFontSize(), 25);

  engine::Sprite* background = nullptr;
  for (engine::Sprite* sprite : engine::findNodes<engine::Sprite>(lobby)) {
    if (sprite->getSpriteFrame() ==
        engine::SpriteFrameCache::getInstance()->getSpriteFrameByName("beijing")) {
      background = sprite;
    }
  }
  ASSERT_NE(background, nullptr) << engine::dumpTree(lobby);
  EXPECT_EQ(background->getPosition(), engine::Vec2(512, 384));
  EXPECT_EQ(background->getLocalZOrder(), -1);
  EXPECT_EQ(background->getContentSize(), engine::Size(1024, 768));
  EXPECT_TRUE(app.boxes().empty());
}

TEST_F(HallSceneTest, QueriesEveryHundredTicksAcrossLobbies) {
  openLobby();
  EXPECT_EQ(peer.readFrame(), kQuery);
  tickUntil(100);  // 99 ticks: the counter has not yet been seen at 100
  EXPECT_TRUE(nothingSent());
  tickOnce();
  EXPECT_EQ(peer.readFrame(), kQuery);
  tickUntil(150);
  EXPECT_TRUE(nothingSent());

  // A lobby opened later asks at once and then continues the count.
  openLobby();
  EXPECT_EQ(peer.readFrame(), kQuery);
  EXPECT_EQ(hallTickCount, 150);
  tickUntil(200);
  EXPECT_TRUE(nothingSent());
  tickOnce();
  EXPECT_EQ(peer.readFrame(), kQuery);
  tickUntil(300);
  EXPECT_TRUE(nothingSent());
  tickOnce();
  EXPECT_EQ(peer.readFrame(), kQuery);
}

TEST_F(HallSceneTest, TakesOneMessagePerTickInQueueOrder) {
  CHallScene* lobby = openLobby();
  for (int online = 1; online <= 5; ++online) {
    ASSERT_TRUE(peer.sendFrame(R"({"opt":"query","online":")" + std::to_string(online) +
                               R"(","version":"26"})"));
  }
  waitQueued(5);
  for (int online = 1; online <= 5; ++online) {
    SCOPED_TRACE(online);
    tickOnce();
    EXPECT_EQ(lobby->onlineLabel->getString(), "online:" + std::to_string(online));
    EXPECT_EQ(CMessageQueue::getInstance()->size(), static_cast<std::size_t>(5 - online));
  }
}

TEST_F(HallSceneTest, DropsTableMessagesAndShowsTheCountWithoutABlank) {
  CHallScene* lobby = openLobby();
  ASSERT_TRUE(peer.sendFrame(
      R"({"opt":"game","per":"1","surplus":"12","now":"2","cards":"12,13,","score":"10","must":"0"})"));
  ASSERT_TRUE(peer.sendFrame(R"({"opt":"timeout"})"));
  ASSERT_TRUE(peer.sendFrame(R"({"opt":"query","online":"37","version":"26"})"));
  waitQueued(3);
  tickOnce();
  tickOnce();
  EXPECT_EQ(lobby->onlineLabel->getString(), "online: 0");
  EXPECT_EQ(CMessageQueue::getInstance()->size(), 1u);
  tickOnce();
  EXPECT_EQ(lobby->onlineLabel->getString(), "online:37");
  EXPECT_EQ(CMessageQueue::getInstance()->size(), 0u);
  EXPECT_EQ(app.director()->getRunningScene()->getChildren().front(), lobby);
}

TEST_F(HallSceneTest, OnlyAnEndedTouchAsksForASeat) {
  CHallScene* lobby = openLobby();
  EXPECT_EQ(peer.readFrame(), kQuery);
  for (auto type : {Widget::TouchEventType::BEGAN, Widget::TouchEventType::MOVED,
                    Widget::TouchEventType::CANCELED}) {
    SCOPED_TRACE(static_cast<int>(type));
    lobby->onQuickJoinTouch(lobby->quickJoinButton, type);
    EXPECT_TRUE(lobby->quickJoinButton->isEnabled());
    EXPECT_TRUE(nothingSent());
  }
  lobby->onQuickJoinTouch(lobby->quickJoinButton, Widget::TouchEventType::ENDED);
  EXPECT_FALSE(lobby->quickJoinButton->isEnabled());
  EXPECT_EQ(peer.readFrame(), kAdd);
}

TEST_F(HallSceneTest, QuickJoinByTouchAsksOnce) {
  CHallScene* lobby = openLobby();
  EXPECT_EQ(peer.readFrame(), kQuery);

  // Released away from the button: cancelled, nothing asked.
  app.touchBegan(512, 384);
  app.touchEnded(900, 700);
  EXPECT_TRUE(nothingSent());
  EXPECT_TRUE(lobby->quickJoinButton->isEnabled());

  app.tap(512, 384);
  EXPECT_EQ(peer.readFrame(), kAdd);
  EXPECT_FALSE(lobby->quickJoinButton->isEnabled());
  EXPECT_EQ(lobby->quickJoinButton->getShownImage(), "add_desk_fast_press.png");

  app.tap(512, 384);
  app.tap(512, 384);
  EXPECT_TRUE(nothingSent());
}

TEST_F(HallSceneTest, SeatGrantOpensTheTable) {
  openLobby();
  ASSERT_TRUE(peer.sendFrame(R"({"opt":"add","desk":"3","site":"2","name":"abc"})"));
  waitQueued(1);
  tickOnce();
  app.step();  // the old scene goes once the tick has returned

  engine::Scene* scene = app.director()->getRunningScene();
  ASSERT_NE(scene, nullptr);
  ASSERT_EQ(scene->getChildrenCount(), 1u) << engine::dumpTree(scene);
  auto* desk = dynamic_cast<CDeskScene*>(scene->getChildren().front());
  ASSERT_NE(desk, nullptr) << engine::dumpTree(scene);
  EXPECT_EQ(desk->desk, 3);
  EXPECT_EQ(desk->site, 2);
  EXPECT_EQ(desk->ownName, "abc");
}

TEST_F(HallSceneTest, GrantWithoutATableSeatKeepsTheLobbyAndOffersJoinAgain) {
  CHallScene* lobby = openLobby();
  EXPECT_EQ(peer.readFrame(), kQuery);
  const char* grants[] = {
      R"({"opt":"add","desk":"3","site":"4","name":"abc"})",
      R"({"opt":"add","desk":"3","site":"-1","name":"abc"})",
      R"({"opt":"add","desk":"3","name":"abc"})",
  };
  for (const char* grant : grants) {
    SCOPED_TRACE(grant);
    app.tap(512, 384);
    EXPECT_EQ(peer.readFrame(), kAdd);
    ASSERT_FALSE(lobby->quickJoinButton->isEnabled());
    ASSERT_TRUE(peer.sendFrame(grant));
    waitQueued(1);
    tickOnce();
    app.step();
    EXPECT_EQ(app.director()->getRunningScene()->getChildren().front(), lobby);
    EXPECT_TRUE(lobby->quickJoinButton->isEnabled());
  }
}

// One lobby frame drawn offscreen and kept as a PNG beside the test: the
// button's face and the label's white glyphs appear where they belong and
// nowhere else.
TEST_F(HallSceneTest, OffscreenFrameShowsButtonAndLabelInPlace) {
  CHallScene* lobby = openLobby();
  ASSERT_TRUE(peer.sendFrame(R"({"opt":"query","online":"37","version":"26"})"));
  waitQueued(1);
  tickOnce();
  ASSERT_EQ(lobby->onlineLabel->getString(), "online:37");
  ASSERT_TRUE(app.renderToPng("hall_scene_lobby.png"));
  EXPECT_TRUE(std::filesystem::is_regular_file("hall_scene_lobby.png"));

  struct Shot {
    std::vector<engine::Color4B> pixels;
  };
  // Window pixels (y down) of one freshly drawn frame, every `step`-th.
  const int step = 4;
  auto shoot = [&] {
    app.director()->drawScene();
    Shot shot;
    for (int y = 0; y < 768; y += step) {
      for (int x = 0; x < 1024; x += step) shot.pixels.push_back(app.platform().pixelAt(x, y));
    }
    return shot;
  };
  auto grown = [](engine::Rect box) {  // room for the edges' blending
    return engine::Rect(box.getMinX() - 1, box.getMinY() - 1, box.size.width + 2,
                        box.size.height + 2);
  };
  const Shot full = shoot();
  lobby->quickJoinButton->setVisible(false);
  const Shot noButton = shoot();
  lobby->onlineLabel->setVisible(false);
  const Shot bare = shoot();

  const engine::Rect buttonBox = grown(lobby->quickJoinButton->getBoundingBox());
  const engine::Rect labelBox = grown(lobby->onlineLabel->getBoundingBox());
  ASSERT_GT(buttonBox.size.width, 0);
  ASSERT_GT(labelBox.size.width, 0);
  int buttonChanges = 0;
  int whiteLabelPixels = 0;
  std::size_t i = 0;
  for (int y = 0; y < 768; y += step) {
    for (int x = 0; x < 1024; x += step, ++i) {
      const engine::Vec2 point(static_cast<float>(x), 768.0f - static_cast<float>(y) - 0.5f);
      if (full.pixels[i] != noButton.pixels[i]) {
        ASSERT_TRUE(buttonBox.containsPoint(point)) << x << "," << y;
        ++buttonChanges;
      }
      if (noButton.pixels[i] != bare.pixels[i]) {
        ASSERT_TRUE(labelBox.containsPoint(point)) << x << "," << y;
        const engine::Color4B c = noButton.pixels[i];
        if (c.r > 200 && c.g > 200 && c.b > 200) ++whiteLabelPixels;
      }
    }
  }
  // Most of the button's face differs from the felt under it.
  const double buttonSamples = (buttonBox.size.width / step) * (buttonBox.size.height / step);
  EXPECT_GT(buttonChanges, buttonSamples / 2);
  EXPECT_GT(whiteLabelPixels, 0);
}

}  // namespace
