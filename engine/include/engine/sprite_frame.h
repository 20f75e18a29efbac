// Sprite frames: named rectangles of image files, and the process-wide cache
// that keeps them by name.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "engine/platform.h"
#include "engine/ref.h"
#include "engine/types.h"

namespace engine {

class SpriteFrame : public Ref {
 public:
  // `rect` is in image pixels from the image's top-left corner. The image is
  // loaded when first drawn; a frame of a missing file draws nothing.
  static SpriteFrame* create(const std::string& filename, const Rect& rect);

  const std::string& getTextureFilename() const { return filename_; }
  const Rect& getRect() const { return rect_; }
  Size getOriginalSize() const { return rect_.size; }
  // Null without a view or when the image cannot be read.
  std::shared_ptr<Texture> getTexture() const;

 private:
  SpriteFrame(std::string filename, const Rect& rect);
  std::string filename_;
  Rect rect_;
  mutable std::shared_ptr<Texture> texture_;
  mutable unsigned long textureGeneration_ = 0;
};

class SpriteFrameCache {
 public:
  static SpriteFrameCache* getInstance();
  static void destroyInstance();

  // The cache retains the frame; a frame under the same name is replaced.
  void addSpriteFrame(SpriteFrame* frame, const std::string& name);
  // Null for an unknown name.
  SpriteFrame* getSpriteFrameByName(const std::string& name) const;
  bool isSpriteFrameAvailable(const std::string& name) const;
  void removeSpriteFrameByName(const std::string& name);
  void removeSpriteFrames();
  std::size_t size() const { return frames_.size(); }

  ~SpriteFrameCache();

 private:
  SpriteFrameCache() = default;
  std::map<std::string, SpriteFrame*> frames_;
};

}  // namespace engine
