// One offscreen frame: a sprite's pixels are where the scene puts it, frames
// cut from the image's top-left, and the frame saves as a PNG.
#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>

#include "engine/engine.h"
#include "engine/headless.h"
#include "test_images.h"

namespace {

const engine::Color4B kBlack(0, 0, 0, 255);
const engine::Color4B kRed(255, 0, 0, 255);
const engine::Color4B kBlue(0, 0, 255, 255);

TEST(OffscreenTest, SpriteIsDrawnWhereItStands) {
  engine::HeadlessApp app;
  auto* layer = engine::Layer::create();
  auto* sprite = engine::Sprite::create(enginetest::solidPng("r.png", 40, 30, kRed));
  ASSERT_NE(sprite, nullptr);
  sprite->setPosition(200, 100);  // covers x 180..220, y 85..115
  layer->addChild(sprite);
  app.runLayer(layer);
  struct Case {
    float x, y;
    engine::Color4B seen;
  };
  const Case cases[] = {{200, 100, kRed},   {181, 86, kRed},    {219, 114, kRed},
                        {178, 100, kBlack}, {222, 100, kBlack}, {200, 83, kBlack},
                        {200, 117, kBlack}, {200, 668, kBlack}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
    EXPECT_EQ(app.pixelAt(c.x, c.y), c.seen);
  }
}

TEST(OffscreenTest, FrameRectangleCountsFromTheImagesTopLeft) {
  engine::HeadlessApp app;
  std::string sheet = enginetest::splitPng("sheet.png", 50, 40, kRed, kBlue);
  auto* cache = engine::SpriteFrameCache::getInstance();
  cache->addSpriteFrame(engine::SpriteFrame::create(sheet, engine::Rect(0, 0, 50, 20)), "top");
  cache->addSpriteFrame(engine::SpriteFrame::create(sheet, engine::Rect(0, 20, 50, 20)), "bottom");
  auto* layer = engine::Layer::create();
  auto* top = engine::Sprite::createWithSpriteFrame(cache->getSpriteFrameByName("top"));
  auto* bottom = engine::Sprite::create();
  ASSERT_TRUE(bottom->initWithSpriteFrame(cache->getSpriteFrameByName("bottom")));
  EXPECT_EQ(bottom->getContentSize(), engine::Size(50, 20));
  top->setPosition(100, 300);
  bottom->setPosition(300, 300);
  layer->addChild(top);
  layer->addChild(bottom);
  app.runLayer(layer);
  EXPECT_EQ(app.pixelAt(100, 300), kRed);
  EXPECT_EQ(app.pixelAt(120, 290), kRed);
  EXPECT_EQ(app.pixelAt(300, 300), kBlue);
  EXPECT_EQ(app.pixelAt(280, 308), kBlue);
}

TEST(OffscreenTest, UnknownFrameAndMissingImageGiveNoSpriteAndNoCrash) {
  engine::HeadlessApp app;
  auto* cache = engine::SpriteFrameCache::getInstance();
  EXPECT_EQ(cache->getSpriteFrameByName("nope"), nullptr);
  EXPECT_EQ(engine::Sprite::createWithSpriteFrame(nullptr), nullptr);
  EXPECT_EQ(engine::Sprite::create("/no/such.png"), nullptr);
  auto* empty = engine::Sprite::create();
  EXPECT_FALSE(empty->initWithSpriteFrame(nullptr));
  // A frame of a file that is missing draws nothing.
  auto* ghost = engine::Sprite::createWithSpriteFrame(
      engine::SpriteFrame::create("/no/such.png", engine::Rect(0, 0, 30, 30)));
  ASSERT_NE(ghost, nullptr);
  auto* layer = engine::Layer::create();
  ghost->setPosition(50, 50);
  layer->addChild(ghost);
  layer->addChild(empty);
  app.runLayer(layer);
  EXPECT_EQ(app.pixelAt(50, 50), kBlack);
}

TEST(OffscreenTest, FrameSavesAsAPngWithTheSamePixels) {
  engine::HeadlessApp app;
  auto* layer = engine::Layer::create();
  auto* sprite = engine::Sprite::create(enginetest::solidPng("r.png", 20, 20, kRed));
  sprite->setPosition(10, 758);  // the window's top-left corner
  layer->addChild(sprite);
  app.runLayer(layer);
  std::string path = enginetest::tempDir() + "/frame.png";
  ASSERT_TRUE(app.renderToPng(path));
  SDL_Surface* loaded = IMG_Load(path.c_str());
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(loaded->w, 1024);
  EXPECT_EQ(loaded->h, 768);
  SDL_Surface* argb = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
  auto at = [&](int x, int y) {
    return *reinterpret_cast<Uint32*>(static_cast<Uint8*>(argb->pixels) + y * argb->pitch + x * 4);
  };
  EXPECT_EQ(at(5, 5) & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(at(25, 25) & 0xFFFFFF, 0u);
  SDL_FreeSurface(argb);
  SDL_FreeSurface(loaded);
}

}  // namespace
