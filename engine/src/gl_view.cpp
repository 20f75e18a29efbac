// The view: frame and design resolution, and the mapping between them.
#include "engine/gl_view.h"

#include <algorithm>

namespace engine {
namespace {
GLContextAttrs& contextAttrs() {
  static GLContextAttrs attrs;
  return attrs;
}
}  // namespace

void GLView::setGLContextAttrs(const GLContextAttrs& attrs) {
  contextAttrs() = attrs;
}
GLContextAttrs GLView::getGLContextAttrs() {
  return contextAttrs();
}

GLView::GLView(std::unique_ptr<Platform> platform, std::string viewName, float frameZoomFactor)
    : platform_(std::move(platform)),
      viewName_(std::move(viewName)),
      frameZoomFactor_(frameZoomFactor) {
  designSize_ = getFrameSize();
  updateScale();
}

GLView::~GLView() = default;

Size GLView::getFrameSize() const {
  return platform_ ? platform_->frameSize() : Size::ZERO;
}

void GLView::setViewName(const std::string& name) {
  viewName_ = name;
  if (platform_) platform_->setTitle(name);
}

void GLView::setDesignResolutionSize(float width, float height, ResolutionPolicy policy) {
  if (width <= 0 || height <= 0) return;
  designSize_ = Size(width, height);
  policy_ = policy;
  updateScale();
}

void GLView::updateScale() {
  Size frame = getFrameSize();
  if (designSize_.width <= 0 || designSize_.height <= 0 || frame.width <= 0 || frame.height <= 0) {
    scaleX_ = scaleY_ = 1;
    offset_ = Vec2::ZERO;
    return;
  }
  float sx = frame.width / designSize_.width;
  float sy = frame.height / designSize_.height;
  switch (policy_) {
    case ResolutionPolicy::EXACT_FIT:
      scaleX_ = sx;
      scaleY_ = sy;
      break;
    case ResolutionPolicy::NO_BORDER:
      scaleX_ = scaleY_ = std::max(sx, sy);
      break;
    case ResolutionPolicy::SHOW_ALL:
      scaleX_ = scaleY_ = std::min(sx, sy);
      break;
    case ResolutionPolicy::FIXED_HEIGHT:
      scaleX_ = scaleY_ = sy;
      designSize_.width = frame.width / sy;
      break;
    case ResolutionPolicy::FIXED_WIDTH:
      scaleX_ = scaleY_ = sx;
      designSize_.height = frame.height / sx;
      break;
    case ResolutionPolicy::UNKNOWN:
      scaleX_ = scaleY_ = 1;
      break;
  }
  // The design area is centred in the frame (cropped or letterboxed).
  offset_ = Vec2((frame.width - designSize_.width * scaleX_) / 2,
                 (frame.height - designSize_.height * scaleY_) / 2);
}

Size GLView::getVisibleSize() const {
  if (policy_ == ResolutionPolicy::NO_BORDER) {
    Size frame = getFrameSize();
    return Size(frame.width / scaleX_, frame.height / scaleY_);
  }
  return designSize_;
}

Vec2 GLView::getVisibleOrigin() const {
  if (policy_ == ResolutionPolicy::NO_BORDER) {
    Size visible = getVisibleSize();
    return Vec2((designSize_.width - visible.width) / 2, (designSize_.height - visible.height) / 2);
  }
  return Vec2::ZERO;
}

Transform2D GLView::sceneToWindow() const {
  Size frame = getFrameSize();
  return {scaleX_, -scaleY_, offset_.x, frame.height - offset_.y};
}

Vec2 GLView::windowToScene(const Vec2& windowPoint) const {
  return sceneToWindow().inverse().apply(windowPoint);
}

GLViewImpl* GLViewImpl::createWithRect(const std::string& viewName, const Rect& rect,
                                       float frameZoomFactor, bool resizable) {
  WindowSpec spec;
  spec.title = viewName;
  spec.size = Size(rect.size.width * frameZoomFactor, rect.size.height * frameZoomFactor);
  spec.frameZoomFactor = frameZoomFactor;
  spec.resizable = resizable;
  auto* view = new GLViewImpl(createPlatform(spec), viewName, frameZoomFactor);
  view->autorelease();
  return view;
}

GLViewImpl* GLViewImpl::create(const std::string& viewName) {
  return createWithRect(viewName, Rect(0, 0, 960, 640));
}

GLViewImpl* GLViewImpl::createWithPlatform(std::unique_ptr<Platform> platform,
                                           const std::string& viewName) {
  auto* view = new GLViewImpl(std::move(platform), viewName, 1.0f);
  view->autorelease();
  return view;
}

}  // namespace engine
