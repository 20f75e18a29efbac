// Labels size themselves to their text and draw Chinese through a fallback
// font; character-map labels draw digits and a minus sign.
#include <gtest/gtest.h>

#include "engine/engine.h"
#include "engine/headless.h"
#include "test_images.h"

namespace {

const char* kFont = "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf";

class LabelTest : public ::testing::Test {
 protected:
  engine::HeadlessApp app;
  engine::Layer* layer = nullptr;

  void SetUp() override {
    layer = engine::Layer::create();
    app.runLayer(layer);
  }

  // Pixels inside `box` (scene coordinates) that are not the black background.
  int inkIn(const engine::Rect& box) {
    app.director()->drawScene();
    int ink = 0;
    for (int y = static_cast<int>(box.getMinY()); y < static_cast<int>(box.getMaxY()); ++y) {
      for (int x = static_cast<int>(box.getMinX()); x < static_cast<int>(box.getMaxX()); ++x) {
        engine::Color4B p = app.pixelAt(static_cast<float>(x), static_cast<float>(y) + 0.5f);
        ink += (p.r + p.g + p.b) > 150;
      }
    }
    return ink;
  }
};

TEST_F(LabelTest, SizeZeroSizesTheLabelToItsText) {
  auto* label =
      engine::Label::createWithTTF("online: 0", kFont, 25, engine::Size::ZERO,
                                   engine::TextHAlignment::LEFT, engine::TextVAlignment::TOP);
  ASSERT_NE(label, nullptr);
  engine::Size first = label->getContentSize();
  EXPECT_GT(first.width, 60);
  EXPECT_LT(first.width, 160);
  EXPECT_GE(first.height, 25);
  EXPECT_LT(first.height, 40);
  EXPECT_EQ(label->getString(), "online: 0");

  label->setString("online:12345");
  EXPECT_GT(label->getContentSize().width, first.width);
  EXPECT_EQ(label->getContentSize().height, first.height);
  label->setString("");
  EXPECT_EQ(label->getContentSize().width, 0);
}

TEST_F(LabelTest, AnOverlongTextKeepsItsStringButDrawsWithinBounds) {
  // A name from the server may be as long as a frame. Two ASCII bytes before
  // the three-byte characters put the point where drawing is cut inside one.
  std::string text = "xy";
  for (int i = 0; i < 70000; ++i) text += "\u738b";
  auto* label = engine::Label::createWithTTF(text, kFont, 25);
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->getString(), text);
  EXPECT_GT(label->getContentSize().width, 1000);
  EXPECT_LE(label->getContentSize().width, 4096);
  EXPECT_LE(label->getContentSize().height, 4096);
  label->setPosition(512, 384);
  layer->addChild(label);
  EXPECT_GT(inkIn(engine::Rect(0, 380, 1024, 6)), 0);
}

TEST_F(LabelTest, BiggerFontGivesABiggerLabel) {
  auto* small = engine::Label::createWithTTF("0", kFont, 20);
  auto* big = engine::Label::createWithTTF("0", kFont, 40);
  EXPECT_GT(big->getContentSize().width, small->getContentSize().width * 1.6f);
  EXPECT_GT(big->getContentSize().height, small->getContentSize().height * 1.6f);
}

TEST_F(LabelTest, FixedDimensionsWrapTheText) {
  auto* label = engine::Label::createWithTTF("one two three four five six seven", kFont, 20,
                                             engine::Size(120, 200));
  EXPECT_EQ(label->getContentSize(), engine::Size(120, 200));
  auto* single = engine::Label::createWithTTF("one", kFont, 20);
  layer->addChild(label);
  label->setPosition(300, 400);
  // The text fills several lines from the top of the box.
  float top = 400 + 100;
  float line = single->getContentSize().height;
  EXPECT_GT(inkIn(engine::Rect(240, top - 3 * line, 120, line)), 20);
  EXPECT_EQ(inkIn(engine::Rect(240, 300, 120, 20)), 0);
}

TEST_F(LabelTest, ChineseTextWrapsBetweenCharacters) {
  const std::string text = "游戏还未结束，真的要退出吗？再次点击返回按钮将强制退出回到大厅！";
  auto* line = engine::Label::createWithTTF(text, kFont, 18);
  auto* wrapped = engine::Label::createWithTTF("", kFont, 18);
  wrapped->setMaxLineWidth(200);
  wrapped->setString(text);
  EXPECT_GT(line->getContentSize().width, 400);
  EXPECT_LE(wrapped->getContentSize().width, 200);
  EXPECT_GE(wrapped->getContentSize().height, 3 * line->getContentSize().height);
}

