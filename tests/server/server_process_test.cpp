// The quartet-server executable: its options, the line that tells the chosen
// port, a whole game with its log, and a clean stop on SIGTERM.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "game_referee.h"
#include "server_messages.h"
#include "test_client.h"

extern char** environ;

namespace {

class CServerProcess {
 public:
  explicit CServerProcess(std::vector<std::string> args) {
    args.insert(args.begin(), QUARTET_SERVER_PATH);
    int out[2], err[2];
    EXPECT_EQ(::pipe(out), 0);
    EXPECT_EQ(::pipe(err), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addclose(&actions, err[0]);
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    EXPECT_EQ(posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    ::close(err[1]);
    out_ = out[0];
    err_ = err[0];
  }
  ~CServerProcess() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    ::close(out_);
    ::close(err_);
  }

  // The next line on standard error, or "" after the wait.
  std::string errLine(std::chrono::milliseconds wait = std::chrono::seconds(10)) {
    return line(err_, errBuffer_, wait);
  }
  std::string allOut() {
    std::string text, more;
    while (!(more = line(out_, outBuffer_, std::chrono::seconds(5))).empty()) text += more + "\n";
    return text;
  }
  int terminate(int signal) {
    ::kill(pid_, signal);
    return wait();
  }
  int wait() {
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }

 private:
  pid_t pid_ = -1;
  int out_ = -1, err_ = -1;
  std::string errBuffer_, outBuffer_;

  static std::string line(int fd, std::string& buffer, std::chrono::milliseconds wait) {
    const auto until = std::chrono::steady_clock::now() + wait;
    for (;;) {
      if (auto nl = buffer.find('\n'); nl != std::string::npos) {
        std::string l = buffer.substr(0, nl);
        buffer.erase(0, nl + 1);
        return l;
      }
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          until - std::chrono::steady_clock::now());
      pollfd p{fd, POLLIN, 0};
      if (left.count() <= 0 || ::poll(&p, 1, int(left.count())) <= 0) return "";
      char buf[4096];
      ssize_t n = ::read(fd, buf, sizeof buf);
      if (n <= 0) {
        std::string rest;
        rest.swap(buffer);
        return rest;
      }
      buffer.append(buf, std::size_t(n));
    }
  }
};

std::uint16_t listeningPort(const std::string& line) {
  const std::string prefix = "listening on 127.0.0.1:";
  EXPECT_EQ(line.compare(0, prefix.size(), prefix), 0) << line;
  return std::uint16_t(std::atoi(line.c_str() + prefix.size()));
}

}  // namespace

TEST(ServerProcess, HelpAndBadOptions) {
  {
    CServerProcess help({"--help"});
    EXPECT_EQ(help.wait(), 0);
    const std::string usage = help.allOut();
    for (const char* option : {"--host", "--port", "--bots", "--seed", "--turn-timeout"})
      EXPECT_NE(usage.find(option), std::string::npos) << option;
  }
  {
    CServerProcess bad({"--port", "nine"});
    EXPECT_EQ(bad.wait(), 2);
    EXPECT_NE(bad.errLine().find("--port"), std::string::npos);
  }
}

TEST(ServerProcess, PlaysAGameAndStopsCleanly) {
  CServerProcess proc(
      {"--port", "0", "--bots", "--seed", "5", "--bot-delay", "0", "--turn-timeout", "0.01"});
  const std::uint16_t port = listeningPort(proc.errLine());
  ASSERT_NE(port, 0);
  {
    CTestClient c(port);
    ASSERT_TRUE(c.connected());
    c.send(R"({"opt":"query"})");
    EXPECT_EQ(c.receive(), R"({"opt":"query","online":"1","version":"26"})");
    c.send(R"({"opt":"add"})");
    ASSERT_EQ(c.receive(), R"({"opt":"add","desk":"1","site":"0","name":"player1"})");
    c.send(R"({"opt":"change","type":"ready","desk":1,"site":0})");
    CGameReferee referee;
    referee.setObserver(0);
    bool over = false;
    while (auto text = c.receive()) {
      const stSeen m = readMessage(*text);
      referee.feed(0, m);
      if ((over = m.opt == "over")) break;
    }
    EXPECT_TRUE(over);
  }
  // One line for the game and one for the connection.
  const std::string game = proc.errLine();
  EXPECT_EQ(game.compare(0, 24, "table 1: game 1 over aft"), 0) << game;
  const std::string connection = proc.errLine();
  EXPECT_EQ(connection.compare(0, 23, "connection 1 127.0.0.1:"), 0) << connection;
  EXPECT_EQ(proc.terminate(SIGTERM), 0);
}

TEST(ServerProcess, APortInUseIsReported) {
  CServerProcess first({"--port", "0"});
  const std::uint16_t port = listeningPort(first.errLine());
  CServerProcess second({"--port", std::to_string(port)});
  EXPECT_EQ(second.wait(), 1);
  EXPECT_NE(second.errLine().find("cannot listen"), std::string::npos);
  EXPECT_EQ(first.terminate(SIGINT), 0);
}
