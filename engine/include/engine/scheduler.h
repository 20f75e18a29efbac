// Timers on the engine's clock: callbacks repeated at an interval, fired in the
// order they fall due, and functions handed to the main thread.
#pragma once

#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace engine {

using SchedulerFunc = std::function<void(float dt)>;

class Scheduler {
 public:
  static constexpr unsigned int kRepeatForever = std::numeric_limits<unsigned int>::max() - 1;

  Scheduler();
  ~Scheduler();
  Scheduler(const Scheduler&) = delete;
  Scheduler& operator=(const Scheduler&) = delete;

  // Calls `callback` every `interval` seconds (0: every frame), first after
  // `delay` when it is positive, else after one interval; `repeat` further
  // calls after the first (kRepeatForever: until unscheduled). The pair
  // (target, key) names the timer; scheduling it again replaces its interval.
  void schedule(SchedulerFunc callback, const void* target, float interval, unsigned int repeat,
                float delay, bool paused, const std::string& key);
  void schedule(SchedulerFunc callback, const void* target, float interval, bool paused,
                const std::string& key);

  void unschedule(const std::string& key, const void* target);
  void unscheduleAllForTarget(const void* target);
  void unscheduleAll();
  bool isScheduled(const std::string& key, const void* target) const;
  std::size_t timerCount() const;

  void pauseTarget(const void* target);
  void resumeTarget(const void* target);
  bool isTargetPaused(const void* target) const;

  // Moves the clock to `now` (seconds) and fires every timer that is due, each
  // once, in due order (ties in order of scheduling). A timer that fell more
  // than one interval behind (a blocked loop) skips what it missed.
  void update(double now);
  double currentTime() const { return now_; }
  // What "every frame" (an interval of 0) means, in seconds.
  void setFrameInterval(double interval) { frameInterval_ = interval; }
  // Sets the clock without firing anything.
  void setCurrentTime(double now) { now_ = now; }
  // When the next running timer falls due; infinity when none runs.
  double nextDueTime() const;

  // Safe from any thread: runs `function` on the main thread in the next
  // loop iteration.
  void performFunctionInMainThread(std::function<void()> function);
  // Runs what other threads handed over; called by the main loop.
  void runPendingFunctions();
  bool hasPendingFunctions() const;
  // Called with every performFunctionInMainThread, to wake a sleeping loop.
  void setWakeUpHandler(std::function<void()> handler);
  // Called after every timer callback returns (the director switches scenes there).
  void setCallbackObserver(std::function<void()> observer) { afterCallback_ = std::move(observer); }

 private:
  struct Timer;
  std::vector<std::shared_ptr<Timer>> timers_;
  double now_ = 0;
  double frameInterval_ = 1.0 / 60;
  std::uint64_t nextSequence_ = 0;

  mutable std::mutex pendingMutex_;
  std::vector<std::function<void()>> pending_;
  std::function<void()> wakeUp_;
  std::function<void()> afterCallback_;
  int updating_ = 0;
};

}  // namespace engine
