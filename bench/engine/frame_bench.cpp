// Frame time of a full table (background, 27 hand cards, four seats' plays,
// all labels and buttons) drawn by SDL's software renderer offscreen.
#include <benchmark/benchmark.h>

#include "engine/engine.h"
#include "engine/headless.h"
#include "table_scene.h"

namespace {

void BM_FullTableFrame(benchmark::State& state) {
  engine::HeadlessApp app;
  engine::Scene* scene = enginebench::buildTableScene();
  app.run(scene);
  state.counters["nodes"] = enginebench::countNodes(scene);
  for (auto _ : state) {
    app.director()->drawScene();
  }
}
BENCHMARK(BM_FullTableFrame)->Unit(benchmark::kMillisecond);

// A loop iteration that draws: one card raised or lowered, then the frame.
void BM_FullTableFrameAfterSelection(benchmark::State& state) {
  engine::HeadlessApp app;
  engine::Scene* scene = enginebench::buildTableScene();
  app.run(scene);
  engine::Node* layer = scene->getChildren().front();
  engine::Node* hand = nullptr;
  for (engine::Node* child : layer->getChildren()) {
    if (child->getLocalZOrder() == 1) hand = child;
  }
  bool up = false;
  for (auto _ : state) {
    up = !up;
    hand->setPositionY(up ? 70.0f : 45.0f);
    app.advance(1.0 / 60);
  }
}
BENCHMARK(BM_FullTableFrameAfterSelection)->Unit(benchmark::kMillisecond);

// The main loop's work when nothing changed: timers due, nothing drawn.
void BM_IdleLoopIteration(benchmark::State& state) {
  engine::HeadlessApp app;
  engine::Scene* scene = enginebench::buildTableScene();
  int ticks = 0;
  scene->schedule([&](float) { ++ticks; }, 0.1f, "tick");
  app.run(scene);
  for (auto _ : state) {
    app.advance(0.1);
  }
  benchmark::DoNotOptimize(ticks);
}
BENCHMARK(BM_IdleLoopIteration)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
