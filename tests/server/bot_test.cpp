// The computer player: always legal, and sensible where it matters.
#include "server/bot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "cards/play.h"

using server::chooseBotPlay;
using server::stBotView;

namespace {

bool holds(CardList hand, const CardList& cards) {
  for (CardCode c : cards) {
    auto it = std::find(hand.begin(), hand.end(), c);
    if (it == hand.end()) return false;
    hand.erase(it);
  }
  return true;
}

stBotView view(CardList hand, CardList toBeat = {}, int roundScore = 0, int playerLeft = 20) {
  stBotView v;
  v.hand = std::move(hand);
  v.toBeat = std::move(toBeat);
  v.roundScore = roundScore;
  v.playerLeft = playerLeft;
  return v;
}

}  // namespace

TEST(Bot, ChoosesSensiblePlays) {
  struct {
    const char* name;
    stBotView v;
    CardList want;
  } cases[] = {
      {"leads its lowest group whole", view({8, 9, 12, 20, 21, 22, 48}), {8, 9}},
      {"lowest means rank order, not code order", view({0, 1, 44, 45}), {44, 45}},
      {"keeps a bomb back on a lead", view({8, 8, 8, 8, 30}), {30}},
      {"beats with the cheapest single", view({9, 13, 48, 53}, {8}), {9}},
      {"does not split a pair when a single will do", view({16, 17, 26}, {12}), {26}},
      {"beats a pair with the cheapest pair", view({12, 13, 28, 29, 40, 41}, {20, 21}), {28, 29}},
      {"does not bomb a cheap round", view({8, 8, 8, 8, 12, 16, 20, 24, 28, 32, 36}, {52}, 0), {}},
      {"bombs a rich round",
       view({8, 8, 8, 8, 12, 16, 20, 24, 28, 32, 36}, {52}, 20),
       {8, 8, 8, 8}},
      {"bombs a seat about to go out",
       view({8, 8, 8, 8, 12, 16, 20, 24, 28, 32, 36}, {52}, 0, 2),
       {8, 8, 8, 8}},
      {"goes out in one play", view({40, 41, 42}, {20, 21, 22}), {40, 41, 42}},
      {"follows a pair run with a higher one of the same length",
       view({12, 13, 16, 17, 20, 21, 24, 25, 40, 44}, {8, 8, 12, 12, 16, 16, 20, 20}),
       {12, 13, 16, 17, 20, 21, 24, 25}},
      {"follows a triple run",
       view({12, 13, 14, 16, 17, 18, 20, 21, 22, 40, 44}, {8, 9, 10, 12, 13, 14, 16, 17, 18}),
       {12, 13, 14, 16, 17, 18, 20, 21, 22}},
      {"follows a triple with a pair",
       view({12, 13, 14, 16, 17, 30, 31, 48}, {8, 9, 10, 20, 21}),
       {12, 13, 14, 16, 17}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(chooseBotPlay(c.v), c.want);
  }
}

TEST(Bot, LetsItsPartnerWin) {
  stBotView v = view({9, 13, 48, 53}, {8});
  v.partnerPlayed = true;
  EXPECT_TRUE(chooseBotPlay(v).empty());
  v.hand = {20};
  EXPECT_EQ(chooseBotPlay(v), CardList{20}) << "but still goes out";
}

TEST(Bot, AutomaticPlayIsTheLowestCardOrAPass) {
  EXPECT_EQ(server::automaticPlay({41, 5, 19}, true), CardList{5});
  EXPECT_TRUE(server::automaticPlay({41, 5, 19}, false).empty());
  EXPECT_TRUE(server::automaticPlay({}, true).empty());
}

// Random hands against random plays to beat: every choice is held, legal and
// follows; a lead is never a pass.
TEST(Bot, EveryChoiceIsLegal) {
  std::mt19937 rng(2024);
  CardList deck;
  for (int d = 0; d < 2; ++d)
    for (CardCode c = 0; c <= 53; ++c) deck.push_back(c);
  int follows = 0, leads = 0;
  for (int round = 0; round < 400; ++round) {
    std::shuffle(deck.begin(), deck.end(), rng);
    const int n = 1 + int(rng() % 27);
    CardList hand(deck.begin(), deck.begin() + n);
    // Something legal from the rest of the deck to beat, or a lead.
    CardList toBeat;
    if (round % 3 != 0) {
      stBotView other = view(CardList(deck.begin() + 27, deck.begin() + 54));
      toBeat = chooseBotPlay(other);
    }
    SCOPED_TRACE(formatCardList(hand) + " against " + formatCardList(toBeat));
    const CardList choice = chooseBotPlay(view(hand, toBeat, int(rng() % 30), int(rng() % 27)));
    EXPECT_TRUE(holds(hand, choice));
    if (toBeat.empty()) {
      ++leads;
      ASSERT_FALSE(choice.empty());
    }
    if (!choice.empty()) {
      CardList previous = toBeat, play = choice;
      EXPECT_TRUE(canFollow(previous, play));
      if (!toBeat.empty()) ++follows;
      EXPECT_TRUE(std::is_sorted(choice.begin(), choice.end()));
    }
  }
  EXPECT_GT(follows, 50);
  EXPECT_GT(leads, 50);
}
