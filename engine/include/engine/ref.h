// Intrusive reference counting with a per-frame autorelease pool, as every
// engine object (nodes, frames, listeners, views) uses it.
#pragma once

#include <cstddef>
#include <vector>

namespace engine {

// An object starts with one reference, owned by whoever made it. autorelease()
// hands that reference to the pool, which drops it at the end of the frame;
// whoever keeps the object (a parent node, the sprite-frame cache) retains it.
// Reference counts belong to the main thread.
class Ref {
 public:
  Ref(const Ref&) = delete;
  Ref& operator=(const Ref&) = delete;
  virtual ~Ref();

  void retain();
  // Deletes the object when the last reference goes.
  void release();
  Ref* autorelease();
  unsigned int getReferenceCount() const { return referenceCount_; }

 protected:
  Ref() = default;

 private:
  unsigned int referenceCount_ = 1;
};

// The pool that autorelease() fills; the director clears it once per frame.
class AutoreleasePool {
 public:
  static AutoreleasePool* getInstance();

  void addObject(Ref* object);
  // Releases every object once, in the order they were added. Objects
  // autoreleased while clearing wait for the next clear.
  void clear();
  bool contains(const Ref* object) const;
  std::size_t size() const { return objects_.size(); }

 private:
  std::vector<Ref*> objects_;
};

// Runs init() on a new T and returns it autoreleased, or null when init fails.
template <class T>
T* createAutoreleased() {
  T* object = new T();
  if (object->init()) {
    object->autorelease();
    return object;
  }
  delete object;
  return nullptr;
}

}  // namespace engine
