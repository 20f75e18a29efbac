// The scripted server peer on POSIX sockets; every wait is bounded by poll.
#include "test_support/server_peer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "engine/configuration.h"

namespace test_support {
namespace {

using Clock = std::chrono::steady_clock;

// Waits until `fd` is readable or the deadline passes.
bool waitReadable(int fd, Clock::time_point deadline) {
  for (;;) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() < 0) left = std::chrono::milliseconds(0);
    pollfd entry{fd, POLLIN, 0};
    int ready = ::poll(&entry, 1, static_cast<int>(left.count()));
    if (ready > 0) return true;
    if (ready == 0) return false;
    if (errno != EINTR) return false;
  }
}

}  // namespace

ServerPeer::ServerPeer() {
  int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
  if (fd < 0) return;
  int on = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = 0;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(fd, 16) != 0 ||
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    ::close(fd);
    return;
  }
  listenFd_ = fd;
  port_ = ntohs(address.sin_port);
}

ServerPeer::~ServerPeer() {
  closeConnection();
  closeListener();
}

void ServerPeer::configureClient() const {
  auto* configuration = engine::Configuration::getInstance();
  configuration->setValue("host", engine::Value("127.0.0.1"));
  configuration->setValue("port", engine::Value(std::to_string(port_)));
}

bool ServerPeer::accept(std::chrono::milliseconds timeout) {
  if (listenFd_ < 0) return false;
  if (!waitReadable(listenFd_, Clock::now() + timeout)) return false;
  int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
  if (fd < 0) return false;
  closeConnection();
  clientFd_ = fd;
  return true;
}

bool ServerPeer::sendRaw(std::string_view bytes) {
  if (clientFd_ < 0) return false;
  std::size_t offset = 0;
  while (offset < bytes.size()) {
    ssize_t sent = ::send(clientFd_, bytes.data() + offset, bytes.size() - offset, MSG_NOSIGNAL);
    if (sent < 0 && errno == EINTR) continue;
    if (sent <= 0) return false;
    offset += static_cast<std::size_t>(sent);
  }
  return true;
}

std::string ServerPeer::frameBytes(std::string_view text) {
  auto size = static_cast<std::uint32_t>(text.size());
  std::string frame;
  frame.reserve(4 + text.size());
  for (int shift = 0; shift < 32; shift += 8) {
    frame.push_back(static_cast<char>((size >> shift) & 0xFF));
  }
  frame.append(text);
  return frame;
}

bool ServerPeer::sendFrame(std::string_view text) {
  return sendRaw(frameBytes(text));
}

std::optional<std::string> ServerPeer::readRaw(std::size_t size,
                                               std::chrono::milliseconds timeout) {
  if (clientFd_ < 0) return std::nullopt;
  auto deadline = Clock::now() + timeout;
  std::string bytes(size, '\0');
  std::size_t offset = 0;
  while (offset < size) {
    if (!waitReadable(clientFd_, deadline)) return std::nullopt;
    ssize_t got = ::recv(clientFd_, bytes.data() + offset, size - offset, 0);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return std::nullopt;
    offset += static_cast<std::size_t>(got);
  }
  return bytes;
}

std::optional<std::string> ServerPeer::readFrame(std::chrono::milliseconds timeout) {
  auto deadline = Clock::now() + timeout;
  auto header = readRaw(4, timeout);
  if (!header) return std::nullopt;
  std::uint32_t size = 0;
  for (int i = 3; i >= 0; --i) {
    size = (size << 8) | static_cast<unsigned char>((*header)[i]);
  }
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  return readRaw(size, left.count() > 0 ? left : std::chrono::milliseconds(0));
}

bool ServerPeer::waitForClose(std::chrono::milliseconds timeout) {
  if (clientFd_ < 0) return true;
  auto deadline = Clock::now() + timeout;
  char scratch[4096];
  for (;;) {
    if (!waitReadable(clientFd_, deadline)) return false;
    ssize_t got = ::recv(clientFd_, scratch, sizeof scratch, 0);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return true;
  }
}

void ServerPeer::closeConnection() {
  if (clientFd_ >= 0) {
    ::close(clientFd_);
    clientFd_ = -1;
  }
}

void ServerPeer::closeListener() {
  if (listenFd_ >= 0) {
    ::close(listenFd_);
    listenFd_ = -1;
  }
}

}  // namespace test_support
