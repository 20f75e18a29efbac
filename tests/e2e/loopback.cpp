// The server process and the recording relay of the end-to-end tests.
#include "loopback.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>

#include "net/framing.h"

extern char** environ;

namespace e2e {

ServerProcess::ServerProcess(unsigned seed) {
  int fds[2];
  if (pipe(fds) != 0) return;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[1], STDERR_FILENO);
  posix_spawn_file_actions_addclose(&actions, fds[0]);
  const std::string seedText = std::to_string(seed);
  const char* argv[] = {"./quartet-server", "--bots", "--host", "127.0.0.1",
                        "--port",           "0",      "--seed", seedText.c_str(),
                        "--bot-delay",      "0",      nullptr};
  const int spawned =
      posix_spawn(&pid_, argv[0], &actions, nullptr, const_cast<char**>(argv), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);
  if (spawned != 0) {
    pid_ = -1;
    close(fds[0]);
    return;
  }
  log_ = fds[0];
  // The first line names the port: "listening on 127.0.0.1:PORT".
  std::string line;
  char c;
  while (read(log_, &c, 1) == 1) {
    if (c != '\n') {
      line += c;
      continue;
    }
    if (line.rfind("listening on ", 0) == 0) {
      port_ = static_cast<std::uint16_t>(std::stoi(line.substr(line.rfind(':') + 1)));
      break;
    }
    line.clear();
  }
  // The log goes on; drain it so that the server never blocks on a full pipe.
  std::thread([fd = log_] {
    char buffer[4096];
    while (read(fd, buffer, sizeof buffer) > 0) {
    }
    close(fd);
  }).detach();
}

ServerProcess::~ServerProcess() {
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
}

bool ServerProcess::alive() {
  if (pid_ <= 0) return false;
  int status = 0;
  return waitpid(pid_, &status, WNOHANG) == 0;
}

RecordingRelay::RecordingRelay(std::uint16_t serverPort) : serverPort_(serverPort) {
  listenFd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  if (listenFd_ < 0 || bind(listenFd_, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
      listen(listenFd_, 1) != 0 ||
      getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
    return;
  }
  port_ = ntohs(address.sin_port);
  thread_ = std::thread(&RecordingRelay::run, this);
}

RecordingRelay::~RecordingRelay() {
  stopping_ = true;
  if (listenFd_ >= 0) shutdown(listenFd_, SHUT_RDWR);
  for (int fd : {clientFd_.load(), serverFd_.load()}) {
    if (fd >= 0) shutdown(fd, SHUT_RDWR);
  }
  if (thread_.joinable()) thread_.join();
  for (int fd : {listenFd_, clientFd_.load(), serverFd_.load()}) {
    if (fd >= 0) close(fd);
  }
}

void RecordingRelay::run() {
  pollfd waiting{listenFd_, POLLIN, 0};
  while (!stopping_ && poll(&waiting, 1, 100) == 0) {
  }
  if (stopping_) return;
  const int client = accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
  if (client < 0) return;
  clientFd_ = client;
  const int server = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(serverPort_);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(server, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    close(server);
    shutdown(client, SHUT_RDWR);
    return;
  }
  serverFd_ = server;
  std::thread up([this, client, server] { pump(client, server, fromClient_); });
  pump(server, client, fromServer_);
  shutdown(client, SHUT_RDWR);
  shutdown(server, SHUT_RDWR);
  up.join();
}

void RecordingRelay::pump(int from, int to, std::vector<std::string>& frames) {
  CFrameDecoder decoder;
  char buffer[16384];
  std::string text;
  for (;;) {
    const ssize_t got = recv(from, buffer, sizeof buffer, 0);
    if (got <= 0) break;
    decoder.feed(buffer, static_cast<std::size_t>(got));
    {
      std::lock_guard lock(mutex_);
      while (decoder.next(text) == CFrameDecoder::Result::kFrame) frames.push_back(text);
    }
    for (ssize_t sent = 0; sent < got;) {
      const ssize_t n = send(to, buffer + sent, static_cast<std::size_t>(got - sent), MSG_NOSIGNAL);
      if (n <= 0) return;
      sent += n;
    }
  }
  shutdown(to, SHUT_WR);
}

std::vector<std::string> RecordingRelay::fromClient() const {
  std::lock_guard lock(mutex_);
  return fromClient_;
}
std::vector<std::string> RecordingRelay::fromServer() const {
  std::lock_guard lock(mutex_);
  return fromServer_;
}
std::size_t RecordingRelay::fromServerCount() const {
  std::lock_guard lock(mutex_);
  return fromServer_.size();
}

void RecordingRelay::clear() {
  std::lock_guard lock(mutex_);
  fromClient_ = {};
  fromServer_ = {};
}

long residentKb(const char* key) {
  std::ifstream status("/proc/self/status");
  std::string line;
  const std::string prefix(key);
  while (std::getline(status, line)) {
    if (line.rfind(prefix, 0) == 0) return std::stol(line.substr(prefix.size()));
  }
  return -1;
}

}  // namespace e2e
