// Scene graph: drawing order, anchors and bounding boxes, removal with
// cleanup, and the autorelease pool.
#include <gtest/gtest.h>

#include "engine/engine.h"
#include "engine/headless.h"
#include "test_images.h"

namespace {

using engine::Color4B;
using engine::Node;
using engine::Rect;
using engine::Sprite;
using engine::Vec2;

const Color4B kRed(255, 0, 0, 255);
const Color4B kGreen(0, 255, 0, 255);
const Color4B kBlue(0, 0, 255, 255);

class SceneGraphTest : public ::testing::Test {
 protected:
  engine::HeadlessApp app;
  engine::Layer* layer = nullptr;

  void SetUp() override {
    layer = engine::Layer::create();
    app.runLayer(layer);
  }

  Sprite* square(const std::string& name, Color4B color) {
    return Sprite::create(enginetest::solidPng(name, 40, 40, color));
  }
};

// Tracks its destruction.
class Probe : public Node {
 public:
  explicit Probe(bool* destroyed) : destroyed_(destroyed) {}
  ~Probe() override { *destroyed_ = true; }

 private:
  bool* destroyed_;
};

TEST_F(SceneGraphTest, HigherZOrderDrawsLaterAndEqualOnesInOrderOfAdding) {
  struct Case {
    const char* what;
    int zRed, zGreen, zBlue;  // added red, green, blue in that order
    Color4B seen;
  };
  const Case cases[] = {
      {"all default: last added on top", 0, 0, 0, kBlue},
      {"red raised", 5, 0, 0, kRed},
      {"green raised over blue", 0, 2, 1, kGreen},
      {"negative z under default", 0, -1, -1, kRed},
      {"equal raised: later added wins", 3, 3, 1, kGreen},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    layer->removeAllChildren();
    Sprite* red = square("red.png", kRed);
    Sprite* green = square("green.png", kGreen);
    Sprite* blue = square("blue.png", kBlue);
    for (Sprite* s : {red, green, blue}) s->setPosition(300, 300);
    layer->addChild(red, c.zRed);
    layer->addChild(green, c.zGreen);
    layer->addChild(blue, c.zBlue);
    EXPECT_EQ(app.pixelAt(300, 300), c.seen);
  }
}

TEST_F(SceneGraphTest, ChildWithNegativeZDrawsUnderItsParent) {
  Sprite* parent = square("red.png", kRed);
  parent->setPosition(100, 100);
  Sprite* under = square("green.png", kGreen);
  under->setPosition(20, 20);  // the parent's centre, in its own coordinates
  parent->addChild(under, -1);
  layer->addChild(parent);
  EXPECT_EQ(app.pixelAt(100, 100), kRed);
  parent->reorderChild(under, 1);
  EXPECT_EQ(app.pixelAt(100, 100), kGreen);
}

TEST_F(SceneGraphTest, AddChildWithoutZOrderKeepsTheChildsOwn) {
  Sprite* a = square("red.png", kRed);
  a->setLocalZOrder(4);
  layer->addChild(a);
  EXPECT_EQ(a->getLocalZOrder(), 4);
  Sprite* b = square("blue.png", kBlue);
  layer->addChild(b);
  EXPECT_EQ(b->getLocalZOrder(), 0);
  auto order = layer->getChildrenInDrawOrder();
  ASSERT_EQ(order.size(), 2u);
  EXPECT_EQ(order[0], b);
  EXPECT_EQ(order[1], a);
}

TEST_F(SceneGraphTest, BoundingBoxFollowsAnchorAndScaleInParentCoordinates) {
  struct Case {
    const char* what;
    Vec2 anchor;
    float scaleX, scaleY;
    Rect box;
  };
  // A 98 x 138 card at (300, 45).
  const Case cases[] = {
      {"centre anchor", {0.5f, 0.5f}, 1, 1, Rect(251, -24, 98, 138)},
      {"centre anchor, scaled 0.4", {0.5f, 0.5f}, 0.4f, 0.4f, Rect(280.4f, 17.4f, 39.2f, 55.2f)},
      {"bottom-left anchor, scaled 2", {0, 0}, 2, 2, Rect(300, 45, 196, 276)},
      {"top-right anchor", {1, 1}, 1, 1, Rect(202, -93, 98, 138)},
      {"mirrored", {0.5f, 0.5f}, -1, 1, Rect(251, -24, 98, 138)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Node* card = Node::create();
    card->setContentSize(engine::Size(98, 138));
    card->setAnchorPoint(c.anchor);
    card->setScale(c.scaleX, c.scaleY);
    card->setPosition(300, 45);
    Rect box = card->getBoundingBox();
    EXPECT_NEAR(box.getMinX(), c.box.getMinX(), 1e-3);
    EXPECT_NEAR(box.getMinY(), c.box.getMinY(), 1e-3);
    EXPECT_NEAR(box.size.width, c.box.size.width, 1e-3);
    EXPECT_NEAR(box.size.height, c.box.size.height, 1e-3);
  }
}

TEST_F(SceneGraphTest, DefaultAnchorsSpritesLabelsButtonsAtCentreLayersAtOrigin) {
  auto* sprite = square("red.png", kRed);
  auto* label = engine::Label::createWithTTF("x", "fonts/arial.ttf", 20);
  auto* button = engine::ui::Button::create(enginetest::solidPng("b.png", 10, 10, kRed));
  for (Node* n : std::initializer_list<Node*>{sprite, label, button}) {
    EXPECT_EQ(n->getAnchorPoint(), Vec2(0.5f, 0.5f));
  }
  EXPECT_EQ(layer->getAnchorPoint(), Vec2(0, 0));
  EXPECT_EQ(layer->getPosition(), Vec2(0, 0));
  EXPECT_EQ(layer->getContentSize(), engine::Size(1024, 768));
  EXPECT_EQ(layer->getBoundingBox(), Rect(0, 0, 1024, 768));
}

TEST_F(SceneGraphTest, ChildPositionsAreInTheParentsContentCoordinates) {
  Sprite* card = Sprite::create(enginetest::solidPng("card.png", 98, 138, kRed));
  card->setPosition(400, 300);
  Sprite* pip = square("green.png", kGreen);
  pip->setScale(0.4f);
  pip->setPosition(12, 93);
  card->addChild(pip);
  layer->addChild(card);
  // The card's bottom-left corner is at (351, 231).
  Vec2 world = card->convertToWorldSpace(pip->getPosition());
  EXPECT_FLOAT_EQ(world.x, 363);
  EXPECT_FLOAT_EQ(world.y, 324);
  EXPECT_EQ(app.pixelAt(363, 324), kGreen);
  EXPECT_EQ(app.pixelAt(363 + 10, 324), kRed);  // outside the 16 x 16 pip
}

TEST_F(SceneGraphTest, RemoveChildWithCleanupEndsTimersAndListenersAndReleases) {
  bool destroyed = false;
  auto* probe = new Probe(&destroyed);
  probe->autorelease();
  int ticks = 0;
  probe->schedule([&](float) { ++ticks; }, 0.1f, "tick");
  auto* listener = engine::EventListenerTouchOneByOne::create();
  listener->onTouchBegan = [](engine::Touch*, engine::Event*) { return true; };
  app.director()->getEventDispatcher()->addEventListenerWithSceneGraphPriority(listener, probe);
  layer->addChild(probe);
  app.advance(0.25);
  EXPECT_EQ(ticks, 2);
  EXPECT_TRUE(app.director()->getEventDispatcher()->hasListenersFor(probe));

  probe->retain();  // keep it to look at after removal
  layer->removeChild(probe, true);
  EXPECT_FALSE(probe->isScheduled("tick"));
  EXPECT_FALSE(app.director()->getEventDispatcher()->hasListenersFor(probe));
  app.advance(1);
  EXPECT_EQ(ticks, 2);
  EXPECT_EQ(probe->getReferenceCount(), 1u);
  probe->release();
  EXPECT_TRUE(destroyed);
}

TEST_F(SceneGraphTest, RemoveChildWithoutCleanupKeepsTimersForLater) {
  int ticks = 0;
  Node* node = Node::create();
  node->retain();
  node->schedule([&](float) { ++ticks; }, 0.1f, "tick");
  layer->addChild(node);
  layer->removeChild(node, false);
  app.advance(0.5);
  EXPECT_EQ(ticks, 0);  // not running: paused
  layer->addChild(node);
  app.advance(0.35);
  EXPECT_EQ(ticks, 3);
  node->release();
}

TEST_F(SceneGraphTest, AutoreleasedObjectLivesUntilTheFrameEndsUnlessKept) {
  bool keptDestroyed = false;
  bool droppedDestroyed = false;
  auto* kept = new Probe(&keptDestroyed);
  kept->autorelease();
  auto* dropped = new Probe(&droppedDestroyed);
  dropped->autorelease();
  layer->addChild(kept);
  EXPECT_TRUE(engine::AutoreleasePool::getInstance()->contains(dropped));
  EXPECT_FALSE(droppedDestroyed);
  app.step();
  EXPECT_TRUE(droppedDestroyed);
  EXPECT_FALSE(keptDestroyed);
  EXPECT_EQ(kept->getReferenceCount(), 1u);  // the parent's
  layer->removeChild(kept, true);
  EXPECT_TRUE(keptDestroyed);
}

TEST_F(SceneGraphTest, AddingANodeThatHasAParentIsIgnored) {
  Node* a = Node::create();
  Node* b = Node::create();
  layer->addChild(a);
  layer->addChild(b);
  b->addChild(a);
  EXPECT_EQ(a->getParent(), layer);
  EXPECT_EQ(b->getChildrenCount(), 0u);
}

TEST_F(SceneGraphTest, HiddenNodeAndItsChildrenAreNotDrawn) {
  Sprite* red = square("red.png", kRed);
  red->setPosition(500, 500);
  Sprite* green = square("green.png", kGreen);
  green->setPosition(20, 20);
  red->addChild(green);
  layer->addChild(red);
  EXPECT_EQ(app.pixelAt(500, 500), kGreen);
  red->setVisible(false);
  EXPECT_EQ(app.pixelAt(500, 500), Color4B(0, 0, 0, 255));
}

TEST_F(SceneGraphTest, ColourTintsTheImage) {
  Sprite* white = square("white.png", Color4B(255, 255, 255, 255));
  white->setPosition(600, 200);
  white->setColor(engine::Color3B::RED);
  layer->addChild(white);
  EXPECT_EQ(app.pixelAt(600, 200), kRed);
}

}  // namespace
