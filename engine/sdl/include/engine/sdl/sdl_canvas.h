// Drawing with an SDL renderer, shared by the window and the headless backend:
// textures from image files and from text (with a CJK fallback font found by
// fontconfig), tinted quads, filled rectangles.
#pragma once

#include <SDL.h>

#include <memory>
#include <string>

#include "engine/platform.h"

namespace engine::sdl {

// Owns the renderer and what it draws into. Textures hold it, so it outlives
// every texture made with it.
struct RendererHandle {
  SDL_Window* window = nullptr;
  SDL_Surface* surface = nullptr;
  SDL_Renderer* renderer = nullptr;
  ~RendererHandle();
};

class SdlTexture : public Texture {
 public:
  SdlTexture(std::shared_ptr<RendererHandle> owner, SDL_Texture* texture, int w, int h,
             Color4B average, bool opaque);
  ~SdlTexture() override;
  SdlTexture(const SdlTexture&) = delete;
  SdlTexture& operator=(const SdlTexture&) = delete;

  int width() const override { return w_; }
  int height() const override { return h_; }
  Color4B averageColor() const override { return average_; }
  SDL_Texture* get() const { return texture_; }
  // Every pixel opaque: drawn without blending.
  bool opaque() const { return opaque_; }

 private:
  std::shared_ptr<RendererHandle> owner_;
  SDL_Texture* texture_;
  int w_;
  int h_;
  Color4B average_;
  bool opaque_;
};

class Canvas {
 public:
  explicit Canvas(std::shared_ptr<RendererHandle> handle);

  std::shared_ptr<Texture> loadImage(const std::string& path);
  std::shared_ptr<Texture> renderText(const std::string& text, const TextStyle& style);
  void beginFrame(const Color4B& clear);
  void drawTexture(const Texture& texture, const Rect& source, const Rect& destination,
                   const Color4B& tint, bool flipX, bool flipY);
  void fillRect(const Rect& destination, const Color4B& color);
  void present();

  const std::shared_ptr<RendererHandle>& handle() const { return handle_; }

 private:
  std::shared_ptr<Texture> fromSurface(SDL_Surface* surface, bool measureColor);
  std::shared_ptr<RendererHandle> handle_;
};

// White text on transparent, ARGB8888; null for the empty text. Lines break
// at '\n' and, with a wrap width, between words and between CJK characters.
SDL_Surface* renderTextSurface(const std::string& text, const TextStyle& style);

// The file of a font that has the code point, found with fontconfig; empty if none.
std::string fallbackFontFor(std::uint32_t codePoint, int* faceIndex);
// The default user-interface font: a CJK-capable sans-serif.
std::string defaultFontFile(int* faceIndex);

}  // namespace engine::sdl
