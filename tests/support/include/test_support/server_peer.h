// A scripted server peer for tests: listens on 127.0.0.1 with an ephemeral
// port, accepts one client and exchanges frames (4-byte little-endian length,
// then the text) or raw bytes with it.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace test_support {

using namespace std::chrono_literals;

class ServerPeer {
 public:
  // Starts listening at once; port() is valid after construction.
  ServerPeer();
  ~ServerPeer();
  ServerPeer(const ServerPeer&) = delete;
  ServerPeer& operator=(const ServerPeer&) = delete;

  bool listening() const { return listenFd_ >= 0; }
  std::uint16_t port() const { return port_; }

  // Points the client's configuration (keys "host" and "port") at this peer.
  void configureClient() const;

  // Accepts the next pending client, replacing any connection held before.
  bool accept(std::chrono::milliseconds timeout = 10s);
  bool connected() const { return clientFd_ >= 0; }

  // Writes the whole of the bytes; false once the client has gone.
  bool sendRaw(std::string_view bytes);
  // Writes one frame: the text's length (least significant byte first), then the text.
  bool sendFrame(std::string_view text);
  static std::string frameBytes(std::string_view text);

  // Reads exactly `size` bytes; nullopt on time-out or when the client closes first.
  std::optional<std::string> readRaw(std::size_t size, std::chrono::milliseconds timeout = 10s);
  // Reads one frame's text; nullopt on time-out or close.
  std::optional<std::string> readFrame(std::chrono::milliseconds timeout = 10s);
  // Waits until the client has closed its side (any bytes still arriving are
  // discarded); false on time-out.
  bool waitForClose(std::chrono::milliseconds timeout = 10s);

  // Closes the accepted connection (the client then sees end of stream).
  void closeConnection();
  // Stops listening: later connections to port() are refused.
  void closeListener();

 private:
  int listenFd_ = -1;
  int clientFd_ = -1;
  std::uint16_t port_ = 0;
};

}  // namespace test_support
