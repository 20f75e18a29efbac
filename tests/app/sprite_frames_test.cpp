// The frame atlas: every name, its image and rectangle, and rectangles that
// stay inside the images the build draws.
#include "app/sprite_frames.h"

#include <gtest/gtest.h>

#include <map>

#include "engine/headless.h"
#include "engine/sprite_frame.h"

namespace {

engine::SpriteFrame* frame(const std::string& name) {
  return engine::SpriteFrameCache::getInstance()->getSpriteFrameByName(name);
}

class SpriteFramesTest : public testing::Test {
 protected:
  engine::HeadlessApp app;
};

TEST_F(SpriteFramesTest, RegistersAllFortyNineNamesWithTheirImages) {
  ASSERT_EQ(registerSpriteFrames(), "");
  std::map<std::string, std::string> expected;
  for (int i = 0; i < 4; ++i) expected["flower" + std::to_string(i)] = "poker_flower.png";
  for (int i = 0; i <= 12; ++i) {
    expected["r_num" + std::to_string(i)] = "poker_num.png";
    expected["b_num" + std::to_string(i)] = "poker_num.png";
  }
  for (const char* name : {"front", "r_joker", "b_joker", "back"}) {
    expected[name] = "poker_surface.png";
  }
  for (const char* name : {"login", "nick", "pass", "rpass", "sep", "add_desk_bg"}) {
    expected[name] = std::string(name) + ".png";
  }
  for (const char* name : {"return", "score", "nickname", "win", "surplus"}) {
    expected[name] = "sucai.png";
  }
  expected["noputbtn"] = expected["putbtn"] = "poker_play_card.png";
  expected["zhunbei"] = "zhunbei.png";
  expected["beijing"] = "bj.png";
  ASSERT_EQ(expected.size(), 49u);

  EXPECT_EQ(engine::SpriteFrameCache::getInstance()->size(), 49u);
  for (const auto& [name, file] : expected) {
    SCOPED_TRACE(name);
    ASSERT_NE(frame(name), nullptr);
    EXPECT_EQ(frame(name)->getTextureFilename(), file);
  }
}

TEST_F(SpriteFramesTest, Rectangles) {
  ASSERT_EQ(registerSpriteFrames(), "");
  struct Case {
    const char* name;
    engine::Rect rect;
  };
  const Case cases[] = {
      {"flower2", {0, 0, 44, 42}},    {"flower0", {44, 0, 44, 42}},
      {"flower3", {88, 0, 44, 42}},   {"flower1", {132, 0, 44, 42}},
      {"r_num12", {468, 39, 39, 39}}, {"b_num0", {0, 0, 39, 39}},
      {"r_num0", {0, 39, 39, 39}},    {"b_num7", {273, 0, 39, 39}},
      {"front", {0, 0, 98, 138}},     {"r_joker", {99, 0, 98, 138}},
      {"b_joker", {197, 0, 98, 138}}, {"back", {295, 0, 98, 138}},
      {"sep", {0, 0, 10, 768}},       {"add_desk_bg", {0, 0, 323, 60}},
      {"return", {0, 0, 36, 36}},     {"score", {0, 37, 201, 36}},
      {"nickname", {0, 74, 201, 36}}, {"win", {0, 111, 201, 36}},
      {"surplus", {0, 148, 201, 36}}, {"noputbtn", {0, 0, 152, 61}},
      {"putbtn", {152, 0, 152, 61}},  {"zhunbei", {0, 0, 70, 35}},
      {"beijing", {0, 0, 1024, 768}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_NE(frame(c.name), nullptr);
    EXPECT_EQ(frame(c.name)->getRect(), c.rect);
  }
}

// A rectangle reaching past its image would draw a clipped or empty frame.
TEST_F(SpriteFramesTest, EveryRectangleLiesInsideItsImage) {
  ASSERT_EQ(registerSpriteFrames(), "");
  const char* names[] = {"flower1", "r_num12", "b_num12", "back",   "login",
                         "nick",    "pass",    "rpass",   "sep",    "add_desk_bg",
                         "surplus", "putbtn",  "zhunbei", "beijing"};
  for (const char* name : names) {
    SCOPED_TRACE(name);
    engine::SpriteFrame* f = frame(name);
    ASSERT_NE(f, nullptr);
    const std::shared_ptr<engine::Texture> texture = f->getTexture();
    ASSERT_NE(texture, nullptr);
    EXPECT_LE(f->getRect().getMaxX(), static_cast<float>(texture->width()));
    EXPECT_LE(f->getRect().getMaxY(), static_cast<float>(texture->height()));
  }
}

TEST_F(SpriteFramesTest, GroupsRegisterOnlyTheirOwnFrames) {
  ASSERT_EQ(registerCardFrames(), "");
  EXPECT_EQ(engine::SpriteFrameCache::getInstance()->size(), 34u);
  ASSERT_EQ(registerInterfaceFrames(), "");
  EXPECT_EQ(engine::SpriteFrameCache::getInstance()->size(), 45u);
  ASSERT_EQ(registerTableFrames(), "");
  EXPECT_EQ(engine::SpriteFrameCache::getInstance()->size(), 49u);
  EXPECT_TRUE(engine::SpriteFrameCache::getInstance()->isSpriteFrameAvailable("beijing"));
}

}  // namespace
