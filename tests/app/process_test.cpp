// The quartet executable as a user starts it: help, refused arguments and a
// machine without a display, each with its word and exit status.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace {

struct stOutcome {
  int status = -1;
  std::string output;  // stdout and stderr together
};

// Runs the client from /tmp, away from its resources, with no display.
stOutcome runQuartet(const std::string& args) {
  const std::string command = "cd /tmp && env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER '" +
                              std::string(QUARTET_EXE) + "' " + args + " 2>&1";
  stOutcome outcome;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return outcome;
  char buffer[512];
  while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) outcome.output += buffer;
  const int status = ::pclose(pipe);
  outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return outcome;
}

TEST(QuartetProcess, Help) {
  const stOutcome outcome = runQuartet("--help");
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(outcome.output.rfind("Usage: quartet [--config FILE] [--help]\n", 0), 0u)
      << outcome.output;
}

TEST(QuartetProcess, UnknownArgument) {
  const stOutcome outcome = runQuartet("--fullscreen");
  EXPECT_EQ(outcome.status, 2);
  EXPECT_NE(outcome.output.find("quartet: unknown argument '--fullscreen'"), std::string::npos)
      << outcome.output;
}

TEST(QuartetProcess, MissingConfigurationFile) {
  const stOutcome outcome = runQuartet("--config no-such.plist");
  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.output.find("quartet: can not find '/tmp/no-such.plist'"), std::string::npos)
      << outcome.output;
}

TEST(QuartetProcess, NoDisplay) {
  const stOutcome outcome = runQuartet("");
  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.output.find("quartet: can not open the game window"), std::string::npos)
      << outcome.output;
}

}  // namespace
