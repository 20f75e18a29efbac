// Sprites: a node that draws one image rectangle, anchored at its centre,
// with the size of its frame.
#pragma once

#include <memory>
#include <string>

#include "engine/node.h"
#include "engine/sprite_frame.h"

namespace engine {

class Sprite : public Node {
 public:
  // An empty sprite: it draws nothing until it gets a frame.
  static Sprite* create();
  // The whole image file, or a rectangle of it (image pixels, top-left origin).
  static Sprite* create(const std::string& filename);
  static Sprite* create(const std::string& filename, const Rect& rect);
  // Null for a null frame.
  static Sprite* createWithSpriteFrame(SpriteFrame* frame);
  // Null for an unknown name.
  static Sprite* createWithSpriteFrameName(const std::string& name);
  ~Sprite() override;

  bool init() override;
  virtual bool initWithFile(const std::string& filename);
  virtual bool initWithFile(const std::string& filename, const Rect& rect);
  // False, and the sprite unchanged, for a null frame.
  virtual bool initWithSpriteFrame(SpriteFrame* frame);
  virtual bool initWithSpriteFrameName(const std::string& name);

  // Shows another frame and takes its size.
  void setSpriteFrame(SpriteFrame* frame);
  void setSpriteFrame(const std::string& name);
  SpriteFrame* getSpriteFrame() const { return frame_; }
  // The file shown (empty for an empty sprite) and its rectangle.
  std::string getTextureFilename() const;
  Rect getTextureRect() const;

  void setFlippedX(bool flipped);
  void setFlippedY(bool flipped);
  bool isFlippedX() const { return flipX_; }
  bool isFlippedY() const { return flipY_; }

  void draw(const RenderContext& context, const Transform2D& nodeToWindow) override;

 protected:
  Sprite();

 private:
  SpriteFrame* frame_ = nullptr;
  bool flipX_ = false;
  bool flipY_ = false;
};

}  // namespace engine
