// Which registered sprite frames make up the face of one card code, decided
// without the engine so that the choice can be checked on its own.
#pragma once

#include <string>

namespace cards {

struct stCardFace {
  std::string surface;  // "front", "b_joker" or "r_joker"
  std::string number;   // empty when the face has no rank number
  std::string pip;      // empty when the face has no suit pip
};

// Codes outside 0..53 name no number or pip frame and get the blank surface alone.
stCardFace cardFace(int code);

}  // namespace cards
