// Request routing: a request is only ever applied to the table and seat that
// the sending connection holds, whatever desk and site it names.
#include "server/lobby.h"

#include "server/protocol.h"

namespace server {
namespace {

// SplitMix64: spreads one seed over the tables' own generators.
std::uint64_t nextSeed(std::uint64_t& state) {
  std::uint64_t z = (state += 0x9e3779b97f4a7c15ULL);
  z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
  z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
  return z ^ (z >> 31);
}

}  // namespace

CLobby::CLobby(const stLobbyOptions& options, IOutbox& outbox)
    : options_(options), outbox_(outbox), seedState_(options.seed) {}

CLobby::~CLobby() = default;

void CLobby::connect(int connection, TimePoint) {
  players_.emplace(connection, stPlayer{});
}

CTable* CLobby::tableOf(const stPlayer& player) {
  auto it = tables_.find(player.desk);
  return it == tables_.end() ? nullptr : it->second.get();
}

void CLobby::join(int connection, stPlayer& player, TimePoint now) {
  if (player.name.empty()) player.name = "player" + std::to_string(nextPlayerNumber_++);
  if (const CTable* current = tableOf(player)) {
    // Already seated: the answer stays the same.
    send(connection, formatAddReply(current->desk(), player.site, player.name));
    return;
  }
  CTable* table = nullptr;
  for (auto& [desk, t] : tables_)
    if (!t->playing() && t->hasFreeSeat()) {
      table = t.get();
      break;
    }
  if (!table) {
    int desk = 1;
    while (tables_.count(desk)) ++desk;
    auto created = std::make_unique<CTable>(desk, options_.table, nextSeed(seedState_),
                                            static_cast<ITableSink&>(*this));
    table = created.get();
    tables_.emplace(desk, std::move(created));
  }
  player.desk = table->desk();
  player.site = table->seatPlayer(connection, player.name, options_.bots, now);
  settle(player.desk);
}

bool CLobby::receive(int connection, std::string_view text, TimePoint now) {
  auto it = players_.find(connection);
  if (it == players_.end()) return false;
  stPlayer& player = it->second;
  stRequest request;
  if (parseRequest(text, request) != ParseResult::Ok) return false;

  switch (request.kind) {
    case RequestKind::Query:
      send(connection, formatQueryReply(online()));
      return true;
    case RequestKind::Add:
      join(connection, player, now);
      return true;
    case RequestKind::Other:
      return true;
    default:
      break;
  }
  CTable* table = tableOf(player);
  if (!table) return true;
  const int desk = table->desk();
  const bool own = request.desk == desk && request.site == player.site;
  switch (request.kind) {
    case RequestKind::Ready:
      if (own) table->ready(player.site, now);
      break;
    case RequestKind::Leave:
      if (own) {
        table->leave(player.site, now);
        player.desk = player.site = -1;
      }
      break;
    case RequestKind::Game:
      // A play for another seat is refused like a play out of turn.
      if (own)
        table->play(player.site, request.cards, now);
      else
        table->announceTurn(player.site);
      break;
    default:
      break;
  }
  settle(desk);
  return true;
}

void CLobby::disconnect(int connection, TimePoint now) {
  auto it = players_.find(connection);
  if (it == players_.end()) return;
  const stPlayer player = it->second;
  players_.erase(it);
  if (CTable* table = tableOf(player)) {
    table->leave(player.site, now);
    settle(player.desk);
  }
}

void CLobby::advance(TimePoint now) {
  while (!deadlines_.empty() && deadlines_.begin()->first <= now) {
    const int desk = deadlines_.begin()->second;
    auto it = tables_.find(desk);
    if (it != tables_.end()) it->second->advance(now);
    settle(desk);
  }
}

std::optional<TimePoint> CLobby::nextDeadline() const {
  if (deadlines_.empty()) return std::nullopt;
  return deadlines_.begin()->first;
}

const CTable* CLobby::table(int desk) const {
  auto it = tables_.find(desk);
  return it == tables_.end() ? nullptr : it->second.get();
}

void CLobby::settle(int desk) {
  if (auto old = deadlineOf_.find(desk); old != deadlineOf_.end()) {
    deadlines_.erase({old->second, desk});
    deadlineOf_.erase(old);
  }
  auto it = tables_.find(desk);
  if (it == tables_.end()) return;
  CTable& table = *it->second;
  if (table.humans() == 0) {
    tables_.erase(it);
    return;
  }
  if (auto next = table.nextDeadline()) {
    deadlines_.emplace(*next, desk);
    deadlineOf_[desk] = *next;
  }
}

void CLobby::send(int connection, const std::string& text) {
  outbox_.send(connection, text);
}

void CLobby::released(int connection) {
  auto it = players_.find(connection);
  if (it != players_.end()) it->second.desk = it->second.site = -1;
}

void CLobby::log(const std::string& line) {
  outbox_.log(line);
}

void CLobby::observe(int desk, int site, const std::string& text) {
  outbox_.observe(desk, site, text);
}

}  // namespace server
