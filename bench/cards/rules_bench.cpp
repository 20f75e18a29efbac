// classifyPlay and canFollow on plays drawn from a two-deck shoe, by play size.
// Each iteration takes the next play of a pool large enough to defeat the
// branch predictor; canFollow gets fresh unsorted copies every call.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

#include "cards/play.h"
#include "play_generator.h"

namespace {

constexpr std::size_t kPool = 4096;

std::vector<CardList> drawPool(int size, std::uint32_t seed) {
  CPlayGenerator generator(seed);
  std::vector<CardList> pool;
  for (std::size_t i = 0; i < kPool; ++i) pool.push_back(generator.draw(size));
  return pool;
}

// Combination-shaped plays of exactly `size` cards, most of them legal, so
// that canFollow runs to its comparison instead of stopping at kind 0.
std::vector<CardList> combinationPool(int size, std::uint32_t seed) {
  CPlayGenerator generator(seed);
  std::vector<CardList> pool;
  for (int attempt = 0; attempt < 4'000'000 && pool.size() < kPool; ++attempt) {
    CardList play = generator.combination();
    if (static_cast<int>(play.size()) == size) pool.push_back(std::move(play));
  }
  return pool;
}

void BM_ClassifyPlay(benchmark::State& state) {
  std::vector<CardList> pool = drawPool(static_cast<int>(state.range(0)), 1);
  for (CardList& play : pool) sortCards(play);
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(classifyPlay(pool[i]));
    i = (i + 1) % pool.size();
  }
}

// Copies the next previous play and new play, unsorted, into reused lists
// and hands them to `body`.
template <typename Body>
void cyclePairs(benchmark::State& state, const std::vector<CardList>& previous,
                const std::vector<CardList>& plays, Body body) {
  if (plays.empty()) {
    state.SkipWithError("no plays of this size");
    return;
  }
  CardList before;
  CardList after;
  before.reserve(32);
  after.reserve(32);
  std::size_t i = 0;
  std::size_t j = plays.size() / 2;
  for (auto _ : state) {
    before.assign(previous[i].begin(), previous[i].end());
    after.assign(plays[j].begin(), plays[j].end());
    body(before, after);
    i = (i + 1) % previous.size();
    j = (j + 1) % plays.size();
  }
}

void runCanFollow(benchmark::State& state, const std::vector<CardList>& pool) {
  cyclePairs(state, pool, pool, [](CardList& before, CardList& after) {
    benchmark::DoNotOptimize(canFollow(before, after));
  });
}

// The copies alone, to subtract from BM_CanFollow.
void BM_CopyOnly(benchmark::State& state) {
  const std::vector<CardList> pool = drawPool(static_cast<int>(state.range(0)), 2);
  cyclePairs(state, pool, pool, [](CardList& before, CardList& after) {
    benchmark::DoNotOptimize(before.data());
    benchmark::DoNotOptimize(after.data());
    benchmark::ClobberMemory();
  });
}

void BM_CanFollow(benchmark::State& state) {
  const std::vector<CardList> pool = drawPool(static_cast<int>(state.range(0)), 2);
  runCanFollow(state, pool);
}

void BM_CanFollowCombinations(benchmark::State& state) {
  const std::vector<CardList> pool = combinationPool(static_cast<int>(state.range(0)), 3);
  runCanFollow(state, pool);
}

BENCHMARK(BM_ClassifyPlay)->DenseRange(1, 27);
BENCHMARK(BM_CanFollow)->DenseRange(1, 27);
BENCHMARK(BM_CopyOnly)->Arg(1)->Arg(8)->Arg(16)->Arg(27);
BENCHMARK(BM_CanFollowCombinations)
    ->Arg(1)
    ->Arg(2)
    ->Arg(3)
    ->Arg(4)
    ->Arg(5)
    ->Arg(8)
    ->Arg(9)
    ->Arg(12)
    ->Arg(16)
    ->Arg(18);

}  // namespace
