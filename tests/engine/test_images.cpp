// PNG files drawn with SDL surfaces for the engine tests.
#include "test_images.h"

#include <SDL.h>
#include <SDL_image.h>
#include <unistd.h>

#include <filesystem>

namespace enginetest {

std::string tempDir() {
  static std::string dir = [] {
    auto path = std::filesystem::temp_directory_path() /
                ("quartet-engine-test-" + std::to_string(getpid()));
    std::filesystem::create_directories(path);
    return path.string();
  }();
  return dir;
}

namespace {
std::string save(SDL_Surface* s, const std::string& name) {
  std::string path = tempDir() + "/" + name;
  IMG_SavePNG(s, path.c_str());
  SDL_FreeSurface(s);
  return path;
}

void fill(SDL_Surface* s, int x, int y, int w, int h, engine::Color4B c) {
  SDL_Rect r{x, y, w, h};
  SDL_FillRect(s, &r, SDL_MapRGBA(s->format, c.r, c.g, c.b, c.a));
}

SDL_Surface* blank(int w, int h) {
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_ARGB8888);
  SDL_FillRect(s, nullptr, SDL_MapRGBA(s->format, 0, 0, 0, 0));
  return s;
}
}  // namespace

std::string solidPng(const std::string& name, int w, int h, engine::Color4B color) {
  SDL_Surface* s = blank(w, h);
  fill(s, 0, 0, w, h, color);
  return save(s, name);
}

std::string splitPng(const std::string& name, int w, int h, engine::Color4B top,
                     engine::Color4B bottom) {
  SDL_Surface* s = blank(w, h);
  fill(s, 0, 0, w, h / 2, top);
  fill(s, 0, h / 2, w, h - h / 2, bottom);
  return save(s, name);
}

std::string digitsPng(const std::string& name, int w, int h, engine::Color4B color) {
  SDL_Surface* s = blank(w * 10, h);
  for (int i = 0; i < 10; ++i) fill(s, i * w + 1, 1, w - 2, h - 2, color);
  return save(s, name);
}

}  // namespace enginetest
