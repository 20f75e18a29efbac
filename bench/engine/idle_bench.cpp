// CPU use of the main loop in a real window: a full-table scene left alone
// (timers at 0.1 s and 1 s, as at a waiting table) against the same scene
// redrawn every frame at 60 fps. Runs itself under xvfb-run when there is no
// display. Usage: engine_idle_bench [seconds per phase, default 10]
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/engine.h"
#include "table_scene.h"

namespace {

double processCpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

double wallSeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

struct Phase {
  double cpuPercent;
  double framesPerSecond;
  double wakeUpsPerSecond;
};

Phase measure(double seconds) {
  auto* director = engine::Director::getInstance();
  unsigned long frames = director->getTotalFrames();
  long loops = 0;
  double cpu = processCpuSeconds();
  double start = wallSeconds();
  while (wallSeconds() - start < seconds) {
    director->mainLoop();
    ++loops;
  }
  double wall = wallSeconds() - start;
  Phase p{};
  p.cpuPercent = (processCpuSeconds() - cpu) / wall * 100;
  p.framesPerSecond = static_cast<double>(director->getTotalFrames() - frames) / wall;
  p.wakeUpsPerSecond = static_cast<double>(loops) / wall;
  return p;
}

}  // namespace

int main(int argc, char** argv) {
  double seconds = argc > 1 ? std::atof(argv[1]) : 10;
  if (!std::getenv("DISPLAY") && !std::getenv("QUARTET_BENCH_NO_XVFB")) {
    setenv("QUARTET_BENCH_NO_XVFB", "1", 1);
    std::string secs = std::to_string(seconds);
    execlp("xvfb-run", "xvfb-run", "-a", "-s", "-screen 0 1280x1024x24", argv[0], secs.c_str(),
           static_cast<char*>(nullptr));
    std::fprintf(stderr, "no display and no xvfb-run; measuring on SDL's own video driver\n");
  }
  // The window, not the dummy driver the benchmark script selects.
  if (std::getenv("DISPLAY")) setenv("SDL_VIDEODRIVER", "x11", 1);

  auto* director = engine::Director::getInstance();
  auto* view =
      engine::GLViewImpl::createWithRect("engine idle bench", engine::Rect(0, 0, 1024, 768));
  director->setOpenGLView(view);
  view->setDesignResolutionSize(1024, 768, engine::ResolutionPolicy::NO_BORDER);
  director->setAnimationInterval(1.0f / 60);
  engine::Scene* scene = enginebench::buildTableScene();
  long ticks = 0;
  // The table's two timers; a waiting table changes nothing on screen.
  scene->schedule([&](float) { ++ticks; }, 0.1f, "tick");
  scene->schedule([&](float) { ++ticks; }, 1.0f, "countdown");
  director->runWithScene(scene);
  int nodes = enginebench::countNodes(scene);

  measure(1.0);  // first frames, textures loaded
  Phase idle = measure(seconds);
  director->setRedrawEveryFrame(true);
  Phase forced = measure(seconds);
  director->setRedrawEveryFrame(false);

  std::printf("platform: %s, %d nodes, %.0f s per phase\n",
              std::getenv("DISPLAY") ? "SDL window (X11)" : "SDL without display", nodes, seconds);
  std::printf("idle:            %6.2f %% of one core, %5.1f frames/s, %6.1f wake-ups/s\n",
              idle.cpuPercent, idle.framesPerSecond, idle.wakeUpsPerSecond);
  std::printf("forced redraw:   %6.2f %% of one core, %5.1f frames/s, %6.1f wake-ups/s\n",
              forced.cpuPercent, forced.framesPerSecond, forced.wakeUpsPerSecond);
  double ratio = idle.cpuPercent > 0 ? forced.cpuPercent / idle.cpuPercent : 0;
  std::printf("forced / idle:   %6.1f x\n", ratio);
  bool met = idle.cpuPercent < 1.0 && ratio >= 20;
  std::printf("targets (idle < 1 %%, >= 20x less than forced): %s\n", met ? "met" : "NOT met");
  director->reset();
  return 0;
}
