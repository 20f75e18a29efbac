// Reference counting and the autorelease pool.
#include "engine/ref.h"

#include <algorithm>
#include <cassert>

namespace engine {

Ref::~Ref() = default;

void Ref::retain() {
  ++referenceCount_;
}

void Ref::release() {
  assert(referenceCount_ > 0);
  if (--referenceCount_ == 0) delete this;
}

Ref* Ref::autorelease() {
  AutoreleasePool::getInstance()->addObject(this);
  return this;
}

AutoreleasePool* AutoreleasePool::getInstance() {
  // Never destroyed: objects may be autoreleased during static destruction.
  static AutoreleasePool* pool = new AutoreleasePool;
  return pool;
}

void AutoreleasePool::addObject(Ref* object) {
  objects_.push_back(object);
}

void AutoreleasePool::clear() {
  std::vector<Ref*> draining;
  draining.swap(objects_);
  for (Ref* object : draining) object->release();
}

bool AutoreleasePool::contains(const Ref* object) const {
  return std::find(objects_.begin(), objects_.end(), object) != objects_.end();
}

}  // namespace engine
