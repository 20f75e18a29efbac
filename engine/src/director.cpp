// The director and its main-loop iteration: input, functions handed over by
// other threads, timers, scene switches, drawing when needed, the pool.
#include "engine/director.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>

#include "engine/sprite_frame.h"
#include "engine/texture_cache.h"
#include "internal.h"

namespace engine {
namespace {
constexpr double kInfinity = std::numeric_limits<double>::infinity();
// Frames may come this much early, so that a clock that rounds does not skip one.
constexpr double kFrameSlack = 1e-4;

double steadyNow() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}
}  // namespace

// Counts callbacks on the stack; a scene switch waits until none is.
class SceneChangeGuard {
 public:
  explicit SceneChangeGuard(Director* d) : director_(d) { ++director_->callbackDepth_; }
  ~SceneChangeGuard() {
    if (--director_->callbackDepth_ == 0) director_->swapPendingScene();
  }
  SceneChangeGuard(const SceneChangeGuard&) = delete;
  SceneChangeGuard& operator=(const SceneChangeGuard&) = delete;

 private:
  Director* director_;
};

Director* Director::getInstance() {
  // Never destroyed: nodes released during static destruction still reach it.
  static Director* director = new Director;
  return director;
}

Director::Director() : mainThread_(std::this_thread::get_id()) {
  scheduler_.setCallbackObserver([this] {
    // Inside updateTimers the depth is one: the callback has returned.
    if (callbackDepth_ == 1 && nextScene_) swapPendingScene();
  });
}

Director::~Director() = default;

void Director::setOpenGLView(GLView* view) {
  if (view == view_) return;
  if (view) view->retain();
  TextureCache::getInstance()->removeAllTextures();
  if (view_) view_->release();
  view_ = view;
  if (view_) {
    Platform* platform = view_->getPlatform();
    scheduler_.setWakeUpHandler([platform] {
      if (platform) platform->wakeUp();
    });
    scheduler_.setCurrentTime(currentTime());
    lastDrawTime_ = -kInfinity;
  } else {
    scheduler_.setWakeUpHandler(nullptr);
  }
  setNeedsRedraw();
}

void Director::setAnimationInterval(float interval) {
  animationInterval_ = std::max(0.0f, interval);
  scheduler_.setFrameInterval(animationInterval_ > 0 ? animationInterval_ : 1.0 / 60);
}

void Director::setContentScaleFactor(float factor) {
  if (factor > 0) contentScaleFactor_ = factor;
}

void Director::runWithScene(Scene* scene) {
  replaceScene(scene);
}

void Director::replaceScene(Scene* scene) {
  if (!scene || scene == runningScene_) return;
  scene->retain();
  if (nextScene_) nextScene_->release();
  nextScene_ = scene;
  if (callbackDepth_ == 0) swapPendingScene();
}

void Director::swapPendingScene() {
  if (!nextScene_) return;
  Scene* old = runningScene_;
  runningScene_ = nextScene_;
  nextScene_ = nullptr;
  eventDispatcher_.cancelAllTouches();
  if (old) {
    old->onExit();
    old->cleanup();
    old->release();
  }
  runningScene_->onEnter();
  setNeedsRedraw();
}

Size Director::getVisibleSize() const {
  return view_ ? view_->getVisibleSize() : Size::ZERO;
}
Vec2 Director::getVisibleOrigin() const {
  return view_ ? view_->getVisibleOrigin() : Vec2::ZERO;
}
Size Director::getWinSize() const {
  return view_ ? view_->getDesignResolutionSize() : Size::ZERO;
}

void Director::stopAnimation() {
  animating_ = false;
}

void Director::startAnimation() {
  animating_ = true;
  setNeedsRedraw();
}

double Director::currentTime() const {
  if (view_ && view_->getPlatform()) return view_->getPlatform()->now();
  return steadyNow();
}

void Director::setNeedsRedraw() {
  drawnRevision_ = 0;
}

bool Director::needsRedraw() const {
  return drawnRevision_ != detail::visualRevision.load(std::memory_order_relaxed);
}

void Director::drainInput() {
  Platform* platform = view_ ? view_->getPlatform() : nullptr;
  if (!platform) return;
  InputEvent event;
  while (platform->pollEvent(event)) {
    if (interceptor_) {
      // Copied: the interceptor may remove itself.
      auto interceptor = interceptor_;
      if (interceptor(event)) continue;
    }
    handleInput(event);
  }
}

void Director::handleInput(const InputEvent& event) {
  switch (event.type) {
    case InputEvent::Type::MouseDown: {
      if (!view_) return;
      SceneChangeGuard guard(this);
      mouseDown_ = true;
      eventDispatcher_.dispatchTouchBegan(0, view_->windowToScene(Vec2(event.x, event.y)));
      break;
    }
    case InputEvent::Type::MouseMove: {
      if (!view_ || !mouseDown_) return;
      SceneChangeGuard guard(this);
      eventDispatcher_.dispatchTouchMoved(0, view_->windowToScene(Vec2(event.x, event.y)));
      break;
    }
    case InputEvent::Type::MouseUp: {
      if (!view_ || !mouseDown_) return;
      SceneChangeGuard guard(this);
      mouseDown_ = false;
      eventDispatcher_.dispatchTouchEnded(0, view_->windowToScene(Vec2(event.x, event.y)));
      break;
    }
    case InputEvent::Type::KeyDown: {
      SceneChangeGuard guard(this);
      eventDispatcher_.dispatchKey(event.key);
      break;
    }
    case InputEvent::Type::Quit:
      if (view_) view_->setWindowShouldClose(true);
      ended_ = true;
      break;
    case InputEvent::Type::Minimized:
      if (enterBackground_) {
        SceneChangeGuard guard(this);
        enterBackground_();
      }
      break;
    case InputEvent::Type::Restored:
      if (enterForeground_) {
        SceneChangeGuard guard(this);
        enterForeground_();
      }
      setNeedsRedraw();
      break;
    case InputEvent::Type::Exposed:
      if (view_) view_->frameSizeChanged();
      setNeedsRedraw();
      break;
    case InputEvent::Type::WakeUp:
      break;
  }
}

