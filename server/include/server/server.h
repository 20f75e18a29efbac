// quartet-server's network side: one Asio io_context on one thread, accepting
// connections, framing, and handing texts and time to the lobby. Can run in
// the caller's thread (the executable) or on its own thread (tests).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "server/options.h"

namespace server {

class CServer {
 public:
  explicit CServer(const stServerOptions& options);
  ~CServer();  // stops and joins the server's thread if it has one
  CServer(const CServer&) = delete;
  CServer& operator=(const CServer&) = delete;

  // Binds and listens; on failure `error` says why.
  bool listen(std::string& error);
  // The bound port, once listening (the chosen one when asked for port 0).
  std::uint16_t port() const;
  // The bound address as printed in "listening on ADDRESS:PORT" (IPv6 in brackets).
  std::string address() const;

  // Serves until stop(), or until SIGINT/SIGTERM when `handleSignals`.
  void run(bool handleSignals = false);
  // Serves on a thread of its own.
  void start();
  // Closes every connection and ends run(); callable from any thread.
  void stop();

  // Where log lines go (standard error by default); set before run().
  void setLog(std::function<void(const std::string&)> log);

 private:
  struct stImpl;
  std::unique_ptr<stImpl> impl_;
};

}  // namespace server
