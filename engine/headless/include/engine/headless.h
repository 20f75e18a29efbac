// The engine without a display, for tests and measurements: an offscreen
// surface with real pixels, a virtual clock, injected touches and keys, and a
// fixture that sets the director up on them.
#pragma once

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <typeinfo>
#include <vector>

#include "engine/director.h"
#include "engine/platform.h"

namespace engine {

// Draws with SDL's software renderer into a surface of the frame size. Time
// stands still until the test moves it.
class HeadlessPlatform : public Platform {
 public:
  explicit HeadlessPlatform(const Size& frameSize = Size(1024, 768));
  ~HeadlessPlatform() override;

  Size frameSize() const override { return frameSize_; }
  // Whether boxes are drawn in the frame (and closed by injected keys) rather
  // than printed.
  bool hasDisplay() const override { return interactive_; }
  void setInteractive(bool interactive) { interactive_ = interactive; }
  void setTitle(const std::string& title) override { title_ = title; }
  const std::string& title() const { return title_; }

  std::shared_ptr<Texture> loadImage(const std::string& path) override;
  std::shared_ptr<Texture> renderText(const std::string& text, const TextStyle& style) override;
  void beginFrame(const Color4B& clear) override;
  void drawTexture(const Texture& texture, const Rect& source, const Rect& destination,
                   const Color4B& tint, bool flipX, bool flipY) override;
  void fillRect(const Rect& destination, const Color4B& color) override;
  void endFrame() override;

  double now() override;
  void setTime(double seconds);
  bool pollEvent(InputEvent& event) override;
  // Waits (in real time, briefly) for input queued from another thread;
  // virtual time does not move.
  void waitEvent(double timeoutSeconds) override;
  void wakeUp() override;

  // Thread-safe: queues input that the next loop iteration takes.
  void queueEvent(const InputEvent& event);
  std::size_t queuedEvents() const;

  // The last presented frame, in window pixels (origin top-left, y down).
  Color4B pixelAt(int x, int y) const;
  bool savePng(const std::string& path) const;
  unsigned long presentedFrames() const { return presentedFrames_; }

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
  Size frameSize_;
  std::string title_;
  double now_ = 0;
  bool interactive_ = false;
  unsigned long presentedFrames_ = 0;
  mutable std::mutex mutex_;
  std::condition_variable queued_;
  std::deque<InputEvent> events_;
};

// Sets the director up on a headless view for one test and resets it after.
// Coordinates are the scene's (y up), as Touch::getLocation gives them.
class HeadlessApp {
 public:
  struct Options {
    Size frameSize{1024, 768};
    Size designSize{1024, 768};
    // Boxes go to boxes() instead of the screen.
    bool captureMessageBoxes = true;
    float animationInterval = 1.0f / 60;
  };
  struct Box {
    std::string text;
    std::string title;
  };

  HeadlessApp();
  explicit HeadlessApp(const Options& options);
  ~HeadlessApp();
  HeadlessApp(const HeadlessApp&) = delete;
  HeadlessApp& operator=(const HeadlessApp&) = delete;

  Director* director() const { return Director::getInstance(); }
  HeadlessPlatform& platform() const { return *platform_; }
  // runWithScene for the first scene, replaceScene after; then one iteration.
  void run(Scene* scene);
  // Wraps the layer in a new scene and runs it.
  void runLayer(Node* layer);

  // Runs the main loop over `seconds` of virtual time: every timer fires at
  // its due time, in order, and frames are drawn as they fall due.
  void advance(double seconds);
  // One loop iteration at the current time.
  void step();
  double now() const;

  // Injected as mouse input: through the normal dispatch, buttons first.
  void touchBegan(float x, float y);
  void touchMoved(float x, float y);
  void touchEnded(float x, float y);
  void tap(float x, float y);
  void pressKey(Key key);

  // Draws a frame now and reads its pixels, at a point of the scene.
  Color4B pixelAt(float x, float y);
  bool renderToPng(const std::string& path);

  // The boxes shown so far (thread-safe), and taking them.
  std::vector<Box> boxes() const;
  std::vector<Box> takeBoxes();

 private:
  void inject(InputEvent::Type type, float x, float y);

  HeadlessPlatform* platform_ = nullptr;
  mutable std::mutex boxMutex_;
  std::vector<Box> boxes_;
  bool captured_ = false;
};

// Every node under `root` (itself included), depth first in drawing order.
std::vector<Node*> allNodes(Node* root);
// Those of type T.
template <class T>
std::vector<T*> findNodes(Node* root) {
  std::vector<T*> found;
  for (Node* node : allNodes(root)) {
    if (auto* typed = dynamic_cast<T*>(node)) found.push_back(typed);
  }
  return found;
}
// One line per node: type, position, size, visibility, text; for failure messages.
std::string dumpTree(Node* root);

}  // namespace engine
