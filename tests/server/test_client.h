// A scripted client for the server over loopback: plain blocking sockets,
// every read bounded by a deadline so a silent server fails the test instead
// of hanging it.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "server/frame_codec.h"

class CTestClient {
 public:
  // `receiveBuffer` > 0 shrinks the socket's receive buffer.
  explicit CTestClient(std::uint16_t port, int receiveBuffer = 0) {
    fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    if (receiveBuffer > 0)
      ::setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    connected_ = ::connect(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    int one = 1;
    ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  }
  ~CTestClient() { close(); }
  CTestClient(const CTestClient&) = delete;
  CTestClient& operator=(const CTestClient&) = delete;

  bool connected() const { return connected_; }
  void close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

  bool sendRaw(const std::string& bytes) {
    std::size_t off = 0;
    while (off < bytes.size()) {
      ssize_t n = ::send(fd_, bytes.data() + off, bytes.size() - off, MSG_NOSIGNAL);
      if (n <= 0) return false;
      off += std::size_t(n);
    }
    return true;
  }
  bool send(const std::string& text) { return sendRaw(server::encodeFrame(text)); }

  // The next message, or nothing when the connection ended or the wait ran out.
  std::optional<std::string> receive(std::chrono::milliseconds wait = std::chrono::seconds(10)) {
    std::string text;
    const auto until = std::chrono::steady_clock::now() + wait;
    while (!decoder_.next(text)) {
      if (!fill(until)) return std::nullopt;
    }
    return text;
  }

  // The next message of kind `opt`, skipping others; nothing if none came.
  std::optional<std::string> receiveKind(
      const std::string& opt, std::chrono::milliseconds wait = std::chrono::seconds(10)) {
    const std::string key = "{\"opt\":\"" + opt + "\"";
    while (auto m = receive(wait))
      if (m->compare(0, key.size(), key) == 0) return m;
    return std::nullopt;
  }

  // True once the server has closed the connection (reads give end of file).
  bool closedByPeer(std::chrono::milliseconds wait = std::chrono::seconds(10)) {
    const auto until = std::chrono::steady_clock::now() + wait;
    while (fill(until)) {
    }
    return eof_;
  }

 private:
  int fd_ = -1;
  bool connected_ = false;
  bool eof_ = false;
  server::CFrameDecoder decoder_{1 << 24};

  bool fill(std::chrono::steady_clock::time_point until) {
    if (eof_ || fd_ < 0) return false;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        until - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    pollfd p{fd_, POLLIN, 0};
    if (::poll(&p, 1, int(left.count())) <= 0) return false;
    char buf[8192];
    ssize_t n = ::recv(fd_, buf, sizeof buf, 0);
    if (n <= 0) {
      eof_ = true;
      return false;
    }
    decoder_.feed(buf, std::size_t(n));
    return true;
  }
};
