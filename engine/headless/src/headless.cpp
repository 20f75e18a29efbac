// The headless backend: SDL's software renderer on a surface, a clock that
// only moves when told, and a queue of injected input.
#include "engine/headless.h"

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>
#include <sstream>
#include <typeinfo>

#include "engine/label.h"
#include "engine/label_atlas.h"
#include "engine/message_box.h"
#include "engine/sdl/sdl_canvas.h"
#include "engine/sprite.h"

// Referenced by the link options of engine_headless, so that linking the
// library brings in the registration below.
extern "C" {
int quartet_engine_headless_backend = 0;
}

namespace engine {

struct HeadlessPlatform::Impl {
  std::shared_ptr<sdl::RendererHandle> handle;
  std::unique_ptr<sdl::Canvas> canvas;
};

HeadlessPlatform::HeadlessPlatform(const Size& frameSize)
    : impl_(std::make_unique<Impl>()), frameSize_(frameSize) {
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "1");
  auto handle = std::make_shared<sdl::RendererHandle>();
  handle->surface = SDL_CreateRGBSurfaceWithFormat(0, static_cast<int>(frameSize.width),
                                                   static_cast<int>(frameSize.height), 32,
                                                   SDL_PIXELFORMAT_ARGB8888);
  if (handle->surface) handle->renderer = SDL_CreateSoftwareRenderer(handle->surface);
  if (handle->renderer) {
    impl_->handle = handle;
    impl_->canvas = std::make_unique<sdl::Canvas>(handle);
  }
}

HeadlessPlatform::~HeadlessPlatform() = default;

std::shared_ptr<Texture> HeadlessPlatform::loadImage(const std::string& path) {
  return impl_->canvas ? impl_->canvas->loadImage(path) : nullptr;
}

std::shared_ptr<Texture> HeadlessPlatform::renderText(const std::string& text,
                                                      const TextStyle& style) {
  return impl_->canvas ? impl_->canvas->renderText(text, style) : nullptr;
}

void HeadlessPlatform::beginFrame(const Color4B& clear) {
  if (impl_->canvas) impl_->canvas->beginFrame(clear);
}

void HeadlessPlatform::drawTexture(const Texture& texture, const Rect& source,
                                   const Rect& destination, const Color4B& tint, bool flipX,
                                   bool flipY) {
  if (impl_->canvas) impl_->canvas->drawTexture(texture, source, destination, tint, flipX, flipY);
}

void HeadlessPlatform::fillRect(const Rect& destination, const Color4B& color) {
  if (impl_->canvas) impl_->canvas->fillRect(destination, color);
}

void HeadlessPlatform::endFrame() {
  if (impl_->canvas) {
    impl_->canvas->present();
    SDL_RenderFlush(impl_->handle->renderer);
  }
  ++presentedFrames_;
}

double HeadlessPlatform::now() {
  std::lock_guard lock(mutex_);
  return now_;
}

void HeadlessPlatform::setTime(double seconds) {
  std::lock_guard lock(mutex_);
  now_ = seconds;
}

bool HeadlessPlatform::pollEvent(InputEvent& event) {
  std::lock_guard lock(mutex_);
  if (events_.empty()) return false;
  event = events_.front();
  events_.pop_front();
  return true;
}

void HeadlessPlatform::waitEvent(double timeoutSeconds) {
  // Virtual time does not pass here; only input from another thread (or a
  // box handed over) is waited for, and never for long.
  std::unique_lock lock(mutex_);
  double wait = std::min(timeoutSeconds, 0.05);
  if (wait <= 0) return;
  queued_.wait_for(lock, std::chrono::duration<double>(wait), [this] { return !events_.empty(); });
}

void HeadlessPlatform::wakeUp() {
  queueEvent(InputEvent{});
}

void HeadlessPlatform::queueEvent(const InputEvent& event) {
  {
    std::lock_guard lock(mutex_);
    events_.push_back(event);
  }
  queued_.notify_all();
}

std::size_t HeadlessPlatform::queuedEvents() const {
  std::lock_guard lock(mutex_);
  return events_.size();
}

Color4B HeadlessPlatform::pixelAt(int x, int y) const {
  SDL_Surface* s = impl_->handle ? impl_->handle->surface : nullptr;
  if (!s || x < 0 || y < 0 || x >= s->w || y >= s->h) return Color4B(0, 0, 0, 0);
  SDL_LockSurface(s);
  Uint32 p =
      *reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(s->pixels) + y * s->pitch + x * 4);
  SDL_UnlockSurface(s);
  Uint8 r, g, b, a;
  SDL_GetRGBA(p, s->format, &r, &g, &b, &a);
  return Color4B(r, g, b, a);
}

bool HeadlessPlatform::savePng(const std::string& path) const {
  SDL_Surface* s = impl_->handle ? impl_->handle->surface : nullptr;
  return s && IMG_SavePNG(s, path.c_str()) == 0;
}

namespace {
const bool registered = [] {
  quartet_engine_headless_backend = 1;
  // Above the window's: a binary that links this is a test or a measurement.
  registerPlatformFactory(
      [](const WindowSpec& spec) -> std::unique_ptr<Platform> {
        auto platform = std::make_unique<HeadlessPlatform>(spec.size);
        platform->setTitle(spec.title);
        return platform;
      },
      20);
  return true;
}();
}  // namespace

// -- HeadlessApp

HeadlessApp::HeadlessApp() : HeadlessApp(Options{}) {}

