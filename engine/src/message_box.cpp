// Message box dispatch: an installed handler, else standard error.
#include "engine/message_box.h"

#include <cstdio>
#include <mutex>

namespace engine {
namespace {

std::mutex& handlerMutex() {
  static std::mutex mutex;
  return mutex;
}

MessageBoxHandler& installedHandler() {
  static MessageBoxHandler handler;
  return handler;
}

}  // namespace

void setMessageBoxHandler(MessageBoxHandler handler) {
  std::lock_guard lock(handlerMutex());
  installedHandler() = std::move(handler);
}

void MessageBox(const std::string& text, const std::string& title) {
  MessageBoxHandler handler;
  {
    std::lock_guard lock(handlerMutex());
    handler = installedHandler();
  }
  if (handler) {
    handler(text, title);
    return;
  }
  std::fprintf(stderr, "[%s] %s\n", title.c_str(), text.c_str());
}

}  // namespace engine
