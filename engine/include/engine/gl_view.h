// The view: the window (or offscreen surface) the director draws into, its
// frame size in pixels and the design resolution the scenes are laid out in.
#pragma once

#include <memory>
#include <string>

#include "engine/node.h"
#include "engine/platform.h"
#include "engine/ref.h"
#include "engine/types.h"

namespace engine {

struct GLContextAttrs {
  int redBits = 8;
  int greenBits = 8;
  int blueBits = 8;
  int alphaBits = 8;
  int depthBits = 24;
  int stencilBits = 8;
  int multisamplingCount = 0;
};

enum class ResolutionPolicy { EXACT_FIT, NO_BORDER, SHOW_ALL, FIXED_HEIGHT, FIXED_WIDTH, UNKNOWN };

class GLView : public Ref {
 public:
  ~GLView() override;

  // Kept for the window the next view opens.
  static void setGLContextAttrs(const GLContextAttrs& attrs);
  static GLContextAttrs getGLContextAttrs();

  // Scenes are laid out in the design resolution; the policy fits it to the frame.
  void setDesignResolutionSize(float width, float height, ResolutionPolicy policy);
  Size getDesignResolutionSize() const { return designSize_; }
  ResolutionPolicy getResolutionPolicy() const { return policy_; }
  Size getFrameSize() const;
  float getFrameZoomFactor() const { return frameZoomFactor_; }
  // The part of the design resolution that is on screen.
  Size getVisibleSize() const;
  Vec2 getVisibleOrigin() const;
  float getScaleX() const { return scaleX_; }
  float getScaleY() const { return scaleY_; }

  const std::string& getViewName() const { return viewName_; }
  void setViewName(const std::string& name);
  bool isOpenGLReady() const { return platform_ != nullptr; }
  // The window was asked to close (or end() was called).
  bool windowShouldClose() const { return shouldClose_; }
  void setWindowShouldClose(bool close) { shouldClose_ = close; }
  void end() { shouldClose_ = true; }

  // The frame changed size (a resizable window): fits the design again.
  void frameSizeChanged() { updateScale(); }

  Platform* getPlatform() const { return platform_.get(); }
  // Scene coordinates (y up) to window pixels (y down), and back.
  Transform2D sceneToWindow() const;
  Vec2 windowToScene(const Vec2& windowPoint) const;

 protected:
  GLView(std::unique_ptr<Platform> platform, std::string viewName, float frameZoomFactor);

 private:
  void updateScale();

  std::unique_ptr<Platform> platform_;
  std::string viewName_;
  float frameZoomFactor_ = 1;
  Size designSize_;
  ResolutionPolicy policy_ = ResolutionPolicy::UNKNOWN;
  float scaleX_ = 1;
  float scaleY_ = 1;
  Vec2 offset_;
  bool shouldClose_ = false;
};

class GLViewImpl : public GLView {
 public:
  // Opens the window through the linked backend: `rect` gives its size.
  static GLViewImpl* createWithRect(const std::string& viewName, const Rect& rect,
                                    float frameZoomFactor = 1.0f, bool resizable = false);
  static GLViewImpl* create(const std::string& viewName);
  // A view on a platform the caller made (the headless backend's, say).
  static GLViewImpl* createWithPlatform(std::unique_ptr<Platform> platform,
                                        const std::string& viewName);

 protected:
  using GLView::GLView;
};

}  // namespace engine
