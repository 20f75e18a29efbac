// SDL renderer drawing and image loading.
#include "engine/sdl/sdl_canvas.h"

#include <SDL_image.h>

#include <algorithm>
#include <cmath>

namespace engine::sdl {

RendererHandle::~RendererHandle() {
  if (renderer) SDL_DestroyRenderer(renderer);
  if (window) SDL_DestroyWindow(window);
  if (surface) SDL_FreeSurface(surface);
}

SdlTexture::SdlTexture(std::shared_ptr<RendererHandle> owner, SDL_Texture* texture, int w, int h,
                       Color4B average, bool opaque)
    : owner_(std::move(owner)),
      texture_(texture),
      w_(w),
      h_(h),
      average_(average),
      opaque_(opaque) {}

SdlTexture::~SdlTexture() {
  SDL_DestroyTexture(texture_);
}

Canvas::Canvas(std::shared_ptr<RendererHandle> handle) : handle_(std::move(handle)) {
  SDL_SetRenderDrawBlendMode(handle_->renderer, SDL_BLENDMODE_BLEND);
}

namespace {
// Mean colour of the clearly opaque pixels of a small image.
Color4B meanOpaqueColor(SDL_Surface* surface) {
  constexpr long kMaxPixels = 512 * 512;
  if (static_cast<long>(surface->w) * surface->h > kMaxPixels) return Color4B::WHITE;
  SDL_Surface* argb = SDL_ConvertSurfaceFormat(surface, SDL_PIXELFORMAT_ARGB8888, 0);
  if (!argb) return Color4B::WHITE;
  double r = 0, g = 0, b = 0;
  long count = 0;
  SDL_LockSurface(argb);
  for (int y = 0; y < argb->h; ++y) {
    const auto* row =
        reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(argb->pixels) + y * argb->pitch);
    for (int x = 0; x < argb->w; ++x) {
      Uint32 p = row[x];
      if ((p >> 24) < 128) continue;
      r += (p >> 16) & 0xff;
      g += (p >> 8) & 0xff;
      b += p & 0xff;
      ++count;
    }
  }
  SDL_UnlockSurface(argb);
  SDL_FreeSurface(argb);
  if (count == 0) return Color4B::WHITE;
  auto mean = [count](double sum) { return static_cast<Uint8>(std::lround(sum / count)); };
  return Color4B(mean(r), mean(g), mean(b), 255);
}
}  // namespace

namespace {
bool fullyOpaque(SDL_Surface* argb) {
  SDL_LockSurface(argb);
  bool opaque = true;
  for (int y = 0; y < argb->h && opaque; ++y) {
    const auto* row =
        reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(argb->pixels) + y * argb->pitch);
    for (int x = 0; x < argb->w; ++x) {
      if ((row[x] >> 24) != 0xff) {
        opaque = false;
        break;
      }
    }
  }
  SDL_UnlockSurface(argb);
  return opaque;
}
}  // namespace

std::shared_ptr<Texture> Canvas::fromSurface(SDL_Surface* loaded, bool measureColor) {
  if (!loaded) return nullptr;
  // One pixel format for everything: blits between equal formats are the
  // fast ones in the software renderer.
  SDL_Surface* surface = loaded->format->format == SDL_PIXELFORMAT_ARGB8888
                             ? loaded
                             : SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
  if (surface != loaded) SDL_FreeSurface(loaded);
  if (!surface) return nullptr;
  Color4B average = measureColor ? meanOpaqueColor(surface) : Color4B::WHITE;
  // Opaque images (the felt) are copied, not blended: much cheaper per pixel.
  bool opaque = measureColor && fullyOpaque(surface);
  SDL_Texture* texture = SDL_CreateTextureFromSurface(handle_->renderer, surface);
  int w = surface->w;
  int h = surface->h;
  SDL_FreeSurface(surface);
  if (!texture) return nullptr;
  SDL_SetTextureBlendMode(texture, opaque ? SDL_BLENDMODE_NONE : SDL_BLENDMODE_BLEND);
  return std::make_shared<SdlTexture>(handle_, texture, w, h, average, opaque);
}

std::shared_ptr<Texture> Canvas::loadImage(const std::string& path) {
  return fromSurface(IMG_Load(path.c_str()), true);
}

std::shared_ptr<Texture> Canvas::renderText(const std::string& text, const TextStyle& style) {
  return fromSurface(renderTextSurface(text, style), false);
}

void Canvas::beginFrame(const Color4B& clear) {
  SDL_SetRenderDrawColor(handle_->renderer, clear.r, clear.g, clear.b, clear.a);
  SDL_RenderClear(handle_->renderer);
}

void Canvas::drawTexture(const Texture& texture, const Rect& source, const Rect& destination,
                         const Color4B& tint, bool flipX, bool flipY) {
  const auto& t = static_cast<const SdlTexture&>(texture);
  SDL_SetTextureColorMod(t.get(), tint.r, tint.g, tint.b);
  SDL_SetTextureAlphaMod(t.get(), tint.a);
  if (t.opaque()) {
    // A faded opaque image needs blending after all.
    SDL_SetTextureBlendMode(t.get(), tint.a < 255 ? SDL_BLENDMODE_BLEND : SDL_BLENDMODE_NONE);
  }
  SDL_Rect src{static_cast<int>(std::lround(source.origin.x)),
               static_cast<int>(std::lround(source.origin.y)),
               static_cast<int>(std::lround(source.size.width)),
               static_cast<int>(std::lround(source.size.height))};
  SDL_FRect dst{destination.origin.x, destination.origin.y, destination.size.width,
                destination.size.height};
  int flip = (flipX ? SDL_FLIP_HORIZONTAL : 0) | (flipY ? SDL_FLIP_VERTICAL : 0);
  if (flip) {
    SDL_RenderCopyExF(handle_->renderer, t.get(), &src, &dst, 0, nullptr,
                      static_cast<SDL_RendererFlip>(flip));
  } else {
    SDL_RenderCopyF(handle_->renderer, t.get(), &src, &dst);
  }
}

void Canvas::fillRect(const Rect& destination, const Color4B& color) {
  SDL_SetRenderDrawColor(handle_->renderer, color.r, color.g, color.b, color.a);
  SDL_FRect dst{destination.origin.x, destination.origin.y, destination.size.width,
                destination.size.height};
  SDL_RenderFillRectF(handle_->renderer, &dst);
}

void Canvas::present() {
  SDL_RenderPresent(handle_->renderer);
}

}  // namespace engine::sdl
