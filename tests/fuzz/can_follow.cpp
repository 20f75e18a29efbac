// Fuzz body of the rules: the classifier against a plain reading of the eight
// recognisers, and canFollow against its decision table, on arbitrary lists
// (codes out of range, repeated codes, lists longer than any hand).
#include <algorithm>
#include <cstring>
#include <vector>

#include "cards/card.h"
#include "cards/play.h"
#include "fuzz_bodies.h"
#include "fuzz_check.h"

namespace fuzz {
namespace {

class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  bool empty() const { return at_ >= size_; }
  std::uint8_t byte() { return empty() ? 0 : data_[at_++]; }
  CardCode code(bool wide) {
    if (!wide) return static_cast<CardCode>(byte() % 64) - 4;  // -4..59, around the valid range
    std::uint32_t bits = 0;
    for (int i = 0; i < 4; ++i) bits |= std::uint32_t{byte()} << (8 * i);
    CardCode value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

bool joker(CardCode c) {
  return c >= 52 && c <= 55;
}
bool allSame(const CardList& c) {
  return std::all_of(c.begin(), c.end(), [&](CardCode x) { return x == c.front(); });
}
bool oneRank(const CardList& c, std::size_t from, std::size_t count) {
  for (std::size_t i = from + 1; i < from + count; ++i) {
    if (cardRank(c[i]) != cardRank(c[from])) return false;
  }
  return true;
}

// Runs of groups of `width`: every group of one rank, then consecutive ranks,
// with a rank-0 first group crowning a run that ends at rank index 12.
stPlayMatch referenceRun(const CardList& c, std::size_t width, std::size_t least) {
  const std::size_t n = c.size();
  if (n < width * least || n % width != 0 || joker(c[n - 1])) return {};
  for (std::size_t g = 0; g < n; g += width) {
    if (!oneRank(c, g, width)) return {};
  }
  const bool crowned = cardRank(c[0]) == 0;
  if (crowned && cardRank(c[n - 1]) != 12) return {};
  for (std::size_t g = crowned ? width : 0; g + width < n; g += width) {
    if (cardRank(c[g]) + 1 != cardRank(c[g + width])) return {};
  }
  return {true, cardPlainStrength(crowned ? c[width - 1] : c[n - 1])};
}

stPlayMatch referenceRankBomb(const CardList& c) {
  const std::size_t n = c.size();
  if (n < 4 || n > 16 || (n == 4 && allSame(c)) || joker(c[0]) || !oneRank(c, 0, n)) return {};
  return {true, cardPlainStrength(c[n - 1])};
}

stPlayType referenceClassify(const CardList& c) {
  const std::size_t n = c.size();
  auto r = [&](std::size_t i) { return cardRank(c[i]); };
  if (n == 1) return {PLAY_SINGLE, cardStrength(c[0])};
  if (n == 2 && r(0) == r(1)) {
    if (joker(c[0])) {
      return c[0] == c[1] ? stPlayType{PLAY_PAIR, cardStrength(c[0])} : stPlayType{};
    }
    if (c[0] == kSpecialCard && c[1] == kSpecialCard) return {PLAY_PAIR, kTopStrength};
    return {PLAY_PAIR, cardPlainStrength(c[1])};
  }
  if ((n == 3 || n == 4) && allSame(c)) return {PLAY_SAME_CODE_BOMB, sameCodeStrength(c[0])};
  if (n == 3 && oneRank(c, 0, 3)) return {PLAY_TRIPLE, cardPlainStrength(c[2])};
  if (stPlayMatch bomb = referenceRankBomb(c); bomb.matched) return {PLAY_RANK_BOMB, bomb.strength};
  if (stPlayMatch run = referenceRun(c, 2, 4); run.matched) return {PLAY_PAIR_RUN, run.strength};
  if (stPlayMatch run = referenceRun(c, 3, 3); run.matched) return {PLAY_TRIPLE_RUN, run.strength};
  if (n == 5) {
    if (r(0) == r(1) && r(1) == r(2)) {
      return r(3) == r(4) ? stPlayType{PLAY_TRIPLE_WITH_PAIR, cardPlainStrength(c[2])}
                          : stPlayType{};
    }
    if (r(2) == r(3) && r(3) == r(4) && r(0) == r(1)) {
      return {PLAY_TRIPLE_WITH_PAIR, cardPlainStrength(c[4])};
    }
  }
  return {};
}

bool referenceFollow(const CardList& previous, const CardList& play) {
  if (play.empty() || !std::all_of(play.begin(), play.end(), isValidCard)) return false;
  const stPlayType before = referenceClassify(previous);
  const stPlayType after = referenceClassify(play);
  if (after.kind == PLAY_NONE || before.strength == kTopStrength) return false;
  if (previous.empty()) return true;
  const bool bombBefore = before.kind == 4 || before.kind == 5;
  const bool bombAfter = after.kind == 4 || after.kind == 5;
  if (bombBefore != bombAfter) return bombAfter;
  if (!bombBefore) {
    return before.kind == after.kind && previous.size() == play.size() &&
           after.strength > before.strength;
  }
  if (before.kind == 5 && after.kind == 4) return true;
  if (before.kind == 4 && after.kind == 5) return false;
  if (previous.size() != play.size()) return play.size() > previous.size();
  return after.strength > before.strength;
}

void checkClassifier(const CardList& sorted) {
  using Recogniser = stPlayMatch (*)(std::span<const CardCode>);
  const Recogniser recognisers[] = {matchSingle,    matchPair,          matchTriple,
                                    matchRankBomb,  matchSameCodeBomb,  matchPairRun,
                                    matchTripleRun, matchTripleWithPair};
  int matches = 0;
  for (Recogniser recognise : recognisers) {
    stPlayMatch result = recognise(sorted);
    if (result.matched) ++matches;
    FUZZ_CHECK(result.matched || result.strength == 0);
  }
  FUZZ_CHECK(matches <= 1);
  const stPlayType got = classifyPlay(sorted);
  FUZZ_CHECK(got == referenceClassify(sorted));
  FUZZ_CHECK((got.kind == PLAY_NONE) == (matches == 0));
}

bool allValid(const CardList& cards) {
  return std::all_of(cards.begin(), cards.end(), isValidCard);
}

}  // namespace

void canFollowLists(const std::uint8_t* data, std::size_t size) {
  Input input(data, size);
  const std::uint8_t mode = input.byte();
  const bool wide = mode & 1;
  const std::size_t previousSize = input.byte() % 24;
  CardList previous;
  for (std::size_t i = 0; i < previousSize && !input.empty(); ++i)
    previous.push_back(input.code(wide));
  CardList play;
  while (!input.empty() && play.size() < 400) play.push_back(input.code(wide));

  CardList sortedPrevious = previous;
  CardList sortedPlay = play;
  std::sort(sortedPrevious.begin(), sortedPrevious.end());
  std::sort(sortedPlay.begin(), sortedPlay.end());

  CardList reversedPrevious(previous.rbegin(), previous.rend());
  CardList reversedPlay(play.rbegin(), play.rend());

  const bool follows = canFollow(previous, play);
  FUZZ_CHECK(previous == sortedPrevious);
  FUZZ_CHECK(play == sortedPlay);
  checkClassifier(sortedPrevious);
  checkClassifier(sortedPlay);
  FUZZ_CHECK(follows == referenceFollow(sortedPrevious, sortedPlay));
  FUZZ_CHECK(canFollow(reversedPrevious, reversedPlay) == follows);
  if (!allValid(sortedPlay)) FUZZ_CHECK(!follows);

  if (!previous.empty() && !play.empty() && allValid(previous) && allValid(play)) {
    CardList a = play;
    CardList b = previous;
    FUZZ_CHECK(!(follows && canFollow(a, b)));  // never both ways
  }
}

}  // namespace fuzz
