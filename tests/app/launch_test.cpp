// The client's run from its command line: help, refused arguments, missing
// resources or display, and an unreachable server all end with a clear word
// and the right exit status.
#include "app/launch.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "engine/configuration.h"
#include "engine/director.h"
#include "engine/file_utils.h"
#include "net/message_queue.h"
#include "test_support/message_box_recorder.h"
#include "test_support/server_peer.h"

namespace {

namespace fs = std::filesystem;

class LaunchTest : public testing::Test {
 protected:
  void SetUp() override { engine::Configuration::getInstance()->clear(); }
  void TearDown() override {
    CMessageQueue::getInstance()->disconnect();
    engine::Director::getInstance()->reset();
  }

  int run(const std::vector<std::string>& args) { return app::runClient(args, options, out, err); }

  app::stLaunchOptions options;
  std::ostringstream out;
  std::ostringstream err;
  test_support::MessageBoxRecorder boxes;
};

TEST_F(LaunchTest, HelpPrintsTheUsageAndSucceeds) {
  EXPECT_EQ(run({"--help"}), 0);
  EXPECT_EQ(out.str().rfind("Usage: quartet [--config FILE] [--help]", 0), 0u);
  EXPECT_EQ(err.str(), "");
  EXPECT_EQ(engine::Director::getInstance()->getOpenGLView(), nullptr);
}

TEST_F(LaunchTest, UnknownArgumentsAreRefused) {
  EXPECT_EQ(run({"--fullscreen"}), 2);
  EXPECT_EQ(err.str(),
            "quartet: unknown argument '--fullscreen'\n"
            "Try 'quartet --help' for more information.\n");
  EXPECT_EQ(out.str(), "");
}

TEST_F(LaunchTest, AMissingConfigurationFileIsNamed) {
  EXPECT_EQ(run({"--config", "/nonexistent/other.plist"}), 1);
  EXPECT_EQ(err.str(), "quartet: can not find '/nonexistent/other.plist'\n");
  EXPECT_EQ(engine::Director::getInstance()->getOpenGLView(), nullptr);
  EXPECT_EQ(boxes.count(), 0u);
}

TEST_F(LaunchTest, NoDisplayIsSaidPlainly) {
  options.checkDisplay = [] { return std::string("no display named"); };
  EXPECT_EQ(run({}), 1);
  EXPECT_EQ(err.str(), "quartet: can not open the game window: no display named\n");
  EXPECT_EQ(engine::Director::getInstance()->getOpenGLView(), nullptr);
}

TEST_F(LaunchTest, AnUnreachableServerFailsTheRun) {
  test_support::ServerPeer peer;
  const std::string port = std::to_string(peer.port());
  peer.closeListener();
  const fs::path config =
      fs::temp_directory_path() / ("quartet_launch_" + std::to_string(::getpid()) + ".plist");
  {
    std::ofstream file(config);
    file << "<plist><dict><key>host</key><string>127.0.0.1</string>"
         << "<key>port</key><string>" << port << "</string></dict></plist>\n";
  }
  EXPECT_EQ(run({"--config", config.string()}), 1);
  fs::remove(config);
  ASSERT_EQ(boxes.count(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text, "连接服务器失败！请检查网络是否正常。");
}

// Started where no resources are, and with the program's folder emptied of
// them, the client says which file it lacks.
TEST_F(LaunchTest, MissingBundledResourcesAreNamed) {
  const fs::path original = fs::current_path();
  const std::vector<std::string> paths = engine::FileUtils::getInstance()->getSearchPaths();
  const fs::path empty =
      fs::temp_directory_path() / ("quartet_empty_" + std::to_string(::getpid()));
  fs::create_directories(empty);
  fs::current_path(empty);
  engine::FileUtils::getInstance()->setSearchPaths({empty.string()});

  EXPECT_EQ(app::missingResource(""), "config/strings.plist");
  const int status = run({});

  fs::current_path(original);
  engine::FileUtils::getInstance()->setSearchPaths(paths);
  fs::remove_all(empty);
  EXPECT_EQ(status, 1);
  EXPECT_EQ(err.str().rfind("quartet: can not find 'config/strings.plist' beside the program", 0),
            0u)
      << err.str();
}

TEST_F(LaunchTest, TheBundledResourcesAreFoundFromAnyDirectory) {
  const fs::path original = fs::current_path();
  fs::current_path(fs::temp_directory_path());
  const std::string missing = app::missingResource("");
  fs::current_path(original);
  EXPECT_EQ(missing, "");
}

}  // namespace
