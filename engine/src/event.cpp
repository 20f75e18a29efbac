// Touches and the listener factories.
#include "engine/event.h"

#include "engine/event_listener_touch.h"

namespace engine {

void Touch::start(int id, const Vec2& location) {
  id_ = id;
  location_ = previousLocation_ = startLocation_ = location;
}

void Touch::setTouchInfo(int id, const Vec2& location) {
  id_ = id;
  previousLocation_ = location_;
  location_ = location;
}

EventListenerTouchOneByOne* EventListenerTouchOneByOne::create() {
  auto* listener = new EventListenerTouchOneByOne();
  listener->autorelease();
  return listener;
}

EventListenerKeyboard* EventListenerKeyboard::create() {
  auto* listener = new EventListenerKeyboard();
  listener->autorelease();
  return listener;
}

}  // namespace engine
