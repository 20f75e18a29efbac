// The computer player's choice of a play. Every candidate is judged by the
// shared rules (classifyPlay, canFollow); the bot only decides which legal
// play it prefers.
#pragma once

#include "cards/card.h"

namespace server {

struct stBotView {
  CardList hand;               // the bot's cards
  CardList toBeat;             // empty when the bot leads
  bool partnerPlayed = false;  // the play to beat is the partner's
  int roundScore = 0;          // points on the table in this round
  int playerLeft = 27;         // cards left to the seat that made the play to beat
};

// The cards to play, in ascending order; empty for a pass (never when leading).
CardList chooseBotPlay(const stBotView& view);

// What a seat plays when its turn runs out: its lowest card when it leads,
// otherwise nothing.
CardList automaticPlay(const CardList& hand, bool leading);

}  // namespace server
