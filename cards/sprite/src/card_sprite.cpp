// Composition of a card face from the registered frames.
#include "cards/card_sprite.h"

#include "cards/card_face.h"
#include "engine/sprite_frame.h"

namespace {

constexpr float kCornerScale = 0.4f;
constexpr float kCornerX = 12.0f;
constexpr float kNumberBelowTop = 20.0f;
constexpr float kPipBelowTop = 45.0f;

engine::SpriteFrame* frameNamed(const std::string& name) {
  return engine::SpriteFrameCache::getInstance()->getSpriteFrameByName(name);
}

void addCorner(CardSprite* card, const std::string& frameName, float belowTop) {
  engine::Sprite* corner = engine::Sprite::createWithSpriteFrame(frameNamed(frameName));
  if (corner == nullptr) return;
  corner->setScale(kCornerScale);
  corner->setPosition(kCornerX, card->getContentSize().height - belowTop);
  card->addChild(corner);
}

}  // namespace

CardSprite* CardSprite::create() {
  auto* sprite = new CardSprite();
  if (!sprite->Sprite::init()) {
    delete sprite;
    return nullptr;
  }
  sprite->autorelease();
  return sprite;
}

CardSprite::~CardSprite() = default;

CardSprite* CardSprite::createWithCode(std::int32_t code) {
  CardSprite* card = create();
  if (card == nullptr) return nullptr;
  card->cardCode = code;
  const cards::stCardFace face = cards::cardFace(code);
  card->initWithSpriteFrame(frameNamed(face.surface));
  if (!face.number.empty()) addCorner(card, face.number, kNumberBelowTop);
  if (!face.pip.empty()) addCorner(card, face.pip, kPipBelowTop);
  return card;
}
