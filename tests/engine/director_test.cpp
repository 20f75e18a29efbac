// The director: scene replacement and what it releases, and drawing only
// when something visible changed.
#include <gtest/gtest.h>

#include "engine/engine.h"
#include "engine/headless.h"
#include "test_images.h"

namespace {

// A layer that counts its ticks and touches and reports its destruction.
class ProbeLayer : public engine::Layer {
 public:
  static ProbeLayer* create(bool* destroyed) {
    auto* layer = new ProbeLayer(destroyed);
    layer->init();
    layer->autorelease();
    return layer;
  }
  ~ProbeLayer() override { *destroyed_ = true; }

  bool init() override {
    if (!Layer::init()) return false;
    schedule([this](float) { onTick(); }, 0.1f, "tick");
    auto* listener = engine::EventListenerTouchOneByOne::create();
    listener->onTouchBegan = [this](engine::Touch*, engine::Event*) {
      ++touches;
      return true;
    };
    engine::Director::getInstance()->getEventDispatcher()->addEventListenerWithSceneGraphPriority(
        listener, this);
    return true;
  }

  std::function<void()> onTickHook;
  int ticks = 0;
  int touches = 0;

 private:
  explicit ProbeLayer(bool* destroyed) : destroyed_(destroyed) {}
  void onTick() {
    ++ticks;
    if (onTickHook) onTickHook();
  }
  bool* destroyed_;
};

engine::Scene* sceneWith(engine::Node* layer) {
  engine::Scene* scene = engine::Scene::create();
  scene->addChild(layer);
  return scene;
}

TEST(DirectorTest, ReplaceSceneReleasesTheOldSceneWithItsTimersAndListeners) {
  engine::HeadlessApp app;
  bool oldGone = false;
  bool newGone = false;
  ProbeLayer* oldLayer = ProbeLayer::create(&oldGone);
  app.run(sceneWith(oldLayer));
  app.advance(0.3);
  EXPECT_EQ(oldLayer->ticks, 3);
  auto* dispatcher = app.director()->getEventDispatcher();
  EXPECT_EQ(dispatcher->listenerCount(), 1u);

  ProbeLayer* newLayer = ProbeLayer::create(&newGone);
  app.director()->replaceScene(sceneWith(newLayer));
  app.step();
  EXPECT_TRUE(oldGone);
  EXPECT_FALSE(newGone);
  EXPECT_EQ(dispatcher->listenerCount(), 1u);
  EXPECT_EQ(app.director()->getScheduler()->timerCount(), 1u);
  app.advance(0.2);
  EXPECT_EQ(newLayer->ticks, 2);
  app.tap(10, 10);
  EXPECT_EQ(newLayer->touches, 1);
}

TEST(DirectorTest, ReplaceSceneFromInsideTheOldScenesTimer) {
  engine::HeadlessApp app;
  bool oldGone = false;
  bool newGone = false;
  ProbeLayer* oldLayer = ProbeLayer::create(&oldGone);
  ProbeLayer* newLayer = nullptr;
  int ticksAtSwitch = -1;
  oldLayer->onTickHook = [&] {
    if (oldLayer->ticks != 2) return;
    newLayer = ProbeLayer::create(&newGone);
    app.director()->replaceScene(sceneWith(newLayer));
    // The old layer lives until its callback returns.
    ticksAtSwitch = oldLayer->ticks;
    EXPECT_FALSE(oldGone);
  };
  app.run(sceneWith(oldLayer));
  app.advance(0.25);
  EXPECT_EQ(ticksAtSwitch, 2);
  EXPECT_TRUE(oldGone);
  ASSERT_NE(newLayer, nullptr);
  EXPECT_EQ(app.director()->getRunningScene(), newLayer->getParent());
  app.advance(1.0);
  EXPECT_EQ(newLayer->ticks, 10);
  EXPECT_FALSE(newGone);
}

TEST(DirectorTest, ReplaceSceneFromInsideAButtonHandler) {
  engine::HeadlessApp app;
  bool oldGone = false;
  bool newGone = false;
  ProbeLayer* oldLayer = ProbeLayer::create(&oldGone);
  auto* button = engine::ui::Button::create(
      enginetest::solidPng("b.png", 100, 50, engine::Color4B(200, 0, 0, 255)));
  button->setPosition(512, 384);
  std::vector<engine::ui::Widget::TouchEventType> events;
  button->addTouchEventListener([&](engine::Ref*, engine::ui::Widget::TouchEventType type) {
    events.push_back(type);
    if (type == engine::ui::Widget::TouchEventType::ENDED) {
      app.director()->replaceScene(sceneWith(ProbeLayer::create(&newGone)));
    }
  });
  oldLayer->addChild(button);
  app.run(sceneWith(oldLayer));
  oldLayer->retain();  // to look at after the switch
  app.tap(512, 384);
  EXPECT_FALSE(oldGone);
  EXPECT_EQ(oldLayer->getReferenceCount(), 1u);  // only ours: the scene let it go
  EXPECT_FALSE(newGone);
  using Type = engine::ui::Widget::TouchEventType;
  EXPECT_EQ(events, (std::vector<Type>{Type::BEGAN, Type::ENDED}));
  EXPECT_EQ(oldLayer->touches, 0);  // the button took the touch
  oldLayer->release();
  EXPECT_TRUE(oldGone);
}

TEST(DirectorTest, VisibleSizeIsTheDesignResolution) {
  engine::HeadlessApp app;
  EXPECT_EQ(app.director()->getVisibleSize(), engine::Size(1024, 768));
  EXPECT_EQ(app.director()->getOpenGLView()->getFrameSize(), engine::Size(1024, 768));
}

TEST(DirectorTest, DrawsOnlyWhenSomethingVisibleChanged) {
  engine::HeadlessApp app;
  engine::Layer* layer = engine::Layer::create();
  engine::Sprite* sprite = engine::Sprite::create(
      enginetest::solidPng("s.png", 10, 10, engine::Color4B(0, 0, 255, 255)));
  layer->addChild(sprite);
  int ticks = 0;
  layer->schedule([&](float) { ++ticks; }, 0.1f, "idle");
  app.runLayer(layer);
  app.advance(0.1);
  unsigned long frames = app.director()->getTotalFrames();
  app.advance(10);
  EXPECT_EQ(ticks, 101);
  EXPECT_EQ(app.director()->getTotalFrames(), frames);  // timers alone draw nothing

  sprite->setPosition(100, 100);
  app.advance(0.1);
  EXPECT_EQ(app.director()->getTotalFrames(), frames + 1);
  sprite->setPosition(100, 100);  // no change
  app.advance(0.1);
  EXPECT_EQ(app.director()->getTotalFrames(), frames + 1);
}

TEST(DirectorTest, AtMostOneFramePerAnimationInterval) {
  engine::HeadlessApp app;
  engine::Layer* layer = engine::Layer::create();
  int moves = 0;
  // Moves every 1/100 s: faster than the 60 frames per second.
  layer->schedule([&](float) { layer->setPositionX(static_cast<float>(++moves)); }, 0.01f, "m");
  app.runLayer(layer);
  unsigned long frames = app.director()->getTotalFrames();
  app.advance(1);
  EXPECT_EQ(moves, 100);
  unsigned long drawn = app.director()->getTotalFrames() - frames;
  EXPECT_LE(drawn, 61u);
  EXPECT_GE(drawn, 50u);
}

TEST(DirectorTest, RedrawEveryFrameDrawsAtTheAnimationInterval) {
  engine::HeadlessApp app;
  app.runLayer(engine::Layer::create());
  app.director()->setRedrawEveryFrame(true);
  unsigned long frames = app.director()->getTotalFrames();
  app.advance(1);
  EXPECT_NEAR(static_cast<double>(app.director()->getTotalFrames() - frames), 60, 1);
}

TEST(DirectorTest, ResetReleasesTheRunningSceneAndTheFrames) {
  bool gone = false;
  {
    engine::HeadlessApp app;
    app.run(sceneWith(ProbeLayer::create(&gone)));
    engine::SpriteFrameCache::getInstance()->addSpriteFrame(
        engine::SpriteFrame::create("x.png", engine::Rect(0, 0, 1, 1)), "x");
  }
  EXPECT_TRUE(gone);
  EXPECT_EQ(engine::SpriteFrameCache::getInstance()->size(), 0u);
  EXPECT_EQ(engine::Director::getInstance()->getRunningScene(), nullptr);
}

}  // namespace
