// Touch routing: buttons take their touches before the layer's listener;
// hidden and disabled buttons take none; moves follow a claimed touch.
#include <gtest/gtest.h>

#include <vector>

#include "engine/engine.h"
#include "engine/headless.h"
#include "test_images.h"

namespace {

using Type = engine::ui::Widget::TouchEventType;

class TableLayer : public engine::Layer {
 public:
  std::vector<engine::Vec2> began;
  std::vector<engine::Vec2> moved;
  bool claim = true;

  bool onTouchBegan(engine::Touch* touch, engine::Event*) override {
    began.push_back(touch->getLocation());
    return claim;
  }
  void onTouchMoved(engine::Touch* touch, engine::Event*) override {
    moved.push_back(touch->getLocation());
  }
};

class TouchTest : public ::testing::Test {
 protected:
  engine::HeadlessApp app;
  TableLayer* layer = nullptr;
  engine::ui::Button* button = nullptr;
  std::vector<Type> events;

  void SetUp() override {
    layer = new TableLayer();
    layer->init();
    layer->autorelease();
    auto* listener = engine::EventListenerTouchOneByOne::create();
    listener->onTouchBegan = [this](engine::Touch* t, engine::Event* e) {
      return layer->onTouchBegan(t, e);
    };
    listener->onTouchMoved = [this](engine::Touch* t, engine::Event* e) {
      layer->onTouchMoved(t, e);
    };
    app.director()->getEventDispatcher()->addEventListenerWithSceneGraphPriority(listener, layer);
    button = engine::ui::Button::create(
        enginetest::solidPng("n.png", 152, 61, engine::Color4B(0, 200, 0, 255)),
        enginetest::solidPng("p.png", 152, 61, engine::Color4B(0, 100, 0, 255)),
        enginetest::solidPng("d.png", 152, 61, engine::Color4B(90, 90, 90, 255)),
        engine::ui::Widget::TextureResType::LOCAL);
    button->setPosition(412, 170);
    button->setScale(0.8f);
    button->addTouchEventListener([this](engine::Ref* sender, Type type) {
      EXPECT_EQ(sender, button);
      events.push_back(type);
    });
    layer->addChild(button, 2);
    app.runLayer(layer);
  }
};

TEST_F(TouchTest, ButtonTakesATouchBeforeTheLayer) {
  app.tap(412, 170);
  EXPECT_EQ(events, (std::vector<Type>{Type::BEGAN, Type::ENDED}));
  EXPECT_TRUE(layer->began.empty());
}

TEST_F(TouchTest, TouchEventTypesHaveTheirValues) {
  EXPECT_EQ(static_cast<int>(Type::BEGAN), 0);
  EXPECT_EQ(static_cast<int>(Type::MOVED), 1);
  EXPECT_EQ(static_cast<int>(Type::ENDED), 2);
  EXPECT_EQ(static_cast<int>(Type::CANCELED), 3);
}

TEST_F(TouchTest, WhoGetsTheTouch) {
  struct Case {
    const char* what;
    bool visible;
    bool enabled;
    float x, y;
    bool buttonGets;
  };
  // Scaled 0.8 the button covers x 351.2..472.8 and y 145.6..194.4.
  const Case cases[] = {
      {"centre", true, true, 412, 170, true},
      {"inside the scaled edge", true, true, 470, 192, true},
      {"outside the scaled edge", true, true, 480, 198, false},
      {"hidden", false, true, 412, 170, false},
      {"disabled", true, false, 412, 170, false},
      {"elsewhere", true, true, 900, 600, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    events.clear();
    layer->began.clear();
    button->setVisible(c.visible);
    button->setEnabled(c.enabled);
    app.tap(c.x, c.y);
    EXPECT_EQ(!events.empty(), c.buttonGets);
    EXPECT_EQ(layer->began.size(), c.buttonGets ? 0u : 1u);
  }
}

TEST_F(TouchTest, HiddenParentHidesTheButtonFromTouches) {
  auto* holder = engine::Node::create();
  layer->addChild(holder, 5);
  button->retain();
  button->removeFromParentAndCleanup(false);
  holder->addChild(button);
  button->release();
  holder->setVisible(false);
  app.tap(412, 170);
  EXPECT_TRUE(events.empty());
  holder->setVisible(true);
  app.tap(412, 170);
  EXPECT_EQ(events.size(), 2u);
}

TEST_F(TouchTest, DisabledButtonShowsItsDisabledImage) {
  EXPECT_EQ(button->getShownState(), engine::ui::Button::State::NORMAL);
  EXPECT_EQ(app.pixelAt(412, 170), engine::Color4B(0, 200, 0, 255));
  button->setEnabled(false);
  EXPECT_EQ(button->getShownState(), engine::ui::Button::State::DISABLED);
  EXPECT_EQ(app.pixelAt(412, 170), engine::Color4B(90, 90, 90, 255));
}

TEST_F(TouchTest, PressedButtonShowsItsPressedImageUntilReleased) {
  app.touchBegan(412, 170);
  EXPECT_EQ(button->getShownState(), engine::ui::Button::State::PRESSED);
  EXPECT_EQ(app.pixelAt(412, 170), engine::Color4B(0, 100, 0, 255));
  app.touchEnded(412, 170);
  EXPECT_EQ(button->getShownState(), engine::ui::Button::State::NORMAL);
}

TEST_F(TouchTest, ReleasedAwayFromTheButtonIsCancelled) {
  app.touchBegan(412, 170);
  app.touchMoved(700, 500);
  app.touchEnded(700, 500);
  EXPECT_EQ(events, (std::vector<Type>{Type::BEGAN, Type::MOVED, Type::CANCELED}));
  EXPECT_TRUE(layer->moved.empty());
}

TEST_F(TouchTest, DisabledWhilePressedDoesNotCountAsEnded) {
  button->addTouchEventListener([this](engine::Ref*, Type type) {
    events.push_back(type);
    if (type == Type::BEGAN) button->setEnabled(false);
  });
  app.tap(412, 170);
  EXPECT_EQ(events, (std::vector<Type>{Type::BEGAN, Type::CANCELED}));
}

TEST_F(TouchTest, LayerGetsMovesOnlyAfterClaimingTheTouch) {
  app.touchBegan(100, 700);
  app.touchMoved(120, 690);
  app.touchMoved(140, 680);
  app.touchEnded(140, 680);
  ASSERT_EQ(layer->moved.size(), 2u);
  EXPECT_EQ(layer->moved[1], engine::Vec2(140, 680));

  layer->moved.clear();
  layer->claim = false;
  app.touchBegan(100, 700);
  app.touchMoved(120, 690);
  app.touchEnded(120, 690);
  EXPECT_TRUE(layer->moved.empty());
}

TEST_F(TouchTest, LocationIsInSceneCoordinatesWithYUp) {
  app.touchBegan(10, 20);
  ASSERT_EQ(layer->began.size(), 1u);
  EXPECT_NEAR(layer->began[0].x, 10, 0.01);
  EXPECT_NEAR(layer->began[0].y, 20, 0.01);
}

TEST_F(TouchTest, ButtonHandlerMayRemoveTheButton) {
  button->addTouchEventListener([this](engine::Ref*, Type type) {
    events.push_back(type);
    if (type == Type::ENDED) button->removeFromParent();
  });
  app.tap(412, 170);
  EXPECT_EQ(events.size(), 2u);
  EXPECT_EQ(layer->getChildrenCount(), 0u);
  app.tap(412, 170);
  EXPECT_EQ(layer->began.size(), 1u);
}

TEST_F(TouchTest, TopmostOfTwoOverlappingButtonsTakesTheTouch) {
  int upper = 0;
  auto* other = engine::ui::Button::create(
      enginetest::solidPng("o.png", 152, 61, engine::Color4B(0, 0, 200, 255)));
  other->setPosition(412, 170);
  other->addTouchEventListener([&](engine::Ref*, Type t) { upper += t == Type::ENDED; });
  layer->addChild(other, 3);
  app.tap(412, 170);
  EXPECT_EQ(upper, 1);
  EXPECT_TRUE(events.empty());
}

TEST_F(TouchTest, KeyboardListenerHearsKeys) {
  std::vector<engine::Key> keys;
  auto* listener = engine::EventListenerKeyboard::create();
  listener->onKeyPressed = [&](engine::Key key, engine::Event*) { keys.push_back(key); };
  app.director()->getEventDispatcher()->addEventListenerWithSceneGraphPriority(listener, layer);
  app.pressKey(engine::Key::Enter);
  app.pressKey(engine::Key::Escape);
  EXPECT_EQ(keys, (std::vector<engine::Key>{engine::Key::Enter, engine::Key::Escape}));
}

}  // namespace
