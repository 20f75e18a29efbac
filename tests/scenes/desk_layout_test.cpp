// The table as it is built: the fixed nodes, the four seats and their nodes,
// the mapping of server seats to screen positions, and the dealt hand's layout.
#include <gtest/gtest.h>

#include "desk_fixture.h"
#include "engine/label_atlas.h"

namespace desk_test {
namespace {

using engine::Color3B;
using engine::Size;

class DeskLayoutTest : public DeskTest {};

TEST_F(DeskLayoutTest, InitBuildsTheFixedNodes) {
  openTable(5, 2);
  EXPECT_EQ(table->seats.size(), 4u);
  EXPECT_EQ(table->timerSite, -1);
  EXPECT_TRUE(table->handCards.empty());
  EXPECT_TRUE(table->lastCards.empty());
  EXPECT_FALSE(table->playing);
  EXPECT_FALSE(table->leaveConfirmed);

  struct Case {
    const char* name;
    engine::ui::Button* button;
    Vec2 position;
    int zOrder;
    float scale;
    bool visible;
    const char* image;
  };
  const Size returnSize = table->returnButton->getContentSize();
  const Case buttons[] = {
      {"return", table->returnButton,
       Vec2(1024 - returnSize.width / 2, 768 - returnSize.height / 2), 0, 1.0f, true, "return.png"},
      {"put", table->putButton, Vec2(412, 170), 2, 0.8f, false, "put.png"},
      {"noput", table->noputButton, Vec2(612, 170), 2, 0.8f, false, "noput.png"},
      {"ready", table->readyButton, Vec2(512, 170), 2, 0.8f, true, "ready.png"},
  };
  for (const Case& c : buttons) {
    SCOPED_TRACE(c.name);
    ASSERT_NE(c.button, nullptr);
    EXPECT_EQ(c.button->getParent(), table);
    EXPECT_EQ(c.button->getPosition(), c.position);
    EXPECT_EQ(c.button->getLocalZOrder(), c.zOrder);
    EXPECT_EQ(c.button->getScale(), c.scale);
    EXPECT_EQ(c.button->isVisible(), c.visible);
    EXPECT_TRUE(c.button->isEnabled());
    EXPECT_EQ(c.button->getShownImage(), c.image);
  }
  EXPECT_GT(returnSize.width, 0);

  struct LabelCase {
    const char* name;
    engine::Label* label;
    Vec2 position;
    float size;
    Color3B colour;
  };
  const LabelCase labels[] = {
      {"center", table->centerLabel, Vec2(512, 384), 20, Color3B::WHITE},
      {"own score", table->ownScoreLabel, Vec2(80, 750), 25, Color3B::BLACK},
      {"other score", table->otherScoreLabel, Vec2(170, 750), 25, Color3B::BLACK},
      {"table score", table->tableScoreLabel, Vec2(512, 414), 40, Color3B::WHITE},
  };
  for (const LabelCase& c : labels) {
    SCOPED_TRACE(c.name);
    ASSERT_NE(c.label, nullptr);
    EXPECT_EQ(c.label->getString(), "0");
    EXPECT_EQ(c.label->getPosition(), c.position);
    EXPECT_EQ(c.label->getFontSize(), c.size);
    EXPECT_EQ(c.label->getFontFile(), "fonts/arial.ttf");
    EXPECT_EQ(c.label->getColor(), c.colour);
    EXPECT_TRUE(c.label->isVisible());
  }

  auto* cache = engine::SpriteFrameCache::getInstance();
  engine::Sprite* background = nullptr;
  engine::Sprite* panel = nullptr;
  for (engine::Sprite* sprite : engine::findNodes<engine::Sprite>(table)) {
    if (sprite->getSpriteFrame() == cache->getSpriteFrameByName("beijing")) background = sprite;
    if (sprite->getSpriteFrame() == cache->getSpriteFrameByName("score")) panel = sprite;
  }
  ASSERT_NE(background, nullptr) << engine::dumpTree(table);
  EXPECT_EQ(background->getPosition(), Vec2(512, 384));
  EXPECT_EQ(background->getLocalZOrder(), -1);
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(panel->getPosition(), Vec2(100.5, 750));
  EXPECT_EQ(panel->getLocalZOrder(), 0);
}

TEST_F(DeskLayoutTest, SeatsStandWhereTheirScreenPositionSays) {
  openTable(1, 0);
  struct Case {
    int position;
    Vec2 name;
    int nameZ;
    bool countShown;
    Vec2 count;
    Vec2 clock;
    Vec2 ready;
    Vec2 over;
    Vec2 pass;
    int cardX, cardY;
  };
  const Case cases[] = {
      {0, {477, 18}, 30, false, {0, 0}, {812, 200}, {512, 184}, {512, 184}, {512, 184}, 312, 250},
      {1,
       {889, 636},
       3,
       true,
       {889, 621},
       {772, 600},
       {862, 384},
       {862, 384},
       {862, 384},
       512,
       384},
      {2,
       {477, 750},
       3,
       true,
       {477, 735},
       {652, 730},
       {512, 584},
       {512, 584},
       {512, 584},
       312,
       584},
      // The left seat's "over" stands at its clock, not at its ready marker.
      {3, {70, 636}, 3, true, {70, 621}, {232, 600}, {162, 384}, {232, 600}, {162, 384}, 0, 384},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.position);
    const st_player_info& s = *table->seats[c.position];
    EXPECT_EQ(s.nameLabel->getPosition(), c.name);
    EXPECT_EQ(s.nameLabel->getLocalZOrder(), c.nameZ);
    EXPECT_EQ(s.nameLabel->getColor(), Color3B::RED);
    EXPECT_EQ(s.nameLabel->getFontSize(), 15);
    EXPECT_EQ(s.nameLabel->getString(), "");
    EXPECT_EQ(s.countLabel->isVisible(), c.countShown);
    EXPECT_EQ(s.countLabel->getPosition(), c.count);
    EXPECT_EQ(s.countLabel->getString(), "");
    EXPECT_EQ(s.clockLabel->getPosition(), c.clock);
    EXPECT_EQ(s.clockLabel->getString(), "30");
    EXPECT_FALSE(s.clockLabel->isVisible());
    EXPECT_EQ(s.readySprite->getPosition(), c.ready);
    EXPECT_EQ(s.readySprite->getSpriteFrame(),
              engine::SpriteFrameCache::getInstance()->getSpriteFrameByName("zhunbei"));
    EXPECT_FALSE(s.readySprite->isVisible());
    EXPECT_EQ(s.overLabel->getPosition(), c.over);
    EXPECT_EQ(s.overLabel->getString(), "over");
    EXPECT_EQ(s.overLabel->getColor(), Color3B::RED);
    EXPECT_FALSE(s.overLabel->isVisible());
    EXPECT_EQ(s.passLabel->getPosition(), c.pass);
    EXPECT_EQ(s.passLabel->getString(), "pass");
    EXPECT_FALSE(s.passLabel->isVisible());
    EXPECT_EQ(s.cardX, c.cardX);
    EXPECT_EQ(s.cardY, c.cardY);
    EXPECT_TRUE(s.playedCards.empty());
    for (engine::Node* node :
         {static_cast<engine::Node*>(s.nameLabel), static_cast<engine::Node*>(s.countLabel),
          static_cast<engine::Node*>(s.clockLabel), static_cast<engine::Node*>(s.readySprite),
          static_cast<engine::Node*>(s.overLabel), static_cast<engine::Node*>(s.passLabel)}) {
      EXPECT_EQ(node->getParent(), table);
    }
  }
}

TEST_F(DeskLayoutTest, ServerSeatsMapToScreenPositions) {
  struct Case {
    int site;
    std::array<int, 4> positionOfSeat;
  };
  const Case cases[] = {
      {0, {0, 1, 2, 3}},
      {1, {3, 0, 1, 2}},
      {2, {2, 3, 0, 1}},
      {3, {1, 2, 3, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.site);
    CDeskScene* scene = CDeskScene::create();
    ASSERT_NE(scene, nullptr);
    EXPECT_TRUE(scene->siteMap.empty());
    scene->setDeskInfo(7, c.site, "abc");
    EXPECT_EQ(scene->desk, 7);
    EXPECT_EQ(scene->site, c.site);
    EXPECT_EQ(scene->ownName, "abc");
    ASSERT_EQ(scene->siteMap.size(), 4u);
    for (int s = 0; s < 4; ++s) {
      EXPECT_EQ(scene->siteMap.at(s), scene->seats[c.positionOfSeat[s]]) << "server seat " << s;
    }
  }
}

TEST_F(DeskLayoutTest, AGrantWithoutASeatStillMapsEveryTableSeat) {
  for (int site : {-1, 4, 7}) {
    SCOPED_TRACE(site);
    CDeskScene* scene = CDeskScene::create();
    scene->setDeskInfo(1, site, "x");
    ASSERT_EQ(scene->siteMap.size(), 4u);
    for (int s = 0; s < 4; ++s) {
      ASSERT_NE(scene->siteMap.at(s), nullptr);
      EXPECT_EQ(scene->seatRecord(s), scene->siteMap.at(s).get());
    }
    EXPECT_EQ(scene->seatRecord(-1), nullptr);
    EXPECT_EQ(scene->seatRecord(4), nullptr);
  }
}

TEST_F(DeskLayoutTest, TheDealIsSortedAndLaidOutByTheHandRule) {
  openTable(1, 0);
  serve(startMessage("40,3,17,"));
  EXPECT_TRUE(table->playing);
  EXPECT_EQ(handCodes(), (std::vector<int>{3, 17, 40}));
  EXPECT_EQ(handX(), (std::vector<float>{518.5f, 536.5f, 554.5f}));
  for (const CardSprite* card : table->handCards) {
    EXPECT_EQ(card->getPositionY(), 45);
    EXPECT_EQ(card->getLocalZOrder(), 1);
    EXPECT_EQ(card->getParent(), table);
    EXPECT_FALSE(card->selected);
    EXPECT_EQ(card->getContentSize(), Size(98, 138));
  }
}

TEST_F(DeskLayoutTest, AFullHandSpansFromItsLeftmostToItsRightmostCard) {
  openTable(1, 0);
  std::string cards;
  for (int i = 0; i < 27; ++i) cards += std::to_string(i * 2) + ",";
  serve(startMessage(cards));
  ASSERT_EQ(table->handCards.size(), 27u);
  EXPECT_EQ(table->handCards.front()->getPositionX(), 302.5f);
  EXPECT_EQ(table->handCards.back()->getPositionX(), 770.5f);
}

TEST_F(DeskLayoutTest, ACodeOutsideTheDeckIsDealtAsABlankCard) {
  openTable(1, 0);
  serve(startMessage("60,x,5"));
  ASSERT_EQ(handCodes(), (std::vector<int>{0, 5, 60}));
  CardSprite* strange = table->handCards.back();
  EXPECT_EQ(strange->getSpriteFrame(),
            engine::SpriteFrameCache::getInstance()->getSpriteFrameByName("front"));
  EXPECT_EQ(strange->getChildrenCount(), 0u);
  EXPECT_EQ(strange->getContentSize(), Size(98, 138));
}

}  // namespace
}  // namespace desk_test
