// Sessions on standalone Asio. Every handler runs on the one io_context
// thread, so the lobby needs no lock; a session closed from inside a lobby
// call (its outgoing queue overflowed) is closed later, never re-entering it.
#include "server/server.h"

#include <array>
#include <asio.hpp>
#include <chrono>
#include <deque>
#include <iostream>
#include <map>
#include <optional>
#include <random>
#include <thread>

#include "server/frame_codec.h"
#include "server/lobby.h"

namespace server {
namespace {

using asio::ip::tcp;

// A client that does not read its messages may hold this much before it is
// dropped, so one stalled peer can not grow the server without bound.
constexpr std::size_t kMaxQueuedBytes = 1 << 20;

Duration seconds(double s) {
  return std::chrono::duration_cast<Duration>(std::chrono::duration<double>(s));
}

struct stSession {
  explicit stSession(tcp::socket s) : socket(std::move(s)) {}
  tcp::socket socket;
  int id = 0;
  std::string peer;
  CFrameDecoder decoder;
  std::array<char, 8192> readBuffer{};
  std::deque<std::string> out;
  std::size_t queued = 0;
  bool writing = false;
  bool closed = false;
  std::string dropReason;  // why it was marked closed before it could be
  long frames = 0;
};

using SessionPtr = std::shared_ptr<stSession>;

}  // namespace

struct CServer::stImpl : IOutbox {
  stServerOptions options;
  asio::io_context io{1};
  tcp::acceptor acceptor{io};
  asio::steady_timer timer{io};
  asio::steady_timer acceptRetry{io};
  std::optional<TimePoint> armedAt;
  std::map<int, SessionPtr> sessions;
  std::unique_ptr<CLobby> lobby;
  std::function<void(const std::string&)> logLine;
  std::thread thread;
  int nextId = 1;
  std::uint16_t boundPort = 0;
  std::string boundAddress;

  explicit stImpl(const stServerOptions& o) : options(o) {
    stLobbyOptions lo;
    lo.bots = o.bots;
    lo.seed = o.seed ? *o.seed : std::random_device{}() * 0x100000001ULL ^ std::random_device{}();
    lo.table.turnTimeout = seconds(o.turnTimeout);
    lo.table.readyTimeout = seconds(o.readyTimeout);
    lo.table.botDelay = seconds(o.botDelay);
    lobby = std::make_unique<CLobby>(lo, *this);
    logLine = [](const std::string& line) { std::cerr << line << '\n'; };
  }

  ~stImpl() override {
    // Sockets go before the lobby and the io_context they belong to.
    for (auto& [id, s] : sessions) {
      asio::error_code ignored;
      s->socket.close(ignored);
    }
    sessions.clear();
  }

  void log(const std::string& line) override {
    if (!options.quiet && logLine) logLine(line);
  }

  void send(int connection, const std::string& text) override {
    auto it = sessions.find(connection);
    if (it == sessions.end() || it->second->closed) return;
    SessionPtr s = it->second;
    if (s->queued + text.size() + 4 > kMaxQueuedBytes) {
      // The queue stays as it is: a write in progress still points into it.
      s->closed = true;
      s->dropReason = "not reading its messages";
      asio::post(io, [this, s] { close(s, s->dropReason); });
      return;
    }
    s->out.push_back(encodeFrame(text));
    s->queued += s->out.back().size();
    if (!s->writing) write(s);
  }

  void write(const SessionPtr& s) {
    s->writing = true;
    asio::async_write(s->socket, asio::buffer(s->out.front()),
                      [this, s](const asio::error_code& ec, std::size_t) {
                        s->writing = false;
                        if (s->closed) return;
                        if (ec) {
                          close(s, "write failed: " + ec.message());
                          return;
                        }
                        s->queued -= s->out.front().size();
                        s->out.pop_front();
                        if (!s->out.empty()) write(s);
                      });
  }

  // `s->closed` may already be set by an overflow; the session still has to
  // leave the lobby exactly once.
  void close(const SessionPtr& s, const std::string& reason) {
    auto it = sessions.find(s->id);
    if (it == sessions.end() || it->second != s) return;
    s->closed = true;
    sessions.erase(it);
    asio::error_code ignored;
    s->socket.shutdown(tcp::socket::shutdown_both, ignored);
    s->socket.close(ignored);
    log("connection " + std::to_string(s->id) + " " + s->peer + " closed after " +
        std::to_string(s->frames) + " requests: " + reason);
    lobby->disconnect(s->id, Clock::now());
    rearm();
  }

