// Start-up on the headless engine against a scripted server on 127.0.0.1:
// its order, the window and resolution it sets up, the frame atlas, and what
// it does when the server or an image is missing.
#include "app/app_delegate.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "app/launch.h"
#include "app/sprite_frames.h"
#include "engine/configuration.h"
#include "engine/file_utils.h"
#include "engine/headless.h"
#include "engine/sprite_frame.h"
#include "net/message_queue.h"
#include "scenes/hall_scene.h"
#include "test_support/message_box_recorder.h"
#include "test_support/server_peer.h"

namespace {

namespace fs = std::filesystem;
using test_support::RecordedBox;

constexpr const char* kConnectBox = "连接服务器失败！请检查网络是否正常。";

// A configuration file of the test's own, naming the peer's port.
class TempConfig {
 public:
  TempConfig(const std::string& title, std::uint16_t port)
      : path_(fs::temp_directory_path() /
              ("quartet_startup_" + std::to_string(::getpid()) + ".plist")) {
    std::ofstream out(path_);
    out << R"(<?xml version="1.0" encoding="UTF-8"?>)"
        << "\n"
        << R"(<plist version="1.0"><dict>)"
        << "<key>title</key><string>" << title << "</string>"
        << "<key>host</key><string>127.0.0.1</string>"
        << "<key>port</key><string>" << port << "</string>"
        << "</dict></plist>\n";
  }
  ~TempConfig() { fs::remove(path_); }
  std::string path() const { return path_.string(); }

 private:
  fs::path path_;
};

class StartupTest : public testing::Test {
 protected:
  void SetUp() override {
    engine::Director::getInstance()->setMainThread();
    engine::Configuration::getInstance()->clear();
  }
  void TearDown() override {
    CMessageQueue::getInstance()->disconnect();
    engine::Director::getInstance()->reset();
    engine::Configuration::getInstance()->clear();
  }

  static std::size_t frameCount() { return engine::SpriteFrameCache::getInstance()->size(); }
  static CHallScene* runningLobby() {
    engine::Scene* scene = engine::Director::getInstance()->getRunningScene();
    if (scene == nullptr || scene->getChildrenCount() != 1) return nullptr;
    return dynamic_cast<CHallScene*>(scene->getChildren().front());
  }

