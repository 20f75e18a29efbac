// The full-table scene: the same node kinds, sizes and counts as a table in
// the middle of a game, built from the engine's operations only.
#include "table_scene.h"

#include <SDL.h>
#include <SDL_image.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "engine/engine.h"

namespace enginebench {
namespace {

const char* kFont = "fonts/arial.ttf";

std::string standInDir() {
  static std::string dir = [] {
    auto path = std::filesystem::temp_directory_path() /
                ("quartet-engine-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(path);
    return path.string();
  }();
  return dir;
}

// The game's image if present, else a stand-in of the given size.
std::string image(const std::string& name, int w, int h, Uint32 argb) {
  if (engine::FileUtils::getInstance()->isFileExist(name)) return name;
  std::string path = standInDir() + "/" + name;
  if (!std::filesystem::exists(path)) {
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_ARGB8888);
    SDL_FillRect(s, nullptr, argb);
    // Some structure, so the images are not one flat colour.
    for (int y = 0; y < h; y += 7) {
      SDL_Rect line{0, y, w, 1};
      SDL_FillRect(s, &line, argb ^ 0x00202020);
    }
    IMG_SavePNG(s, path.c_str());
    SDL_FreeSurface(s);
  }
  return path;
}

void registerFrames() {
  auto* cache = engine::SpriteFrameCache::getInstance();
  auto add = [&](const std::string& file, float x, float y, float w, float h,
                 const std::string& name) {
    cache->addSpriteFrame(engine::SpriteFrame::create(file, engine::Rect(x, y, w, h)), name);
  };
  std::string flower = image("poker_flower.png", 176, 42, 0xFFC02020);
  std::string num = image("poker_num.png", 507, 78, 0xFF202020);
  std::string surface = image("poker_surface.png", 393, 138, 0xFFF4F0E6);
  std::string sucai = image("sucai.png", 201, 184, 0xFF806040);
  std::string zhunbei = image("zhunbei.png", 70, 35, 0xFF40A040);
  std::string bj = image("bj.png", 1024, 768, 0xFF1E5A32);
  for (int i = 0; i < 4; ++i) {
    add(flower, 44.0f * static_cast<float>((i + 2) % 4), 0, 44, 42, "flower" + std::to_string(i));
  }
  for (int i = 0; i < 13; ++i) {
    add(num, 39.0f * static_cast<float>(i), 39, 39, 39, "r_num" + std::to_string(i));
    add(num, 39.0f * static_cast<float>(i), 0, 39, 39, "b_num" + std::to_string(i));
  }
  add(surface, 0, 0, 98, 138, "front");
  add(surface, 99, 0, 98, 138, "r_joker");
  add(surface, 197, 0, 98, 138, "b_joker");
  add(sucai, 0, 37, 201, 36, "score");
  add(sucai, 0, 74, 201, 36, "nickname");
  add(zhunbei, 0, 0, 70, 35, "zhunbei");
  add(bj, 0, 0, 1024, 768, "beijing");
}

engine::Sprite* frameSprite(const std::string& name) {
  engine::Sprite* sprite = engine::Sprite::create();
  sprite->initWithSpriteFrame(engine::SpriteFrameCache::getInstance()->getSpriteFrameByName(name));
  return sprite;
}

// A card face as the card sprite composes it: surface, rank and pip.
engine::Sprite* card(int code) {
  int rank = code / 4;
  int suit = code % 4;
  engine::Sprite* face = frameSprite("front");
  float h = face->getContentSize().height;
  engine::Sprite* number =
      frameSprite(std::string(suit < 2 ? "b_num" : "r_num") + std::to_string(rank));
  number->setScale(0.4f);
  number->setPosition(12, h - 20);
  face->addChild(number);
  engine::Sprite* pip = frameSprite("flower" + std::to_string(suit));
  pip->setScale(0.4f);
  pip->setPosition(12, h - 45);
  face->addChild(pip);
  return face;
}

engine::ui::Button* button(const std::string& name, float x, float y) {
  std::string normal = image(name + ".png", 152, 61, 0xFFD08020);
  std::string pressed = image(name + "_press.png", 152, 61, 0xFF905010);
  auto* b = engine::ui::Button::create(normal, pressed, pressed);
  b->setPosition(x, y);
  return b;
}

engine::Label* label(const std::string& text, float size, float x, float y, engine::Color3B color) {
  auto* l = engine::Label::createWithTTF(text, kFont, size, engine::Size::ZERO,
                                         engine::TextHAlignment::LEFT, engine::TextVAlignment::TOP);
  l->setPosition(x, y);
  l->setColor(color);
  return l;
}

}  // namespace

engine::Scene* buildTableScene() {
  registerFrames();
  const float W = 1024;
  const float H = 768;
  engine::Scene* scene = engine::Scene::create();
  engine::Layer* layer = engine::Layer::create();
  scene->addChild(layer);

  auto* background = frameSprite("beijing");
  background->setPosition(W / 2, H / 2);
  layer->addChild(background, -1);
  layer->addChild(button("return", W - 18, H - 18));
  layer->addChild(button("put", W / 2 - 100, 170), 2);
  layer->addChild(button("noput", W / 2 + 100, 170), 2);
  layer->addChild(button("ready", W / 2, 170), 2);
  auto* score = frameSprite("score");
  score->setPosition(100.5f, 750);
  layer->addChild(score);
  layer->addChild(label("0", 20, W / 2, H / 2, engine::Color3B::WHITE));
  layer->addChild(label("120", 25, 80, 750, engine::Color3B::BLACK));
  layer->addChild(label("85", 25, 170, 750, engine::Color3B::BLACK));
  layer->addChild(label("35", 40, W / 2, H / 2 + 30, engine::Color3B::WHITE));

  // Four seats: name, count, countdown, ready marker, "over", "pass".
  const float seatX[4] = {W / 2 - 35, W - 135, W / 2 - 35, 70};
  const float seatY[4] = {18, 636, 750, 636};
  const char* names[4] = {"player", "张三", "bob", "李四"};
  std::string digits = image("num.png", 140, 21, 0xFFF0D040);
  for (int s = 0; s < 4; ++s) {
    layer->addChild(label(names[s], 15, seatX[s], seatY[s], engine::Color3B::RED), s ? 3 : 30);
    layer->addChild(label("27", 15, seatX[s], seatY[s] - 15, engine::Color3B::WHITE));
    auto* clock = engine::LabelAtlas::create("30", digits, 14, 21, '0');
    clock->setPosition(W / 2 + 140, seatY[s] - 20);
    layer->addChild(clock);
    auto* ready = frameSprite("zhunbei");
    ready->setPosition(W / 2, H / 2 - 200);
    layer->addChild(ready);
    layer->addChild(label("over", 15, W / 2, H / 2 - 200, engine::Color3B::RED));
    layer->addChild(label("pass", 15, W / 2 + 350, H / 2, engine::Color3B::RED));
    // The seat's last play: six cards.
    for (int k = 0; k < 6; ++k) {
      auto* played = card((s * 13 + k * 5) % 52);
      played->setPosition(static_cast<float>(312 - 100 * (s % 2) + 98 + 18 * k),
                          static_cast<float>(250 + 110 * s));
      layer->addChild(played);
    }
  }
  // The hand: 27 cards laid out as the table does.
  for (int k = 0; k < 27; ++k) {
    auto* c = card((k * 7) % 52);
    c->setPosition(W / 2 - 9 * 26 + 18.0f * static_cast<float>(k) + 98 / 4.0f,
                   k % 5 == 0 ? 70.0f : 45.0f);
    layer->addChild(c, 1);
  }
  return scene;
}

int countNodes(const engine::Node* root) {
  int n = 1;
  for (const engine::Node* child : root->getChildren()) n += countNodes(child);
  return n;
}

}  // namespace enginebench
