// The player's hand: its layout and the selection of cards by touch.
#include "cards/card_sprite.h"
#include "desk_scene_internal.h"
#include "engine/director.h"
#include "scenes/desk_scene.h"

namespace {

// A touch this far above a card's top edge is no longer aimed at the hand.
constexpr float kTouchReach = 30.0f;

}  // namespace

void CDeskScene::layoutHand() {
  const float width = engine::Director::getInstance()->getVisibleSize().width;
  const int count = static_cast<int>(handCards.size());
  for (int k = 0; k < count; ++k) {
    CardSprite* card = handCards[k];
    card->setPosition(desk::handCardX(width, count, k, card->getContentSize().width), desk::kHandY);
    card->selected = false;
  }
}

CardList CDeskScene::collectSelected() const {
  CardList codes;
  for (const CardSprite* card : handCards) {
    if (card->selected) codes.push_back(card->cardCode);
  }
  return codes;
}

bool CDeskScene::onTouchBegan(engine::Touch* touch, engine::Event* /*event*/) {
  touchHandAt(touch->getLocation(), false);
  return true;
}

void CDeskScene::onTouchMoved(engine::Touch* touch, engine::Event* /*event*/) {
  touchHandAt(touch->getLocation(), true);
}

void CDeskScene::touchHandAt(const engine::Vec2& location, bool skipLastTouched) {
  // From the right: each card is drawn over its left-hand neighbour.
  for (auto it = handCards.rbegin(); it != handCards.rend(); ++it) {
    CardSprite* card = *it;
    const engine::Rect box = card->getBoundingBox();
    if (location.y > box.getMaxY() + kTouchReach) return;
    if (!box.containsPoint(location)) continue;
    if (skipLastTouched && card == lastTouchedCard) return;
    lastTouchedCard = card;
    toggleCard(card);
    return;
  }
}

void CDeskScene::toggleCard(CardSprite* card) {
  card->selected = !card->selected;
  card->setPosition(card->getPositionX(), card->selected ? desk::kRaisedHandY : desk::kHandY);
}

void CDeskScene::removeCard(CardSprite* card) {
  // A freed card's address may come back for a new card, which must not then
  // count as the one touched last.
  if (card == lastTouchedCard) lastTouchedCard = nullptr;
  removeChild(card, true);
}

void CDeskScene::removeFromLayer(std::vector<CardSprite*>& cards) {
  for (CardSprite* card : cards) removeCard(card);
  cards.clear();
}
