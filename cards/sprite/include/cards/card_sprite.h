// The on-screen form of one card: a sprite showing the face of a card code and
// carrying the code and the selection flag that the table reads and changes.
#pragma once

#include <cstdint>

#include "engine/sprite.h"

class CardSprite : public engine::Sprite {
 public:
  static CardSprite* create();
  // An autoreleased sprite with the face of `code`, not yet added to a parent.
  // A code outside 0..53 shows the blank surface alone. Null only when the
  // engine can not make a sprite at all.
  static CardSprite* createWithCode(std::int32_t code);
  ~CardSprite() override;

  std::int32_t cardCode = -1;
  bool selected = false;
};
