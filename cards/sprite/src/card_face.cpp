// Frame names of a card face.
#include "cards/card_face.h"

#include "cards/card.h"

namespace cards {

stCardFace cardFace(int code) {
  if (code == kBlackJoker) return {"b_joker", "", ""};
  if (code == kRedJoker) return {"r_joker", "", ""};
  if (!isValidCard(code)) return {"front", "", ""};
  const int suit = cardSuit(code);
  // Suits 0 and 1 are the black ones.
  const char* colour = suit <= 1 ? "b_num" : "r_num";
  return {"front", colour + std::to_string(cardRank(code)), "flower" + std::to_string(suit)};
}

}  // namespace cards