  void read(const SessionPtr& s) {
    s->socket.async_read_some(asio::buffer(s->readBuffer),
                              [this, s](const asio::error_code& ec, std::size_t n) {
                                if (s->closed) {
                                  close(s, s->dropReason.empty() ? "closed" : s->dropReason);
                                  return;
                                }
                                if (ec) {
                                  close(s, ec == asio::error::eof ? "peer closed" : ec.message());
                                  return;
                                }
                                if (!s->decoder.feed(s->readBuffer.data(), n)) {
                                  close(s, "bad frame length");
                                  return;
                                }
                                std::string text;
                                while (!s->closed && s->decoder.next(text)) {
                                  ++s->frames;
                                  if (!lobby->receive(s->id, text, Clock::now())) {
                                    close(s, "malformed request");
                                    return;
                                  }
                                }
                                rearm();
                                if (!s->closed) read(s);
                              });
  }

  void accept() {
    acceptor.async_accept([this](const asio::error_code& ec, tcp::socket socket) {
      if (ec == asio::error::operation_aborted || !acceptor.is_open()) return;
      if (ec) {
        // Out of descriptors and the like: try again shortly instead of spinning.
        acceptRetry.expires_after(std::chrono::milliseconds(100));
        acceptRetry.async_wait([this](const asio::error_code& e) {
          if (!e) accept();
        });
        return;
      }
      if (sessions.size() >= options.maxClients) {
        asio::error_code ignored;
        socket.close(ignored);
      } else {
        asio::error_code ignored;
        socket.set_option(tcp::no_delay(true), ignored);
        auto s = std::make_shared<stSession>(std::move(socket));
        s->id = nextId++;
        auto remote = s->socket.remote_endpoint(ignored);
        s->peer = remote.address().to_string() + ":" + std::to_string(remote.port());
        sessions.emplace(s->id, s);
        lobby->connect(s->id, Clock::now());
        read(s);
      }
      accept();
    });
  }

  void rearm() {
    const std::optional<TimePoint> next = lobby->nextDeadline();
    if (next == armedAt) return;
    armedAt = next;
    if (!next) {
      timer.cancel();
      return;
    }
    timer.expires_at(*next);
    timer.async_wait([this](const asio::error_code& ec) {
      if (ec) return;
      armedAt.reset();
      lobby->advance(Clock::now());
      rearm();
    });
  }

  void shutdown() {
    asio::error_code ignored;
    acceptor.close(ignored);
    timer.cancel();
    acceptRetry.cancel();
    for (auto& [id, s] : sessions) {
      s->closed = true;
      s->socket.close(ignored);
    }
    sessions.clear();
    io.stop();
  }
};

CServer::CServer(const stServerOptions& options) : impl_(std::make_unique<stImpl>(options)) {}

CServer::~CServer() {
  stop();
  if (impl_->thread.joinable()) impl_->thread.join();
}

bool CServer::listen(std::string& error) {
  stImpl& m = *impl_;
  asio::error_code ec;
  tcp::resolver resolver(m.io);
  auto results = resolver.resolve(m.options.host, std::to_string(m.options.port),
                                  tcp::resolver::passive | tcp::resolver::numeric_service, ec);
  if (ec || results.empty()) {
    error = "cannot resolve " + m.options.host + ": " + (ec ? ec.message() : "no address");
    return false;
  }
  const tcp::endpoint endpoint = results.begin()->endpoint();
  m.acceptor.open(endpoint.protocol(), ec);
  if (!ec) m.acceptor.set_option(tcp::acceptor::reuse_address(true), ec);
  if (!ec) m.acceptor.bind(endpoint, ec);
  if (!ec) m.acceptor.listen(asio::socket_base::max_listen_connections, ec);
  if (ec) {
    error = "cannot listen on " + m.options.host + ":" + std::to_string(m.options.port) + ": " +
            ec.message();
    asio::error_code ignored;
    m.acceptor.close(ignored);
    return false;
  }
  const tcp::endpoint local = m.acceptor.local_endpoint(ec);
  m.boundPort = local.port();
  m.boundAddress = local.address().is_v6() ? "[" + local.address().to_string() + "]"
                                           : local.address().to_string();
  m.accept();
  return true;
}

std::uint16_t CServer::port() const {
  return impl_->boundPort;
}

std::string CServer::address() const {
  return impl_->boundAddress;
}

void CServer::run(bool handleSignals) {
  stImpl& m = *impl_;
  std::optional<asio::signal_set> signals;
  if (handleSignals) {
    signals.emplace(m.io, SIGINT, SIGTERM);
    signals->async_wait([&m](const asio::error_code& ec, int) {
      if (!ec) m.shutdown();
    });
  }
  m.io.run();
}

void CServer::start() {
  impl_->thread = std::thread([this] { impl_->io.run(); });
}

void CServer::stop() {
  stImpl& m = *impl_;
  asio::post(m.io, [&m] { m.shutdown(); });
}

void CServer::setLog(std::function<void(const std::string&)> log) {
  impl_->logLine = std::move(log);
}

}  // namespace server
