// Measures the client from process start to its first lobby frame, drawn
// offscreen, and its peak memory after ten seconds in the lobby. Each run
// starts lobby_client afresh against a small server on 127.0.0.1 that
// answers the online queries.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "engine/file_utils.h"
#include "net/framing.h"

extern char** environ;

namespace {

long long monotonicNanoseconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

// Accepts one client after another and answers every online query.
class LobbyServer {
 public:
  LobbyServer() {
    fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd_, 4) != 0 ||
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
      std::perror("lobby server");
      std::exit(1);
    }
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { serve(); });
  }
  ~LobbyServer() {
    stopping_ = true;
    ::shutdown(fd_, SHUT_RDWR);
    ::close(fd_);
    thread_.join();
  }
  int port() const { return port_; }

 private:
  void serve() {
    while (!stopping_) {
      const int client = ::accept(fd_, nullptr, nullptr);
      if (client < 0) return;
      CFrameDecoder decoder;
      char buffer[4096];
      ssize_t got;
      while ((got = ::recv(client, buffer, sizeof buffer, 0)) > 0) {
        decoder.feed(buffer, static_cast<std::size_t>(got));
        std::string text;
        while (decoder.next(text) == CFrameDecoder::Result::kFrame) {
          if (text != R"({"opt":"query"})") continue;
          const std::string reply = encodeFrame(R"({"opt":"query","online":"42","version":"26"})");
          if (::send(client, reply.data(), reply.size(), MSG_NOSIGNAL) < 0) break;
        }
      }
      ::close(client);
    }
  }

  int fd_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::thread thread_;
};

struct stRun {
  double firstFrameMs = 0;
  double cpuMs = 0;
  long peakKb = 0;
};

bool runClient(const std::string& client, const std::string& config, stRun& run) {
  int pipeFds[2];
  if (::pipe(pipeFds) != 0) return false;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
  std::vector<char*> argv = {const_cast<char*>(client.c_str()), const_cast<char*>(config.c_str()),
                             nullptr};
  pid_t pid = 0;
  const long long start = monotonicNanoseconds();
  const int spawned = posix_spawn(&pid, client.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(pipeFds[1]);
  if (spawned != 0) {
    ::close(pipeFds[0]);
    return false;
  }
  std::string output;
  char buffer[256];
  ssize_t got;
  while ((got = ::read(pipeFds[0], buffer, sizeof buffer)) > 0) output.append(buffer, got);
  ::close(pipeFds[0]);
  int status = 0;
  rusage usage{};
  ::wait4(pid, &status, 0, &usage);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return false;

  std::istringstream lines(output);
  std::string key;
  long long firstFrame = 0;
  long long cpu = 0;
  while (lines >> key) {
    if (key == "first_frame_ns")
      lines >> firstFrame;
    else if (key == "cpu_ns")
      lines >> cpu;
    else if (key == "peak_kb")
      lines >> run.peakKb;
    else
      lines >> key;
  }
  run.firstFrameMs = static_cast<double>(firstFrame - start) / 1e6;
  run.cpuMs = static_cast<double>(cpu) / 1e6;
  // The kernel's count and the process's own agree; keep the larger.
  run.peakKb = std::max(run.peakKb, usage.ru_maxrss);
  return firstFrame > 0;
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 15;
  if (argc == 3 && std::strcmp(argv[1], "--runs") == 0) runs = std::max(1, std::atoi(argv[2]));
  const std::string client = engine::FileUtils::getExecutableDirectory() + "/lobby_client";

  LobbyServer server;
  const std::string config = (std::filesystem::temp_directory_path() /
                              ("quartet_bench_" + std::to_string(::getpid()) + ".plist"))
                                 .string();
  {
    std::ofstream out(config);
    out << "<plist><dict><key>title</key><string>Quartet</string>"
        << "<key>host</key><string>127.0.0.1</string><key>port</key><string>" << server.port()
        << "</string></dict></plist>\n";
  }

  std::vector<double> times;
  std::vector<double> cpus;
  std::vector<double> peaks;
  for (int i = 0; i < runs; ++i) {
    stRun run;
    if (!runClient(client, config, run)) {
      std::fprintf(stderr, "run %d of %s failed\n", i + 1, client.c_str());
      std::filesystem::remove(config);
      return 1;
    }
    times.push_back(run.firstFrameMs);
    cpus.push_back(run.cpuMs);
    peaks.push_back(static_cast<double>(run.peakKb) / 1024.0);
  }
  std::filesystem::remove(config);

  std::printf("runs: %d\n", runs);
  std::printf("process start to first lobby frame, ms: median %.1f  min %.1f  max %.1f\n",
              median(times), *std::min_element(times.begin(), times.end()),
              *std::max_element(times.begin(), times.end()));
  std::printf("CPU time of the client until then, ms: median %.1f  min %.1f  max %.1f\n",
              median(cpus), *std::min_element(cpus.begin(), cpus.end()),
              *std::max_element(cpus.begin(), cpus.end()));
  std::printf("peak resident memory in the lobby, MB: median %.1f  min %.1f  max %.1f\n",
              median(peaks), *std::min_element(peaks.begin(), peaks.end()),
              *std::max_element(peaks.begin(), peaks.end()));
  return 0;
}
