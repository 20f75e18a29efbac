// Sprite frames and their cache.
#include "engine/sprite_frame.h"

#include "engine/texture_cache.h"

namespace engine {

SpriteFrame::SpriteFrame(std::string filename, const Rect& rect)
    : filename_(std::move(filename)), rect_(rect) {}

SpriteFrame* SpriteFrame::create(const std::string& filename, const Rect& rect) {
  auto* frame = new SpriteFrame(filename, rect);
  frame->autorelease();
  return frame;
}

std::shared_ptr<Texture> SpriteFrame::getTexture() const {
  TextureCache* cache = TextureCache::getInstance();
  if (textureGeneration_ != cache->generation() || !texture_) {
    texture_ = cache->addImage(filename_);
    textureGeneration_ = cache->generation();
  }
  return texture_;
}

SpriteFrameCache* SpriteFrameCache::getInstance() {
  static SpriteFrameCache* cache = new SpriteFrameCache;
  return cache;
}

void SpriteFrameCache::destroyInstance() {
  getInstance()->removeSpriteFrames();
}

SpriteFrameCache::~SpriteFrameCache() {
  removeSpriteFrames();
}

void SpriteFrameCache::addSpriteFrame(SpriteFrame* frame, const std::string& name) {
  if (!frame) return;
  frame->retain();
  auto [it, inserted] = frames_.try_emplace(name, frame);
  if (!inserted) {
    it->second->release();
    it->second = frame;
  }
}

SpriteFrame* SpriteFrameCache::getSpriteFrameByName(const std::string& name) const {
  auto it = frames_.find(name);
  return it == frames_.end() ? nullptr : it->second;
}

bool SpriteFrameCache::isSpriteFrameAvailable(const std::string& name) const {
  return frames_.count(name) != 0;
}

void SpriteFrameCache::removeSpriteFrameByName(const std::string& name) {
  auto it = frames_.find(name);
  if (it == frames_.end()) return;
  it->second->release();
  frames_.erase(it);
}

void SpriteFrameCache::removeSpriteFrames() {
  std::map<std::string, SpriteFrame*> frames;
  frames.swap(frames_);
  for (auto& [name, frame] : frames) frame->release();
}

}  // namespace engine
