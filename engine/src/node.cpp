// The scene-graph node: children kept in drawing order, geometry, timers.
#include "engine/node.h"

#include <algorithm>
#include <cmath>

#include "engine/director.h"
#include "internal.h"

namespace engine {
namespace {
unsigned long nextArrival = 0;

bool drawsBefore(const Node* a, const Node* b) {
  if (a->getLocalZOrder() != b->getLocalZOrder()) return a->getLocalZOrder() < b->getLocalZOrder();
  return a->getOrderOfArrival() < b->getOrderOfArrival();
}
}  // namespace

namespace detail {

std::atomic<unsigned long> visualRevision{1};

WindowQuad toWindow(const Transform2D& t, const Rect& r) {
  Vec2 p0 = t.apply(r.origin);
  Vec2 p1 = t.apply(Vec2(r.getMaxX(), r.getMaxY()));
  WindowQuad quad;
  quad.rect = Rect(std::min(p0.x, p1.x), std::min(p0.y, p1.y), std::fabs(p1.x - p0.x),
                   std::fabs(p1.y - p0.y));
  quad.flipX = t.a < 0;
  quad.flipY = t.d > 0;
  return quad;
}

Platform* currentPlatform() {
  GLView* view = Director::getInstance()->getOpenGLView();
  return view ? view->getPlatform() : nullptr;
}

}  // namespace detail

Node::Node() = default;

Node::~Node() {
  Director* director = Director::getInstance();
  director->getScheduler()->unscheduleAllForTarget(this);
  director->getEventDispatcher()->removeEventListenersForTarget(this);
  for (Node* child : children_) {
    child->parent_ = nullptr;
    child->release();
  }
}

Node* Node::create() {
  auto* node = new Node();
  if (node->init()) {
    node->autorelease();
    return node;
  }
  delete node;
  return nullptr;
}

bool Node::init() {
  return true;
}

void Node::markDirty() {
  detail::invalidate();
}

// -- children

void Node::addChild(Node* child) {
  if (child) addChild(child, child->localZOrder_);
}

void Node::addChild(Node* child, int localZOrder) {
  if (!child || child->parent_ || child == this) return;
  child->retain();
  child->parent_ = this;
  child->orderOfArrival_ = ++nextArrival;
  insertChild(child, localZOrder);
  if (running_) child->onEnter();
  markDirty();
}

void Node::addChild(Node* child, int localZOrder, int tag) {
  if (!child) return;
  child->setTag(tag);
  addChild(child, localZOrder);
}

void Node::addChild(Node* child, int localZOrder, const std::string& name) {
  if (!child) return;
  child->setName(name);
  addChild(child, localZOrder);
}

void Node::insertChild(Node* child, int localZOrder) {
  child->localZOrder_ = localZOrder;
  auto at = std::upper_bound(children_.begin(), children_.end(), child, drawsBefore);
  children_.insert(at, child);
}

void Node::removeChild(Node* child, bool cleanup) {
  auto it = std::find(children_.begin(), children_.end(), child);
  if (it == children_.end()) return;
  detachChild(static_cast<std::size_t>(it - children_.begin()), cleanup);
}

void Node::detachChild(std::size_t index, bool cleanup) {
  Node* child = children_[index];
  if (child->running_) child->onExit();
  if (cleanup) child->cleanup();
  // onExit and cleanup may have changed the list.
  auto it = std::find(children_.begin(), children_.end(), child);
  if (it != children_.end()) children_.erase(it);
  child->parent_ = nullptr;
  markDirty();
  child->release();
}

void Node::removeAllChildrenWithCleanup(bool cleanup) {
  while (!children_.empty()) detachChild(children_.size() - 1, cleanup);
}

void Node::removeFromParentAndCleanup(bool cleanup) {
  if (parent_) parent_->removeChild(this, cleanup);
}

void Node::removeChildByTag(int tag, bool cleanup) {
  if (Node* child = getChildByTag(tag)) removeChild(child, cleanup);
}

void Node::removeChildByName(const std::string& name, bool cleanup) {
  if (Node* child = getChildByName(name)) removeChild(child, cleanup);
}

void Node::reorderChild(Node* child, int localZOrder) {
  auto it = std::find(children_.begin(), children_.end(), child);
  if (it == children_.end()) return;
  children_.erase(it);
  insertChild(child, localZOrder);
  markDirty();
}

Node* Node::getChildByTag(int tag) const {
  for (Node* child : children_) {
    if (child->tag_ == tag) return child;
  }
  return nullptr;
}

Node* Node::getChildByName(const std::string& name) const {
  for (Node* child : children_) {
    if (child->name_ == name) return child;
  }
  return nullptr;
}

std::vector<Node*> Node::getChildrenInDrawOrder() const {
  return children_;
}

void Node::setLocalZOrder(int z) {
  if (z == localZOrder_) return;
  if (parent_) {
    parent_->reorderChild(this, z);
  } else {
    localZOrder_ = z;
  }
}

// -- geometry

void Node::setPosition(const Vec2& position) {
  if (position == position_) return;
  position_ = position;
  markDirty();
}

void Node::setAnchorPoint(const Vec2& anchor) {
  if (anchor == anchorPoint_) return;
  anchorPoint_ = anchor;
  markDirty();
}

void Node::setContentSize(const Size& size) {
  if (size == contentSize_) return;
  contentSize_ = size;
  markDirty();
}

void Node::setScale(float scale) {
  setScale(scale, scale);
}

void Node::setScale(float scaleX, float scaleY) {
  if (scaleX == scaleX_ && scaleY == scaleY_) return;
  scaleX_ = scaleX;
  scaleY_ = scaleY;
  markDirty();
}

void Node::setScaleX(float scaleX) {
  setScale(scaleX, scaleY_);
}
void Node::setScaleY(float scaleY) {
  setScale(scaleX_, scaleY);
}

Transform2D Node::getNodeToParentTransform() const {
  return {scaleX_, scaleY_, position_.x - anchorPoint_.x * contentSize_.width * scaleX_,
          position_.y - anchorPoint_.y * contentSize_.height * scaleY_};
}

Transform2D Node::getNodeToWorldTransform() const {
  Transform2D t = getNodeToParentTransform();
  for (const Node* p = parent_; p; p = p->parent_) t = t.then(p->getNodeToParentTransform());
  return t;
}

Rect Node::getBoundingBox() const {
  Transform2D t = getNodeToParentTransform();
  Vec2 p0 = t.apply(Vec2::ZERO);
  Vec2 p1 = t.apply(Vec2(contentSize_.width, contentSize_.height));
  return Rect(std::min(p0.x, p1.x), std::min(p0.y, p1.y), std::fabs(p1.x - p0.x),
              std::fabs(p1.y - p0.y));
}

Vec2 Node::convertToNodeSpace(const Vec2& worldPoint) const {
  return getNodeToWorldTransform().inverse().apply(worldPoint);
}

Vec2 Node::convertToWorldSpace(const Vec2& nodePoint) const {
  return getNodeToWorldTransform().apply(nodePoint);
}

// -- appearance

void Node::setVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  markDirty();
}

