// Timers under virtual time: intervals, order, pausing, unscheduling, and
// functions handed to the main thread.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "engine/engine.h"
#include "engine/headless.h"

namespace {

class SchedulerTest : public ::testing::Test {
 protected:
  engine::HeadlessApp app;
  engine::Layer* layer = nullptr;
  std::vector<std::string> log;

  void SetUp() override {
    layer = engine::Layer::create();
    app.runLayer(layer);
  }
};

TEST_F(SchedulerTest, IntervalsFireTheExpectedNumberOfTimes) {
  struct Case {
    float interval;
    double span;
    int calls;
  };
  const Case cases[] = {
      {0.1f, 1.0, 10}, {0.1f, 0.95, 9}, {1.0f, 0.99, 0}, {1.0f, 30.0, 30}, {0.1f, 100.0, 1000}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.interval) + " over " + std::to_string(c.span));
    int calls = 0;
    layer->schedule([&](float) { ++calls; }, c.interval, "t");
    app.advance(c.span);
    EXPECT_EQ(calls, c.calls);
    layer->unschedule("t");
  }
}

TEST_F(SchedulerTest, TimersFireInTheOrderTheyFallDue) {
  layer->schedule([&](float) { log.push_back("fast"); }, 0.4f, "fast");
  layer->schedule([&](float) { log.push_back("slow"); }, 1.0f, "slow");
  app.advance(1.2);
  // At 1.0 the 0.4 timer is not due (0.8, then 1.2), so slow comes first there.
  EXPECT_EQ(log, (std::vector<std::string>{"fast", "fast", "slow", "fast"}));
}

TEST_F(SchedulerTest, TimersDueTogetherFireInOrderOfScheduling) {
  layer->schedule([&](float) { log.push_back("tick"); }, 0.1f, "tick");
  layer->schedule([&](float) { log.push_back("countdown"); }, 1.0f, "countdown");
  app.advance(1.0);
  ASSERT_EQ(log.size(), 11u);
  EXPECT_EQ(log[9], "tick");
  EXPECT_EQ(log[10], "countdown");
}

TEST_F(SchedulerTest, CallbackGetsTheElapsedTime) {
  std::vector<float> dts;
  layer->schedule([&](float dt) { dts.push_back(dt); }, 0.5f, "t");
  app.advance(1.0);
  ASSERT_EQ(dts.size(), 2u);
  EXPECT_NEAR(dts[0], 0.5, 1e-4);
  EXPECT_NEAR(dts[1], 0.5, 1e-4);
}

class Ticker : public engine::Layer {
 public:
  int ticks = 0;
  void tick(float) { ++ticks; }
};

TEST_F(SchedulerTest, MemberFunctionCanBeScheduledAndUnscheduled) {
  auto* ticker = new Ticker();
  ticker->init();
  ticker->autorelease();
  layer->addChild(ticker);
  ticker->schedule(&Ticker::tick, 0.1f);
  EXPECT_TRUE(ticker->isScheduled(&Ticker::tick));
  app.advance(0.5);
  EXPECT_EQ(ticker->ticks, 5);
  ticker->unschedule(&Ticker::tick);
  app.advance(0.5);
  EXPECT_EQ(ticker->ticks, 5);
}

TEST_F(SchedulerTest, ScheduledBeforeEnteringTheSceneStartsCountingOnEntry) {
  engine::Node* node = engine::Node::create();
  int calls = 0;
  node->schedule([&](float) { ++calls; }, 1.0f, "t");
  node->retain();
  app.advance(5);
  EXPECT_EQ(calls, 0);
  layer->addChild(node);
  app.advance(0.9);
  EXPECT_EQ(calls, 0);
  app.advance(0.1);
  EXPECT_EQ(calls, 1);
  node->release();
}

TEST_F(SchedulerTest, CallbackMayUnscheduleItselfAndOthers) {
  int a = 0;
  int b = 0;
  layer->schedule(
      [&](float) {
        ++a;
        layer->unschedule("a");
        layer->unschedule("b");
      },
      0.5f, "a");
  layer->schedule([&](float) { ++b; }, 0.5f, "b");
  app.advance(2);
  EXPECT_EQ(a, 1);
  EXPECT_EQ(b, 0);
}

TEST_F(SchedulerTest, DelayAndRepeatLimitTheCalls) {
  std::vector<double> at;
  layer->schedule([&](float) { at.push_back(app.now()); }, 0.5f, 2, 0.25f, "t");
  app.advance(5);
  ASSERT_EQ(at.size(), 3u);
  EXPECT_NEAR(at[0], 0.25, 1e-6);
  EXPECT_NEAR(at[1], 0.75, 1e-6);
  EXPECT_NEAR(at[2], 1.25, 1e-6);
  EXPECT_FALSE(layer->isScheduled("t"));
}

TEST_F(SchedulerTest, SchedulingTheSameKeyAgainReplacesTheTimer) {
  int first = 0;
  int second = 0;
  layer->schedule([&](float) { ++first; }, 0.1f, "t");
  layer->schedule([&](float) { ++second; }, 0.1f, "t");
  app.advance(0.3);
  EXPECT_EQ(first, 0);
  EXPECT_EQ(second, 3);
  EXPECT_EQ(app.director()->getScheduler()->timerCount(), 1u);
}

TEST_F(SchedulerTest, FunctionFromAnotherThreadRunsOnTheMainThread) {
  std::thread::id ranOn;
  std::thread other([&] {
    app.director()->getScheduler()->performFunctionInMainThread(
        [&] { ranOn = std::this_thread::get_id(); });
  });
  other.join();
  EXPECT_EQ(ranOn, std::thread::id());
  app.step();
  EXPECT_EQ(ranOn, std::this_thread::get_id());
}

TEST_F(SchedulerTest, StoppedAnimationStopsDrawingButNotTimers) {
  int calls = 0;
  layer->schedule(
      [&](float) {
        ++calls;
        layer->setPositionX(static_cast<float>(calls));  // a visible change each time
      },
      0.1f, "t");
  app.director()->stopAnimation();
  unsigned long frames = app.director()->getTotalFrames();
  app.advance(1);
  EXPECT_EQ(calls, 10);
  EXPECT_EQ(app.director()->getTotalFrames(), frames);
  app.director()->startAnimation();
  app.advance(0.1);
  EXPECT_GT(app.director()->getTotalFrames(), frames);
}

}  // namespace
