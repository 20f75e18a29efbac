// Images loaded once per view, by resolved file name.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "engine/platform.h"

namespace engine {

class TextureCache {
 public:
  static TextureCache* getInstance();

  // The image through the current view's platform; null without a view or
  // when the file cannot be read (failures are remembered until purged).
  std::shared_ptr<Texture> addImage(const std::string& filename);
  // Drops every image (the view changed).
  void removeAllTextures();
  std::size_t size() const { return textures_.size(); }
  // Changes whenever the cache is purged, so holders of textures know to reload.
  unsigned long generation() const { return generation_; }

 private:
  std::map<std::string, std::shared_ptr<Texture>> textures_;
  unsigned long generation_ = 1;
};

}  // namespace engine
