// Sprites: one frame, drawn over the node's content rectangle.
#include "engine/sprite.h"

#include "engine/texture_cache.h"
#include "internal.h"

namespace engine {

Sprite::Sprite() {
  setAnchorPoint(Vec2::ANCHOR_MIDDLE);
}

Sprite::~Sprite() {
  if (frame_) frame_->release();
}

namespace {
template <class Init>
Sprite* makeSprite(Sprite* sprite, Init init) {
  if (init(sprite)) {
    sprite->autorelease();
    return sprite;
  }
  delete sprite;
  return nullptr;
}
}  // namespace

Sprite* Sprite::create() {
  return makeSprite(new Sprite(), [](Sprite* s) { return s->init(); });
}

Sprite* Sprite::create(const std::string& filename) {
  return makeSprite(new Sprite(), [&](Sprite* s) { return s->initWithFile(filename); });
}

Sprite* Sprite::create(const std::string& filename, const Rect& rect) {
  return makeSprite(new Sprite(), [&](Sprite* s) { return s->initWithFile(filename, rect); });
}

Sprite* Sprite::createWithSpriteFrame(SpriteFrame* frame) {
  return makeSprite(new Sprite(), [&](Sprite* s) { return s->initWithSpriteFrame(frame); });
}

Sprite* Sprite::createWithSpriteFrameName(const std::string& name) {
  return makeSprite(new Sprite(), [&](Sprite* s) { return s->initWithSpriteFrameName(name); });
}

bool Sprite::init() {
  return Node::init();
}

bool Sprite::initWithFile(const std::string& filename) {
  auto texture = TextureCache::getInstance()->addImage(filename);
  if (!texture) return false;
  return initWithSpriteFrame(SpriteFrame::create(
      filename,
      Rect(0, 0, static_cast<float>(texture->width()), static_cast<float>(texture->height()))));
}

bool Sprite::initWithFile(const std::string& filename, const Rect& rect) {
  if (filename.empty()) return false;
  return initWithSpriteFrame(SpriteFrame::create(filename, rect));
}

bool Sprite::initWithSpriteFrame(SpriteFrame* frame) {
  if (!frame) return false;
  setSpriteFrame(frame);
  return true;
}

bool Sprite::initWithSpriteFrameName(const std::string& name) {
  return initWithSpriteFrame(SpriteFrameCache::getInstance()->getSpriteFrameByName(name));
}

void Sprite::setSpriteFrame(SpriteFrame* frame) {
  if (!frame || frame == frame_) return;
  frame->retain();
  if (frame_) frame_->release();
  frame_ = frame;
  setContentSize(frame->getOriginalSize());
  markDirty();
}

void Sprite::setSpriteFrame(const std::string& name) {
  setSpriteFrame(SpriteFrameCache::getInstance()->getSpriteFrameByName(name));
}

std::string Sprite::getTextureFilename() const {
  return frame_ ? frame_->getTextureFilename() : std::string();
}

Rect Sprite::getTextureRect() const {
  return frame_ ? frame_->getRect() : Rect::ZERO;
}

void Sprite::setFlippedX(bool flipped) {
  if (flipped == flipX_) return;
  flipX_ = flipped;
  markDirty();
}

void Sprite::setFlippedY(bool flipped) {
  if (flipped == flipY_) return;
  flipY_ = flipped;
  markDirty();
}

void Sprite::draw(const RenderContext& context, const Transform2D& nodeToWindow) {
  if (!frame_ || !context.platform) return;
  auto texture = frame_->getTexture();
  if (!texture) return;
  const Size& size = getContentSize();
  auto quad = detail::toWindow(nodeToWindow, Rect(0, 0, size.width, size.height));
  context.platform->drawTexture(*texture, frame_->getRect(), quad.rect,
                                Color4B(getColor(), getOpacity()), quad.flipX != flipX_,
                                quad.flipY != flipY_);
}

}  // namespace engine
