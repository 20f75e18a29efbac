// The window backend: an SDL window with its renderer. The loop sleeps in
// SDL_WaitEventTimeout, so an idle client uses next to no CPU.
#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "engine/platform.h"
#include "engine/sdl/sdl_canvas.h"

// Referenced by the link options of engine_sdl, so that linking the library
// brings in the registration below.
extern "C" {
int quartet_engine_sdl_backend = 0;
}

namespace engine::sdl {
namespace {

Uint32 wakeEventType() {
  static Uint32 type = SDL_RegisterEvents(1);
  return type;
}

class SdlWindowPlatform : public Platform {
 public:
  static std::unique_ptr<Platform> open(const WindowSpec& spec) {
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "1");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
      std::fprintf(stderr, "SDL: %s\n", SDL_GetError());
      return nullptr;
    }
    auto handle = std::make_shared<RendererHandle>();
    Uint32 flags = SDL_WINDOW_SHOWN | (spec.resizable ? SDL_WINDOW_RESIZABLE : 0);
    handle->window = SDL_CreateWindow(spec.title.c_str(), SDL_WINDOWPOS_CENTERED,
                                      SDL_WINDOWPOS_CENTERED, static_cast<int>(spec.size.width),
                                      static_cast<int>(spec.size.height), flags);
    if (!handle->window) {
      std::fprintf(stderr, "SDL: %s\n", SDL_GetError());
      return nullptr;
    }
    handle->renderer = SDL_CreateRenderer(handle->window, -1, SDL_RENDERER_ACCELERATED);
    if (!handle->renderer) handle->renderer = SDL_CreateRenderer(handle->window, -1, 0);
    if (!handle->renderer) {
      std::fprintf(stderr, "SDL: %s\n", SDL_GetError());
      return nullptr;
    }
    wakeEventType();
    return std::unique_ptr<Platform>(new SdlWindowPlatform(std::move(handle)));
  }

  ~SdlWindowPlatform() override = default;

  Size frameSize() const override {
    int w = 0;
    int h = 0;
    SDL_GetRendererOutputSize(canvas_.handle()->renderer, &w, &h);
    return Size(static_cast<float>(w), static_cast<float>(h));
  }
  bool hasDisplay() const override { return true; }
  void setTitle(const std::string& title) override {
    SDL_SetWindowTitle(canvas_.handle()->window, title.c_str());
  }

  std::shared_ptr<Texture> loadImage(const std::string& path) override {
    return canvas_.loadImage(path);
  }
  std::shared_ptr<Texture> renderText(const std::string& text, const TextStyle& style) override {
    return canvas_.renderText(text, style);
  }
  void beginFrame(const Color4B& clear) override { canvas_.beginFrame(clear); }
  void drawTexture(const Texture& texture, const Rect& source, const Rect& destination,
                   const Color4B& tint, bool flipX, bool flipY) override {
    canvas_.drawTexture(texture, source, destination, tint, flipX, flipY);
  }
  void fillRect(const Rect& destination, const Color4B& color) override {
    canvas_.fillRect(destination, color);
  }
  void endFrame() override {
    if (const char* path = std::getenv("QUARTET_SCREENSHOT")) saveFrame(path);
    canvas_.present();
  }

  double now() override {
    return static_cast<double>(SDL_GetPerformanceCounter()) /
           static_cast<double>(SDL_GetPerformanceFrequency());
  }

  bool pollEvent(InputEvent& out) override {
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
      if (translate(e, out)) return true;
    }
    return false;
  }

  void waitEvent(double timeoutSeconds) override {
    if (timeoutSeconds <= 0) return;
    double ms = std::ceil(timeoutSeconds * 1000);
    int timeout = ms > INT_MAX ? INT_MAX : static_cast<int>(ms);
    SDL_WaitEventTimeout(nullptr, timeout);
  }

  void wakeUp() override {
    SDL_Event e{};
    e.type = wakeEventType();
    SDL_PushEvent(&e);
  }

 private:
  explicit SdlWindowPlatform(std::shared_ptr<RendererHandle> handle) : canvas_(std::move(handle)) {}

  // QUARTET_SCREENSHOT names a PNG that receives every drawn frame: a way to
  // see the real window where no screenshot tool is at hand.
  void saveFrame(const char* path) const {
    Size size = frameSize();
    int w = static_cast<int>(size.width);
    int h = static_cast<int>(size.height);
    SDL_Surface* shot = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_ARGB8888);
    if (!shot) return;
    if (SDL_RenderReadPixels(canvas_.handle()->renderer, nullptr, SDL_PIXELFORMAT_ARGB8888,
                             shot->pixels, shot->pitch) == 0) {
      IMG_SavePNG(shot, path);
    }
    SDL_FreeSurface(shot);
  }

  // Mouse positions in renderer pixels (they differ from window units on
  // high-density screens).
  void toPixels(int x, int y, InputEvent& out) const {
    int ww = 1;
    int wh = 1;
    SDL_GetWindowSize(canvas_.handle()->window, &ww, &wh);
    Size frame = frameSize();
    out.x = static_cast<float>(x) * frame.width / static_cast<float>(std::max(1, ww));
    out.y = static_cast<float>(y) * frame.height / static_cast<float>(std::max(1, wh));
  }

  bool translate(const SDL_Event& e, InputEvent& out) const {
    switch (e.type) {
      case SDL_MOUSEBUTTONDOWN:
        if (e.button.button != SDL_BUTTON_LEFT) return false;
        out.type = InputEvent::Type::MouseDown;
        toPixels(e.button.x, e.button.y, out);
        return true;
      case SDL_MOUSEBUTTONUP:
        if (e.button.button != SDL_BUTTON_LEFT) return false;
        out.type = InputEvent::Type::MouseUp;
        toPixels(e.button.x, e.button.y, out);
        return true;
      case SDL_MOUSEMOTION:
        if (!(e.motion.state & SDL_BUTTON_LMASK)) return false;
        out.type = InputEvent::Type::MouseMove;
        toPixels(e.motion.x, e.motion.y, out);
        return true;
      case SDL_KEYDOWN:
        out.type = InputEvent::Type::KeyDown;
        switch (e.key.keysym.sym) {
          case SDLK_RETURN:
          case SDLK_KP_ENTER:
            out.key = Key::Enter;
            break;
          case SDLK_ESCAPE:
            out.key = Key::Escape;
            break;
          case SDLK_SPACE:
            out.key = Key::Space;
            break;
          default:
            out.key = Key::Other;
        }
        return true;
      case SDL_QUIT:
        out.type = InputEvent::Type::Quit;
        return true;
      case SDL_WINDOWEVENT:
        switch (e.window.event) {
          case SDL_WINDOWEVENT_MINIMIZED:
            out.type = InputEvent::Type::Minimized;
            return true;
          case SDL_WINDOWEVENT_RESTORED:
            out.type = InputEvent::Type::Restored;
            return true;
          case SDL_WINDOWEVENT_EXPOSED:
          case SDL_WINDOWEVENT_SIZE_CHANGED:
            out.type = InputEvent::Type::Exposed;
            return true;
          default:
            return false;
        }
      default:
        if (e.type == wakeEventType()) {
          out.type = InputEvent::Type::WakeUp;
          return true;
        }
        return false;
    }
  }

  Canvas canvas_;
};

const bool registered = [] {
  quartet_engine_sdl_backend = 1;
  registerPlatformFactory(&SdlWindowPlatform::open, 10);
  return true;
}();

}  // namespace
}  // namespace engine::sdl
