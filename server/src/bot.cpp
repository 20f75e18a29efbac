// Candidates are built from the hand grouped by rank (sub-multisets of one
// rank, runs of consecutive ranks, a triple with a pair) and filtered by the
// rules library; the bot then beats with the cheapest follow, keeps bombs
// back, and leads its lowest whole group.
#include "server/bot.h"

#include <algorithm>
#include <array>
#include <functional>
#include <utility>
#include <vector>

#include "cards/play.h"

namespace server {
namespace {

constexpr int kRanks = 14;

// Distinct codes of one rank with their multiplicities.
struct stGroup {
  std::vector<std::pair<CardCode, int>> codes;
  int size = 0;
};

using Groups = std::array<stGroup, kRanks>;

Groups groupByRank(const CardList& hand) {
  Groups groups;
  CardList sorted = hand;
  sortCards(sorted);
  for (CardCode c : sorted) {
    int r = cardRank(c);
    if (r < 0 || r >= kRanks) continue;
    auto& codes = groups[r].codes;
    if (!codes.empty() && codes.back().first == c)
      ++codes.back().second;
    else
      codes.emplace_back(c, 1);
    ++groups[r].size;
  }
  return groups;
}

// Calls `emit` with every distinct sub-multiset of `group` of `size` cards
// (any size from 1 when `size` is 0).
void forEachSubset(const stGroup& group, int size, const std::function<void(CardList&)>& emit) {
  CardList picked;
  std::function<void(std::size_t)> walk = [&](std::size_t i) {
    if (size > 0 && int(picked.size()) == size) {
      emit(picked);
      return;
    }
    if (i == group.codes.size()) {
      if (size == 0 && !picked.empty()) emit(picked);
      return;
    }
    const auto [code, count] = group.codes[i];
    std::size_t mark = picked.size();
    for (int k = 0; k <= count; ++k) {
      if (k > 0) picked.push_back(code);
      walk(i + 1);
    }
    picked.resize(mark);
  };
  walk(0);
}

CardList lowest(const stGroup& group, int n) {
  CardList out;
  for (auto [code, count] : group.codes)
    for (int k = 0; k < count && int(out.size()) < n; ++k) out.push_back(code);
  return out;
}

struct stCandidate {
  CardList cards;
  stPlayType type;
  int cost = 0;
};

bool isBombRank(const stGroup& group) {
  if (group.size >= 4) return true;
  return group.size == 3 && group.codes.size() == 1;
}

class CCandidates {
 public:
  explicit CCandidates(const CardList& hand) : groups_(groupByRank(hand)) {}

  const Groups& groups() const { return groups_; }

  // Plays of `n` cards from single ranks; every size when n is 0.
  void sameRank(int n, std::vector<CardList>& out) const {
    for (const stGroup& g : groups_)
      if (g.size >= std::max(n, 1)) forEachSubset(g, n, [&](CardList& c) { out.push_back(c); });
  }

  // Runs of `length` groups of `width` cards over consecutive rank indexes,
  // and the same topped by rank index 0. The rules decide which are runs.
  void runs(int width, int length, std::vector<CardList>& out) const {
    auto build = [&](const std::vector<int>& ranks, int vary) {
      for (int r : ranks)
        if (groups_[r].size < width) return;
      CardList base;
      for (int r : ranks)
        if (r != vary) {
          CardList part = lowest(groups_[r], width);
          base.insert(base.end(), part.begin(), part.end());
        }
      forEachSubset(groups_[vary], width, [&](CardList& part) {
        CardList c = base;
        c.insert(c.end(), part.begin(), part.end());
        out.push_back(std::move(c));
      });
    };
    for (int start = 1; start + length - 1 <= 12; ++start) {
      std::vector<int> ranks;
      for (int k = 0; k < length; ++k) ranks.push_back(start + k);
      build(ranks, ranks.back());
    }
    if (length >= 2) {
      std::vector<int> ranks{0};
      for (int r = 12 - (length - 2); r <= 12; ++r) ranks.push_back(r);
      if (ranks.size() == std::size_t(length) && ranks[1] >= 1) build(ranks, 0);
    }
  }

  void triplesWithPair(std::vector<CardList>& out) const {
    for (int a = 0; a < kRanks; ++a) {
      if (groups_[a].size < 3) continue;
      // The cheapest pair beside the triple: the lowest-ranked rank that holds
      // exactly two cards, else any rank with two or more.
      int pairRank = -1;
      for (int pass = 0; pass < 2 && pairRank < 0; ++pass)
        for (int b : strengthOrder())
          if (b != a && (pass == 0 ? groups_[b].size == 2 : groups_[b].size >= 2)) {
            pairRank = b;
            break;
          }
      if (pairRank < 0) continue;
      CardList pair = lowest(groups_[pairRank], 2);
      forEachSubset(groups_[a], 3, [&](CardList& triple) {
        CardList c = triple;
        c.insert(c.end(), pair.begin(), pair.end());
        out.push_back(std::move(c));
      });
    }
  }

  // Rank indexes from the weakest to the strongest.
  static const std::array<int, kRanks>& strengthOrder() {
    static const std::array<int, kRanks> order{2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 0, 1, 13};
    return order;
  }

