// The modal message box: text and title, UTF-8. Blocks its caller until closed.
// In a window it is drawn over the scene (title, wrapped text, OK; Enter and
// Escape close it). On the main thread it runs a loop of its own that draws
// but runs no timers; from another thread it is handed to the main thread,
// whose loop goes on while the caller waits.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace engine {

void MessageBox(const std::string& text, const std::string& title);

// Where no window exists, and in tests, an installed handler receives every box
// instead of the screen. It is called on the thread that shows the box and
// must be safe to call from any thread. An empty handler restores the default.
using MessageBoxHandler = std::function<void(const std::string& text, const std::string& title)>;
void setMessageBoxHandler(MessageBoxHandler handler);

// Boxes on screen now (main thread).
std::size_t visibleMessageBoxCount();

}  // namespace engine
