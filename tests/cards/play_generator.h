// Random plays drawn from a shoe of mixed decks, for the randomised tests and
// the benchmarks of the rules. Deterministic for a given seed.
#pragma once

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "cards/card.h"

class CPlayGenerator {
 public:
  explicit CPlayGenerator(std::uint32_t seed, int decks = 2) : random_(seed), decks_(decks) {
    for (int d = 0; d < decks; ++d) {
      for (CardCode code = kMinCard; code <= kMaxCard; ++code) shoe_.push_back(code);
    }
  }

  // `size` distinct cards of the shoe, in shuffled order.
  CardList draw(int size) {
    for (int i = 0; i < size; ++i) std::swap(shoe_[i], shoe_[i + below(shoe_.size() - i)]);
    CardList cards(shoe_.begin(), shoe_.begin() + size);
    return cards;
  }

  // A play shaped like a combination of a random kind, in shuffled order. Most
  // are legal; some (a black with a red joker, say) are not.
  CardList combination() {
    CardList cards;
    switch (below(7)) {
      case 0:
        return draw(1);
      case 1:
        addOfRank(cards, anyRank(), 2);
        break;
      case 2:
        addOfRank(cards, anyRank(), 3);
        break;
      case 3:
        addOfRank(cards, plainRank(), 4 + below(4 * decks_ - 3));
        break;
      case 4:
        addRun(cards, 2, 4 + below(6));
        break;
      case 5:
        addRun(cards, 3, 3 + below(4));
        break;
      default: {
        const std::int32_t triple = anyRank();
        std::int32_t pair = anyRank();
        while (pair == triple) pair = anyRank();
        addOfRank(cards, triple, 3);
        addOfRank(cards, pair, 2);
        break;
      }
    }
    shuffle(cards);
    return cards;
  }

  // Uniform in 0..n-1.
  int below(std::size_t n) { return static_cast<int>(random_() % n); }

  void shuffle(CardList& cards) {
    for (std::size_t i = cards.size(); i > 1; --i) std::swap(cards[i - 1], cards[below(i)]);
  }

 private:
  std::int32_t anyRank() { return below(14); }
  std::int32_t plainRank() { return below(13); }

  // `count` cards of one rank, as many copies of a code as there are decks.
  void addOfRank(CardList& cards, std::int32_t rank, int count) {
    std::vector<CardCode> available;
    const int suits = rank == 13 ? 2 : 4;
    for (int d = 0; d < decks_; ++d) {
      for (int s = 0; s < suits; ++s) available.push_back(4 * rank + s);
    }
    shuffle(available);
    count = std::min<int>(count, static_cast<int>(available.size()));
    cards.insert(cards.end(), available.begin(), available.begin() + count);
  }

  // Consecutive ranks ending at most at 12; now and then crowned by rank 0.
  void addRun(CardList& cards, int width, int groups) {
    const bool crowned = below(3) == 0;
    const int plainGroups = crowned ? groups - 1 : groups;
    const std::int32_t last = crowned ? 12 : 2 + plainGroups - 1 + below(12 - plainGroups);
    for (std::int32_t rank = last - plainGroups + 1; rank <= last; ++rank) {
      addOfRank(cards, rank, width);
    }
    if (crowned) addOfRank(cards, 0, width);
  }

  std::mt19937 random_;
  int decks_;
  CardList shoe_;
};
