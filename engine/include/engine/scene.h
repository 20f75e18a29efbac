// Scenes, the roots the director runs, and layers, the full-screen nodes that
// scenes hold: both stand at the origin with the visible size, unscaled.
#pragma once

#include "engine/event.h"
#include "engine/node.h"

namespace engine {

class Scene : public Node {
 public:
  static Scene* create();
  bool init() override;

 protected:
  Scene() = default;
};

class Layer : public Node {
 public:
  static Layer* create();
  bool init() override;

  // Touch callbacks a layer may bind to an EventListenerTouchOneByOne.
  virtual bool onTouchBegan(Touch* touch, Event* event);
  virtual void onTouchMoved(Touch* touch, Event* event);
  virtual void onTouchEnded(Touch* touch, Event* event);
  virtual void onTouchCancelled(Touch* touch, Event* event);

 protected:
  Layer() = default;
};

// A layer filled with one colour.
class LayerColor : public Layer {
 public:
  static LayerColor* create(const Color4B& color);
  static LayerColor* create(const Color4B& color, float width, float height);
  bool initWithColor(const Color4B& color, float width, float height);
  void draw(const RenderContext& context, const Transform2D& nodeToWindow) override;

 protected:
  LayerColor() = default;
};

}  // namespace engine
