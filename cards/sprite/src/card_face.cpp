// Frame names of a card face.
#include "cards/card_face.h"

namespace cards {

namespace {
constexpr int kBlackJoker = 52;
constexpr int kRedJoker = 53;
}  // namespace

stCardFace cardFace(int code) {
  if (code == kBlackJoker) return {"b_joker", "", ""};
  if (code == kRedJoker) return {"r_joker", "", ""};
  if (code < 0 || code > kRedJoker) return {"front", "", ""};
  const int rank = code / 4;
  const int suit = code % 4;
  const char* colour = suit <= 1 ? "b_num" : "r_num";
  return {"front", colour + std::to_string(rank), "flower" + std::to_string(suit)};
}

}  // namespace cards
