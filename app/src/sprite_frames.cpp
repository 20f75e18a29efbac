// The frame table: names, image files and rectangles (image pixels, origin at
// the top-left corner) of every frame the scenes draw.
#include "app/sprite_frames.h"

#include <vector>

#include "engine/file_utils.h"
#include "engine/sprite_frame.h"

namespace {

struct stFrameSpec {
  std::string name;
  const char* file;
  float x, y, width, height;
};

std::string registerFrames(const std::vector<stFrameSpec>& specs) {
  std::string missing;
  auto* cache = engine::SpriteFrameCache::getInstance();
  for (const stFrameSpec& spec : specs) {
    // Frames load their image when first drawn, so look for the file now.
    if (missing.empty() && !engine::FileUtils::getInstance()->isFileExist(spec.file)) {
      missing = spec.file;
    }
    cache->addSpriteFrame(engine::SpriteFrame::create(
                              spec.file, engine::Rect(spec.x, spec.y, spec.width, spec.height)),
                          spec.name);
  }
  return missing;
}

std::string firstOf(const std::string& a, const std::string& b) {
  return a.empty() ? b : a;
}

}  // namespace

std::string registerCardFrames() {
  std::vector<stFrameSpec> specs = {
      {"flower2", "poker_flower.png", 0, 0, 44, 42},
      {"flower0", "poker_flower.png", 44, 0, 44, 42},
      {"flower3", "poker_flower.png", 88, 0, 44, 42},
      {"flower1", "poker_flower.png", 132, 0, 44, 42},
  };
  // The red row of rank glyphs lies under the black one.
  for (int i = 0; i < 13; ++i) {
    const float x = 39.0f * static_cast<float>(i);
    specs.push_back({"r_num" + std::to_string(i), "poker_num.png", x, 39, 39, 39});
    specs.push_back({"b_num" + std::to_string(i), "poker_num.png", x, 0, 39, 39});
  }
  specs.push_back({"front", "poker_surface.png", 0, 0, 98, 138});
  specs.push_back({"r_joker", "poker_surface.png", 99, 0, 98, 138});
  specs.push_back({"b_joker", "poker_surface.png", 197, 0, 98, 138});
  specs.push_back({"back", "poker_surface.png", 295, 0, 98, 138});
  return registerFrames(specs);
}

std::string registerInterfaceFrames() {
  return registerFrames({
      {"login", "login.png", 0, 0, 350, 60},
      {"nick", "nick.png", 0, 0, 350, 60},
      {"pass", "pass.png", 0, 0, 350, 60},
      {"rpass", "rpass.png", 0, 0, 350, 60},
      {"sep", "sep.png", 0, 0, 10, 768},
      {"add_desk_bg", "add_desk_bg.png", 0, 0, 323, 60},
      {"return", "sucai.png", 0, 0, 36, 36},
      {"score", "sucai.png", 0, 37, 201, 36},
      {"nickname", "sucai.png", 0, 74, 201, 36},
      {"win", "sucai.png", 0, 111, 201, 36},
      {"surplus", "sucai.png", 0, 148, 201, 36},
  });
}

std::string registerTableFrames() {
  return registerFrames({
      {"noputbtn", "poker_play_card.png", 0, 0, 152, 61},
      {"putbtn", "poker_play_card.png", 152, 0, 152, 61},
      {"zhunbei", "zhunbei.png", 0, 0, 70, 35},
      {"beijing", "bj.png", 0, 0, 1024, 768},
  });
}

std::string registerSpriteFrames() {
  std::string missing = registerCardFrames();
  missing = firstOf(missing, registerInterfaceFrames());
  return firstOf(missing, registerTableFrames());
}
