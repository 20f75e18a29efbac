// Scenes and layers: full-screen nodes at the origin.
#include "engine/scene.h"

#include "engine/director.h"
#include "internal.h"

namespace engine {

Scene* Scene::create() {
  auto* scene = new Scene();
  if (scene->init()) {
    scene->autorelease();
    return scene;
  }
  delete scene;
  return nullptr;
}

bool Scene::init() {
  setAnchorPoint(Vec2::ANCHOR_BOTTOM_LEFT);
  setContentSize(Director::getInstance()->getVisibleSize());
  return true;
}

Layer* Layer::create() {
  auto* layer = new Layer();
  if (layer->init()) {
    layer->autorelease();
    return layer;
  }
  delete layer;
  return nullptr;
}

bool Layer::init() {
  setAnchorPoint(Vec2::ANCHOR_BOTTOM_LEFT);
  setContentSize(Director::getInstance()->getVisibleSize());
  return true;
}

bool Layer::onTouchBegan(Touch*, Event*) {
  return false;
}
void Layer::onTouchMoved(Touch*, Event*) {}
void Layer::onTouchEnded(Touch*, Event*) {}
void Layer::onTouchCancelled(Touch*, Event*) {}

LayerColor* LayerColor::create(const Color4B& color) {
  Size size = Director::getInstance()->getVisibleSize();
  return create(color, size.width, size.height);
}

LayerColor* LayerColor::create(const Color4B& color, float width, float height) {
  auto* layer = new LayerColor();
  if (layer->initWithColor(color, width, height)) {
    layer->autorelease();
    return layer;
  }
  delete layer;
  return nullptr;
}

bool LayerColor::initWithColor(const Color4B& color, float width, float height) {
  if (!Layer::init()) return false;
  setContentSize(Size(width, height));
  setColor(Color3B(color.r, color.g, color.b));
  setOpacity(color.a);
  return true;
}

void LayerColor::draw(const RenderContext& context, const Transform2D& nodeToWindow) {
  if (!context.platform) return;
  const Size& size = getContentSize();
  auto quad = detail::toWindow(nodeToWindow, Rect(0, 0, size.width, size.height));
  context.platform->fillRect(quad.rect, Color4B(getColor(), getOpacity()));
}

}  // namespace engine