void Director::updateTimers() {
  {
    SceneChangeGuard guard(this);
    scheduler_.runPendingFunctions();
  }
  SceneChangeGuard guard(this);
  scheduler_.update(currentTime());
}

void Director::processFrame() {
  scheduler_.setCurrentTime(std::max(scheduler_.currentTime(), currentTime()));
  drainInput();
  updateTimers();
  double now = currentTime();
  if (view_ && animating_ && (needsRedraw() || redrawEveryFrame_) &&
      now - lastDrawTime_ >= animationInterval_ - kFrameSlack) {
    drawScene();
  }
  AutoreleasePool::getInstance()->clear();
}

void Director::modalIteration(double maxWait) {
  drainInput();
  double now = currentTime();
  if (view_ && animating_ && needsRedraw() &&
      now - lastDrawTime_ >= animationInterval_ - kFrameSlack) {
    drawScene();
  }
  Platform* platform = view_ ? view_->getPlatform() : nullptr;
  if (!platform) return;
  double wait = maxWait;
  if (needsRedraw()) wait = std::min(wait, std::max(0.0, lastDrawTime_ + animationInterval_ - now));
  platform->waitEvent(wait);
}

double Director::nextWakeTime() const {
  double next = scheduler_.nextDueTime();
  if (scheduler_.hasPendingFunctions() || nextScene_) return currentTime();
  if (view_ && animating_ && (needsRedraw() || redrawEveryFrame_)) {
    next = std::min(next, lastDrawTime_ + animationInterval_);
  }
  return next;
}

void Director::mainLoop() {
  processFrame();
  if (ended_) return;
  double wait = nextWakeTime() - currentTime();
  if (wait <= 0) return;
  Platform* platform = view_ ? view_->getPlatform() : nullptr;
  if (platform) {
    platform->waitEvent(std::min(wait, 3600.0));
  } else {
    std::this_thread::sleep_for(std::chrono::duration<double>(std::min(wait, 0.1)));
  }
}

void Director::drawScene() {
  Platform* platform = view_ ? view_->getPlatform() : nullptr;
  if (!platform) return;
  // Read before drawing: a change made while drawing asks for another frame.
  unsigned long revision = detail::visualRevision.load(std::memory_order_relaxed);
  RenderContext context{platform, view_->sceneToWindow()};
  platform->beginFrame(Color4B::BLACK);
  if (runningScene_) runningScene_->visit(context, context.sceneToWindow);
  std::vector<Overlay> overlays = overlays_;
  for (const auto& overlay : overlays) overlay.draw(context);
  platform->endFrame();
  lastDrawTime_ = currentTime();
  drawnRevision_ = revision;
  ++totalFrames_;
}

int Director::addOverlay(std::function<void(const RenderContext&)> draw) {
  int handle = nextOverlay_++;
  overlays_.push_back({handle, std::move(draw)});
  setNeedsRedraw();
  return handle;
}

void Director::removeOverlay(int handle) {
  std::erase_if(overlays_, [handle](const Overlay& o) { return o.handle == handle; });
  setNeedsRedraw();
}

void Director::setInputInterceptor(std::function<bool(const InputEvent&)> interceptor) {
  interceptor_ = std::move(interceptor);
  if (interceptor_) eventDispatcher_.cancelAllTouches();
  mouseDown_ = false;
}

void Director::setLifecycleHandlers(std::function<void()> enterBackground,
                                    std::function<void()> enterForeground) {
  enterBackground_ = std::move(enterBackground);
  enterForeground_ = std::move(enterForeground);
}

void Director::reset() {
  AutoreleasePool::getInstance()->clear();
  eventDispatcher_.cancelAllTouches();
  if (nextScene_) {
    nextScene_->release();
    nextScene_ = nullptr;
  }
  if (runningScene_) {
    Scene* scene = runningScene_;
    runningScene_ = nullptr;
    scene->onExit();
    scene->cleanup();
    scene->release();
  }
  AutoreleasePool::getInstance()->clear();
  scheduler_.unscheduleAll();
  scheduler_.runPendingFunctions();
  detail::closeAllMessageBoxes();
  eventDispatcher_.removeAllEventListeners();
  SpriteFrameCache::getInstance()->removeSpriteFrames();
  overlays_.clear();
  interceptor_ = nullptr;
  enterBackground_ = nullptr;
  enterForeground_ = nullptr;
  setOpenGLView(nullptr);
  AutoreleasePool::getInstance()->clear();
  animating_ = true;
  ended_ = false;
  redrawEveryFrame_ = false;
  mouseDown_ = false;
  totalFrames_ = 0;
  setAnimationInterval(1.0f / 60);
  contentScaleFactor_ = 1;
  scheduler_.setCurrentTime(0);
  lastDrawTime_ = -kInfinity;
}

}  // namespace engine
