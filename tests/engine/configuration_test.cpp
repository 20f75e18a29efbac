// The configuration dictionary from a property-list file.
#include <gtest/gtest.h>

#include <fstream>

#include "engine/configuration.h"
#include "engine/file_utils.h"
#include "test_images.h"

namespace {

std::string writeFile(const std::string& name, const std::string& text) {
  std::string path = enginetest::tempDir() + "/" + name;
  std::ofstream(path) << text;
  return path;
}

class ConfigurationTest : public ::testing::Test {
 protected:
  void SetUp() override { config->clear(); }
  void TearDown() override { config->clear(); }
  engine::Configuration* config = engine::Configuration::getInstance();
};

TEST_F(ConfigurationTest, ReadsStringsAndNumbers) {
  std::string path = writeFile("strings.plist", R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0">
<dict>
  <key>title</key>
  <string>四人牌局</string>
  <key>host</key>
  <string>127.0.0.1</string>
  <key>port</key>
  <integer>9999</integer>
</dict>
</plist>
)");
  EXPECT_TRUE(config->loadConfigFile(path));
  struct Case {
    const char* key;
    const char* text;
  };
  for (const Case& c : {Case{"title", "四人牌局"}, Case{"host", "127.0.0.1"}, Case{"port", "9999"},
                        Case{"missing", ""}}) {
    SCOPED_TRACE(c.key);
    EXPECT_EQ(config->getValue(c.key, engine::Value::Null).asString(), c.text);
  }
  EXPECT_TRUE(config->getValue("missing").isNull());
}

TEST_F(ConfigurationTest, MissingOrBrokenFileGivesEmptyTexts) {
  for (const std::string& path :
       {enginetest::tempDir() + "/absent.plist", writeFile("broken.plist", "<plist><dict><key>")}) {
    SCOPED_TRACE(path);
    EXPECT_FALSE(config->loadConfigFile(path));
    EXPECT_EQ(config->getValue("title", engine::Value::Null).asString(), "");
  }
}

TEST_F(ConfigurationTest, RelativeNamesAreFoundInTheSearchPaths) {
  writeFile("relative.plist",
            "<plist><dict><key>host</key><string>10.1.2.3</string></dict></plist>");
  auto* files = engine::FileUtils::getInstance();
  auto saved = files->getSearchPaths();
  files->addSearchPath(enginetest::tempDir());
  EXPECT_TRUE(config->loadConfigFile("relative.plist"));
  files->setSearchPaths(saved);
  EXPECT_EQ(config->getValue("host").asString(), "10.1.2.3");
}

TEST(FileUtilsTest, ExecutableFolderIsSearchedFirst) {
  auto* files = engine::FileUtils::getInstance();
  std::string exeDir = engine::FileUtils::getExecutableDirectory();
  ASSERT_FALSE(exeDir.empty());
  std::ofstream(exeDir + "/engine-test-probe.txt") << "here";
  EXPECT_EQ(files->fullPathForFilename("engine-test-probe.txt"), exeDir + "/engine-test-probe.txt");
  EXPECT_EQ(files->getStringFromFile("engine-test-probe.txt"), "here");
  std::remove((exeDir + "/engine-test-probe.txt").c_str());
  EXPECT_EQ(files->fullPathForFilename("no-such-file.png"), "no-such-file.png");
  EXPECT_EQ(files->fullPathForFilename("/abs/x.png"), "/abs/x.png");
}

}  // namespace
