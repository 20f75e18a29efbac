// Images per view, by the name they were asked for.
#include "engine/texture_cache.h"

#include "engine/file_utils.h"
#include "internal.h"

namespace engine {

TextureCache* TextureCache::getInstance() {
  static TextureCache* cache = new TextureCache;
  return cache;
}

std::shared_ptr<Texture> TextureCache::addImage(const std::string& filename) {
  if (filename.empty()) return nullptr;
  auto it = textures_.find(filename);
  if (it != textures_.end()) return it->second;
  Platform* platform = detail::currentPlatform();
  if (!platform) return nullptr;
  auto texture = platform->loadImage(FileUtils::getInstance()->fullPathForFilename(filename));
  textures_.emplace(filename, texture);
  return texture;
}

void TextureCache::removeAllTextures() {
  textures_.clear();
  ++generation_;
}

}  // namespace engine
