// The combination rules: the eight recognisers, the classification of a play
// and the decision whether a play may follow the previous one. Shared by the
// client, the table server and its computer players.
#pragma once

#include <cstdint>
#include <span>

#include "cards/card.h"

// Combination kinds; the numbers are part of the rules and never change.
enum PlayKind : std::int32_t {
  PLAY_NONE = 0,
  PLAY_SINGLE = 1,
  PLAY_PAIR = 2,
  PLAY_TRIPLE = 3,
  PLAY_SAME_CODE_BOMB = 4,
  PLAY_RANK_BOMB = 5,
  PLAY_PAIR_RUN = 6,
  PLAY_TRIPLE_WITH_PAIR = 7,
  PLAY_TRIPLE_RUN = 8,
};

constexpr bool isBomb(std::int32_t kind) {
  return kind == PLAY_SAME_CODE_BOMB || kind == PLAY_RANK_BOMB;
}

// A play's kind and its strength within that kind; (PLAY_NONE, 0) when the
// cards are no combination.
struct stPlayType {
  PlayKind kind = PLAY_NONE;
  std::int32_t strength = 0;

  friend bool operator==(const stPlayType&, const stPlayType&) = default;
};

struct stPlayMatch {
  bool matched = false;
  std::int32_t strength = 0;  // 0 when not matched

  friend bool operator==(const stPlayMatch&, const stPlayMatch&) = default;
};

// Each recogniser looks only at its own kind. All take the cards in ascending
// code order (sortCards) and do not check codes for range; no two of them
// match the same list.
stPlayMatch matchSingle(std::span<const CardCode> cards);
stPlayMatch matchPair(std::span<const CardCode> cards);
stPlayMatch matchTriple(std::span<const CardCode> cards);
stPlayMatch matchSameCodeBomb(std::span<const CardCode> cards);
stPlayMatch matchRankBomb(std::span<const CardCode> cards);
stPlayMatch matchPairRun(std::span<const CardCode> cards);
stPlayMatch matchTripleRun(std::span<const CardCode> cards);
stPlayMatch matchTripleWithPair(std::span<const CardCode> cards);

// The kind and strength of sorted cards; any list, the empty one included.
stPlayType classifyPlay(std::span<const CardCode> cards);

// True when `play` may follow `previous` (empty: the player leads). Sorts
// `play`, then `previous`, in place before any test, whatever the result;
// callers send and remember the sorted play. Only `play` is checked for
// valid codes.
bool canFollow(CardList& previous, CardList& play);
