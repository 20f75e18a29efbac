// Helpers shared by the core's sources: the drawing revision and geometry of draws.
#pragma once

#include <atomic>

#include "engine/node.h"
#include "engine/platform.h"

namespace engine::detail {

// Bumped by every visible change; the director draws when it moved.
extern std::atomic<unsigned long> visualRevision;
inline void invalidate() {
  visualRevision.fetch_add(1, std::memory_order_relaxed);
}

// The window rectangle of the node-space rectangle `r`, with the flips that a
// mirroring transform implies (window y runs down, so an unflipped transform
// has a negative d).
struct WindowQuad {
  Rect rect;
  bool flipX = false;
  bool flipY = false;
};
WindowQuad toWindow(const Transform2D& nodeToWindow, const Rect& r);

// The current view's platform, or null.
Platform* currentPlatform();

// Closes every message box on screen, releasing the threads that wait on them.
void closeAllMessageBoxes();

}  // namespace engine::detail
