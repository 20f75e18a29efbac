// The connection on POSIX sockets, the receive thread and the inbound queue.
#include "net/message_queue.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <utility>
#include <vector>

#include "engine/configuration.h"
#include "engine/message_box.h"
#include "net/decoder.h"

namespace {

void linkBox(std::string_view text) {
  engine::MessageBox(std::string(text), std::string(kLinkBoxTitle));
}

// The configured port: kServerPort when the key is absent or empty, else a
// decimal number 1..65535.
std::optional<std::uint16_t> configuredPort() {
  const std::string& text = engine::Configuration::getInstance()->getValue("port").asString();
  if (text.empty()) return kServerPort;
  unsigned long value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<unsigned long>(c - '0');
    if (value > 65535) return std::nullopt;
  }
  if (value == 0) return std::nullopt;
  return static_cast<std::uint16_t>(value);
}

// The version box, then the end of the process with status 0. The process
// ends by quick_exit: exit would run the static destructors, the singleton's
// among them (which joins this very thread), while the main thread may still
// be drawing with objects they destroy.
[[noreturn]] void exitForVersion() {
  engine::MessageBox(versionBoxText(), std::string(kVersionBoxTitle));
  std::fflush(nullptr);
  std::quick_exit(0);
}

}  // namespace

std::string versionBoxText() {
  return "版本过低，请前往 " + std::string(kDownloadSite) + " 下载新版客户端!";
}

CMessageQueue* CMessageQueue::getInstance() {
  static CMessageQueue instance;
  return &instance;
}

CMessageQueue::~CMessageQueue() {
  disconnect();
}

bool CMessageQueue::connect() {
  disconnect();
  std::string host = engine::Configuration::getInstance()->getValue("host").asString();
  std::optional<std::uint16_t> port = configuredPort();
  if (!port) return false;

  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(*port);
  // Dotted decimal only: a host name is never resolved.
  address.sin_addr.s_addr = inet_addr(host.c_str());
  if (address.sin_addr.s_addr == INADDR_NONE) return false;

  int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
  if (fd < 0) return false;
  if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    ::close(fd);
    return false;
  }
  socket_ = fd;
  decoder_.reset();
  receiver_ = std::thread(&CMessageQueue::receiveLoop, this);
  return true;
}

void CMessageQueue::disconnect() {
  stopping_.store(true, std::memory_order_release);
  // Wakes the thread from its receive; its boxes are suppressed from here on.
  if (socket_ >= 0) ::shutdown(socket_, SHUT_RDWR);
  {
    // Taking the lock orders the flag before a wait for room that is about to begin.
    std::lock_guard lock(mutex_);
  }
  room_.notify_all();
  if (receiver_.joinable()) receiver_.join();
  if (socket_ >= 0) {
    ::close(socket_);
    socket_ = -1;
  }
  {
    std::lock_guard lock(mutex_);
    messages_.clear();
  }
  decoder_.reset();
  stopping_.store(false, std::memory_order_release);
}

bool CMessageQueue::sendMessage(const std::string& text) {
  int fd = socket_;
  bool sent = fd >= 0 && sendAll(encodeFrame(text), [fd](const char* data, std::size_t size) {
                ssize_t taken;
                do {
                  // No SIGPIPE: a peer that has gone is a failed send, not the end of the process.
                  taken = ::send(fd, data, size, MSG_NOSIGNAL);
                } while (taken < 0 && errno == EINTR);
                return taken;
              });
  if (!sent) linkBox(kSendFailedText);
  return sent;
}

std::shared_ptr<stMsg> CMessageQueue::popMessage() {
  std::shared_ptr<stMsg> front;
  {
    std::lock_guard lock(mutex_);
    if (messages_.empty()) return front;
    front = std::move(messages_.front());
    messages_.pop_front();
  }
  room_.notify_one();
  return front;
}

std::size_t CMessageQueue::size() {
  std::lock_guard lock(mutex_);
  return messages_.size();
}

bool CMessageQueue::appendMessages(std::vector<std::shared_ptr<stMsg>>& batch) {
  std::unique_lock lock(mutex_);
  for (auto& message : batch) {
    room_.wait(lock, [this] { return stopping() || messages_.size() < kQueueCapacity; });
    if (stopping()) return false;
    messages_.push_back(std::move(message));
  }
  return true;
}

bool CMessageQueue::receiveFrame(std::string& buffer) {
  char chunk[64 * 1024];
  for (;;) {
    switch (decoder_.next(buffer)) {
      case CFrameDecoder::Result::kFrame:
        return true;
      case CFrameDecoder::Result::kEmpty:
      case CFrameDecoder::Result::kTooLarge:
        if (!stopping()) linkBox(kReceiveErrorText);
        return false;
      case CFrameDecoder::Result::kNeedMore:
        break;
    }
    ssize_t got = ::recv(socket_, chunk, sizeof chunk, 0);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      if (!stopping()) linkBox(decoder_.insideText() ? kDisconnectedText : kReceiveErrorText);
      return false;
    }
    decoder_.feed(chunk, static_cast<std::size_t>(got));
  }
}

void CMessageQueue::receiveLoop() {
  // Frames that have already arrived are decoded together and appended under
  // one lock, so that a busy link takes the list mutex once per batch.
  constexpr std::size_t kBatch = 64;
  std::string buffer;
  CMessageDecoder decoder;
  std::vector<std::shared_ptr<stMsg>> batch;
  bool failed = false;
  while (!failed) {
    do {
      buffer.clear();
      if (!receiveFrame(buffer)) {
        failed = true;
        break;
      }
      auto message = std::make_shared<stMsg>();
      if (!decoder.decode(buffer, *message)) {
        failed = true;
        break;
      }
      if (isVersionMismatch(*message)) exitForVersion();
      batch.push_back(std::move(message));
    } while (batch.size() < kBatch && decoder_.ready());
    if (!appendMessages(batch)) return;
    batch.clear();
  }
  if (!stopping()) linkBox(kDisconnectedText);
}
