// The base of the interface widgets: touch handling with a listener of its
// own, above the scene's listeners, and the enabled state.
#pragma once

#include <functional>

#include "engine/event_listener_touch.h"
#include "engine/node.h"

namespace engine::ui {

class Widget : public Node {
 public:
  enum class TouchEventType { BEGAN = 0, MOVED = 1, ENDED = 2, CANCELED = 3 };
  enum class TextureResType { LOCAL = 0, PLIST = 1 };
  using ccWidgetTouchCallback = std::function<void(Ref* sender, TouchEventType type)>;

  ~Widget() override;
  bool init() override;
  void onEnter() override;

  // BEGAN when a touch starts on the widget, MOVED as it moves, then ENDED
  // when it is released over the widget or CANCELED when elsewhere.
  void addTouchEventListener(const ccWidgetTouchCallback& callback);
  // A member function of `target` as the listener.
  template <class T>
  void addTouchEventListener(T* target, void (T::*handler)(Ref*, TouchEventType)) {
    addTouchEventListener(
        [target, handler](Ref* sender, TouchEventType type) { (target->*handler)(sender, type); });
  }

  // A disabled widget shows its disabled look and gets no touches.
  virtual void setEnabled(bool enabled);
  bool isEnabled() const { return enabled_; }
  // A widget that is not touch-enabled lets touches through.
  void setTouchEnabled(bool enabled);
  bool isTouchEnabled() const { return touchEnabled_; }
  void setSwallowTouches(bool swallow);
  bool isSwallowTouches() const;
  // Pressed: a touch that began on the widget is over it.
  bool isHighlighted() const { return highlighted_; }

  // Whether a point in the scene's coordinates is on the widget.
  virtual bool hitTest(const Vec2& scenePoint) const;

 protected:
  Widget() = default;
  virtual void onPressStateChanged() {}

 private:
  bool onTouchBegan(Touch* touch);
  void onTouchMoved(Touch* touch);
  void onTouchEnded(Touch* touch, bool cancelled);
  void notify(TouchEventType type);
  void setHighlighted(bool highlighted);
  bool acceptsTouches() const;

  ccWidgetTouchCallback callback_;
  EventListenerTouchOneByOne* listener_ = nullptr;
  bool enabled_ = true;
  bool touchEnabled_ = true;
  bool highlighted_ = false;
};

}  // namespace engine::ui
