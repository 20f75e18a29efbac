// Widgets take their touches through a swallowing listener of their own, so a
// touch a widget takes never reaches the listeners below it.
#include "engine/ui_widget.h"

#include "engine/director.h"

namespace engine::ui {

Widget::~Widget() {
  if (listener_) {
    Director::getInstance()->getEventDispatcher()->removeEventListener(listener_);
    listener_->release();
  }
}

bool Widget::init() {
  if (!Node::init()) return false;
  setAnchorPoint(Vec2::ANCHOR_MIDDLE);
  if (!listener_) {
    listener_ = EventListenerTouchOneByOne::create();
    listener_->retain();
    listener_->setSwallowTouches(true);
    listener_->onTouchBegan = [this](Touch* touch, Event*) { return onTouchBegan(touch); };
    listener_->onTouchMoved = [this](Touch* touch, Event*) { onTouchMoved(touch); };
    listener_->onTouchEnded = [this](Touch* touch, Event*) { onTouchEnded(touch, false); };
    listener_->onTouchCancelled = [this](Touch* touch, Event*) { onTouchEnded(touch, true); };
    Director::getInstance()->getEventDispatcher()->addEventListenerWithSceneGraphPriority(listener_,
                                                                                          this);
  }
  return true;
}

void Widget::onEnter() {
  // A widget cleaned up and added again gets its listener back.
  if (listener_ && !listener_->isRegistered()) {
    Director::getInstance()->getEventDispatcher()->addEventListenerWithSceneGraphPriority(listener_,
                                                                                          this);
  }
  Node::onEnter();
}

void Widget::addTouchEventListener(const ccWidgetTouchCallback& callback) {
  callback_ = callback;
}

void Widget::setEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  if (!enabled) highlighted_ = false;
  onPressStateChanged();
  markDirty();
}

void Widget::setTouchEnabled(bool enabled) {
  touchEnabled_ = enabled;
}

void Widget::setSwallowTouches(bool swallow) {
  if (listener_) listener_->setSwallowTouches(swallow);
}

bool Widget::isSwallowTouches() const {
  return listener_ && listener_->isSwallowTouches();
}

bool Widget::hitTest(const Vec2& scenePoint) const {
  Vec2 local = convertToNodeSpace(scenePoint);
  const Size& size = getContentSize();
  return Rect(0, 0, size.width, size.height).containsPoint(local);
}

void Widget::setHighlighted(bool highlighted) {
  if (highlighted == highlighted_) return;
  highlighted_ = highlighted;
  onPressStateChanged();
  markDirty();
}

bool Widget::acceptsTouches() const {
  return enabled_ && touchEnabled_ && isRunning() && isVisibleOnScreen();
}

bool Widget::onTouchBegan(Touch* touch) {
  if (!acceptsTouches() || !hitTest(touch->getLocation())) return false;
  setHighlighted(true);
  notify(TouchEventType::BEGAN);
  return true;
}

void Widget::onTouchMoved(Touch* touch) {
  if (!acceptsTouches()) return;
  setHighlighted(hitTest(touch->getLocation()));
  notify(TouchEventType::MOVED);
}

void Widget::onTouchEnded(Touch* touch, bool cancelled) {
  // Hidden or disabled while pressed: the press does not count.
  bool inside = highlighted_ && acceptsTouches() && hitTest(touch->getLocation());
  setHighlighted(false);
  notify(inside && !cancelled ? TouchEventType::ENDED : TouchEventType::CANCELED);
}

void Widget::notify(TouchEventType type) {
  if (!callback_) return;
  // The handler may remove this widget, or replace its own handler.
  retain();
  ccWidgetTouchCallback callback = callback_;
  callback(this, type);
  release();
}

}  // namespace engine::ui
