// Listeners that the event dispatcher calls: single touches, and keys.
#pragma once

#include <functional>

#include "engine/event.h"
#include "engine/platform.h"
#include "engine/ref.h"

namespace engine {

class EventListener : public Ref {
 public:
  enum class Type { TOUCH_ONE_BY_ONE, KEYBOARD };

  Type getType() const { return type_; }
  void setEnabled(bool enabled) { enabled_ = enabled; }
  bool isEnabled() const { return enabled_; }
  // The node whose place in the scene graph orders the listener; null for a
  // fixed-priority listener.
  Node* getAssociatedNode() const { return node_; }
  // Registered with the dispatcher and not removed since.
  bool isRegistered() const { return registered_; }

 protected:
  explicit EventListener(Type type) : type_(type) {}

 private:
  friend class EventDispatcher;
  Type type_;
  bool enabled_ = true;
  bool registered_ = false;
  Node* node_ = nullptr;
  int fixedPriority_ = 0;
};

// Gets onTouchBegan for every touch that starts; when that returns true, the
// listener claims the touch and gets its moves and its end. A swallowing
// listener that claims a touch keeps it from the listeners below it.
class EventListenerTouchOneByOne : public EventListener {
 public:
  static EventListenerTouchOneByOne* create();

  void setSwallowTouches(bool swallow) { swallowTouches_ = swallow; }
  bool isSwallowTouches() const { return swallowTouches_; }

  std::function<bool(Touch*, Event*)> onTouchBegan;
  std::function<void(Touch*, Event*)> onTouchMoved;
  std::function<void(Touch*, Event*)> onTouchEnded;
  std::function<void(Touch*, Event*)> onTouchCancelled;

 protected:
  EventListenerTouchOneByOne() : EventListener(Type::TOUCH_ONE_BY_ONE) {}

 private:
  bool swallowTouches_ = false;
};

class EventListenerKeyboard : public EventListener {
 public:
  static EventListenerKeyboard* create();

  std::function<void(Key, Event*)> onKeyPressed;

 protected:
  EventListenerKeyboard() : EventListener(Type::KEYBOARD) {}
};

}  // namespace engine
