// Command-line options of quartet-server.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace server {

struct stServerOptions {
  std::string host = "127.0.0.1";
  std::uint16_t port = 9999;  // 0 picks a free port
  bool bots = false;
  std::optional<std::uint64_t> seed;  // random when absent
  double turnTimeout = 35;            // seconds
  double readyTimeout = 120;          // seconds
  double botDelay = 0.5;              // seconds a computer player waits before it plays
  std::size_t maxClients = 4096;
  bool quiet = false;  // no per-connection and per-game log
};

enum class OptionsResult { Run, Help, Error };

// Reads argv[1..]; on Error `message` says what is wrong.
OptionsResult parseServerOptions(int argc, const char* const* argv, stServerOptions& options,
                                 std::string& message);
std::string serverUsage(const char* program);

}  // namespace server
