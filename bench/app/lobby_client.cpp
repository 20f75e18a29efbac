// The client on the offscreen engine, for measuring: the real start-up on the
// configuration given, the first lobby frame, then ten seconds of lobby life
// on virtual time. Prints the monotonic time of the first frame, the CPU time
// spent until then (all threads) and the peak resident size.
#include <time.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "app/app_delegate.h"
#include "engine/director.h"
#include "engine/headless.h"
#include "net/message_queue.h"

namespace {

long long nanoseconds(clockid_t clock) {
  timespec now{};
  clock_gettime(clock, &now);
  return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

// VmHWM: the most memory the process has held resident, in kB.
long peakResidentKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  }
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s CONFIG\n", argv[0]);
    return 2;
  }
  AppDelegate delegate(argv[1]);
  engine::Director* director = engine::Director::getInstance();
  director->setMainThread();
  delegate.initGLContextAttrs();
  if (!delegate.applicationDidFinishLaunching()) return 1;

  auto* platform =
      dynamic_cast<engine::HeadlessPlatform*>(director->getOpenGLView()->getPlatform());
  if (platform == nullptr) return 1;
  while (director->getTotalFrames() == 0) director->processFrame();
  const long long firstFrame = nanoseconds(CLOCK_MONOTONIC);
  const long long cpuToFirstFrame = nanoseconds(CLOCK_PROCESS_CPUTIME_ID);

  // Ten seconds in the lobby: a tick every 0.1 s, periodic queries, replies.
  for (int frame = 1; frame <= 600; ++frame) {
    platform->setTime(frame / 60.0);
    director->processFrame();
  }
  std::printf("first_frame_ns %lld\ncpu_ns %lld\npeak_kb %ld\nframes %lu\n", firstFrame,
              cpuToFirstFrame, peakResidentKb(), director->getTotalFrames());
  std::fflush(stdout);
  CMessageQueue::getInstance()->disconnect();
  director->reset();
  return 0;
}
