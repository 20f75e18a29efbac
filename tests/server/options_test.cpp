// Command-line options.
#include "server/options.h"

#include <gtest/gtest.h>

#include <vector>

using namespace server;

namespace {

OptionsResult parse(std::vector<const char*> args, stServerOptions& o, std::string& msg) {
  args.insert(args.begin(), "quartet-server");
  return parseServerOptions(int(args.size()), args.data(), o, msg);
}

}  // namespace

TEST(ServerOptions, DefaultsAndValues) {
  stServerOptions o;
  std::string msg;
  ASSERT_EQ(parse({}, o, msg), OptionsResult::Run);
  EXPECT_EQ(o.host, "127.0.0.1");
  EXPECT_EQ(o.port, 9999);
  EXPECT_FALSE(o.bots);
  EXPECT_FALSE(o.seed);
  EXPECT_EQ(o.turnTimeout, 35);

  ASSERT_EQ(parse({"--bots", "--port", "0", "--seed=42", "--turn-timeout", "1.5", "--host", "::1",
                   "--ready-timeout=9", "--bot-delay", "0", "--quiet"},
                  o, msg),
            OptionsResult::Run)
      << msg;
  EXPECT_TRUE(o.bots);
  EXPECT_EQ(o.port, 0);
  EXPECT_EQ(o.seed, 42u);
  EXPECT_EQ(o.turnTimeout, 1.5);
  EXPECT_EQ(o.readyTimeout, 9);
  EXPECT_EQ(o.botDelay, 0);
  EXPECT_EQ(o.host, "::1");
  EXPECT_TRUE(o.quiet);
}

TEST(ServerOptions, RefusesBadInput) {
  const std::vector<std::vector<const char*>> cases = {
      {"--port"},
      {"--port", "65536"},
      {"--port", "-1"},
      {"--port", "9x"},
      {"--seed", "abc"},
      {"--turn-timeout", "0"},
      {"--turn-timeout", "nan"},
      {"--ready-timeout", "-3"},
      {"--bots=1"},
      {"--colour"},
      {"stray"},
      {"--host", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c[0]);
    stServerOptions o;
    std::string msg;
    EXPECT_EQ(parse(c, o, msg), OptionsResult::Error);
    EXPECT_FALSE(msg.empty());
  }
  stServerOptions o;
  std::string msg;
  EXPECT_EQ(parse({"--port", "1", "--help"}, o, msg), OptionsResult::Help);
  EXPECT_NE(serverUsage("quartet-server").find("--turn-timeout"), std::string::npos);
}