bool Node::isVisibleOnScreen() const {
  for (const Node* n = this; n; n = n->parent_) {
    if (!n->visible_) return false;
  }
  return true;
}

void Node::setColor(const Color3B& color) {
  if (color == color_) return;
  color_ = color;
  markDirty();
}

void Node::setOpacity(std::uint8_t opacity) {
  if (opacity == opacity_) return;
  opacity_ = opacity;
  markDirty();
}

// -- life in the running scene

void Node::onEnter() {
  running_ = true;
  Director::getInstance()->getScheduler()->resumeTarget(this);
  std::vector<Node*> children = children_;
  for (Node* child : children) {
    if (!child->running_) child->onEnter();
  }
}

void Node::onExit() {
  running_ = false;
  Director::getInstance()->getScheduler()->pauseTarget(this);
  std::vector<Node*> children = children_;
  for (Node* child : children) {
    if (child->running_) child->onExit();
  }
}

void Node::cleanup() {
  Director* director = Director::getInstance();
  director->getScheduler()->unscheduleAllForTarget(this);
  director->getEventDispatcher()->removeEventListenersForTarget(this);
  std::vector<Node*> children = children_;
  for (Node* child : children) child->cleanup();
}

// -- timers

void Node::schedule(SchedulerFunc callback, float interval, const std::string& key) {
  schedule(std::move(callback), interval, Scheduler::kRepeatForever, 0, key);
}

void Node::schedule(SchedulerFunc callback, float interval, unsigned int repeat, float delay,
                    const std::string& key) {
  Director::getInstance()->getScheduler()->schedule(std::move(callback), this, interval, repeat,
                                                    delay, !running_, key);
}

void Node::scheduleOnce(SchedulerFunc callback, float delay, const std::string& key) {
  schedule(std::move(callback), 0, 0, delay, key);
}

void Node::unschedule(const std::string& key) {
  Director::getInstance()->getScheduler()->unschedule(key, this);
}

void Node::unscheduleAllCallbacks() {
  Director::getInstance()->getScheduler()->unscheduleAllForTarget(this);
}

bool Node::isScheduled(const std::string& key) const {
  return Director::getInstance()->getScheduler()->isScheduled(key, this);
}

// -- drawing

void Node::visit(const RenderContext& context, const Transform2D& parentToWindow) {
  if (!visible_) return;
  Transform2D toWindow = getNodeToParentTransform().then(parentToWindow);
  std::size_t i = 0;
  for (; i < children_.size() && children_[i]->localZOrder_ < 0; ++i) {
    children_[i]->visit(context, toWindow);
  }
  draw(context, toWindow);
  for (; i < children_.size(); ++i) children_[i]->visit(context, toWindow);
}

void Node::draw(const RenderContext&, const Transform2D&) {}

}  // namespace engine
