// Card sprites built from the frames that start-up registers, on the headless
// engine.
#include "cards/card_sprite.h"

#include <gtest/gtest.h>

#include "app/sprite_frames.h"
#include "engine/headless.h"
#include "engine/sprite_frame.h"

namespace {

class CardSpriteTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(registerSpriteFrames(), ""); }

  static engine::SpriteFrame* frame(const std::string& name) {
    return engine::SpriteFrameCache::getInstance()->getSpriteFrameByName(name);
  }

  engine::HeadlessApp app;
};

TEST_F(CardSpriteTest, CreateGivesAnEmptyCard) {
  CardSprite* card = CardSprite::create();
  ASSERT_NE(card, nullptr);
  EXPECT_EQ(card->cardCode, -1);
  EXPECT_FALSE(card->selected);
  EXPECT_TRUE(engine::AutoreleasePool::getInstance()->contains(card));
}

TEST_F(CardSpriteTest, FacesAreComposedFromTheFrames) {
  struct Case {
    int code;
    const char* surface;
    const char* number;  // null: a face without corner children
    const char* pip;
  };
  const Case cases[] = {
      {0, "front", "b_num0", "flower0"},   {9, "front", "b_num2", "flower1"},
      {19, "front", "r_num4", "flower3"},  {46, "front", "r_num11", "flower2"},
      {51, "front", "r_num12", "flower3"}, {52, "b_joker", nullptr, nullptr},
      {53, "r_joker", nullptr, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    CardSprite* card = CardSprite::createWithCode(c.code);
    ASSERT_NE(card, nullptr);
    EXPECT_EQ(card->cardCode, c.code);
    EXPECT_FALSE(card->selected);
    EXPECT_EQ(card->getParent(), nullptr);
    EXPECT_EQ(card->getPosition(), engine::Vec2::ZERO);
    EXPECT_EQ(card->getSpriteFrame(), frame(c.surface));
    EXPECT_EQ(card->getContentSize(), engine::Size(98, 138));
    if (c.number == nullptr) {
      EXPECT_EQ(card->getChildrenCount(), 0u);
      continue;
    }
    ASSERT_EQ(card->getChildrenCount(), 2u);
    // The number first, then the pip, in the top-left corner.
    const std::vector<engine::Node*> corner = card->getChildrenInDrawOrder();
    struct Expected {
      const char* frameName;
      engine::Vec2 position;
    };
    const Expected expected[] = {{c.number, {12, 118}}, {c.pip, {12, 93}}};
    for (int i = 0; i < 2; ++i) {
      auto* sprite = dynamic_cast<engine::Sprite*>(corner[i]);
      ASSERT_NE(sprite, nullptr);
      EXPECT_EQ(sprite->getSpriteFrame(), frame(expected[i].frameName)) << expected[i].frameName;
      EXPECT_EQ(sprite->getPosition(), expected[i].position);
      EXPECT_FLOAT_EQ(sprite->getScaleX(), 0.4f);
      EXPECT_FLOAT_EQ(sprite->getScaleY(), 0.4f);
      EXPECT_EQ(sprite->getAnchorPoint(), engine::Vec2::ANCHOR_MIDDLE);
    }
  }
}

TEST_F(CardSpriteTest, CodesOutsideTheDeckShowTheBlankSurface) {
  for (int code : {-1, 54, 55, 1000}) {
    SCOPED_TRACE(code);
    CardSprite* card = CardSprite::createWithCode(code);
    ASSERT_NE(card, nullptr);
    EXPECT_EQ(card->cardCode, code);
    EXPECT_EQ(card->getSpriteFrame(), frame("front"));
    EXPECT_EQ(card->getContentSize(), engine::Size(98, 138));
    EXPECT_EQ(card->getChildrenCount(), 0u);
  }
}

// Drawn on the felt, a red card's corner shows red and a black card's shows
// dark, where the number stands.
TEST_F(CardSpriteTest, CornerNumberHasTheSuitsColour) {
  engine::Scene* scene = engine::Scene::create();
  CardSprite* red = CardSprite::createWithCode(46);
  CardSprite* black = CardSprite::createWithCode(48);
  red->setPosition(200, 300);
  black->setPosition(600, 300);
  scene->addChild(red);
  scene->addChild(black);
  app.run(scene);

  app.director()->drawScene();
  auto cornerHas = [&](engine::Vec2 cardCentre, auto predicate) {
    // Inside the number's 15.6 x 15.6 box around (12, 118) of the card; the
    // window's rows run down from its top edge.
    const int left = static_cast<int>(cardCentre.x - 49 + 12 - 7);
    const int top = 768 - static_cast<int>(cardCentre.y - 69 + 118 + 7);
    for (int y = top; y < top + 14; ++y) {
      for (int x = left; x < left + 14; ++x) {
        if (predicate(app.platform().pixelAt(x, y))) return true;
      }
    }
    return false;
  };
  EXPECT_TRUE(cornerHas(red->getPosition(),
                        [](engine::Color4B c) { return c.r > 150 && c.g < 100 && c.b < 100; }));
  EXPECT_TRUE(cornerHas(black->getPosition(),
                        [](engine::Color4B c) { return c.r < 80 && c.g < 80 && c.b < 80; }));
  EXPECT_FALSE(cornerHas(black->getPosition(),
                         [](engine::Color4B c) { return c.r > 150 && c.g < 100 && c.b < 100; }));
}

}  // namespace
