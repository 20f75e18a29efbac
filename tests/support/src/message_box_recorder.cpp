// The message-box recorder: its state is shared with the installed handler so
// that a box shown late by another thread never touches freed memory.
#include "test_support/message_box_recorder.h"

#include <condition_variable>
#include <mutex>

#include "engine/message_box.h"

namespace test_support {

struct MessageBoxRecorder::State {
  mutable std::mutex mutex;
  mutable std::condition_variable shown;
  std::vector<RecordedBox> boxes;
};

std::ostream& operator<<(std::ostream& out, const RecordedBox& box) {
  return out << "[" << box.title << "] " << box.text;
}

MessageBoxRecorder::MessageBoxRecorder() : state_(std::make_shared<State>()) {
  engine::setMessageBoxHandler([state = state_](const std::string& text, const std::string& title) {
    {
      std::lock_guard lock(state->mutex);
      state->boxes.push_back({text, title});
    }
    state->shown.notify_all();
  });
}

MessageBoxRecorder::~MessageBoxRecorder() {
  engine::setMessageBoxHandler({});
}

std::size_t MessageBoxRecorder::count() const {
  std::lock_guard lock(state_->mutex);
  return state_->boxes.size();
}

std::vector<RecordedBox> MessageBoxRecorder::boxes() const {
  std::lock_guard lock(state_->mutex);
  return state_->boxes;
}

std::optional<RecordedBox> MessageBoxRecorder::waitForBox(std::size_t n,
                                                          std::chrono::milliseconds timeout) const {
  if (n == 0) return std::nullopt;
  auto all = waitForCount(n, timeout);
  if (!all) return std::nullopt;
  return (*all)[n - 1];
}

std::optional<std::vector<RecordedBox>> MessageBoxRecorder::waitForCount(
    std::size_t n, std::chrono::milliseconds timeout) const {
  std::unique_lock lock(state_->mutex);
  if (!state_->shown.wait_for(lock, timeout, [&] { return state_->boxes.size() >= n; })) {
    return std::nullopt;
  }
  return state_->boxes;
}

}  // namespace test_support
