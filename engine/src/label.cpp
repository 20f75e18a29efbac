// TrueType labels: the text is rendered by the platform when it changes.
#include "engine/label.h"

#include "engine/file_utils.h"
#include "internal.h"

namespace engine {

Label::Label() {
  setAnchorPoint(Vec2::ANCHOR_MIDDLE);
}
Label::~Label() = default;

Label* Label::createWithTTF(const std::string& text, const std::string& fontFilePath,
                            float fontSize, const Size& dimensions, TextHAlignment hAlignment,
                            TextVAlignment vAlignment) {
  auto* label = new Label();
  if (label->initWithTTF(text, fontFilePath, fontSize, dimensions, hAlignment, vAlignment)) {
    label->autorelease();
    return label;
  }
  delete label;
  return nullptr;
}

Label* Label::createWithSystemFont(const std::string& text, const std::string& /*fontName*/,
                                   float fontSize, const Size& dimensions,
                                   TextHAlignment hAlignment, TextVAlignment vAlignment) {
  return createWithTTF(text, "", fontSize, dimensions, hAlignment, vAlignment);
}

Label* Label::create() {
  return createWithTTF("", "", 12);
}

bool Label::initWithTTF(const std::string& text, const std::string& fontFilePath, float fontSize,
                        const Size& dimensions, TextHAlignment hAlignment,
                        TextVAlignment vAlignment) {
  if (!Node::init() || fontSize <= 0) return false;
  text_ = text;
  fontFile_ = fontFilePath;
  fontSize_ = fontSize;
  dimensions_ = dimensions;
  hAlignment_ = hAlignment;
  vAlignment_ = vAlignment;
  updateTexture();
  return true;
}

void Label::updateTexture() {
  Platform* platform = detail::currentPlatform();
  texture_.reset();
  if (platform && !text_.empty()) {
    TextStyle style;
    style.fontFile =
        fontFile_.empty() ? "" : FileUtils::getInstance()->fullPathForFilename(fontFile_);
    style.fontSize = fontSize_;
    style.align = hAlignment_;
    style.wrapWidth = dimensions_.width > 0 ? dimensions_.width : maxLineWidth_;
    texture_ = platform->renderText(text_, style);
  }
  Size textSize =
      texture_ ? Size(static_cast<float>(texture_->width()), static_cast<float>(texture_->height()))
               : Size::ZERO;
  Size size = textSize;
  if (dimensions_.width > 0) size.width = dimensions_.width;
  if (dimensions_.height > 0) size.height = dimensions_.height;
  setContentSize(size);
  markDirty();
}

void Label::setString(const std::string& text) {
  if (text == text_) return;
  text_ = text;
  updateTexture();
}

void Label::setDimensions(float width, float height) {
  Size dimensions(width, height);
  if (dimensions == dimensions_) return;
  dimensions_ = dimensions;
  updateTexture();
}

void Label::setAlignment(TextHAlignment hAlignment) {
  setHorizontalAlignment(hAlignment);
}

void Label::setAlignment(TextHAlignment hAlignment, TextVAlignment vAlignment) {
  setHorizontalAlignment(hAlignment);
  setVerticalAlignment(vAlignment);
}

void Label::setHorizontalAlignment(TextHAlignment hAlignment) {
  if (hAlignment == hAlignment_) return;
  hAlignment_ = hAlignment;
  updateTexture();
}

void Label::setVerticalAlignment(TextVAlignment vAlignment) {
  if (vAlignment == vAlignment_) return;
  vAlignment_ = vAlignment;
  markDirty();
}

void Label::setMaxLineWidth(float width) {
  if (width == maxLineWidth_) return;
  maxLineWidth_ = width;
  updateTexture();
}

void Label::setTextColor(const Color4B& color) {
  setColor(Color3B(color.r, color.g, color.b));
  setOpacity(color.a);
}

void Label::draw(const RenderContext& context, const Transform2D& nodeToWindow) {
  if (!context.platform) return;
  // A label made before the view existed renders on first draw.
  if (!texture_ && !text_.empty()) updateTexture();
  if (!texture_) return;
  const Size& box = getContentSize();
  float w = static_cast<float>(texture_->width());
  float h = static_cast<float>(texture_->height());
  float x = 0;
  if (hAlignment_ == TextHAlignment::CENTER) x = (box.width - w) / 2;
  if (hAlignment_ == TextHAlignment::RIGHT) x = box.width - w;
  float y = box.height - h;
  if (vAlignment_ == TextVAlignment::CENTER) y = (box.height - h) / 2;
  if (vAlignment_ == TextVAlignment::BOTTOM) y = 0;
  auto quad = detail::toWindow(nodeToWindow, Rect(x, y, w, h));
  context.platform->drawTexture(*texture_, Rect(0, 0, w, h), quad.rect,
                                Color4B(getColor(), getOpacity()), quad.flipX, quad.flipY);
}

}  // namespace engine
