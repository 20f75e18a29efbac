// The server's state without sockets: connected clients, the tables, and the
// routing of every request. The network layer hands it texts and the time.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>

#include "server/table.h"

namespace server {

class IOutbox {
 public:
  virtual ~IOutbox() = default;
  virtual void send(int connection, const std::string& text) = 0;
  virtual void log(const std::string& line) = 0;
  virtual void observe(int desk, int site, const std::string& text) {
    (void)desk, (void)site, (void)text;
  }
};

struct stLobbyOptions {
  bool bots = false;
  std::uint64_t seed = 0;
  stTableOptions table;
};

class CLobby : private ITableSink {
 public:
  CLobby(const stLobbyOptions& options, IOutbox& outbox);
  ~CLobby() override;

  void connect(int connection, TimePoint now);
  // False when the text is malformed: the caller drops that connection (and
  // then calls disconnect).
  bool receive(int connection, std::string_view text, TimePoint now);
  void disconnect(int connection, TimePoint now);

  void advance(TimePoint now);
  std::optional<TimePoint> nextDeadline() const;

  int online() const { return int(players_.size()); }
  const CTable* table(int desk) const;
  int tables() const { return int(tables_.size()); }

 private:
  struct stPlayer {
    std::string name;
    int desk = -1;
    int site = -1;
  };

  stLobbyOptions options_;
  IOutbox& outbox_;
  std::map<int, stPlayer> players_;
  std::map<int, std::unique_ptr<CTable>> tables_;
  std::set<std::pair<TimePoint, int>> deadlines_;
  std::map<int, TimePoint> deadlineOf_;
  std::uint64_t seedState_;
  int nextPlayerNumber_ = 1;

  void join(int connection, stPlayer& player, TimePoint now);
  CTable* tableOf(const stPlayer& player);
  // Called after every change to a table: files its next deadline and closes
  // it once no human sits there.
  void settle(int desk);

  void send(int connection, const std::string& text) override;
  void released(int connection) override;
  void log(const std::string& line) override;
  void observe(int desk, int site, const std::string& text) override;
};

}  // namespace server
