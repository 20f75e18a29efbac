// The director: the running scene, the view, the clock, the main loop's
// iteration (input, timers, drawing, the autorelease pool) and idle sleeping.
#pragma once

#include <functional>
#include <thread>

#include "engine/event_dispatcher.h"
#include "engine/gl_view.h"
#include "engine/scene.h"
#include "engine/scheduler.h"

namespace engine {

class Director {
 public:
  static Director* getInstance();

  GLView* getOpenGLView() const { return view_; }
  // Retains the view; the director draws into it from now on.
  void setOpenGLView(GLView* view);

  // Frames are drawn at most this often, and only when something visible changed.
  void setAnimationInterval(float interval);
  float getAnimationInterval() const { return animationInterval_; }
  void setContentScaleFactor(float factor);
  float getContentScaleFactor() const { return contentScaleFactor_; }

  void runWithScene(Scene* scene);
  // Switches without a transition. The old scene leaves (its timers and
  // listeners end) and is released as soon as the current callback returns,
  // or at once when no callback is running.
  void replaceScene(Scene* scene);
  Scene* getRunningScene() const { return runningScene_; }

  Size getVisibleSize() const;
  Vec2 getVisibleOrigin() const;
  Size getWinSize() const;

  EventDispatcher* getEventDispatcher() { return &eventDispatcher_; }
  Scheduler* getScheduler() { return &scheduler_; }

  // Stops drawing only: timers and input go on.
  void stopAnimation();
  void startAnimation();
  bool isAnimating() const { return animating_; }

  // Ends the main loop after the current iteration.
  void end() { ended_ = true; }
  bool isEnded() const { return ended_; }

  // One iteration of the main loop without sleeping: input, functions from
  // other threads, due timers, a frame if one is needed, the autorelease pool.
  void processFrame();
  // processFrame, then sleep until the next input, timer or frame is due.
  void mainLoop();
  // One iteration of a modal loop (a message box on the main thread): input
  // and drawing only, no timers, no autorelease pool; then sleep at most
  // `maxWait` seconds until input comes.
  void modalIteration(double maxWait);
  // When the loop must run again at the latest (infinity: only on input).
  double nextWakeTime() const;
  // The time on the view's clock (0 without a view).
  double currentTime() const;

  // Draws the next frame even if nothing changed.
  void setNeedsRedraw();
  bool needsRedraw() const;
  // Draws a frame every animation interval whether or not anything changed.
  void setRedrawEveryFrame(bool always) { redrawEveryFrame_ = always; }
  // Draws a frame now, whatever the interval and the dirty state.
  void drawScene();
  unsigned long getTotalFrames() const { return totalFrames_; }

  // The thread that made the director; the engine's objects belong to it.
  bool isMainThread() const { return std::this_thread::get_id() == mainThread_; }
  void setMainThread() { mainThread_ = std::this_thread::get_id(); }

  // Drawn over the scene after it (message boxes); called with the view's
  // render context. Returns a handle for removeOverlay.
  int addOverlay(std::function<void(const RenderContext&)> draw);
  void removeOverlay(int handle);
  // While set, input goes to this handler instead of the scene (a modal box).
  void setInputInterceptor(std::function<bool(const InputEvent&)> interceptor);

  // Called when the window is minimised or restored, and when it closes.
  void setLifecycleHandlers(std::function<void()> enterBackground,
                            std::function<void()> enterForeground);

  // Releases the scenes, timers, listeners, caches and the view, and clears
  // the pool: the end of a run, or of a test.
  void reset();

  // Feeds one input event through the normal dispatch.
  void handleInput(const InputEvent& event);

 private:
  Director();
  ~Director();
  void swapPendingScene();
  void drainInput();
  void updateTimers();
  friend class SceneChangeGuard;

  GLView* view_ = nullptr;
  Scene* runningScene_ = nullptr;
  Scene* nextScene_ = nullptr;
  int callbackDepth_ = 0;

  float animationInterval_ = 1.0f / 60;
  float contentScaleFactor_ = 1;
  bool animating_ = true;
  bool ended_ = false;
  bool redrawEveryFrame_ = false;
  double lastDrawTime_ = -1e9;
  unsigned long drawnRevision_ = 0;
  unsigned long totalFrames_ = 0;
  bool mouseDown_ = false;

  Scheduler scheduler_;
  EventDispatcher eventDispatcher_;
  std::thread::id mainThread_;

  struct Overlay {
    int handle;
    std::function<void(const RenderContext&)> draw;
  };
  std::vector<Overlay> overlays_;
  int nextOverlay_ = 1;
  std::function<bool(const InputEvent&)> interceptor_;
  std::function<void()> enterBackground_;
  std::function<void()> enterForeground_;
};

}  // namespace engine
