// The modal message box: text and title, UTF-8. Blocks its caller until closed.
#pragma once

#include <functional>
#include <string>

namespace engine {

void MessageBox(const std::string& text, const std::string& title);

// Where no window exists, and in tests, an installed handler receives every box
// instead of the screen. It is called on the thread that shows the box and
// must be safe to call from any thread. An empty handler restores the default.
using MessageBoxHandler = std::function<void(const std::string& text, const std::string& title)>;
void setMessageBoxHandler(MessageBoxHandler handler);

}  // namespace engine
