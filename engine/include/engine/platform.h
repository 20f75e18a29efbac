// The one interface between the engine core and the machine: textures from
// image files and text, drawing of textured and plain rectangles, presenting a
// frame, the clock, and input. The SDL window and the headless backend
// implement it; the core never sees SDL.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "engine/types.h"

namespace engine {

// A picture the platform can draw: an image file or a rendered text.
class Texture {
 public:
  virtual ~Texture() = default;
  virtual int width() const = 0;
  virtual int height() const = 0;
  // The mean colour of the opaque pixels (white when unknown); lets the engine
  // draw strokes that match a character map's glyphs.
  virtual Color4B averageColor() const { return Color4B::WHITE; }
};

enum class TextHAlignment { LEFT, CENTER, RIGHT };
enum class TextVAlignment { TOP, CENTER, BOTTOM };

struct TextStyle {
  // A font file path; empty picks the platform's default user-interface font.
  // Glyphs the font lacks (Chinese names, for one) come from a fallback font.
  std::string fontFile;
  float fontSize = 12;
  TextHAlignment align = TextHAlignment::LEFT;
  // Lines longer than this wrap at word or CJK character boundaries; 0: no wrapping.
  float wrapWidth = 0;
};

enum class Key { Enter, Escape, Space, Other };

struct InputEvent {
  enum class Type {
    MouseDown,
    MouseMove,
    MouseUp,
    KeyDown,
    Quit,
    Minimized,
    Restored,
    Exposed,
    WakeUp,
  };
  Type type = Type::WakeUp;
  // Window pixels, origin at the top-left corner, y down.
  float x = 0;
  float y = 0;
  Key key = Key::Other;
};

class Platform {
 public:
  virtual ~Platform() = default;

  // The drawable size in pixels.
  virtual Size frameSize() const = 0;
  // False where nobody can see or close a box (the headless backend).
  virtual bool hasDisplay() const = 0;
  virtual void setTitle(const std::string& /*title*/) {}

  // Null when the file cannot be read.
  virtual std::shared_ptr<Texture> loadImage(const std::string& path) = 0;
  // White text on transparent, to be tinted when drawn. Null for the empty text.
  virtual std::shared_ptr<Texture> renderText(const std::string& text, const TextStyle& style) = 0;

  // Drawing happens between beginFrame and endFrame, in window pixels with the
  // origin at the top-left corner. `source` is in texture pixels, top-left
  // origin. The tint multiplies the texture's colours and alpha.
  virtual void beginFrame(const Color4B& clear) = 0;
  virtual void drawTexture(const Texture& texture, const Rect& source, const Rect& destination,
                           const Color4B& tint, bool flipX, bool flipY) = 0;
  virtual void fillRect(const Rect& destination, const Color4B& color) = 0;
  virtual void endFrame() = 0;

  // Seconds on a monotonic clock.
  virtual double now() = 0;
  // Takes the next queued input event, without waiting.
  virtual bool pollEvent(InputEvent& event) = 0;
  // Sleeps until an input event is queued or `timeoutSeconds` have passed.
  virtual void waitEvent(double timeoutSeconds) = 0;
  // Safe from any thread: ends a waitEvent early (queues a WakeUp event).
  virtual void wakeUp() = 0;
};

struct WindowSpec {
  std::string title;
  Size size{1024, 768};
  float frameZoomFactor = 1.0f;
  bool resizable = false;
};

// Backends register how they open a window; the highest priority wins.
// Linking engine_sdl registers the SDL window, linking engine_headless the
// offscreen surface (which wins, since a binary with it is a test).
using PlatformFactory = std::function<std::unique_ptr<Platform>(const WindowSpec&)>;
void registerPlatformFactory(PlatformFactory factory, int priority);
// A platform from the registered factory; without any, one that draws nothing.
std::unique_ptr<Platform> createPlatform(const WindowSpec& spec);

}  // namespace engine
