// Character-map labels. Digit maps hold no minus sign, yet a countdown that
// runs out goes below zero; the minus is drawn as a bar in the glyphs' colour.
#include "engine/label_atlas.h"

#include <algorithm>

#include "engine/texture_cache.h"
#include "internal.h"

namespace engine {

LabelAtlas* LabelAtlas::create(const std::string& text, const std::string& charMapFile,
                               int itemWidth, int itemHeight, int startCharMap) {
  auto* label = new LabelAtlas();
  if (label->initWithString(text, charMapFile, itemWidth, itemHeight, startCharMap)) {
    label->autorelease();
    return label;
  }
  delete label;
  return nullptr;
}

LabelAtlas* LabelAtlas::create() {
  auto* label = new LabelAtlas();
  label->setAnchorPoint(Vec2::ANCHOR_MIDDLE);
  label->autorelease();
  return label;
}

bool LabelAtlas::initWithString(const std::string& text, const std::string& charMapFile,
                                int itemWidth, int itemHeight, int startCharMap) {
  if (!Node::init() || itemWidth <= 0 || itemHeight <= 0) return false;
  setAnchorPoint(Vec2::ANCHOR_MIDDLE);
  text_ = text;
  charMapFile_ = charMapFile;
  itemWidth_ = itemWidth;
  itemHeight_ = itemHeight;
  startChar_ = startCharMap;
  updateSize();
  return true;
}

void LabelAtlas::setString(const std::string& text) {
  if (text == text_) return;
  text_ = text;
  updateSize();
  markDirty();
}

void LabelAtlas::updateSize() {
  setContentSize(Size(static_cast<float>(itemWidth_ * static_cast<int>(text_.size())),
                      static_cast<float>(itemHeight_)));
}

void LabelAtlas::draw(const RenderContext& context, const Transform2D& nodeToWindow) {
  if (!context.platform || text_.empty()) return;
  auto texture = TextureCache::getInstance()->addImage(charMapFile_);
  int columns = texture ? texture->width() / itemWidth_ : 0;
  int rows = texture ? texture->height() / itemHeight_ : 0;
  int cells = columns * rows;
  Color4B tint(getColor(), getOpacity());
  float w = static_cast<float>(itemWidth_);
  float h = static_cast<float>(itemHeight_);
  for (std::size_t i = 0; i < text_.size(); ++i) {
    int c = static_cast<unsigned char>(text_[i]);
    int index = c - startChar_;
    float x = w * static_cast<float>(i);
    if (texture && index >= 0 && index < cells) {
      Rect source(w * static_cast<float>(index % columns), h * static_cast<float>(index / columns),
                  w, h);
      auto quad = detail::toWindow(nodeToWindow, Rect(x, 0, w, h));
      context.platform->drawTexture(*texture, source, quad.rect, tint, quad.flipX, quad.flipY);
    } else if (c == '-') {
      Color4B glyph = texture ? texture->averageColor() : Color4B::WHITE;
      Color4B bar(static_cast<std::uint8_t>(glyph.r * tint.r / 255),
                  static_cast<std::uint8_t>(glyph.g * tint.g / 255),
                  static_cast<std::uint8_t>(glyph.b * tint.b / 255),
                  static_cast<std::uint8_t>(glyph.a * tint.a / 255));
      float thickness = std::max(2.0f, h / 7);
      auto quad = detail::toWindow(nodeToWindow,
                                   Rect(x + w * 0.15f, (h - thickness) / 2, w * 0.7f, thickness));
      context.platform->fillRect(quad.rect, bar);
    }
  }
}

}  // namespace engine
