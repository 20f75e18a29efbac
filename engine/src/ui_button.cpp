// Buttons: three faces, chosen by the enabled and pressed state.
#include "engine/ui_button.h"

#include "engine/sprite_frame.h"
#include "engine/texture_cache.h"
#include "internal.h"

namespace engine::ui {

Button* Button::create(const std::string& normalImage, const std::string& selectedImage,
                       const std::string& disableImage, TextureResType texType) {
  auto* button = new Button();
  if (button->init(normalImage, selectedImage, disableImage, texType)) {
    button->autorelease();
    return button;
  }
  delete button;
  return nullptr;
}

Button* Button::create() {
  return create("", "", "");
}

bool Button::init(const std::string& normalImage, const std::string& selectedImage,
                  const std::string& disableImage, TextureResType texType) {
  if (!Widget::init()) return false;
  loadTextures(normalImage, selectedImage, disableImage, texType);
  return true;
}

void Button::loadTextures(const std::string& normal, const std::string& selected,
                          const std::string& disabled, TextureResType texType) {
  loadTextureNormal(normal, texType);
  loadTexturePressed(selected, texType);
  loadTextureDisabled(disabled, texType);
}

namespace {
Size faceSize(const std::string& name, Widget::TextureResType type) {
  if (name.empty()) return Size::ZERO;
  if (type == Widget::TextureResType::PLIST) {
    SpriteFrame* frame = SpriteFrameCache::getInstance()->getSpriteFrameByName(name);
    return frame ? frame->getOriginalSize() : Size::ZERO;
  }
  auto texture = TextureCache::getInstance()->addImage(name);
  return texture ? Size(static_cast<float>(texture->width()), static_cast<float>(texture->height()))
                 : Size::ZERO;
}
}  // namespace

void Button::loadTextureNormal(const std::string& normal, TextureResType texType) {
  normal_ = {normal, texType};
  setContentSize(faceSize(normal, texType));
  markDirty();
}

void Button::loadTexturePressed(const std::string& selected, TextureResType texType) {
  pressed_ = {selected, texType};
  markDirty();
}

void Button::loadTextureDisabled(const std::string& disabled, TextureResType texType) {
  disabled_ = {disabled, texType};
  markDirty();
}

Button::State Button::getShownState() const {
  if (!isEnabled()) return State::DISABLED;
  if (isHighlighted()) return State::PRESSED;
  return State::NORMAL;
}

const Button::Face& Button::shownFace() const {
  switch (getShownState()) {
    case State::DISABLED:
      return disabled_.name.empty() ? normal_ : disabled_;
    case State::PRESSED:
      return pressed_.name.empty() ? normal_ : pressed_;
    case State::NORMAL:
      break;
  }
  return normal_;
}

const std::string& Button::getShownImage() const {
  return shownFace().name;
}

void Button::onPressStateChanged() {
  markDirty();
}

void Button::draw(const RenderContext& context, const Transform2D& nodeToWindow) {
  drawFace(shownFace(), context, nodeToWindow);
}

void Button::drawFace(const Face& face, const RenderContext& context,
                      const Transform2D& nodeToWindow) {
  if (!context.platform || face.name.empty()) return;
  std::shared_ptr<Texture> texture;
  Rect source;
  if (face.type == TextureResType::PLIST) {
    SpriteFrame* frame = SpriteFrameCache::getInstance()->getSpriteFrameByName(face.name);
    if (!frame) return;
    texture = frame->getTexture();
    source = frame->getRect();
  } else {
    texture = TextureCache::getInstance()->addImage(face.name);
    if (texture) {
      source =
          Rect(0, 0, static_cast<float>(texture->width()), static_cast<float>(texture->height()));
    }
  }
  if (!texture) return;
  // A face of another size than the normal one is drawn centred at its own size.
  const Size& box = getContentSize();
  Rect target((box.width - source.size.width) / 2, (box.height - source.size.height) / 2,
              source.size.width, source.size.height);
  auto quad = detail::toWindow(nodeToWindow, target);
  context.platform->drawTexture(*texture, source, quad.rect, Color4B(getColor(), getOpacity()),
                                quad.flipX, quad.flipY);
}

}  // namespace engine::ui
