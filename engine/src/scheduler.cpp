// Timers on absolute due times, so that a virtual clock fires them exactly.
#include "engine/scheduler.h"

#include <algorithm>
#include <cmath>

namespace engine {
namespace {
// Due times are sums of float intervals; this absorbs their rounding.
constexpr double kEpsilon = 1e-7;

// Intervals come as floats, and 0.1f is 0.1000000015: over a long game that
// would lose whole ticks, so they are taken to the microsecond.
double decimalInterval(float interval) {
  return interval > 0 ? std::round(static_cast<double>(interval) * 1e6) / 1e6 : 0;
}
}  // namespace

struct Scheduler::Timer {
  SchedulerFunc callback;
  const void* target = nullptr;
  std::string key;
  double interval = 0;
  unsigned int repeat = kRepeatForever;
  unsigned int fired = 0;
  double start = 0;
  std::uint64_t steps = 0;  // intervals since start, kept to avoid drift
  double nextDue = 0;
  double lastFire = 0;
  double pausedAt = 0;
  bool paused = false;
  bool alive = true;
  std::uint64_t sequence = 0;
};

Scheduler::Scheduler() = default;
Scheduler::~Scheduler() = default;

void Scheduler::schedule(SchedulerFunc callback, const void* target, float interval,
                         unsigned int repeat, float delay, bool paused, const std::string& key) {
  for (auto& timer : timers_) {
    if (timer->alive && timer->target == target && timer->key == key) {
      timer->interval = decimalInterval(interval);
      timer->repeat = repeat;
      timer->callback = std::move(callback);
      return;
    }
  }
  auto timer = std::make_shared<Timer>();
  timer->callback = std::move(callback);
  timer->target = target;
  timer->key = key;
  timer->interval = decimalInterval(interval);
  timer->repeat = repeat;
  timer->start = now_ + (delay > 0 ? delay : 0);
  timer->steps = delay > 0 ? 0 : 1;
  timer->nextDue = timer->start + (timer->interval > 0 ? timer->interval : frameInterval_) *
                                      static_cast<double>(timer->steps);
  timer->lastFire = now_;
  timer->paused = paused;
  timer->pausedAt = now_;
  timer->sequence = nextSequence_++;
  timers_.push_back(std::move(timer));
}

void Scheduler::schedule(SchedulerFunc callback, const void* target, float interval, bool paused,
                         const std::string& key) {
  schedule(std::move(callback), target, interval, kRepeatForever, 0, paused, key);
}

void Scheduler::unschedule(const std::string& key, const void* target) {
  for (auto& timer : timers_) {
    if (timer->alive && timer->target == target && timer->key == key) timer->alive = false;
  }
  if (!updating_) std::erase_if(timers_, [](const auto& t) { return !t->alive; });
}

void Scheduler::unscheduleAllForTarget(const void* target) {
  for (auto& timer : timers_) {
    if (timer->target == target) timer->alive = false;
  }
  if (!updating_) std::erase_if(timers_, [](const auto& t) { return !t->alive; });
}

void Scheduler::unscheduleAll() {
  for (auto& timer : timers_) timer->alive = false;
  if (!updating_) timers_.clear();
}

bool Scheduler::isScheduled(const std::string& key, const void* target) const {
  return std::any_of(timers_.begin(), timers_.end(), [&](const auto& t) {
    return t->alive && t->target == target && t->key == key;
  });
}

std::size_t Scheduler::timerCount() const {
  return static_cast<std::size_t>(
      std::count_if(timers_.begin(), timers_.end(), [](const auto& t) { return t->alive; }));
}

void Scheduler::pauseTarget(const void* target) {
  for (auto& timer : timers_) {
    if (timer->alive && timer->target == target && !timer->paused) {
      timer->paused = true;
      timer->pausedAt = now_;
    }
  }
}

void Scheduler::resumeTarget(const void* target) {
  for (auto& timer : timers_) {
    if (timer->alive && timer->target == target && timer->paused) {
      timer->paused = false;
      // Time spent paused does not count towards the interval.
      double shift = now_ - timer->pausedAt;
      timer->start += shift;
      timer->nextDue += shift;
      timer->lastFire += shift;
    }
  }
}

bool Scheduler::isTargetPaused(const void* target) const {
  bool any = false;
  for (const auto& timer : timers_) {
    if (timer->alive && timer->target == target) {
      if (!timer->paused) return false;
      any = true;
    }
  }
  return any;
}

void Scheduler::update(double now) {
  now_ = std::max(now_, now);
  std::vector<std::shared_ptr<Timer>> due;
  for (const auto& timer : timers_) {
    if (timer->alive && !timer->paused && timer->nextDue <= now_ + kEpsilon) due.push_back(timer);
  }
  std::sort(due.begin(), due.end(), [](const auto& a, const auto& b) {
    if (a->nextDue != b->nextDue) return a->nextDue < b->nextDue;
    return a->sequence < b->sequence;
  });
  ++updating_;
  for (const auto& timer : due) {
    // An earlier callback may have ended or paused this timer.
    if (!timer->alive || timer->paused) continue;
    float dt = static_cast<float>(now_ - timer->lastFire);
    timer->lastFire = now_;
    ++timer->fired;
    if (timer->repeat != kRepeatForever && timer->fired > timer->repeat) {
      timer->alive = false;
    } else if (timer->interval <= 0) {
      timer->nextDue = now_ + frameInterval_;
    } else {
      ++timer->steps;
      timer->nextDue = timer->start + timer->interval * static_cast<double>(timer->steps);
      if (timer->nextDue <= now_ + kEpsilon) {
        // Fell behind (a blocked loop): skip the missed calls, keep the rhythm.
        auto behind = static_cast<std::uint64_t>((now_ - timer->start) / timer->interval);
        timer->steps = behind + 1;
        timer->nextDue = timer->start + timer->interval * static_cast<double>(timer->steps);
      }
    }
    timer->callback(dt);
    if (afterCallback_) afterCallback_();
  }
  --updating_;
  if (!updating_) std::erase_if(timers_, [](const auto& t) { return !t->alive; });
}

double Scheduler::nextDueTime() const {
  double next = std::numeric_limits<double>::infinity();
  for (const auto& timer : timers_) {
    if (timer->alive && !timer->paused) next = std::min(next, timer->nextDue);
  }
  return next;
}

void Scheduler::performFunctionInMainThread(std::function<void()> function) {
  std::function<void()> wake;
  {
    std::lock_guard lock(pendingMutex_);
    pending_.push_back(std::move(function));
    wake = wakeUp_;
  }
  if (wake) wake();
}

void Scheduler::runPendingFunctions() {
  std::vector<std::function<void()>> run;
  {
    std::lock_guard lock(pendingMutex_);
    run.swap(pending_);
  }
  for (auto& function : run) function();
}

bool Scheduler::hasPendingFunctions() const {
  std::lock_guard lock(pendingMutex_);
  return !pending_.empty();
}

void Scheduler::setWakeUpHandler(std::function<void()> handler) {
  std::lock_guard lock(pendingMutex_);
  wakeUp_ = std::move(handler);
}

}  // namespace engine