  // Cards that would be split off a rank that holds a bomb, or otherwise left
  // behind in a broken group; used to rank candidates.
  int cost(const CardList& cards, const stPlayType& type) const {
    std::array<int, kRanks> used{};
    for (CardCode c : cards) ++used[cardRank(c)];
    int cost = type.strength;
    for (int r = 0; r < kRanks; ++r) {
      if (used[r] == 0 || used[r] == groups_[r].size) continue;
      cost += isBombRank(groups_[r]) ? 10000 : 12;
    }
    return cost;
  }

 private:
  Groups groups_;
};

bool follows(const CardList& previous, const CardList& play) {
  CardList p = previous, n = play;
  return canFollow(p, n);
}

// The weakest bomb, preferring one that does not break a bigger one apart.
const stCandidate* weakest(const std::vector<stCandidate>& bombs) {
  const stCandidate* best = nullptr;
  for (const stCandidate& c : bombs) {
    if (!best) {
      best = &c;
      continue;
    }
    const bool whole = c.cost < 10000, bestWhole = best->cost < 10000;
    if (whole != bestWhole) {
      if (whole) best = &c;
    } else if (follows(c.cards, best->cards)) {
      best = &c;  // the current best beats it
    }
  }
  return best;
}

void collect(const CCandidates& pool, const std::vector<CardList>& raw, const CardList& toBeat,
             std::vector<stCandidate>& plain, std::vector<stCandidate>& bombs) {
  for (CardList cards : raw) {
    sortCards(cards);
    stPlayType type = classifyPlay(cards);
    if (type.kind == PLAY_NONE || !follows(toBeat, cards)) continue;
    stCandidate c{cards, type, pool.cost(cards, type)};
    (isBomb(type.kind) ? bombs : plain).push_back(std::move(c));
  }
}

const stCandidate* cheapest(const std::vector<stCandidate>& list, int maxCost) {
  const stCandidate* best = nullptr;
  for (const stCandidate& c : list)
    if (c.cost < maxCost && (!best || c.cost < best->cost)) best = &c;
  return best;
}

CardList lead(const CardList& hand, const CCandidates& pool) {
  std::vector<CardList> raw;
  for (int r : CCandidates::strengthOrder()) {
    const stGroup& g = pool.groups()[r];
    if (g.size > 0) raw.push_back(lowest(g, g.size));
  }
  std::vector<stCandidate> plain, bombs;
  collect(pool, raw, {}, plain, bombs);
  if (const stCandidate* c = cheapest(plain, 1 << 30)) return c->cards;
  // Only bombs and unplayable groups (a black and a red joker) are left: lead
  // a single from those groups first, the weakest bomb last.
  raw.clear();
  pool.sameRank(1, raw);
  std::vector<stCandidate> singles, unused;
  collect(pool, raw, {}, singles, unused);
  if (const stCandidate* c = cheapest(singles, 10000)) return c->cards;
  if (const stCandidate* b = weakest(bombs)) return b->cards;
  return automaticPlay(hand, true);
}

}  // namespace

CardList automaticPlay(const CardList& hand, bool leading) {
  if (!leading || hand.empty()) return {};
  return {*std::min_element(hand.begin(), hand.end())};
}

CardList chooseBotPlay(const stBotView& view) {
  CardList all = view.hand;
  sortCards(all);
  if (all.empty()) return {};
  // Going out in one play beats every other consideration.
  if (classifyPlay(all).kind != PLAY_NONE && follows(view.toBeat, all)) return all;

  CCandidates pool(all);
  if (view.toBeat.empty()) return lead(all, pool);
  if (view.partnerPlayed) return {};

  CardList toBeat = view.toBeat;
  sortCards(toBeat);
  const stPlayType target = classifyPlay(toBeat);
  const int n = int(toBeat.size());
  std::vector<CardList> raw;
  switch (target.kind) {
    case PLAY_SINGLE:
    case PLAY_PAIR:
    case PLAY_TRIPLE:
      pool.sameRank(n, raw);
      break;
    case PLAY_PAIR_RUN:
      pool.runs(2, n / 2, raw);
      break;
    case PLAY_TRIPLE_RUN:
      pool.runs(3, n / 3, raw);
      break;
    case PLAY_TRIPLE_WITH_PAIR:
      pool.triplesWithPair(raw);
      break;
    default:
      break;
  }
  // Bombs: three or more cards of one rank.
  for (const stGroup& g : pool.groups())
    for (int size = 3; size <= g.size; ++size)
      forEachSubset(g, size, [&](CardList& c) { raw.push_back(c); });

  std::vector<stCandidate> plain, bombs;
  collect(pool, raw, toBeat, plain, bombs);
  // Breaking a bomb for an ordinary play is a last resort near the end.
  const int limit = all.size() <= 8 ? (1 << 30) : 10000;
  if (const stCandidate* c = cheapest(plain, limit)) return c->cards;
  const bool worthIt = view.roundScore >= 15 || view.playerLeft <= 5 || all.size() <= 10;
  if (worthIt)
    if (const stCandidate* b = weakest(bombs)) return b->cards;
  return {};
}

}  // namespace server
