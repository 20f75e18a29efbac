// Message boxes: the installed handler, a box in the window from the main
// thread (its loop runs no timers) and from another thread (the main loop
// goes on while the caller waits).
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "engine/engine.h"
#include "engine/headless.h"

namespace {

using namespace std::chrono_literals;

TEST(MessageBoxTest, InstalledHandlerGetsTextAndTitleFromAnyThread) {
  engine::HeadlessApp app;  // captures boxes
  engine::MessageBox("出牌不符合规则.", "提示");
  std::thread other([] { engine::MessageBox("connect failed", "error"); });
  other.join();
  auto boxes = app.takeBoxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].text, "出牌不符合规则.");
  EXPECT_EQ(boxes[0].title, "提示");
  EXPECT_EQ(boxes[1].title, "error");
  EXPECT_TRUE(app.boxes().empty());
}

engine::HeadlessApp::Options windowBoxes() {
  engine::HeadlessApp::Options options;
  options.captureMessageBoxes = false;
  return options;
}

// A table-like layer: a tick every 0.1 s and a listener that counts touches.
struct Table {
  engine::Layer* layer = engine::Layer::create();
  int ticks = 0;
  int touches = 0;
  Table() {
    layer->schedule([this](float) { ++ticks; }, 0.1f, "tick");
    auto* listener = engine::EventListenerTouchOneByOne::create();
    listener->onTouchBegan = [this](engine::Touch*, engine::Event*) {
      ++touches;
      return true;
    };
    engine::Director::getInstance()->getEventDispatcher()->addEventListenerWithSceneGraphPriority(
        listener, layer);
  }
};

TEST(MessageBoxTest, OnTheMainThreadTheBoxBlocksAndRunsNoTimers) {
  engine::HeadlessApp app(windowBoxes());
  Table table;
  app.runLayer(table.layer);
  int ticksWhileShown = -1;
  std::size_t shown = 0;
  // Time passes while the box is up; its loop must not run the tick.
  table.layer->scheduleOnce(
      [&](float) {
        app.platform().setTime(app.now() + 5);
        // The player presses Enter after a while (from another thread, as
        // input arrives).
        std::thread player([&] {
          std::this_thread::sleep_for(50ms);
          engine::InputEvent enter;
          enter.type = engine::InputEvent::Type::KeyDown;
          enter.key = engine::Key::Enter;
          app.platform().queueEvent(enter);
        });
        ticksWhileShown = table.ticks;
        shown = app.director()->getTotalFrames();
        engine::MessageBox("游戏还未结束，真的要退出吗？", "提醒");
        player.join();
        EXPECT_EQ(table.ticks, ticksWhileShown);
        EXPECT_GT(app.director()->getTotalFrames(), shown);  // the box was drawn
      },
      0.05f, "box");
  app.advance(0.06);
  EXPECT_EQ(ticksWhileShown, 0);
  EXPECT_EQ(engine::visibleMessageBoxCount(), 0u);
  app.step();  // the tick is due again after the box
  EXPECT_GE(table.ticks, 1);
}

TEST(MessageBoxTest, FromAnotherThreadTheCallerWaitsAndTheMainLoopGoesOn) {
  engine::HeadlessApp app(windowBoxes());
  Table table;
  app.runLayer(table.layer);
  std::atomic<bool> returned{false};
  std::thread receiver([&] {
    engine::MessageBox("与服务器的连接已断开", "error");
    returned = true;
  });
  for (int i = 0; i < 400 && engine::visibleMessageBoxCount() == 0; ++i) {
    app.step();
    std::this_thread::sleep_for(5ms);
  }
  ASSERT_EQ(engine::visibleMessageBoxCount(), 1u);
  app.advance(1.0);
  EXPECT_EQ(table.ticks, 10);
  EXPECT_FALSE(returned);

  // The box is drawn over the scene and takes the touches meant for it.
  engine::Color4B centre = app.pixelAt(512, 384);
  EXPECT_NE(centre, engine::Color4B(0, 0, 0, 255));
  app.tap(512, 384);
  EXPECT_EQ(table.touches, 0);

  app.pressKey(engine::Key::Escape);
  receiver.join();
  EXPECT_TRUE(returned);
  EXPECT_EQ(engine::visibleMessageBoxCount(), 0u);
  app.tap(100, 100);
  EXPECT_EQ(table.touches, 1);
}

TEST(MessageBoxTest, OkButtonClosesTheBox) {
  engine::HeadlessApp app(windowBoxes());
  app.runLayer(engine::Layer::create());
  std::atomic<bool> returned{false};
  std::thread receiver([&] {
    engine::MessageBox("short", "title");
    returned = true;
  });
  for (int i = 0; i < 400 && engine::visibleMessageBoxCount() == 0; ++i) {
    app.step();
    std::this_thread::sleep_for(5ms);
  }
  ASSERT_EQ(engine::visibleMessageBoxCount(), 1u);
  // Find the OK button: the lowest row of the panel in its box colour.
  app.director()->drawScene();
  float buttonY = -1;
  for (float y = 200; y < 384 && buttonY < 0; y += 1) {
    if (app.pixelAt(512, y) == engine::Color4B(52, 86, 140, 255)) buttonY = y + 3;
  }
  ASSERT_GT(buttonY, 0);
  app.tap(100, 100);  // outside: nothing
  EXPECT_FALSE(returned);
  app.tap(512 - 40, buttonY);
  receiver.join();
  EXPECT_TRUE(returned);
}

TEST(MessageBoxTest, ResetReleasesAWaitingCaller) {
  std::atomic<bool> returned{false};
  std::thread receiver;
  {
    engine::HeadlessApp app(windowBoxes());
    app.runLayer(engine::Layer::create());
    receiver = std::thread([&] {
      engine::MessageBox("bye", "error");
      returned = true;
    });
    for (int i = 0; i < 400 && engine::visibleMessageBoxCount() == 0; ++i) {
      app.step();
      std::this_thread::sleep_for(5ms);
    }
    ASSERT_EQ(engine::visibleMessageBoxCount(), 1u);
  }
  receiver.join();
  EXPECT_TRUE(returned);
}

}  // namespace
