// The combination recognisers and classifyPlay.
#include "cards/play.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <random>
#include <string>

namespace {

using Recogniser = stPlayMatch (*)(std::span<const CardCode>);

struct NamedRecogniser {
  const char* name;
  Recogniser recognise;
  PlayKind kind;
};

constexpr std::array<NamedRecogniser, 8> kRecognisers{{
    {"matchSingle", matchSingle, PLAY_SINGLE},
    {"matchPair", matchPair, PLAY_PAIR},
    {"matchTriple", matchTriple, PLAY_TRIPLE},
    {"matchSameCodeBomb", matchSameCodeBomb, PLAY_SAME_CODE_BOMB},
    {"matchRankBomb", matchRankBomb, PLAY_RANK_BOMB},
    {"matchPairRun", matchPairRun, PLAY_PAIR_RUN},
    {"matchTripleRun", matchTripleRun, PLAY_TRIPLE_RUN},
    {"matchTripleWithPair", matchTripleWithPair, PLAY_TRIPLE_WITH_PAIR},
}};

// `count` cards of one rank, suits in turn.
CardList ofRank(std::int32_t rank, int count) {
  CardList cards;
  for (int i = 0; i < count; ++i) cards.push_back(4 * rank + i % 4);
  sortCards(cards);
  return cards;
}

// Checks that exactly the recogniser of `expected.kind` matches, with its
// strength, and that no other one does.
void expectOnlyRecogniser(const CardList& cards, stPlayType expected) {
  for (const NamedRecogniser& r : kRecognisers) {
    SCOPED_TRACE(r.name);
    const stPlayMatch result = r.recognise(cards);
    if (r.kind == expected.kind) {
      EXPECT_EQ(result, (stPlayMatch{true, expected.strength}));
    } else {
      EXPECT_EQ(result, stPlayMatch{});
    }
  }
}

TEST(ClassifyPlay, Table) {
  struct Case {
    CardList cards;
    stPlayType expected;
  };
  const Case cases[] = {
      {{}, {PLAY_NONE, 0}},
      {{19}, {PLAY_SINGLE, 1000}},
      {{18}, {PLAY_SINGLE, 18}},
      {{0}, {PLAY_SINGLE, 54}},
      {{53}, {PLAY_SINGLE, 153}},
      {{52, 52}, {PLAY_PAIR, 152}},
      {{53, 53}, {PLAY_PAIR, 153}},
      {{52, 53}, {PLAY_NONE, 0}},
      {{19, 19}, {PLAY_PAIR, 1000}},
      {{18, 19}, {PLAY_PAIR, 19}},
      {{8, 9}, {PLAY_PAIR, 9}},
      {{0, 3}, {PLAY_PAIR, 57}},
      {{8, 12}, {PLAY_NONE, 0}},
      {{8, 9, 10}, {PLAY_TRIPLE, 10}},
      {{8, 8, 9}, {PLAY_TRIPLE, 9}},
      {{52, 52, 53}, {PLAY_TRIPLE, 153}},
      {{16, 17, 19}, {PLAY_TRIPLE, 19}},
      {{8, 9, 12}, {PLAY_NONE, 0}},
      {{8, 8, 8}, {PLAY_SAME_CODE_BOMB, 8}},
      {{9, 9, 9}, {PLAY_SAME_CODE_BOMB, 61}},
      {{19, 19, 19}, {PLAY_SAME_CODE_BOMB, 1000}},
      {{52, 52, 52, 52}, {PLAY_SAME_CODE_BOMB, 552}},
      {{8, 8, 8, 8}, {PLAY_SAME_CODE_BOMB, 8}},
      {{8, 8, 8, 9}, {PLAY_RANK_BOMB, 9}},
      {{0, 1, 2, 3}, {PLAY_RANK_BOMB, 57}},
      {{16, 17, 18, 19}, {PLAY_RANK_BOMB, 19}},
      {{8, 8, 8, 8, 8}, {PLAY_RANK_BOMB, 8}},
      {ofRank(2, 16), {PLAY_RANK_BOMB, 11}},
      {ofRank(2, 17), {PLAY_NONE, 0}},
      {{52, 52, 53, 53}, {PLAY_NONE, 0}},
      {{52, 52, 52, 53}, {PLAY_NONE, 0}},
      {{8, 8, 8, 12}, {PLAY_NONE, 0}},
      {{8, 8, 8, 12, 12}, {PLAY_TRIPLE_WITH_PAIR, 8}},
      {{8, 8, 12, 12, 12}, {PLAY_TRIPLE_WITH_PAIR, 12}},
      {{8, 8, 52, 52, 53}, {PLAY_TRIPLE_WITH_PAIR, 153}},
      {{8, 8, 8, 52, 53}, {PLAY_TRIPLE_WITH_PAIR, 8}},
      {{52, 52, 52, 53, 53}, {PLAY_TRIPLE_WITH_PAIR, 152}},
      {{8, 8, 9, 9, 12}, {PLAY_NONE, 0}},
      {{8, 8, 8, 9, 12}, {PLAY_NONE, 0}},
      {{8, 8, 12, 12, 16, 16, 20, 20}, {PLAY_PAIR_RUN, 20}},
      {{8, 9, 12, 13, 16, 17, 20, 21}, {PLAY_PAIR_RUN, 21}},
      {{8, 8, 12, 12, 16, 16}, {PLAY_NONE, 0}},
      {{8, 8, 12, 12, 20, 20, 24, 24}, {PLAY_NONE, 0}},
      {{8, 8, 12, 12, 16, 16, 20, 20, 24}, {PLAY_NONE, 0}},
      {{8, 8, 12, 16, 16, 16, 20, 20}, {PLAY_NONE, 0}},
      {{0, 0, 8, 8, 12, 12, 16, 16}, {PLAY_NONE, 0}},
      {{0, 1, 40, 40, 44, 44, 48, 48}, {PLAY_PAIR_RUN, 55}},
      {{0, 0, 36, 36, 40, 40, 44, 44}, {PLAY_NONE, 0}},
      {{0, 0, 36, 36, 44, 44, 48, 48}, {PLAY_NONE, 0}},
      {{0, 0, 0, 0, 4, 4, 8, 8}, {PLAY_NONE, 0}},
      {{44, 44, 48, 48, 52, 52, 53, 53}, {PLAY_NONE, 0}},
      {{8, 8, 8, 12, 12, 12, 16, 16, 16}, {PLAY_TRIPLE_RUN, 16}},
      {{0, 0, 0, 44, 44, 44, 48, 48, 48}, {PLAY_TRIPLE_RUN, 54}},
      {{0, 0, 0, 40, 40, 40, 44, 44, 44, 48, 48, 48}, {PLAY_TRIPLE_RUN, 54}},
      {{0, 0, 0, 4, 4, 4, 8, 8, 8}, {PLAY_NONE, 0}},
      {{0, 0, 0, 40, 40, 40, 48, 48, 48}, {PLAY_NONE, 0}},
      {{8, 8, 8, 12, 12, 12}, {PLAY_NONE, 0}},
      {{8, 8, 8, 12, 12, 12, 20, 20, 20}, {PLAY_NONE, 0}},
      {{8, 8, 8, 12, 12, 12, 16, 16, 16, 20}, {PLAY_NONE, 0}},
      {{40, 40, 40, 44, 44, 44, 48, 48, 52}, {PLAY_NONE, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(formatCardList(c.cards));
    EXPECT_EQ(classifyPlay(c.cards), c.expected);
    expectOnlyRecogniser(c.cards, c.expected);
  }
}

// Builds every ascending list of `size` codes from `low`..`high`, repeats allowed.
template <typename Visit>
void forEachSortedList(int size, CardCode low, CardCode high, CardList& cards, Visit visit) {
  if (static_cast<int>(cards.size()) == size) {
    visit(cards);
    return;
  }
  for (CardCode code = cards.empty() ? low : cards.back(); code <= high; ++code) {
    cards.push_back(code);
    forEachSortedList(size, low, high, cards, visit);
    cards.pop_back();
  }
}

void expectAtMostOneMatch(const CardList& cards) {
  int matches = 0;
  PlayKind kind = PLAY_NONE;
  std::int32_t strength = 0;
  for (const NamedRecogniser& r : kRecognisers) {
    const stPlayMatch result = r.recognise(cards);
    if (!result.matched) {
      ASSERT_EQ(result.strength, 0) << r.name << " on " << formatCardList(cards);
      continue;
    }
    ++matches;
    kind = r.kind;
    strength = result.strength;
  }
  ASSERT_LE(matches, 1) << formatCardList(cards);
  ASSERT_EQ(classifyPlay(cards), (stPlayType{kind, strength})) << formatCardList(cards);
}

// Every list of up to four cards over all codes, jokers 54 and 55 included.
TEST(ClassifyPlay, RecognisersExcludeOneAnotherOnShortLists) {
  for (int size = 0; size <= 4; ++size) {
    CardList cards;
    forEachSortedList(size, kMinCard, 55, cards, expectAtMostOneMatch);
  }
}

// Five and six cards over a few ranks, where bombs, triples with a pair and
// near-misses crowd together.
TEST(ClassifyPlay, RecognisersExcludeOneAnotherOnCrowdedLists) {
  for (int size = 5; size <= 6; ++size) {
    CardList cards;
    forEachSortedList(size, 4, 15, cards, expectAtMostOneMatch);
    forEachSortedList(size, 44, 55, cards, expectAtMostOneMatch);
  }
}

TEST(ClassifyPlay, RecognisersExcludeOneAnotherOnRandomLongLists) {
  std::mt19937 random(20261211);
  for (int i = 0; i < 200000; ++i) {
    // Few ranks so that runs and bombs turn up.
    const int size = 7 + static_cast<int>(random() % 22);
    const CardCode base = static_cast<CardCode>(random() % 40);
    const CardCode span = 4 + static_cast<CardCode>(random() % 20);
    CardList cards;
    for (int k = 0; k < size; ++k) {
      cards.push_back(std::min<CardCode>(55, base + static_cast<CardCode>(random() % span)));
    }
    sortCards(cards);
    expectAtMostOneMatch(cards);
  }
}

// Runs built from their description: consecutive ranks from `first` on, each
// group of `width` cards with any suits, optionally crowned by a rank-0 group.
CardList buildRun(std::mt19937& random, int width, std::int32_t first, int groups, bool crowned) {
  CardList cards;
  for (int g = 0; g < groups; ++g) {
    for (int k = 0; k < width; ++k) {
      cards.push_back(static_cast<CardCode>(4 * (first + g) + random() % 4));
    }
  }
  if (crowned) {
    for (int k = 0; k < width; ++k) cards.push_back(static_cast<CardCode>(random() % 4));
  }
  sortCards(cards);
  return cards;
}

TEST(ClassifyPlay, BuiltRuns) {
  std::mt19937 random(7);
  for (int width : {2, 3}) {
    const PlayKind kind = width == 2 ? PLAY_PAIR_RUN : PLAY_TRIPLE_RUN;
    const int minimum = width == 2 ? 4 : 3;
    for (int groups = minimum; groups <= 11; ++groups) {
      for (std::int32_t first = 1; first + groups - 1 <= 12; ++first) {
        const CardList plain = buildRun(random, width, first, groups, false);
        SCOPED_TRACE(formatCardList(plain));
        EXPECT_EQ(classifyPlay(plain), (stPlayType{kind, cardPlainStrength(plain.back())}));
      }
      // Crowned runs must end at rank 12.
      const CardList crowned = buildRun(random, width, 13 - (groups - 1), groups - 1, true);
      SCOPED_TRACE(formatCardList(crowned));
      EXPECT_EQ(classifyPlay(crowned), (stPlayType{kind, cardPlainStrength(crowned[width - 1])}));
      const CardList shortOfTop = buildRun(random, width, 12 - (groups - 1), groups - 1, true);
      EXPECT_EQ(classifyPlay(shortOfTop).kind, PLAY_NONE) << formatCardList(shortOfTop);
    }
  }
}

TEST(ClassifyPlay, CrownedRunOutranksEveryPlainRunOfItsLength) {
  const CardList crowned{0, 0, 40, 40, 44, 44, 48, 48};
  const CardList highestPlain{36, 37, 40, 41, 44, 45, 51, 51};
  EXPECT_GT(classifyPlay(crowned).strength, classifyPlay(highestPlain).strength);
}

}  // namespace
