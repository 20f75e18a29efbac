// The client's command line.
#include "app/command_line.h"

#include <gtest/gtest.h>

namespace {

using app::parseCommandLine;

TEST(CommandLine, Accepted) {
  struct Case {
    std::vector<std::string> args;
    bool help;
    std::string configFile;
  };
  const Case cases[] = {
      {{}, false, ""},
      {{"--help"}, true, ""},
      {{"-h"}, true, ""},
      {{"--config", "other.plist"}, false, "other.plist"},
      {{"-c", "/tmp/x.plist"}, false, "/tmp/x.plist"},
      {{"--config=a b.plist"}, false, "a b.plist"},
      {{"--config", "a.plist", "--help"}, true, "a.plist"},
      {{"--config", "a.plist", "--config", "b.plist"}, false, "b.plist"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.args));
    const app::stCommandLine line = parseCommandLine(c.args);
    EXPECT_EQ(line.error, "");
    EXPECT_EQ(line.help, c.help);
    EXPECT_EQ(line.configFile, c.configFile);
  }
}

TEST(CommandLine, RefusedWithAReason) {
  struct Case {
    std::vector<std::string> args;
    std::string error;
  };
  const Case cases[] = {
      {{"--config"}, "option --config needs a file name"},
      {{"--config", ""}, "option --config needs a file name"},
      {{"--config="}, "option --config needs a file name"},
      {{"-c"}, "option -c needs a file name"},
      {{"--verbose"}, "unknown argument '--verbose'"},
      {{"strings.plist"}, "unknown argument 'strings.plist'"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.args));
    EXPECT_EQ(parseCommandLine(c.args).error, c.error);
  }
}

TEST(CommandLine, UsageNamesTheProgramAndEveryOption) {
  const std::string usage = app::usageText("quartet");
  EXPECT_EQ(usage.rfind("Usage: quartet [--config FILE] [--help]\n", 0), 0u);
  EXPECT_NE(usage.find("--config FILE"), std::string::npos);
  EXPECT_NE(usage.find("--help"), std::string::npos);
}

}  // namespace