TEST_F(LabelTest, ChineseTextIsDrawnWithTheFallbackFont) {
  auto* latin = engine::Label::createWithTTF("ab", kFont, 30);
  auto* chinese = engine::Label::createWithTTF("玩家", kFont, 30);
  ASSERT_NE(chinese, nullptr);
  // Two CJK glyphs are about square; missing-glyph boxes would be narrow.
  EXPECT_GT(chinese->getContentSize().width, latin->getContentSize().width * 1.5f);
  chinese->setPosition(200, 200);
  layer->addChild(chinese);
  engine::Rect box = chinese->getBoundingBox();
  // Enough ink for real strokes.
  EXPECT_GT(inkIn(box), 150);
}

TEST_F(LabelTest, MixedLatinAndChineseNameKeepsBothParts) {
  auto* latin = engine::Label::createWithTTF("bob", kFont, 20);
  auto* mixed = engine::Label::createWithTTF("bob张三", kFont, 20);
  EXPECT_GT(mixed->getContentSize().width, latin->getContentSize().width + 30);
}

TEST_F(LabelTest, LabelTakesItsColour) {
  auto* label = engine::Label::createWithTTF("MMMM", kFont, 40);
  label->setColor(engine::Color3B::RED);
  label->setPosition(500, 500);
  layer->addChild(label);
  app.director()->drawScene();
  engine::Rect box = label->getBoundingBox();
  int red = 0;
  int other = 0;
  for (int x = static_cast<int>(box.getMinX()); x < box.getMaxX(); ++x) {
    engine::Color4B p = app.pixelAt(static_cast<float>(x), box.getMidY());
    if (p.r > 200 && p.g < 40 && p.b < 40) ++red;
    if (p.g > 100 || p.b > 100) ++other;
  }
  EXPECT_GT(red, 10);
  EXPECT_EQ(other, 0);
}

TEST_F(LabelTest, AtlasSizeIsGlyphsTimesCells) {
  std::string map = enginetest::digitsPng("num.png", 14, 21, engine::Color4B(255, 200, 0, 255));
  struct Case {
    const char* text;
    float width;
  };
  for (const Case& c : {Case{"30", 28}, Case{"9", 14}, Case{"-12", 42}, Case{"", 0}}) {
    SCOPED_TRACE(c.text);
    auto* atlas = engine::LabelAtlas::create(c.text, map, 14, 21, '0');
    ASSERT_NE(atlas, nullptr);
    EXPECT_EQ(atlas->getContentSize(), engine::Size(c.width, 21));
    EXPECT_EQ(atlas->getString(), c.text);
  }
}

TEST_F(LabelTest, AtlasDrawsDigitsFromTheMapAndAMinusAsABar) {
  const engine::Color4B gold(255, 200, 0, 255);
  std::string map = enginetest::digitsPng("num.png", 14, 21, gold);
  auto* atlas = engine::LabelAtlas::create("-1", map, 14, 21, '0');
  atlas->setPosition(114, 110.5f);  // cells at x 100..114 and 114..128, y 100..121
  layer->addChild(atlas);
  // The digit cell is filled (but for its border).
  EXPECT_EQ(app.pixelAt(121, 103), gold);
  EXPECT_EQ(app.pixelAt(121, 118), gold);
  // The minus cell has a bar across its middle in the glyphs' colour, and
  // nothing above or below it.
  EXPECT_EQ(app.pixelAt(107, 110), gold);
  EXPECT_EQ(app.pixelAt(103, 110), gold);
  EXPECT_EQ(app.pixelAt(107, 103), engine::Color4B(0, 0, 0, 255));
  EXPECT_EQ(app.pixelAt(107, 118), engine::Color4B(0, 0, 0, 255));
}

TEST_F(LabelTest, AtlasCountdownGoesBelowZero) {
  std::string map = enginetest::digitsPng("num.png", 14, 21, engine::Color4B::WHITE);
  auto* atlas = engine::LabelAtlas::create("0", map, 14, 21, '0');
  atlas->setString("-1");
  EXPECT_EQ(atlas->getString(), "-1");
  EXPECT_EQ(atlas->getContentSize().width, 28);
}

}  // namespace
