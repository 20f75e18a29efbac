// Latency of a play relayed to the four clients of a table while 1,000
// clients are connected over loopback: the server runs in this process on a
// thread of its own; the time runs from sending the play until all four seats
// have read the relay. Optionally other tables play flat out meanwhile.
//   server_relay_latency [--clients N] [--samples N] [--busy-tables N]
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "cards/card.h"
#include "server/server.h"
#include "test_client.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string field(const std::string& text, const std::string& key) {
  const std::string k = "\"" + key + "\":\"";
  auto p = text.find(k);
  if (p == std::string::npos) return "";
  p += k.size();
  return text.substr(p, text.find('"', p) - p);
}

// Four clients at one table: the seat in turn leads its lowest card or passes,
// and every play is read back by all four.
class CTableDriver {
 public:
  std::vector<std::unique_ptr<CTestClient>> seats;
  int desk = 0;

  bool begin() {
    for (int s = 0; s < 4; ++s)
      seats[s]->send(R"({"opt":"change","type":"ready","desk":)" + std::to_string(desk) +
                     R"(,"site":)" + std::to_string(s) + "}");
    for (int s = 0; s < 4; ++s) {
      auto start = seats[s]->receiveKind("start");
      if (!start) return false;
      hands[s] = parseCardList(field(*start, "cards"));
      sortCards(hands[s]);
      auto game = seats[s]->receiveKind("game");
      if (!game) return false;
      turn = std::atoi(field(*game, "now").c_str());
      must = field(*game, "must") == "1";
    }
    return true;
  }

  // One play and its relay to the four seats; the elapsed time, or a
  // negative value when the game ended and had to be started again.
  double step() {
    const int t = turn;
    std::string cards;
    if (must) {
      cards = std::to_string(hands[t].front()) + ",";
      hands[t].erase(hands[t].begin());
    }
    const auto sent = Clock::now();
    seats[t]->send(R"({"opt":"game","desk":)" + std::to_string(desk) + R"(,"site":)" +
                   std::to_string(t) + R"(,"cards":")" + cards + "\"}");
    bool ended = false;
    for (int s = 0; s < 4; ++s) {
      auto game = seats[s]->receiveKind("game");
      if (!game) std::exit(3);
      turn = std::atoi(field(*game, "now").c_str());
      must = field(*game, "must") == "1";
      ended = turn < 0;
    }
    const double us = std::chrono::duration<double, std::micro>(Clock::now() - sent).count();
    if (ended) {
      for (auto& c : seats)
        if (!c->receiveKind("over")) std::exit(3);
      if (!begin()) std::exit(3);
      return -1;
    }
    return us;
  }

 private:
  std::array<CardList, 4> hands;
  int turn = -1;
  bool must = false;
};

}  // namespace

int main(int argc, char** argv) {
  int clients = 1000, samples = 3000, busyTables = 0;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (!std::strcmp(argv[i], "--clients")) clients = std::atoi(argv[i + 1]);
    if (!std::strcmp(argv[i], "--samples")) samples = std::atoi(argv[i + 1]);
    if (!std::strcmp(argv[i], "--busy-tables")) busyTables = std::atoi(argv[i + 1]);
  }
  clients = std::max(clients, 4 * (1 + busyTables));

  server::stServerOptions options;
  options.port = 0;
  options.quiet = true;
  options.seed = 1;
  options.turnTimeout = 1e5;
  options.readyTimeout = 1e5;
  options.maxClients = std::size_t(clients) + 16;
  server::CServer srv(options);
  std::string error;
  if (!srv.listen(error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  srv.start();

  // Every client joins; the first tables are the driven ones, the rest sit
  // idle with their connections open.
  std::vector<CTableDriver> tables(1 + busyTables);
  std::vector<std::unique_ptr<CTestClient>> idle;
  for (int i = 0; i < clients; ++i) {
    auto c = std::make_unique<CTestClient>(srv.port());
    if (!c->connected()) {
      std::fprintf(stderr, "connection %d failed\n", i);
      return 1;
    }
    c->send(R"({"opt":"add"})");
    auto add = c->receiveKind("add");
    if (!add) return 1;
    const int desk = std::atoi(field(*add, "desk").c_str());
    if (desk <= int(tables.size())) {
      tables[desk - 1].desk = desk;
      tables[desk - 1].seats.push_back(std::move(c));
    } else {
      idle.push_back(std::move(c));
    }
  }
  for (auto& t : tables)
    if (!t.begin()) return 1;

  std::atomic<bool> stop{false};
  std::thread busy;
  if (busyTables > 0)
    busy = std::thread([&] {
      long steps = 0;
      while (!stop)
        for (int k = 1; k <= busyTables && !stop; ++k, ++steps) tables[k].step();
    });

  std::vector<double> us;
  for (int i = 0; i < 200; ++i) tables[0].step();  // warm-up
  while (int(us.size()) < samples)
    if (double v = tables[0].step(); v >= 0) us.push_back(v);
  stop = true;
  if (busy.joinable()) busy.join();

  std::sort(us.begin(), us.end());
  auto pct = [&](double p) { return us[std::min(us.size() - 1, std::size_t(p * us.size()))]; };
  double sum = 0;
  for (double v : us) sum += v;
  std::printf("clients %d, busy tables %d, samples %zu\n", clients, busyTables, us.size());
  std::printf("relay to 4 clients, us: mean %.1f  p50 %.1f  p90 %.1f  p99 %.1f  max %.1f\n",
              sum / double(us.size()), pct(0.5), pct(0.9), pct(0.99), us.back());
  srv.stop();
  return 0;
}
