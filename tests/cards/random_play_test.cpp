// canFollow on thousands of plays drawn from a two-deck shoe, checked against
// properties that hold whatever the plays are.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

#include "cards/play.h"
#include "play_generator.h"

namespace {

struct Play {
  CardList cards;  // in drawn order
  CardList sorted;
  stPlayType type;
};

class RandomPlays : public ::testing::Test {
 protected:
  void SetUp() override {
    CPlayGenerator generator(0x5eed);
    for (int i = 0; i < 3000; ++i) {
      Play play;
      play.cards = i % 2 == 0 ? generator.combination() : generator.draw(1 + generator.below(27));
      play.sorted = play.cards;
      std::sort(play.sorted.begin(), play.sorted.end());
      play.type = classifyPlay(play.sorted);
      plays_.push_back(std::move(play));
    }
  }

  static bool follows(const Play& previous, const Play& play) {
    CardList before = previous.cards;
    CardList after = play.cards;
    return canFollow(before, after);
  }

  std::vector<Play> plays_;
};

std::string describe(const Play& previous, const Play& play) {
  return "previous '" + formatCardList(previous.sorted) + "' play '" + formatCardList(play.sorted) +
         "'";
}

TEST_F(RandomPlays, DrawCoversEveryKindAShoeOfTwoDecksCanMake) {
  std::array<int, 9> counts{};
  for (const Play& play : plays_) ++counts[play.type.kind];
  for (PlayKind kind : {PLAY_NONE, PLAY_SINGLE, PLAY_PAIR, PLAY_TRIPLE, PLAY_RANK_BOMB,
                        PLAY_PAIR_RUN, PLAY_TRIPLE_WITH_PAIR, PLAY_TRIPLE_RUN}) {
    EXPECT_GE(counts[kind], 50) << "kind " << kind;
  }
  // Three identical codes need three decks.
  EXPECT_EQ(counts[PLAY_SAME_CODE_BOMB], 0);
}

TEST_F(RandomPlays, LegalPlaysLeadAndNoPlayFollowsItself) {
  const Play empty;
  for (const Play& play : plays_) {
    SCOPED_TRACE(formatCardList(play.sorted));
    EXPECT_EQ(follows(empty, play), play.type.kind != PLAY_NONE);
    EXPECT_FALSE(follows(play, play));
  }
}

TEST_F(RandomPlays, SortsBothListsIntoPermutationsOfThemselves) {
  for (std::size_t i = 0; i + 1 < plays_.size(); i += 2) {
    CardList previous = plays_[i].cards;
    CardList play = plays_[i + 1].cards;
    canFollow(previous, play);
    EXPECT_EQ(previous, plays_[i].sorted);
    EXPECT_EQ(play, plays_[i + 1].sorted);
  }
}

// Every pair of plays, in both directions, against what the classification
// alone implies.
TEST_F(RandomPlays, ResultAgreesWithTheClassifications) {
  for (std::size_t i = 0; i < plays_.size(); i += 3) {
    for (std::size_t j = 0; j < plays_.size(); j += 7) {
      const Play& previous = plays_[i];
      const Play& play = plays_[j];
      const bool result = follows(previous, play);
      SCOPED_TRACE(describe(previous, play));
      if (play.type.kind == PLAY_NONE || previous.type.strength == kTopStrength) {
        ASSERT_FALSE(result);
        continue;
      }
      if (!isBomb(previous.type.kind) && isBomb(play.type.kind)) {
        ASSERT_TRUE(result);
      } else if (!isBomb(play.type.kind)) {
        ASSERT_EQ(result, play.type.kind == previous.type.kind &&
                              play.cards.size() == previous.cards.size() &&
                              play.type.strength > previous.type.strength);
      } else if (play.type.kind == previous.type.kind) {
        ASSERT_EQ(result, play.cards.size() > previous.cards.size() ||
                              (play.cards.size() == previous.cards.size() &&
                               play.type.strength > previous.type.strength));
      }
      if (result) {
        ASSERT_FALSE(follows(play, previous)) << "both directions follow";
      }
    }
  }
}

TEST_F(RandomPlays, DrawnOrderDoesNotMatter) {
  CPlayGenerator shuffler(99);
  for (std::size_t i = 0; i + 1 < plays_.size(); ++i) {
    Play previous = plays_[i];
    Play play = plays_[i + 1];
    const bool expected = follows(previous, play);
    shuffler.shuffle(previous.cards);
    shuffler.shuffle(play.cards);
    EXPECT_EQ(follows(previous, play), expected) << describe(previous, play);
  }
}

// Following is an order: a chain a < b < c gives a < c.
TEST_F(RandomPlays, FollowingIsTransitive) {
  std::vector<const Play*> legal;
  for (const Play& play : plays_) {
    if (play.type.kind != PLAY_NONE) legal.push_back(&play);
  }
  std::size_t chains = 0;
  for (std::size_t a = 0; a < legal.size(); a += 5) {
    for (std::size_t b = 0; b < legal.size(); b += 11) {
      if (!follows(*legal[a], *legal[b])) continue;
      for (std::size_t c = 0; c < legal.size(); c += 13) {
        if (!follows(*legal[b], *legal[c])) continue;
        ++chains;
        ASSERT_TRUE(follows(*legal[a], *legal[c])) << describe(*legal[a], *legal[b]) << " then '"
                                                   << formatCardList(legal[c]->sorted) << "'";
      }
    }
  }
  EXPECT_GT(chains, 1000u);
}

}  // namespace
