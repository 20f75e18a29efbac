// Start-up in its fixed order: configuration, window, frame rate, resolution
// and scale, server connection, sprite frames, lobby.
#include "app/app_delegate.h"

#include <cstdio>

#include "app/content_scale.h"
#include "app/sprite_frames.h"
#include "engine/configuration.h"
#include "engine/director.h"
#include "engine/gl_view.h"
#include "engine/message_box.h"
#include "engine/scene.h"
#include "net/message_queue.h"
#include "scenes/hall_scene.h"

namespace {

constexpr const char* kDefaultConfigFile = "config/strings.plist";
constexpr float kAnimationInterval = 1.0f / 60;

}  // namespace

AppDelegate::AppDelegate(std::string configFile) : configFile_(std::move(configFile)) {}

AppDelegate::~AppDelegate() = default;

void AppDelegate::initGLContextAttrs() {
  engine::GLContextAttrs attrs;
  attrs.redBits = 8;
  attrs.greenBits = 8;
  attrs.blueBits = 8;
  attrs.alphaBits = 8;
  attrs.depthBits = 24;
  attrs.stencilBits = 8;
  engine::GLView::setGLContextAttrs(attrs);
}

bool AppDelegate::applicationDidFinishLaunching() {
  auto* configuration = engine::Configuration::getInstance();
  configuration->loadConfigFile(configFile_.empty() ? kDefaultConfigFile : configFile_);

  auto* director = engine::Director::getInstance();
  engine::GLView* view = director->getOpenGLView();
  if (view == nullptr) {
    const std::string title = configuration->getValue("title", engine::Value::Null).asString();
    const app::stSize window = app::kScaleSizes.medium;
    view = engine::GLViewImpl::createWithRect(
        title, engine::Rect(0, 0, window.width, window.height), 1.0f, false);
    if (view == nullptr) {
      std::fputs("quartet: can not open the game window (is a display available?)\n", stderr);
      return false;
    }
    director->setOpenGLView(view);
  }

  director->setAnimationInterval(kAnimationInterval);
  const app::stSize design = app::kScaleSizes.design;
  view->setDesignResolutionSize(design.width, design.height, engine::ResolutionPolicy::NO_BORDER);
  const engine::Size frame = view->getFrameSize();
  director->setContentScaleFactor(app::contentScaleFactor({frame.width, frame.height}));

  CMessageQueue* queue = CMessageQueue::getInstance();
  if (!queue->connect()) {
    engine::MessageBox("连接服务器失败！请检查网络是否正常。", "错误");
    return false;
  }

  // Every scene draws the card frames and "beijing": without an image the
  // game can not be shown, so say which one is missing instead of going on.
  const std::string missing = registerSpriteFrames();
  if (!missing.empty()) {
    queue->disconnect();
    engine::MessageBox("缺少图片文件 " + missing + "，请重新安装客户端。", "错误");
    return false;
  }

  auto* scene = engine::Scene::create();
  scene->addChild(CHallScene::create());
  director->runWithScene(scene);
  return true;
}

void AppDelegate::applicationDidEnterBackground() {
  engine::Director::getInstance()->stopAnimation();
}

void AppDelegate::applicationWillEnterForeground() {
  engine::Director::getInstance()->startAnimation();
}
