// The eight combination recognisers, the classifier that tries them in turn,
// and the rule deciding whether one play may follow another.
#include "cards/play.h"

#include <algorithm>
#include <cstddef>
#include <functional>

namespace {

constexpr stPlayMatch match(std::int32_t strength) {
  return {true, strength};
}
constexpr stPlayMatch kNoMatch{};

bool allIdentical(std::span<const CardCode> cards) {
  return std::adjacent_find(cards.begin(), cards.end(), std::not_equal_to<>()) == cards.end();
}

// Groups of `width` cards each share one rank, and the groups from `first`
// onward climb one rank at a time.
bool isRun(std::span<const CardCode> cards, std::size_t width, std::size_t first) {
  for (std::size_t group = 0; group < cards.size(); group += width) {
    const std::int32_t rank = cardRank(cards[group]);
    for (std::size_t i = 1; i < width; ++i) {
      if (cardRank(cards[group + i]) != rank) return false;
    }
    if (group >= first * width && group + width < cards.size() &&
        cardRank(cards[group + width]) != rank + 1) {
      return false;
    }
  }
  return true;
}

// Runs of pairs and of triples: a rank-0 group stands first in code order but
// crowns a run that ends with rank index 12.
stPlayMatch matchRun(std::span<const CardCode> cards, std::size_t width, std::size_t minGroups) {
  const std::size_t n = cards.size();
  if (n < width * minGroups || n % width != 0) return kNoMatch;
  if (isJokerCode(cards[n - 1])) return kNoMatch;
  if (cardRank(cards[0]) != 0) {
    if (!isRun(cards, width, 0)) return kNoMatch;
    return match(cardPlainStrength(cards[n - 1]));
  }
  if (cardRank(cards[n - 1]) != 12 || !isRun(cards, width, 1)) return kNoMatch;
  return match(cardPlainStrength(cards[width - 1]));
}

}  // namespace

stPlayMatch matchSingle(std::span<const CardCode> cards) {
  if (cards.size() != 1) return kNoMatch;
  return match(cardStrength(cards[0]));
}

stPlayMatch matchPair(std::span<const CardCode> cards) {
  if (cards.size() != 2 || cardRank(cards[0]) != cardRank(cards[1])) return kNoMatch;
  // A black and a red joker make no pair.
  if (isJokerCode(cards[0])) {
    return cards[0] == cards[1] ? match(cardStrength(cards[0])) : kNoMatch;
  }
  if (cards[0] == kSpecialCard && cards[1] == kSpecialCard) return match(kTopStrength);
  return match(cardPlainStrength(cards[1]));
}

stPlayMatch matchTriple(std::span<const CardCode> cards) {
  if (cards.size() != 3) return kNoMatch;
  const std::int32_t rank = cardRank(cards[0]);
  if (cardRank(cards[1]) != rank || cardRank(cards[2]) != rank) return kNoMatch;
  if (allIdentical(cards)) return kNoMatch;
  return match(cardPlainStrength(cards[2]));
}

stPlayMatch matchSameCodeBomb(std::span<const CardCode> cards) {
  if ((cards.size() != 3 && cards.size() != 4) || !allIdentical(cards)) return kNoMatch;
  return match(sameCodeStrength(cards[0]));
}

stPlayMatch matchRankBomb(std::span<const CardCode> cards) {
  const std::size_t n = cards.size();
  if (n < 4 || n > 16) return kNoMatch;
  if (n == 4 && allIdentical(cards)) return kNoMatch;
  if (isJokerCode(cards[0])) return kNoMatch;
  const std::int32_t rank = cardRank(cards[0]);
  for (std::size_t i = 1; i < n; ++i) {
    if (cardRank(cards[i]) != rank) return kNoMatch;
  }
  return match(cardPlainStrength(cards[n - 1]));
}

stPlayMatch matchPairRun(std::span<const CardCode> cards) {
  return matchRun(cards, 2, 4);
}

stPlayMatch matchTripleRun(std::span<const CardCode> cards) {
  return matchRun(cards, 3, 3);
}

stPlayMatch matchTripleWithPair(std::span<const CardCode> cards) {
  if (cards.size() != 5 || matchRankBomb(cards).matched) return kNoMatch;
  const auto r = [&](std::size_t i) { return cardRank(cards[i]); };
  if (r(0) == r(1) && r(1) == r(2)) {
    return r(3) == r(4) ? match(cardPlainStrength(cards[2])) : kNoMatch;
  }
  if (r(2) == r(3) && r(3) == r(4) && r(0) == r(1)) return match(cardPlainStrength(cards[4]));
  return kNoMatch;
}

stPlayType classifyPlay(std::span<const CardCode> cards) {
  using Recogniser = stPlayMatch (*)(std::span<const CardCode>);
  struct Entry {
    Recogniser recognise;
    PlayKind kind;
  };
  static constexpr Entry kOrder[] = {
      {matchSingle, PLAY_SINGLE},
      {matchPair, PLAY_PAIR},
      {matchTriple, PLAY_TRIPLE},
      {matchRankBomb, PLAY_RANK_BOMB},
      {matchSameCodeBomb, PLAY_SAME_CODE_BOMB},
      {matchPairRun, PLAY_PAIR_RUN},
      {matchTripleRun, PLAY_TRIPLE_RUN},
      {matchTripleWithPair, PLAY_TRIPLE_WITH_PAIR},
  };
  for (const Entry& entry : kOrder) {
    if (const stPlayMatch result = entry.recognise(cards); result.matched) {
      return {entry.kind, result.strength};
    }
  }
  return {};
}

bool canFollow(CardList& previous, CardList& play) {
  sortCards(play);
  sortCards(previous);
  if (play.empty()) return false;
  if (!std::all_of(play.begin(), play.end(), isValidCard)) return false;

  const stPlayType before = classifyPlay(previous);
  const stPlayType after = classifyPlay(play);
  if (after.kind == PLAY_NONE) return false;
  if (before.strength == kTopStrength) return false;
  if (previous.empty()) return true;

  const bool bombBefore = isBomb(before.kind);
  const bool bombAfter = isBomb(after.kind);
  if (!bombBefore) {
    if (bombAfter) return true;
    return after.kind == before.kind && play.size() == previous.size() &&
           after.strength > before.strength;
  }
  if (!bombAfter) return false;
  if (before.kind != after.kind) return after.kind == PLAY_SAME_CODE_BOMB;
  // Same bomb kind: more cards win, then the stronger.
  if (play.size() != previous.size()) return play.size() > previous.size();
  return after.strength > before.strength;
}
