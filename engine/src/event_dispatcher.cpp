// Touch and key dispatch. Listeners removed while an event is being dispatched
// are only marked, and released once the dispatch is over.
#include "engine/event_dispatcher.h"

#include <algorithm>
#include <unordered_map>

#include "engine/director.h"
#include "engine/node.h"

namespace engine {

struct EventDispatcher::Entry {
  EventListener* listener = nullptr;
  bool removed = false;
};

struct EventDispatcher::ActiveTouch {
  int id = 0;
  Touch* touch = nullptr;
  std::vector<EventListenerTouchOneByOne*> claimed;
};

EventDispatcher::EventDispatcher() = default;

EventDispatcher::~EventDispatcher() {
  for (auto& touch : touches_) touch->touch->release();
  for (auto& entry : entries_) entry->listener->release();
}

void EventDispatcher::addEventListenerWithSceneGraphPriority(EventListener* listener, Node* node) {
  if (!listener || !node || listener->registered_) return;
  listener->retain();
  listener->registered_ = true;
  listener->node_ = node;
  listener->fixedPriority_ = 0;
  entries_.push_back(std::make_unique<Entry>(Entry{listener, false}));
}

void EventDispatcher::addEventListenerWithFixedPriority(EventListener* listener,
                                                        int fixedPriority) {
  if (!listener || listener->registered_) return;
  listener->retain();
  listener->registered_ = true;
  listener->node_ = nullptr;
  listener->fixedPriority_ = fixedPriority == 0 ? 1 : fixedPriority;
  entries_.push_back(std::make_unique<Entry>(Entry{listener, false}));
}

void EventDispatcher::removeEventListener(EventListener* listener) {
  for (auto& entry : entries_) {
    if (entry->listener == listener && !entry->removed) {
      entry->removed = true;
      listener->registered_ = false;
    }
  }
  purgeRemoved();
}

void EventDispatcher::removeEventListenersForTarget(const Node* node, bool recursive) {
  if (!node) return;
  for (auto& entry : entries_) {
    if (!entry->removed && entry->listener->node_ == node) {
      entry->removed = true;
      entry->listener->registered_ = false;
    }
  }
  if (recursive) {
    for (Node* child : node->getChildren()) removeEventListenersForTarget(child, true);
  }
  purgeRemoved();
}

void EventDispatcher::removeAllEventListeners() {
  for (auto& entry : entries_) {
    entry->removed = true;
    entry->listener->registered_ = false;
  }
  purgeRemoved();
}

void EventDispatcher::purgeRemoved() {
  if (dispatching_) return;
  std::vector<EventListener*> released;
  std::erase_if(entries_, [&](const auto& entry) {
    if (!entry->removed) return false;
    released.push_back(entry->listener);
    return true;
  });
  if (released.empty()) return;
  for (auto& touch : touches_) {
    std::erase_if(touch->claimed, [&](EventListenerTouchOneByOne* l) {
      return std::find(released.begin(), released.end(), l) != released.end();
    });
  }
  for (EventListener* listener : released) listener->release();
}

std::size_t EventDispatcher::listenerCount() const {
  return static_cast<std::size_t>(std::count_if(entries_.begin(), entries_.end(),
                                                [](const auto& entry) { return !entry->removed; }));
}

bool EventDispatcher::hasListenersFor(const Node* node) const {
  return std::any_of(entries_.begin(), entries_.end(), [&](const auto& entry) {
    return !entry->removed && entry->listener->node_ == node;
  });
}

namespace {
void numberInDrawOrder(const Node* node, std::unordered_map<const Node*, int>& order, int& next) {
  const auto& children = node->getChildren();
  std::size_t i = 0;
  for (; i < children.size() && children[i]->getLocalZOrder() < 0; ++i) {
    numberInDrawOrder(children[i], order, next);
  }
  order[node] = next++;
  for (; i < children.size(); ++i) numberInDrawOrder(children[i], order, next);
}
}  // namespace

std::vector<EventListener*> EventDispatcher::orderedListeners(EventListener::Type type) const {
  std::unordered_map<const Node*, int> drawOrder;
  int next = 0;
  if (Scene* scene = Director::getInstance()->getRunningScene()) {
    numberInDrawOrder(scene, drawOrder, next);
  }
  struct Candidate {
    EventListener* listener;
    int group;  // 0 fixed negative, 1 scene graph, 2 fixed positive
    int rank;
    std::size_t added;
  };
  std::vector<Candidate> candidates;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    const Entry& entry = *entries_[i];
    EventListener* l = entry.listener;
    if (entry.removed || !l->enabled_ || l->type_ != type) continue;
    if (l->node_) {
      auto it = drawOrder.find(l->node_);
      if (it == drawOrder.end() || !l->node_->isRunning()) continue;
      candidates.push_back({l, 1, -it->second, i});
    } else {
      candidates.push_back({l, l->fixedPriority_ < 0 ? 0 : 2, l->fixedPriority_, i});
    }
  }
  std::stable_sort(candidates.begin(), candidates.end(), [](const auto& a, const auto& b) {
    if (a.group != b.group) return a.group < b.group;
    return a.rank < b.rank;
  });
  std::vector<EventListener*> ordered;
  ordered.reserve(candidates.size());
  for (const auto& c : candidates) ordered.push_back(c.listener);
  return ordered;
}

