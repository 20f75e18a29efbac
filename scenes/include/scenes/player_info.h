// The table's record of one seat on the screen: its labels and markers, the
// origin of the cards it played and their sprites.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/label.h"
#include "engine/label_atlas.h"
#include "engine/sprite.h"

class CardSprite;

// The node fields point at children of the table layer, which owns them.
struct st_player_info {
  engine::Label* nameLabel = nullptr;
  engine::Label* countLabel = nullptr;
  engine::Sprite* readySprite = nullptr;
  // The turn countdown: its text is the countdown's only store.
  engine::LabelAtlas* clockLabel = nullptr;
  engine::Label* overLabel = nullptr;
  engine::Label* passLabel = nullptr;
  std::int32_t cardX = 0;
  std::int32_t cardY = 0;
  std::vector<CardSprite*> playedCards;
};