HeadlessApp::HeadlessApp(const Options& options) {
  Director* d = Director::getInstance();
  d->reset();
  d->setMainThread();
  auto platform = std::make_unique<HeadlessPlatform>(options.frameSize);
  platform_ = platform.get();
  platform_->setInteractive(!options.captureMessageBoxes);
  GLView* view = GLViewImpl::createWithPlatform(std::move(platform), "headless");
  d->setOpenGLView(view);
  view->setDesignResolutionSize(options.designSize.width, options.designSize.height,
                                ResolutionPolicy::NO_BORDER);
  d->setAnimationInterval(options.animationInterval);
  if (options.captureMessageBoxes) {
    captured_ = true;
    setMessageBoxHandler([this](const std::string& text, const std::string& title) {
      std::lock_guard lock(boxMutex_);
      boxes_.push_back({text, title});
    });
  }
}

HeadlessApp::~HeadlessApp() {
  if (captured_) setMessageBoxHandler(nullptr);
  Director::getInstance()->reset();
}

void HeadlessApp::run(Scene* scene) {
  director()->replaceScene(scene);
  step();
}

void HeadlessApp::runLayer(Node* layer) {
  Scene* scene = Scene::create();
  scene->addChild(layer);
  run(scene);
}

double HeadlessApp::now() const {
  return platform_->now();
}

void HeadlessApp::step() {
  director()->processFrame();
}

void HeadlessApp::advance(double seconds) {
  Director* d = director();
  double target = now() + std::max(0.0, seconds);
  // Bounded: work that keeps asking for "now" may not hold virtual time still.
  int sameTime = 0;
  while (true) {
    double next = d->nextWakeTime();
    if (!(next <= target)) break;
    double at = std::max(next, now());
    if (at <= now()) {
      if (++sameTime > 16) break;
    } else {
      sameTime = 0;
    }
    platform_->setTime(at);
    d->processFrame();
  }
  // A callback may have moved the clock on itself; time never runs back.
  platform_->setTime(std::max(target, now()));
  d->processFrame();
}

void HeadlessApp::inject(InputEvent::Type type, float x, float y) {
  GLView* view = director()->getOpenGLView();
  Vec2 p = view ? view->sceneToWindow().apply(Vec2(x, y)) : Vec2(x, y);
  InputEvent event;
  event.type = type;
  event.x = p.x;
  event.y = p.y;
  platform_->queueEvent(event);
  step();
}

void HeadlessApp::touchBegan(float x, float y) {
  inject(InputEvent::Type::MouseDown, x, y);
}
void HeadlessApp::touchMoved(float x, float y) {
  inject(InputEvent::Type::MouseMove, x, y);
}
void HeadlessApp::touchEnded(float x, float y) {
  inject(InputEvent::Type::MouseUp, x, y);
}

void HeadlessApp::tap(float x, float y) {
  touchBegan(x, y);
  touchEnded(x, y);
}

void HeadlessApp::pressKey(Key key) {
  InputEvent event;
  event.type = InputEvent::Type::KeyDown;
  event.key = key;
  platform_->queueEvent(event);
  step();
}

Color4B HeadlessApp::pixelAt(float x, float y) {
  director()->drawScene();
  GLView* view = director()->getOpenGLView();
  Vec2 p = view->sceneToWindow().apply(Vec2(x, y));
  // The pixel whose area holds the point just above-right of (x, y).
  return platform_->pixelAt(static_cast<int>(std::floor(p.x)),
                            static_cast<int>(std::floor(p.y - 0.5f)));
}

bool HeadlessApp::renderToPng(const std::string& path) {
  director()->drawScene();
  return platform_->savePng(path);
}

std::vector<HeadlessApp::Box> HeadlessApp::boxes() const {
  std::lock_guard lock(boxMutex_);
  return boxes_;
}

std::vector<HeadlessApp::Box> HeadlessApp::takeBoxes() {
  std::lock_guard lock(boxMutex_);
  std::vector<Box> taken;
  taken.swap(boxes_);
  return taken;
}

// -- node tree access

namespace {
void collect(Node* node, std::vector<Node*>& out) {
  out.push_back(node);
  for (Node* child : node->getChildren()) collect(child, out);
}

void describe(Node* node, int depth, std::ostringstream& out) {
  out << std::string(static_cast<std::size_t>(depth) * 2, ' ');
  const Node& n = *node;
  out << typeid(n).name() << " pos=(" << n.getPosition().x << "," << n.getPosition().y << ") size=("
      << n.getContentSize().width << "," << n.getContentSize().height
      << ") z=" << n.getLocalZOrder() << (n.isVisible() ? "" : " hidden");
  if (auto* label = dynamic_cast<Label*>(node)) out << " text=\"" << label->getString() << "\"";
  if (auto* atlas = dynamic_cast<LabelAtlas*>(node))
    out << " text=\"" << atlas->getString() << "\"";
  if (auto* sprite = dynamic_cast<Sprite*>(node)) out << " image=" << sprite->getTextureFilename();
  out << "\n";
  for (Node* child : node->getChildren()) describe(child, depth + 1, out);
}
}  // namespace

std::vector<Node*> allNodes(Node* root) {
  std::vector<Node*> out;
  if (root) collect(root, out);
  return out;
}

std::string dumpTree(Node* root) {
  std::ostringstream out;
  if (root) describe(root, 0, out);
  return out.str();
}

}  // namespace engine
