// An independent referee for tests: follows a table's messages (as every seat
// receives them) and checks that the game the server ran was a proper one:
// the deal, whose turn it is, the rules of each play, the round and game
// scores, and the end.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "cards/card.h"
#include "cards/play.h"
#include "server_messages.h"

class CGameReferee {
 public:
  // Hands known from "start" messages; seats without one are checked by count.
  void onStart(int site, const stSeen& m) {
    hands_[site] = parseCardList(m.str("cards"));
    known_[site] = true;
  }

  void onGame(const stSeen& m) {
    ++games_;
    const int per = m.num("per"), now = m.num("now"), must = m.num("must");
    if (games_ == 1) {
      EXPECT_EQ(per, -1);
      EXPECT_EQ(must, 1);
      for (int s = 0; s < 4; ++s) left_[s] = 27;
      expectTurn(now);
      lastMust_ = true;
      EXPECT_EQ(m.num("score"), 0);
      return;
    }
    ASSERT_EQ(per, turn_) << "a seat played out of turn";
    const CardList cards = parseCardList(m.str("cards"));
    if (cards.empty()) {
      EXPECT_FALSE(lastMust_) << "a pass on a lead";
      ++passes_;
    } else {
      CardList previous = toBeat_, play = cards;
      EXPECT_TRUE(canFollow(previous, play)) << m.str("cards");
      if (known_[per]) {
        for (CardCode c : cards) {
          auto it = std::find(hands_[per].begin(), hands_[per].end(), c);
          ASSERT_NE(it, hands_[per].end()) << "seat " << per << " played " << c << " not held";
          hands_[per].erase(it);
        }
      }
      for (CardCode c : cards) ++played_[c];
      left_[per] -= int(cards.size());
      toBeat_ = play;
      last_ = per;
      passes_ = 0;
      roundScore_ += points(cards);
      needed_ = 0;
      for (int s = 0; s < 4; ++s)
        if (s != per && left_[s] > 0) ++needed_;
    }
    EXPECT_EQ(m.num("surplus"), left_[per]);
    if (known_[per]) {
      EXPECT_EQ(int(hands_[per].size()), left_[per]);
    }
    const bool sideOut = left_[per % 2] == 0 && left_[per % 2 + 2] == 0;
    if (!cards.empty() && sideOut) {
      EXPECT_EQ(now, -1);
      EXPECT_EQ(m.num("score"), roundScore_);
      over_ = true;
      return;
    }
    if (cards.empty() && passes_ >= needed_) {
      EXPECT_TRUE(roundScored_) << "round ended without a score message";
      roundScored_ = false;
      const int leader = left_[last_] > 0 ? last_ : (last_ + 2) % 4;
      EXPECT_EQ(now, leader);
      EXPECT_EQ(must, 1);
      EXPECT_EQ(m.num("score"), 0);
      toBeat_.clear();
      roundScore_ = 0;
      lastMust_ = true;
    } else {
      EXPECT_EQ(must, 0);
      EXPECT_EQ(m.num("score"), roundScore_);
      int next = -1;
      for (int k = 1; k <= 4 && next < 0; ++k)
        if (left_[(per + k) % 4] > 0) next = (per + k) % 4;
      EXPECT_EQ(now, next);
      lastMust_ = false;
    }
    expectTurn(now);
  }

  void onScore(const stSeen& m) {
    if (!over_) {
      sides_[last_ % 2] += roundScore_;
      roundScored_ = true;
    } else {
      // The side that went out takes the round and every point still held.
      int held = 0;
      for (int s = 0; s < 4; ++s)
        if (known_[s]) held += points(hands_[s]);
      sides_[last_ % 2] += roundScore_;
      if (allKnown()) sides_[last_ % 2] += held;
      finalScore_ = true;
    }
    if (!over_ || allKnown()) {
      EXPECT_EQ(m.num("p0"), sides_[0]);
      EXPECT_EQ(m.num("p1"), sides_[1]);
    }
    p0_ = m.num("p0");
    p1_ = m.num("p1");
  }

  void onOver(const stSeen& m) {
    EXPECT_TRUE(over_) << "over before a side went out";
    EXPECT_TRUE(finalScore_);
    ended_ = true;
    EXPECT_EQ(p0_ + p1_, 200) << "the deal holds 200 points";
    for (int s = 0; s < 4; ++s)
      EXPECT_EQ(std::atoi(m.info[s].second.c_str()), s % 2 == 0 ? p0_ - p1_ : p1_ - p0_);
  }

  void feed(int site, const stSeen& m) {
    if (m.opt == "start") onStart(site, m);
    if (site != observer_) return;  // broadcasts are counted once
    if (m.opt == "game") onGame(m);
    if (m.opt == "score") onScore(m);
    if (m.opt == "over") onOver(m);
  }

  void setObserver(int site) { observer_ = site; }
  bool ended() const { return ended_; }
  int turns() const { return games_ - 1; }
  int p0() const { return p0_; }
  int p1() const { return p1_; }
  bool allKnown() const {
    return std::all_of(known_.begin(), known_.end(), [](bool b) { return b; });
  }
  const std::map<CardCode, int>& played() const { return played_; }
  const std::array<CardList, 4>& hands() const { return hands_; }

  static int points(const CardList& cards) {
    int p = 0;
    for (CardCode c : cards)
      p += cardRank(c) == 4 ? 5 : (cardRank(c) == 9 || cardRank(c) == 12) ? 10 : 0;
    return p;
  }

 private:
  std::array<CardList, 4> hands_;
  std::array<bool, 4> known_{};
  std::array<int, 4> left_{};
  std::map<CardCode, int> played_;
  std::array<int, 2> sides_{};
  CardList toBeat_;
  int games_ = 0, turn_ = -1, last_ = -1, passes_ = 0, needed_ = 0, roundScore_ = 0;
  int observer_ = 0, p0_ = 0, p1_ = 0;
  bool lastMust_ = false, over_ = false, ended_ = false, roundScored_ = false, finalScore_ = false;

  void expectTurn(int now) {
    ASSERT_GE(now, 0);
    ASSERT_LT(now, 4);
    EXPECT_GT(left_[now], 0) << "turn given to a seat without cards";
    turn_ = now;
  }
};
