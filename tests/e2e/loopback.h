// What the end-to-end tests put around the client: the reference server as a
// process with computer players, and a recording relay between the client and
// it that keeps every frame of both directions, byte for byte.
#pragma once

#include <sys/types.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace e2e {

// quartet-server --bots --port 0 --seed N, from the working directory (bin/).
class ServerProcess {
 public:
  explicit ServerProcess(unsigned seed);
  ~ServerProcess();
  ServerProcess(const ServerProcess&) = delete;
  ServerProcess& operator=(const ServerProcess&) = delete;

  bool started() const { return port_ != 0; }
  std::uint16_t port() const { return port_; }
  // False once the process has ended (a crash among others).
  bool alive();

 private:
  pid_t pid_ = -1;
  int log_ = -1;
  std::uint16_t port_ = 0;
};

// Listens on 127.0.0.1 (ephemeral port), takes one client and joins it to
// the server, passing the bytes on unchanged while it records the frames.
class RecordingRelay {
 public:
  explicit RecordingRelay(std::uint16_t serverPort);
  ~RecordingRelay();
  RecordingRelay(const RecordingRelay&) = delete;
  RecordingRelay& operator=(const RecordingRelay&) = delete;

  std::uint16_t port() const { return port_; }
  // The texts each side has sent so far, oldest first.
  std::vector<std::string> fromClient() const;
  std::vector<std::string> fromServer() const;
  std::size_t fromServerCount() const;
  // Forgets what has been recorded, so a long run does not keep it all.
  void clear();

 private:
  void run();
  void pump(int from, int to, std::vector<std::string>& frames);

  std::uint16_t serverPort_;
  std::uint16_t port_ = 0;
  int listenFd_ = -1;
  std::atomic<int> clientFd_{-1};
  std::atomic<int> serverFd_{-1};
  std::atomic<bool> stopping_{false};
  mutable std::mutex mutex_;
  std::vector<std::string> fromClient_;
  std::vector<std::string> fromServer_;
  std::thread thread_;
};

// Resident memory of this process now (VmRSS) or at its peak (VmHWM), in kB.
long residentKb(const char* key = "VmRSS:");

}  // namespace e2e
