// Records every engine::MessageBox shown while it lives, on any thread, and
// lets a test wait for the n-th one. Only one recorder should live at a time.
#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace test_support {

using namespace std::chrono_literals;

struct RecordedBox {
  std::string text;
  std::string title;
  bool operator==(const RecordedBox&) const = default;
};
std::ostream& operator<<(std::ostream& out, const RecordedBox& box);

class MessageBoxRecorder {
 public:
  // Installs the recorder as the engine's message-box handler.
  MessageBoxRecorder();
  // Restores the default handler. A box shown by another thread after this
  // is printed by the engine, never recorded into a dead recorder.
  ~MessageBoxRecorder();
  MessageBoxRecorder(const MessageBoxRecorder&) = delete;
  MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

  std::size_t count() const;
  std::vector<RecordedBox> boxes() const;

  // Waits until at least `n` boxes have been shown (n counts from 1) and
  // returns the n-th; nullopt on time-out.
  std::optional<RecordedBox> waitForBox(std::size_t n,
                                        std::chrono::milliseconds timeout = 10s) const;
  // Waits until at least `n` boxes have been shown; returns them all, or
  // nullopt on time-out.
  std::optional<std::vector<RecordedBox>> waitForCount(
      std::size_t n, std::chrono::milliseconds timeout = 10s) const;

 private:
  struct State;
  std::shared_ptr<State> state_;
};

}  // namespace test_support
