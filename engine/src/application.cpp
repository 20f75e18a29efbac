// The application object and the main loop it runs.
#include "engine/application.h"

#include "engine/director.h"

namespace engine {
namespace {
Application* currentApplication = nullptr;
}  // namespace

Application::Application() {
  currentApplication = this;
}

Application::~Application() {
  if (currentApplication == this) currentApplication = nullptr;
}

Application* Application::getInstance() {
  return currentApplication;
}

void Application::setAnimationInterval(float interval) {
  Director::getInstance()->setAnimationInterval(interval);
}

int Application::run() {
  Director* director = Director::getInstance();
  director->setMainThread();
  director->setLifecycleHandlers([this] { applicationDidEnterBackground(); },
                                 [this] { applicationWillEnterForeground(); });
  initGLContextAttrs();
  if (!applicationDidFinishLaunching()) {
    director->reset();
    return 1;
  }
  while (!director->isEnded()) {
    GLView* view = director->getOpenGLView();
    if (view && view->windowShouldClose()) break;
    director->mainLoop();
  }
  director->reset();
  return 0;
}

}  // namespace engine
