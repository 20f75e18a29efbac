// Message boxes: an installed handler, a box drawn in the window, or standard
// error where there is no window.
#include "engine/message_box.h"

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <memory>
#include <mutex>
#include <vector>

#include "engine/director.h"

namespace engine {
namespace {

std::mutex& handlerMutex() {
  static std::mutex mutex;
  return mutex;
}

MessageBoxHandler& installedHandler() {
  static MessageBoxHandler handler;
  return handler;
}

// One box. `done` is guarded by the box mutex, since a waiting thread reads it.
struct BoxRequest {
  std::string text;
  std::string title;
  bool done = false;
  std::shared_ptr<Texture> titleTexture;
  std::shared_ptr<Texture> bodyTexture;
  std::shared_ptr<Texture> okTexture;
};

struct BoxState {
  std::mutex mutex;
  std::condition_variable closed;
  // Main thread only: the boxes on screen, the top one last.
  std::vector<std::shared_ptr<BoxRequest>> shown;
  int overlay = 0;
  // Counts director resets, guarded by the box mutex: a box handed to a main
  // loop that ends before showing it would otherwise keep its caller waiting.
  unsigned generation = 0;
};

BoxState& state() {
  static BoxState* s = new BoxState;
  return *s;
}

constexpr float kBoxWidth = 520;
constexpr float kPadding = 20;
constexpr float kTitleSize = 22;
constexpr float kBodySize = 18;
constexpr float kButtonWidth = 110;
constexpr float kButtonHeight = 36;

struct BoxLayout {
  Rect panel;
  Rect titleBar;
  Rect title;
  Rect body;
  Rect button;
  Rect buttonText;
};

void renderTexts(BoxRequest& box, Platform& platform) {
  if (box.okTexture) return;
  TextStyle title;
  title.fontSize = kTitleSize;
  box.titleTexture = platform.renderText(box.title, title);
  TextStyle body;
  body.fontSize = kBodySize;
  body.wrapWidth = kBoxWidth - 2 * kPadding;
  box.bodyTexture = platform.renderText(box.text, body);
  TextStyle ok;
  ok.fontSize = kBodySize;
  box.okTexture = platform.renderText("OK", ok);
}

Size sizeOf(const std::shared_ptr<Texture>& t) {
  return t ? Size(static_cast<float>(t->width()), static_cast<float>(t->height())) : Size::ZERO;
}

BoxLayout layout(const BoxRequest& box, const Size& frame) {
  Size titleSize = sizeOf(box.titleTexture);
  Size bodySize = sizeOf(box.bodyTexture);
  Size okSize = sizeOf(box.okTexture);
  float titleBarHeight = std::max(titleSize.height, kTitleSize) + kPadding;
  float height = titleBarHeight + kPadding + bodySize.height + kPadding + kButtonHeight + kPadding;
  BoxLayout l;
  l.panel = Rect((frame.width - kBoxWidth) / 2, std::max(0.0f, (frame.height - height) / 2),
                 kBoxWidth, height);
  float x = l.panel.origin.x;
  float y = l.panel.origin.y;
  l.titleBar = Rect(x, y, kBoxWidth, titleBarHeight);
  l.title = Rect(x + kPadding, y + (titleBarHeight - titleSize.height) / 2, titleSize.width,
                 titleSize.height);
  l.body = Rect(x + kPadding, y + titleBarHeight + kPadding, bodySize.width, bodySize.height);
  l.button = Rect(x + (kBoxWidth - kButtonWidth) / 2, y + height - kPadding - kButtonHeight,
                  kButtonWidth, kButtonHeight);
  l.buttonText = Rect(l.button.getMidX() - okSize.width / 2, l.button.getMidY() - okSize.height / 2,
                      okSize.width, okSize.height);
  return l;
}

void drawText(Platform& platform, const std::shared_ptr<Texture>& texture, const Rect& at,
              const Color4B& color) {
  if (!texture) return;
  platform.drawTexture(*texture, Rect(0, 0, at.size.width, at.size.height), at, color, false,
                       false);
}

void drawBoxes(const RenderContext& context) {
  Platform* platform = context.platform;
  if (!platform) return;
  Size frame = platform->frameSize();
  for (const auto& box : state().shown) {
    renderTexts(*box, *platform);
    BoxLayout l = layout(*box, frame);
    platform->fillRect(Rect(0, 0, frame.width, frame.height), Color4B(0, 0, 0, 110));
    platform->fillRect(
        Rect(l.panel.origin.x + 4, l.panel.origin.y + 4, l.panel.size.width, l.panel.size.height),
        Color4B(0, 0, 0, 90));
    platform->fillRect(l.panel, Color4B(246, 243, 235, 255));
    platform->fillRect(l.titleBar, Color4B(52, 86, 140, 255));
    drawText(*platform, box->titleTexture, l.title, Color4B::WHITE);
    drawText(*platform, box->bodyTexture, l.body, Color4B(30, 30, 30, 255));
    platform->fillRect(l.button, Color4B(52, 86, 140, 255));
    drawText(*platform, box->okTexture, l.buttonText, Color4B::WHITE);
  }
}

bool handleBoxInput(const InputEvent& event);

void showBox(const std::shared_ptr<BoxRequest>& box) {
  BoxState& s = state();
  Director* director = Director::getInstance();
  s.shown.push_back(box);
  if (!s.overlay) {
    s.overlay = director->addOverlay(drawBoxes);
    director->setInputInterceptor(handleBoxInput);
  }
  director->setNeedsRedraw();
}

void closeBox(const std::shared_ptr<BoxRequest>& box) {
  BoxState& s = state();
  Director* director = Director::getInstance();
  std::erase(s.shown, box);
  box->titleTexture.reset();
  box->bodyTexture.reset();
  box->okTexture.reset();
  if (s.shown.empty() && s.overlay) {
    director->removeOverlay(s.overlay);
    director->setInputInterceptor(nullptr);
    s.overlay = 0;
  }
  director->setNeedsRedraw();
  {
    std::lock_guard lock(s.mutex);
    box->done = true;
  }
  s.closed.notify_all();
}

// While a box is up it takes all input: the scene below gets none.
bool handleBoxInput(const InputEvent& event) {
  BoxState& s = state();
  if (s.shown.empty()) return false;
  std::shared_ptr<BoxRequest> top = s.shown.back();
  switch (event.type) {
    case InputEvent::Type::KeyDown:
      if (event.key == Key::Enter || event.key == Key::Escape || event.key == Key::Space) {
        closeBox(top);
      }
      return true;
    case InputEvent::Type::MouseUp: {
      GLView* view = Director::getInstance()->getOpenGLView();
      if (!view || !view->getPlatform()) return true;
      BoxLayout l = layout(*top, view->getPlatform()->frameSize());
      // Window coordinates run down, like the layout's.
      if (l.button.containsPoint(Vec2(event.x, event.y))) closeBox(top);
      return true;
    }
    case InputEvent::Type::MouseDown:
    case InputEvent::Type::MouseMove:
      return true;
    default:
      return false;
  }
}

Platform* displayPlatform() {
  GLView* view = Director::getInstance()->getOpenGLView();
  Platform* platform = view ? view->getPlatform() : nullptr;
  return platform && platform->hasDisplay() ? platform : nullptr;
}

}  // namespace

void setMessageBoxHandler(MessageBoxHandler handler) {
  std::lock_guard lock(handlerMutex());
  installedHandler() = std::move(handler);
}

std::size_t visibleMessageBoxCount() {
  return state().shown.size();
}

void MessageBox(const std::string& text, const std::string& title) {
  MessageBoxHandler handler;
  {
    std::lock_guard lock(handlerMutex());
    handler = installedHandler();
  }
  if (handler) {
    handler(text, title);
    return;
  }
  Director* director = Director::getInstance();
  if (!displayPlatform()) {
    std::fprintf(stderr, "[%s] %s\n", title.c_str(), text.c_str());
    return;
  }
  auto box = std::make_shared<BoxRequest>();
  box->text = text;
  box->title = title;
  BoxState& s = state();
  if (director->isMainThread()) {
    showBox(box);
    while (!box->done) {
      GLView* view = director->getOpenGLView();
      if (!view || view->windowShouldClose() || director->isEnded()) {
        closeBox(box);
        break;
      }
      director->modalIteration(0.5);
    }
    return;
  }
  std::unique_lock lock(s.mutex);
  const unsigned generation = s.generation;
  lock.unlock();
  director->getScheduler()->performFunctionInMainThread([box] {
    if (!box->done) showBox(box);
  });
  lock.lock();
  s.closed.wait(lock, [&] { return box->done || s.generation != generation; });
}

namespace detail {
// Closes every box (the director resets): callers on other threads return.
void closeAllMessageBoxes() {
  BoxState& s = state();
  while (!s.shown.empty()) closeBox(s.shown.back());
  std::lock_guard lock(s.mutex);
  ++s.generation;
  s.closed.notify_all();
}
}  // namespace detail

}  // namespace engine
