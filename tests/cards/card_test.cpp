// Card codes, per-card strengths, sorting and the card-list text.
#include "cards/card.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

TEST(CardCode, RankAndSuit) {
  struct Case {
    CardCode code;
    std::int32_t rank;
    std::int32_t suit;
  };
  const Case cases[] = {{0, 0, 0},   {3, 0, 3},   {19, 4, 3},  {51, 12, 3},
                        {52, 13, 0}, {53, 13, 1}, {55, 13, 3}, {-1, 0, -1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    EXPECT_EQ(cardRank(c.code), c.rank);
    EXPECT_EQ(cardSuit(c.code), c.suit);
  }
}

TEST(CardCode, StrengthValues) {
  struct Case {
    CardCode code;
    std::int32_t strength;
    std::int32_t plain;
    std::int32_t sameCode;
  };
  const Case cases[] = {
      {0, 54, 54, 52},     {3, 57, 57, 211},  {4, 58, 58, 56},     {7, 61, 61, 215},
      {8, 8, 8, 8},        {9, 9, 9, 61},     {18, 18, 18, 122},   {19, 1000, 19, 1000},
      {48, 48, 48, 48},    {51, 51, 51, 207}, {52, 152, 152, 552}, {53, 153, 153, 553},
      {54, 154, 154, 554}, {-1, 53, 53, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    EXPECT_EQ(cardStrength(c.code), c.strength);
    EXPECT_EQ(cardPlainStrength(c.code), c.plain);
    EXPECT_EQ(sameCodeStrength(c.code), c.sameCode);
  }
}

// Ranks 2..12, then 0, then 1, suit deciding within a rank, then the jokers.
std::vector<CardCode> singleCardOrder() {
  std::vector<CardCode> order;
  for (std::int32_t rank : {2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 0, 1}) {
    for (std::int32_t suit = 0; suit < 4; ++suit) order.push_back(4 * rank + suit);
  }
  order.push_back(kBlackJoker);
  order.push_back(kRedJoker);
  return order;
}

TEST(CardCode, PlainStrengthFollowsRankOrder) {
  const std::vector<CardCode> order = singleCardOrder();
  for (std::size_t i = 1; i < order.size(); ++i) {
    SCOPED_TRACE(order[i]);
    EXPECT_LT(cardPlainStrength(order[i - 1]), cardPlainStrength(order[i]));
  }
}

TEST(CardCode, StrengthPutsSpecialCardOnTop) {
  for (CardCode code = kMinCard; code <= kMaxCard; ++code) {
    SCOPED_TRACE(code);
    if (code == kSpecialCard) {
      EXPECT_EQ(cardStrength(code), kTopStrength);
    } else {
      EXPECT_EQ(cardStrength(code), cardPlainStrength(code));
      EXPECT_LT(cardStrength(code), kTopStrength);
    }
  }
}

TEST(CardCode, SameCodeStrengthOrdersBySuitThenRank) {
  std::vector<CardCode> order;
  for (std::int32_t suit = 0; suit < 4; ++suit) {
    for (std::int32_t rank : {2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 0, 1}) {
      if (4 * rank + suit != kSpecialCard) order.push_back(4 * rank + suit);
    }
  }
  order.push_back(kBlackJoker);
  order.push_back(kRedJoker);
  order.push_back(kSpecialCard);
  for (std::size_t i = 1; i < order.size(); ++i) {
    SCOPED_TRACE(order[i]);
    EXPECT_LT(sameCodeStrength(order[i - 1]), sameCodeStrength(order[i]));
  }
}

TEST(CardCode, SameCodeStrengthSaturatesAtTheEndsOfTheRange) {
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
  EXPECT_EQ(sameCodeStrength(kMax), kMax);
  EXPECT_EQ(sameCodeStrength(kMin + 1), kMin);
  EXPECT_EQ(sameCodeStrength(kMin), kMin);
}

TEST(CardList, SortIsAscendingCodeOrder) {
  CardList cards{53, 0, 19, 8, 8};
  sortCards(cards);
  EXPECT_EQ(cards, (CardList{0, 8, 8, 19, 53}));
}

// Short and long lists, valid codes and any other integers, few and many copies.
TEST(CardList, SortAgreesWithAComparisonSort) {
  std::mt19937 random(11);
  for (std::size_t size : {0, 1, 2, 3, 4, 16, 27, 255, 256, 600}) {
    for (std::uint32_t spread : {1u, 2u, 54u, 64u, 65u, 4000u}) {
      for (int offset : {0, -2}) {
        SCOPED_TRACE(testing::Message() << size << " cards in " << offset << ".." << spread);
        CardList cards;
        for (std::size_t i = 0; i < size; ++i) {
          cards.push_back(static_cast<CardCode>(random() % spread) + offset);
        }
        CardList expected = cards;
        std::sort(expected.begin(), expected.end());
        sortCards(cards);
        EXPECT_EQ(cards, expected);
      }
    }
  }
}

TEST(CardList, SplitString) {
  struct Case {
    std::string text;
    std::string delimiter;
    std::vector<std::string> pieces;
  };
  const Case cases[] = {
      {"a,b", ",", {"a", "b"}},
      {",,,", ",", {}},
      {"abc", ",", {"abc"}},
      {"ab,,cd,", ",", {"ab", "cd"}},
      {"", ",", {}},
      {",a", ",", {"a"}},
      {"1, 2, ", ", ", {"1", "2"}},
      {"1, ,2", ", ", {"1", ",2"}},
      {std::string("a,b\0,c", 6), ",", {"a", "b"}},
      {"a,b", "", {"a,b"}},
      {"", "", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("text '" + c.text + "' at '" + c.delimiter + "'");
    std::vector<std::string> pieces{"left over"};
    splitString(c.text, c.delimiter, pieces);
    EXPECT_EQ(pieces, c.pieces);
  }
}

TEST(CardList, Parse) {
  struct Case {
    std::string text;
    CardList cards;
  };
  const Case cases[] = {
      {"", {}},
      {"5,", {5}},
      {",5,,6", {5, 6}},
      {"7", {7}},
      {" 7", {7}},
      {"7x", {7}},
      {"x,3", {0, 3}},
      {"8,8,9,", {8, 8, 9}},
      {"0,1,52,", {0, 1, 52}},
      {"\t\n-3,+4,-,+", {-3, 4, 0, 0}},
      {"99,054", {99, 54}},
      {"2147483647,2147483648,99999999999999999999", {2147483647, 2147483647, 2147483647}},
      {"-2147483648,-2147483649",
       {std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::min()}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("'" + c.text + "'");
    EXPECT_EQ(parseCardList(c.text), c.cards);
  }
}

TEST(CardList, Format) {
  EXPECT_EQ(formatCardList(CardList{}), "");
  EXPECT_EQ(formatCardList(CardList{3, 3, 52}), "3,3,52,");
  EXPECT_EQ(formatCardList(CardList{-5, 0}), "-5,0,");
  EXPECT_EQ(formatCardList(CardList{std::numeric_limits<std::int32_t>::min()}), "-2147483648,");
}

TEST(CardList, FormatThenParseGivesTheList) {
  CardList all;
  for (CardCode code = kMinCard; code <= kMaxCard; ++code) all.push_back(code);
  all.push_back(8);
  EXPECT_EQ(parseCardList(formatCardList(all)), all);
}

}  // namespace
