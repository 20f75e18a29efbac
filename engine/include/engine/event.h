// Touches and the events that carry them to listeners.
#pragma once

#include "engine/ref.h"
#include "engine/types.h"

namespace engine {

class Node;

// One finger (or the mouse button). Locations are in the scene's coordinates:
// y up, origin at the bottom-left corner of the visible area.
class Touch : public Ref {
 public:
  Touch() = default;

  int getId() const { return id_; }
  Vec2 getLocation() const { return location_; }
  Vec2 getPreviousLocation() const { return previousLocation_; }
  Vec2 getStartLocation() const { return startLocation_; }
  Vec2 getDelta() const { return location_ - previousLocation_; }

  // Called by the dispatcher as the touch moves.
  void setTouchInfo(int id, const Vec2& location);
  void start(int id, const Vec2& location);

 private:
  int id_ = 0;
  Vec2 location_;
  Vec2 previousLocation_;
  Vec2 startLocation_;
};

class Event {
 public:
  enum class Type { TOUCH, KEYBOARD, CUSTOM };

  explicit Event(Type type) : type_(type) {}
  virtual ~Event() = default;

  Type getType() const { return type_; }
  void stopPropagation() { stopped_ = true; }
  bool isStopped() const { return stopped_; }
  // The node of the listener being called.
  Node* getCurrentTarget() const { return currentTarget_; }
  void setCurrentTarget(Node* target) { currentTarget_ = target; }

 private:
  Type type_;
  bool stopped_ = false;
  Node* currentTarget_ = nullptr;
};

class EventTouch : public Event {
 public:
  enum class EventCode { BEGAN, MOVED, ENDED, CANCELLED };

  explicit EventTouch(EventCode code) : Event(Type::TOUCH), code_(code) {}
  EventCode getEventCode() const { return code_; }

 private:
  EventCode code_;
};

}  // namespace engine
