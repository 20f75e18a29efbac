// Routes touches and keys to listeners: scene-graph listeners in reverse
// drawing order (what is drawn on top hears first), fixed priorities around them.
#pragma once

#include <memory>
#include <vector>

#include "engine/event_listener_touch.h"

namespace engine {

class Node;

class EventDispatcher {
 public:
  EventDispatcher();
  ~EventDispatcher();
  EventDispatcher(const EventDispatcher&) = delete;
  EventDispatcher& operator=(const EventDispatcher&) = delete;

  // The listener hears while `node` is in the running scene; it is retained
  // until removed, or until the node is cleaned up or destroyed.
  void addEventListenerWithSceneGraphPriority(EventListener* listener, Node* node);
  // Negative priorities hear before the scene graph, positive ones after.
  // Zero is reserved for the scene graph and is taken as 1.
  void addEventListenerWithFixedPriority(EventListener* listener, int fixedPriority);
  void removeEventListener(EventListener* listener);
  void removeEventListenersForTarget(const Node* node, bool recursive = false);
  void removeAllEventListeners();

  std::size_t listenerCount() const;
  bool hasListenersFor(const Node* node) const;

  void setEnabled(bool enabled) { enabled_ = enabled; }
  bool isEnabled() const { return enabled_; }

  // The input side, used by the director. Locations in the scene's coordinates.
  void dispatchTouchBegan(int id, const Vec2& location);
  void dispatchTouchMoved(int id, const Vec2& location);
  void dispatchTouchEnded(int id, const Vec2& location);
  void dispatchTouchCancelled(int id, const Vec2& location);
  void dispatchKey(Key key);
  // Cancels every touch in progress (a scene change, a modal box).
  void cancelAllTouches();

 private:
  struct Entry;
  struct ActiveTouch;
  std::vector<EventListener*> orderedListeners(EventListener::Type type) const;
  void finishTouch(int id, const Vec2& location, bool cancelled);
  void purgeRemoved();

  std::vector<std::unique_ptr<Entry>> entries_;
  std::vector<std::unique_ptr<ActiveTouch>> touches_;
  int dispatching_ = 0;
  bool enabled_ = true;
};

}  // namespace engine