  test_support::MessageBoxRecorder boxes;
  test_support::ServerPeer peer;
};

TEST_F(StartupTest, OpensTheWindowAndTheLobbyOnTheConfiguredServer) {
  TempConfig config("Quartet under test", peer.port());
  AppDelegate delegate(config.path());
  delegate.initGLContextAttrs();
  ASSERT_TRUE(delegate.applicationDidFinishLaunching());

  engine::Director* director = engine::Director::getInstance();
  engine::GLView* view = director->getOpenGLView();
  ASSERT_NE(view, nullptr);
  auto* platform = dynamic_cast<engine::HeadlessPlatform*>(view->getPlatform());
  ASSERT_NE(platform, nullptr);
  EXPECT_EQ(platform->title(), "Quartet under test");
  EXPECT_EQ(view->getFrameSize(), engine::Size(1024, 768));
  EXPECT_EQ(view->getDesignResolutionSize(), engine::Size(1024, 768));
  EXPECT_EQ(view->getResolutionPolicy(), engine::ResolutionPolicy::NO_BORDER);
  EXPECT_FLOAT_EQ(director->getAnimationInterval(), 1.0f / 60);
  EXPECT_FLOAT_EQ(director->getContentScaleFactor(), 1.0f);
  const engine::GLContextAttrs attrs = engine::GLView::getGLContextAttrs();
  EXPECT_EQ(std::vector({attrs.redBits, attrs.greenBits, attrs.blueBits, attrs.alphaBits,
                         attrs.depthBits, attrs.stencilBits}),
            std::vector({8, 8, 8, 8, 24, 8}));

  EXPECT_EQ(frameCount(), 49u);
  EXPECT_NE(runningLobby(), nullptr);
  ASSERT_TRUE(peer.accept());
  EXPECT_EQ(peer.readFrame(), R"({"opt":"query"})");
  EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(StartupTest, UnreachableServerShowsTheBoxAndStopsBeforeFramesAndLobby) {
  const std::uint16_t port = peer.port();
  peer.closeListener();
  TempConfig config("Quartet", port);
  AppDelegate delegate(config.path());
  EXPECT_FALSE(delegate.applicationDidFinishLaunching());

  EXPECT_EQ(boxes.boxes(), std::vector<RecordedBox>({{kConnectBox, "错误"}}));
  EXPECT_EQ(frameCount(), 0u);
  EXPECT_EQ(engine::Director::getInstance()->getRunningScene(), nullptr);
  // The window was opened before the connection was tried.
  EXPECT_NE(engine::Director::getInstance()->getOpenGLView(), nullptr);
}

TEST_F(StartupTest, UnreachableServerEndsTheRunWithAFailure) {
  const std::uint16_t port = peer.port();
  peer.closeListener();
  TempConfig config("Quartet", port);
  AppDelegate delegate(config.path());
  EXPECT_EQ(engine::Application::getInstance()->run(), 1);
  EXPECT_EQ(boxes.count(), 1u);
}

TEST_F(StartupTest, AnExistingViewIsKeptAndTheTitleNotRead) {
  engine::HeadlessApp app;
  engine::GLView* before = engine::Director::getInstance()->getOpenGLView();
  ASSERT_NE(before, nullptr);
  TempConfig config("Not this title", peer.port());
  AppDelegate delegate(config.path());
  ASSERT_TRUE(delegate.applicationDidFinishLaunching());
  EXPECT_EQ(engine::Director::getInstance()->getOpenGLView(), before);
  EXPECT_EQ(app.platform().title(), "");
  EXPECT_NE(runningLobby(), nullptr);
  EXPECT_EQ(frameCount(), 49u);
}

TEST_F(StartupTest, ATallerFrameKeepsTheScaleAtOne) {
  engine::HeadlessApp::Options options;
  options.frameSize = engine::Size(1920, 1080);
  engine::HeadlessApp app(options);
  TempConfig config("Quartet", peer.port());
  AppDelegate delegate(config.path());
  ASSERT_TRUE(delegate.applicationDidFinishLaunching());
  EXPECT_EQ(engine::Director::getInstance()->getOpenGLView()->getFrameSize(),
            engine::Size(1920, 1080));
  EXPECT_FLOAT_EQ(engine::Director::getInstance()->getContentScaleFactor(), 1.0f);
  EXPECT_EQ(engine::Director::getInstance()->getOpenGLView()->getResolutionPolicy(),
            engine::ResolutionPolicy::NO_BORDER);
}

TEST_F(StartupTest, BackgroundStopsAndForegroundRestartsOnlyTheDrawing) {
  TempConfig config("Quartet", peer.port());
  AppDelegate delegate(config.path());
  ASSERT_TRUE(delegate.applicationDidFinishLaunching());
  ASSERT_TRUE(peer.accept());
  engine::Director* director = engine::Director::getInstance();
  delegate.applicationDidEnterBackground();
  EXPECT_FALSE(director->isAnimating());
  delegate.applicationWillEnterForeground();
  EXPECT_TRUE(director->isAnimating());
  // The connection is untouched: a reply still reaches the lobby.
  ASSERT_TRUE(peer.sendFrame(R"({"opt":"query","online":"8","version":"26"})"));
  for (int i = 0; i < 1000 && CMessageQueue::getInstance()->size() == 0; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(CMessageQueue::getInstance()->size(), 1u);
}

// A copy of the resources with one image taken away, searched alone.
class MissingImageTest : public StartupTest {
 protected:
  void SetUp() override {
    StartupTest::SetUp();
    original_ = fs::current_path();
    savedPaths_ = engine::FileUtils::getInstance()->getSearchPaths();
    dir_ = fs::temp_directory_path() / ("quartet_missing_" + std::to_string(::getpid()));
    fs::create_directories(dir_);
    for (const fs::directory_entry& entry : fs::directory_iterator(original_)) {
      if (entry.path().extension() == ".png" && entry.path().filename() != "poker_num.png") {
        fs::copy_file(entry.path(), dir_ / entry.path().filename(),
                      fs::copy_options::overwrite_existing);
      }
    }
    fs::current_path(dir_);
    engine::FileUtils::getInstance()->setSearchPaths({dir_.string()});
  }
  void TearDown() override {
    fs::current_path(original_);
    engine::FileUtils::getInstance()->setSearchPaths(savedPaths_);
    fs::remove_all(dir_);
    StartupTest::TearDown();
  }

  fs::path original_;
  fs::path dir_;
  std::vector<std::string> savedPaths_;
};

TEST_F(MissingImageTest, RegistrationNamesTheMissingFile) {
  EXPECT_EQ(registerSpriteFrames(), "poker_num.png");
  // The frames of the other images are there all the same.
  EXPECT_TRUE(engine::SpriteFrameCache::getInstance()->isSpriteFrameAvailable("beijing"));
}

TEST_F(MissingImageTest, StartupShowsABoxNamingTheFileAndFails) {
  TempConfig config("Quartet", peer.port());
  AppDelegate delegate(config.path());
  EXPECT_FALSE(delegate.applicationDidFinishLaunching());
  ASSERT_EQ(boxes.count(), 1u);
  EXPECT_EQ(boxes.boxes()[0].title, "错误");
  EXPECT_NE(boxes.boxes()[0].text.find("poker_num.png"), std::string::npos)
      << boxes.boxes()[0].text;
  EXPECT_EQ(runningLobby(), nullptr);
}

}  // namespace
