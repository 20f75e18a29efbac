// Card codes, their per-card strengths, the card order and the card-list text
// carried in the `cards` field of messages. Pure functions, standard library only.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// A card: rank index = code / 4, suit index = code % 4. Valid codes are 0..53;
// 52 and 53 are the black and red jokers. Several decks are mixed, so a list
// may hold the same code more than once.
using CardCode = std::int32_t;
using CardList = std::vector<CardCode>;

inline constexpr CardCode kMinCard = 0;
inline constexpr CardCode kMaxCard = 53;
inline constexpr CardCode kBlackJoker = 52;
inline constexpr CardCode kRedJoker = 53;
inline constexpr CardCode kSpecialCard = 19;
// The strength of code 19 alone, as a pair or as three or four of it; a play
// of this strength can not be followed.
inline constexpr std::int32_t kTopStrength = 1000;

constexpr bool isValidCard(CardCode code) {
  return code >= kMinCard && code <= kMaxCard;
}

// Signed division: negative codes give a truncated rank and a negative suit.
constexpr std::int32_t cardRank(CardCode code) {
  return code / 4;
}
constexpr std::int32_t cardSuit(CardCode code) {
  return code % 4;
}

// The recognisers treat every code of rank index 13 (52..55) as a joker.
constexpr bool isJokerCode(CardCode code) {
  return cardRank(code) == 13;
}

// Strength of a single card: ranks 2..12, then 0, then 1, then the jokers;
// code 19 above everything.
std::int32_t cardStrength(CardCode code);
// As cardStrength, without the top strength of code 19.
std::int32_t cardPlainStrength(CardCode code);
// Strength of three or four identical codes: suit first, then rank.
std::int32_t sameCodeStrength(CardCode code);

// Ascending plain code order (not strength order), which the recognisers expect.
void sortCards(CardList& cards);

// Splits `text` (up to its first zero byte) at every occurrence of
// `delimiter`; empty pieces are dropped. `pieces` is cleared first. An empty
// delimiter yields the whole text as one piece.
void splitString(std::string_view text, std::string_view delimiter,
                 std::vector<std::string>& pieces);

// Reads comma-separated decimal codes the way atoi does ("7x" is 7, "x" is 0);
// out-of-range numbers saturate to the int32 range. No range check on codes.
CardList parseCardList(std::string_view text);

// Every code followed by a comma ("3,3,52,"); the empty list gives "".
std::string formatCardList(std::span<const CardCode> cards);
