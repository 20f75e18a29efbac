// canFollow: whether a play may follow the previous one.
#include "cards/play.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>

namespace {

CardList ofRank(std::int32_t rank, int count) {
  CardList cards;
  for (int i = 0; i < count; ++i) cards.push_back(4 * rank + i % 4);
  return cards;
}

struct Case {
  CardList previous;
  CardList play;
  bool follows;
};

std::string describe(const Case& c) {
  return "previous '" + formatCardList(c.previous) + "' play '" + formatCardList(c.play) + "'";
}

void expectCases(std::span<const Case> cases) {
  for (const Case& c : cases) {
    SCOPED_TRACE(describe(c));
    CardList previous = c.previous;
    CardList play = c.play;
    EXPECT_EQ(canFollow(previous, play), c.follows);
  }
}

TEST(CanFollow, Table) {
  const Case cases[] = {
      {{}, {}, false},
      {{}, {52, 53}, false},
      {{}, {8}, true},
      {{}, {54}, false},
      {{8}, {9}, true},
      {{8}, {8}, false},
      {{9}, {8}, false},
      {{8}, {53}, true},
      {{53}, {19}, true},
      {{19}, {53}, false},
      {{19}, {8, 8, 8, 8}, false},
      {{8}, {9, 9}, false},
      {{8, 9}, {10, 10}, true},
      {{8, 9}, {0, 3}, true},
      {{18, 19}, {19, 19}, true},
      {{19, 19}, {52, 52}, false},
      {{8, 8, 12, 12, 16, 16, 20, 20}, {12, 12, 16, 16, 20, 20, 24, 24, 28, 28}, false},
      {{8, 8, 12, 12, 16, 16, 20, 20}, {12, 12, 16, 16, 20, 20, 24, 24}, true},
      {{8, 8, 8, 12, 12}, {4, 4, 9, 9, 9}, true},
      {{52, 53}, {8}, false},
      {{52, 53}, {8, 9, 10, 11}, true},
      {{8, 9, 10, 11}, {4, 4, 9, 9, 9}, false},
      {{8, 8, 8, 9}, {12, 13, 14, 15}, true},
      {{8, 8, 8, 9}, {12, 12, 12, 12, 13}, true},
      {{12, 12, 12, 12, 13}, {48, 49, 50, 51}, false},
      {ofRank(2, 16), {8, 8, 8}, true},
      {{8, 8, 8}, ofRank(3, 16), false},
      {{51, 51, 51}, {9, 9, 9}, false},
      {{51, 51, 51}, {8, 8, 8, 8}, true},
      {{8, 8, 8, 8}, {19, 19, 19}, false},
      {{8, 8, 8, 8}, {19, 19, 19, 19}, true},
      {{19, 19, 19}, {52, 52, 52, 52}, false},
      {{19, 19, 19, 19}, {53, 53, 53, 53}, false},
      {{16, 17, 18, 19}, {20, 21, 22, 23}, true},
      // Lists come in any order.
      {{9, 8}, {3, 0}, true},
      {{12, 20, 16, 8, 20, 12, 16, 8}, {24, 12, 20, 16, 24, 16, 12, 20}, true},
  };
  expectCases(cases);
}

// Equal strength never follows, whatever the kind.
TEST(CanFollow, StrengthComparisonsAreStrict) {
  const Case cases[] = {
      {{8}, {8}, false},
      {{52}, {52}, false},
      {{8, 10}, {9, 10}, false},
      {{8, 9, 10}, {8, 8, 10}, false},
      {{8, 8, 8, 12, 12}, {8, 8, 8, 16, 16}, false},
      {{8, 8, 12, 12, 16, 16, 20, 20}, {9, 9, 13, 13, 17, 17, 20, 20}, false},
      {{8, 8, 8, 12, 12, 12, 16, 16, 16}, {9, 9, 9, 13, 13, 13, 16, 16, 16}, false},
      {{8, 8, 8, 9}, {8, 9, 9, 9}, false},
      {{8, 8, 8}, {8, 8, 8}, false},
      {{8, 8, 8, 8}, {8, 8, 8, 8}, false},
      // One step up in the same cases follows.
      {{8}, {9}, true},
      {{8, 10}, {9, 11}, true},
      {{8, 8, 8, 9}, {8, 9, 9, 10}, true},
      {{8, 8, 8}, {12, 12, 12}, true},
  };
  expectCases(cases);
}

TEST(CanFollow, SortsBothListsWhateverTheResult) {
  const Case cases[] = {
      {{9, 8}, {}, false},                    // empty play
      {{9, 8}, {54, 3}, false},               // out of range
      {{9, 8}, {53, 52}, false},              // not a combination
      {{19, 19, 19}, {10, 9, 8, 11}, false},  // previous at top strength
      {{}, {11, 10, 9}, true},                // lead
      {{10, 9}, {13, 12}, true},              // follows
      {{13, 12}, {10, 9}, false},             // too weak
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(describe(c));
    CardList previous = c.previous;
    CardList play = c.play;
    EXPECT_EQ(canFollow(previous, play), c.follows);
    CardList sortedPrevious = c.previous;
    CardList sortedPlay = c.play;
    std::sort(sortedPrevious.begin(), sortedPrevious.end());
    std::sort(sortedPlay.begin(), sortedPlay.end());
    EXPECT_EQ(previous, sortedPrevious);
    EXPECT_EQ(play, sortedPlay);
  }
}

// Only the new play is checked for valid codes: a previous play from the
// server is classified as it comes.
TEST(CanFollow, RangeIsCheckedOnTheNewPlayOnly) {
  const Case cases[] = {
      {{}, {-1}, false},
      {{}, {55}, false},
      {{}, {54, 54}, false},
      {{}, {8, 8, 8, 54}, false},
      {{}, {0}, true},
      {{}, {53}, true},
      {{54}, {19}, true},
      {{55, 55}, {19, 19}, true},
      {{54, 54}, {53, 53}, false},
      {{55, 55, 55}, {8, 8, 8, 8}, true},
      {{-1, 60}, {8, 8, 8}, true},
      {{-1, 60}, {8}, false},
  };
  expectCases(cases);
}

}  // namespace