void EventDispatcher::dispatchTouchBegan(int id, const Vec2& location) {
  if (!enabled_) return;
  // A touch with this id that never ended is cancelled first.
  finishTouch(id, location, true);
  auto active = std::make_unique<ActiveTouch>();
  active->id = id;
  active->touch = new Touch();
  active->touch->start(id, location);
  ++dispatching_;
  EventTouch event(EventTouch::EventCode::BEGAN);
  for (EventListener* l : orderedListeners(EventListener::Type::TOUCH_ONE_BY_ONE)) {
    auto* listener = static_cast<EventListenerTouchOneByOne*>(l);
    if (!listener->registered_ || !listener->onTouchBegan) continue;
    event.setCurrentTarget(listener->node_);
    if (listener->onTouchBegan(active->touch, &event)) {
      active->claimed.push_back(listener);
      if (listener->isSwallowTouches()) break;
    }
    if (event.isStopped()) break;
  }
  --dispatching_;
  touches_.push_back(std::move(active));
  purgeRemoved();
}

void EventDispatcher::dispatchTouchMoved(int id, const Vec2& location) {
  if (!enabled_) return;
  auto it =
      std::find_if(touches_.begin(), touches_.end(), [id](const auto& t) { return t->id == id; });
  if (it == touches_.end()) return;
  ActiveTouch* active = it->get();
  active->touch->setTouchInfo(id, location);
  active->touch->retain();
  std::vector<EventListenerTouchOneByOne*> claimed = active->claimed;
  ++dispatching_;
  EventTouch event(EventTouch::EventCode::MOVED);
  for (EventListenerTouchOneByOne* listener : claimed) {
    if (!listener->registered_ || !listener->onTouchMoved) continue;
    event.setCurrentTarget(listener->node_);
    listener->onTouchMoved(active->touch, &event);
    if (event.isStopped()) break;
  }
  --dispatching_;
  active->touch->release();
  purgeRemoved();
}

void EventDispatcher::dispatchTouchEnded(int id, const Vec2& location) {
  if (enabled_) finishTouch(id, location, false);
}

void EventDispatcher::dispatchTouchCancelled(int id, const Vec2& location) {
  finishTouch(id, location, true);
}

void EventDispatcher::finishTouch(int id, const Vec2& location, bool cancelled) {
  auto it =
      std::find_if(touches_.begin(), touches_.end(), [id](const auto& t) { return t->id == id; });
  if (it == touches_.end()) return;
  std::unique_ptr<ActiveTouch> active = std::move(*it);
  touches_.erase(it);
  active->touch->setTouchInfo(id, location);
  ++dispatching_;
  EventTouch event(cancelled ? EventTouch::EventCode::CANCELLED : EventTouch::EventCode::ENDED);
  for (EventListenerTouchOneByOne* listener : active->claimed) {
    if (!listener->registered_) continue;
    auto& callback = cancelled ? listener->onTouchCancelled : listener->onTouchEnded;
    if (!callback) continue;
    event.setCurrentTarget(listener->node_);
    callback(active->touch, &event);
    if (event.isStopped()) break;
  }
  --dispatching_;
  active->touch->release();
  purgeRemoved();
}

void EventDispatcher::cancelAllTouches() {
  while (!touches_.empty()) {
    int id = touches_.front()->id;
    Vec2 at = touches_.front()->touch->getLocation();
    finishTouch(id, at, true);
  }
}

void EventDispatcher::dispatchKey(Key key) {
  if (!enabled_) return;
  ++dispatching_;
  Event event(Event::Type::KEYBOARD);
  for (EventListener* l : orderedListeners(EventListener::Type::KEYBOARD)) {
    auto* listener = static_cast<EventListenerKeyboard*>(l);
    if (!listener->registered_ || !listener->onKeyPressed) continue;
    event.setCurrentTarget(listener->node_);
    listener->onKeyPressed(key, &event);
    if (event.isStopped()) break;
  }
  --dispatching_;
  purgeRemoved();
}

}  // namespace engine
