// The scene graph's node: position, anchor, size, scale, colour, visibility,
// children drawn by z-order, and timers that live as long as the node runs.
#pragma once

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "engine/ref.h"
#include "engine/scheduler.h"
#include "engine/types.h"

namespace engine {

class Platform;

// A 2D transform with scale and translation only: p' = (a * x + tx, d * y + ty).
struct Transform2D {
  float a = 1;
  float d = 1;
  float tx = 0;
  float ty = 0;

  Vec2 apply(const Vec2& p) const { return {a * p.x + tx, d * p.y + ty}; }
  Transform2D then(const Transform2D& outer) const {
    return {outer.a * a, outer.d * d, outer.a * tx + outer.tx, outer.d * ty + outer.ty};
  }
  Transform2D inverse() const {
    float ia = a != 0 ? 1 / a : 0;
    float id = d != 0 ? 1 / d : 0;
    return {ia, id, -tx * ia, -ty * id};
  }
};

// What a node draws with: the platform, and the mapping from the scene's
// coordinates (y up) to window pixels (y down).
struct RenderContext {
  Platform* platform = nullptr;
  Transform2D sceneToWindow;
};

class Node : public Ref {
 public:
  static Node* create();
  ~Node() override;

  virtual bool init();

  // -- children
  // Without a z-order the child keeps its own (0 unless set). Higher z-orders
  // draw later; equal ones in the order they were added.
  virtual void addChild(Node* child);
  virtual void addChild(Node* child, int localZOrder);
  virtual void addChild(Node* child, int localZOrder, int tag);
  virtual void addChild(Node* child, int localZOrder, const std::string& name);
  // With cleanup the child's timers and listeners end too. The child is
  // released; it goes unless someone else holds it.
  virtual void removeChild(Node* child, bool cleanup = true);
  virtual void removeAllChildrenWithCleanup(bool cleanup);
  void removeAllChildren() { removeAllChildrenWithCleanup(true); }
  void removeFromParent() { removeFromParentAndCleanup(true); }
  void removeFromParentAndCleanup(bool cleanup);
  void removeChildByTag(int tag, bool cleanup = true);
  void removeChildByName(const std::string& name, bool cleanup = true);
  void reorderChild(Node* child, int localZOrder);

  const std::vector<Node*>& getChildren() const { return children_; }
  std::size_t getChildrenCount() const { return children_.size(); }
  Node* getChildByTag(int tag) const;
  Node* getChildByName(const std::string& name) const;
  Node* getParent() const { return parent_; }
  // The children in drawing order (z-order, then order of adding).
  std::vector<Node*> getChildrenInDrawOrder() const;

  void setLocalZOrder(int z);
  int getLocalZOrder() const { return localZOrder_; }
  // Global order of adding; breaks ties between equal z-orders.
  unsigned long getOrderOfArrival() const { return orderOfArrival_; }

  void setTag(int tag) { tag_ = tag; }
  int getTag() const { return tag_; }
  void setName(const std::string& name) { name_ = name; }
  const std::string& getName() const { return name_; }

  // -- geometry: the anchor point of the content, at the position, in the
  // parent's coordinates.
  virtual void setPosition(const Vec2& position);
  void setPosition(float x, float y) { setPosition(Vec2(x, y)); }
  const Vec2& getPosition() const { return position_; }
  float getPositionX() const { return position_.x; }
  float getPositionY() const { return position_.y; }
  void setPositionX(float x) { setPosition(Vec2(x, position_.y)); }
  void setPositionY(float y) { setPosition(Vec2(position_.x, y)); }

  virtual void setAnchorPoint(const Vec2& anchor);
  const Vec2& getAnchorPoint() const { return anchorPoint_; }
  virtual void setContentSize(const Size& size);
  const Size& getContentSize() const { return contentSize_; }

  virtual void setScale(float scale);
  void setScale(float scaleX, float scaleY);
  void setScaleX(float scaleX);
  void setScaleY(float scaleY);
  float getScale() const { return scaleX_; }
  float getScaleX() const { return scaleX_; }
  float getScaleY() const { return scaleY_; }

  // The node's rectangle (content size, scaled, placed by its anchor) in its
  // parent's coordinates.
  Rect getBoundingBox() const;
  // Node space to parent space.
  Transform2D getNodeToParentTransform() const;
  Transform2D getNodeToWorldTransform() const;
  Vec2 convertToNodeSpace(const Vec2& worldPoint) const;
  Vec2 convertToWorldSpace(const Vec2& nodePoint) const;

  // -- appearance
  virtual void setVisible(bool visible);
  bool isVisible() const { return visible_; }
  // Visible, and every ancestor too.
  bool isVisibleOnScreen() const;
  virtual void setColor(const Color3B& color);
  const Color3B& getColor() const { return color_; }
  virtual void setOpacity(std::uint8_t opacity);
  std::uint8_t getOpacity() const { return opacity_; }

  // -- life in the running scene
  bool isRunning() const { return running_; }
  virtual void onEnter();
  virtual void onExit();
  // Ends the node's timers and touch listeners, and those of its children.
  virtual void cleanup();

  // -- timers: they run while the node is in the running scene.
  void schedule(SchedulerFunc callback, float interval, const std::string& key);
  void schedule(SchedulerFunc callback, float interval, unsigned int repeat, float delay,
                const std::string& key);
  void scheduleOnce(SchedulerFunc callback, float delay, const std::string& key);
  void unschedule(const std::string& key);
  void unscheduleAllCallbacks();
  bool isScheduled(const std::string& key) const;
  // A member function as the callback: schedule(&CDeskScene::tick, 0.1f).
  template <class T>
  void schedule(void (T::*member)(float), float interval) {
    T* self = static_cast<T*>(this);
    schedule([self, member](float dt) { (self->*member)(dt); }, interval, memberKey(member));
  }
  template <class T>
  void unschedule(void (T::*member)(float)) {
    unschedule(memberKey(member));
  }
  template <class T>
  bool isScheduled(void (T::*member)(float)) const {
    return isScheduled(memberKey(member));
  }

  // -- drawing
  // Draws the node and its children (children with a negative z-order first).
  virtual void visit(const RenderContext& context, const Transform2D& parentToWindow);
  // Draws the node's own content; `nodeToWindow` maps its content to pixels.
  virtual void draw(const RenderContext& context, const Transform2D& nodeToWindow);

 protected:
  Node();
  // Tells the director that the screen needs drawing again.
  static void markDirty();

 private:
  template <class M>
  static std::string memberKey(M member) {
    unsigned char bytes[sizeof(M)];
    std::memcpy(bytes, &member, sizeof(M));
    static constexpr char hex[] = "0123456789abcdef";
    std::string key = "member:";
    for (unsigned char c : bytes) {
      key += hex[c >> 4];
      key += hex[c & 15];
    }
    return key;
  }
  void insertChild(Node* child, int localZOrder);
  void detachChild(std::size_t index, bool cleanup);

  Node* parent_ = nullptr;
  std::vector<Node*> children_;
  int localZOrder_ = 0;
  unsigned long orderOfArrival_ = 0;
  int tag_ = -1;
  std::string name_;

  Vec2 position_;
  Vec2 anchorPoint_;
  Size contentSize_;
  float scaleX_ = 1;
  float scaleY_ = 1;

  bool visible_ = true;
  Color3B color_ = Color3B::WHITE;
  std::uint8_t opacity_ = 255;
  bool running_ = false;
};

}  // namespace engine
