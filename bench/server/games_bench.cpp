// Whole games of four computer players on one table, deal to "over", with
// every message formatted as for real seats; one thread.
#include <benchmark/benchmark.h>

#include "server/bot.h"
#include "server/table.h"

namespace {

class CCountingSink : public server::ITableSink {
 public:
  std::size_t bytes = 0;
  void send(int, const std::string& text) override { bytes += text.size(); }
  void released(int) override {}
  void log(const std::string&) override {}
  void observe(int, int, const std::string& text) override { bytes += text.size(); }
};

void BM_BotGame(benchmark::State& state) {
  server::stTableOptions options;
  options.botDelay = {};
  CCountingSink sink;
  std::uint64_t seed = 1;
  const server::TimePoint now{};
  for (auto _ : state) {
    server::CTable table(1, options, seed++, sink);
    for (int i = 0; i < 4; ++i) table.seatBot("bot", now);
    table.advance(now);
    if (table.playing() || table.botRefusals() != 0) state.SkipWithError("game did not finish");
  }
  state.SetItemsProcessed(state.iterations());
  state.counters["bytes/game"] =
      benchmark::Counter(double(sink.bytes) / double(state.iterations()));
}
BENCHMARK(BM_BotGame)->Unit(benchmark::kMillisecond);

// One decision of a computer player following a single, the most common turn.
void BM_BotFollowSingle(benchmark::State& state) {
  server::stBotView view;
  view.hand = {0,  3,  8,  9,  9,  13, 17, 19, 22, 26, 27, 30, 33, 36,
               37, 40, 41, 44, 45, 47, 48, 49, 50, 51, 52, 53, 53};
  view.toBeat = {30};
  for (auto _ : state) benchmark::DoNotOptimize(server::chooseBotPlay(view));
}
BENCHMARK(BM_BotFollowSingle);

void BM_BotLead(benchmark::State& state) {
  server::stBotView view;
  view.hand = {0,  3,  8,  9,  9,  13, 17, 19, 22, 26, 27, 30, 33, 36,
               37, 40, 41, 44, 45, 47, 48, 49, 50, 51, 52, 53, 53};
  for (auto _ : state) benchmark::DoNotOptimize(server::chooseBotPlay(view));
}
BENCHMARK(BM_BotLead);

}  // namespace
