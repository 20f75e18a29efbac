// The application object: launching, the loop, and the window it opens
// through the linked backend.
#include <gtest/gtest.h>

#include "engine/engine.h"
#include "engine/headless.h"

namespace {

class TestApp : public engine::Application {
 public:
  bool launch = true;
  std::vector<std::string> calls;
  int ticks = 0;

  void initGLContextAttrs() override {
    calls.push_back("attrs");
    engine::GLContextAttrs attrs{8, 8, 8, 8, 24, 8};
    engine::GLView::setGLContextAttrs(attrs);
  }
  bool applicationDidFinishLaunching() override {
    calls.push_back("launch");
    if (!launch) return false;
    auto* director = engine::Director::getInstance();
    if (!director->getOpenGLView()) {
      director->setOpenGLView(engine::GLViewImpl::createWithRect(
          "Quartet", engine::Rect(0, 0, 1024, 768), 1.0f, false));
    }
    auto* view = director->getOpenGLView();
    view->setDesignResolutionSize(1024, 768, engine::ResolutionPolicy::NO_BORDER);
    director->setAnimationInterval(1.0f / 60);
    auto* scene = engine::Scene::create();
    auto* layer = engine::Layer::create();
    layer->schedule(
        [this](float) {
          if (++ticks == 3) engine::Director::getInstance()->end();
        },
        0.01f, "tick");
    scene->addChild(layer);
    director->runWithScene(scene);
    return true;
  }
  void applicationDidEnterBackground() override {
    engine::Director::getInstance()->stopAnimation();
  }
  void applicationWillEnterForeground() override {
    engine::Director::getInstance()->startAnimation();
  }
};

TEST(ApplicationTest, FailedLaunchEndsTheRun) {
  TestApp app;
  app.launch = false;
  EXPECT_EQ(engine::Application::getInstance(), &app);
  EXPECT_EQ(app.run(), 1);
  EXPECT_EQ(app.calls, (std::vector<std::string>{"attrs", "launch"}));
  EXPECT_EQ(engine::GLView::getGLContextAttrs().depthBits, 24);
}

TEST(ApplicationTest, CreateWithRectOpensTheLinkedBackendsView) {
  engine::Director::getInstance()->reset();
  auto* view = engine::GLViewImpl::createWithRect("Quartet", engine::Rect(0, 0, 1024, 768));
  EXPECT_EQ(view->getFrameSize(), engine::Size(1024, 768));
  EXPECT_EQ(view->getViewName(), "Quartet");
  ASSERT_NE(dynamic_cast<engine::HeadlessPlatform*>(view->getPlatform()), nullptr);
  engine::AutoreleasePool::getInstance()->clear();
}

TEST(ApplicationTest, RunDrivesTheLoopUntilTheDirectorEnds) {
  TestApp app;
  // The headless clock stands still, so the loop is driven on real time
  // by a view of our own with a moving clock.
  class MovingClock : public engine::HeadlessPlatform {
   public:
    double now() override {
      t_ += 0.005;
      return t_;
    }

   private:
    double t_ = 0;
  };
  engine::Director::getInstance()->setOpenGLView(
      engine::GLViewImpl::createWithPlatform(std::make_unique<MovingClock>(), "clock"));
  EXPECT_EQ(app.run(), 0);
  EXPECT_EQ(app.ticks, 3);
  EXPECT_EQ(engine::Director::getInstance()->getRunningScene(), nullptr);
}

TEST(ApplicationTest, MinimisingStopsDrawingAndRestoringStartsIt) {
  engine::HeadlessApp headless;
  TestApp app;
  auto* director = engine::Director::getInstance();
  director->setLifecycleHandlers([&] { app.applicationDidEnterBackground(); },
                                 [&] { app.applicationWillEnterForeground(); });
  headless.runLayer(engine::Layer::create());
  engine::InputEvent minimised;
  minimised.type = engine::InputEvent::Type::Minimized;
  headless.platform().queueEvent(minimised);
  headless.step();
  EXPECT_FALSE(director->isAnimating());
  engine::InputEvent restored;
  restored.type = engine::InputEvent::Type::Restored;
  headless.platform().queueEvent(restored);
  headless.step();
  EXPECT_TRUE(director->isAnimating());
}

}  // namespace
