// One table of four seats: who sits and is ready, the deal, the turns, the
// rules every play must pass, the scores and the end of a game. Socket-free:
// messages leave through ITableSink and time comes in as arguments.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <string_view>

#include "cards/card.h"

namespace server {

using Clock = std::chrono::steady_clock;
using TimePoint = Clock::time_point;
using Duration = Clock::duration;

inline constexpr int kSeats = 4;
inline constexpr int kDecks = 2;
inline constexpr int kHandSize = 27;

struct stTableOptions {
  Duration turnTimeout = std::chrono::seconds(35);
  Duration readyTimeout = std::chrono::seconds(120);
  Duration botDelay = std::chrono::milliseconds(500);
};

class ITableSink {
 public:
  virtual ~ITableSink() = default;
  // A message for the human player on `connection`.
  virtual void send(int connection, const std::string& text) = 0;
  // The table let go of the player on `connection` (it stayed unready too long).
  virtual void released(int connection) = 0;
  virtual void log(const std::string& line) = 0;
  // Every message for every occupied seat, computer players included.
  virtual void observe(int desk, int site, const std::string& text) {
    (void)desk, (void)site, (void)text;
  }
};

// Points of the cards in a round: each 5 counts 5, each 10 and each K 10.
int cardPoints(const CardList& cards);

struct stSeat {
  bool occupied = false;
  bool bot = false;
  int connection = -1;
  std::string name;
  bool ready = false;
  CardList hand;
  std::optional<TimePoint> readyDeadline;
};

enum class PlayResult { Accepted, Refused };

class CTable {
 public:
  CTable(int desk, const stTableOptions& options, std::uint64_t seed, ITableSink& sink);

  int desk() const { return desk_; }
  bool playing() const { return playing_; }
  bool hasFreeSeat() const;
  int humans() const;
  const stSeat& seat(int site) const { return seats_[site]; }
  int turn() const { return turn_; }
  bool mustLead() const { return must_; }
  int sideScore(int side) const { return sideScore_[side]; }
  int gamesPlayed() const { return games_; }
  // Plays chosen by computer players that the table refused; always 0 unless
  // the bot and the rules disagree.
  int botRefusals() const { return botRefusals_; }

  // Seats a human at the first free seat, answers "add", fills the other free
  // seats with computer players when `withBots`, and tells the table. Returns
  // the seat, or -1 when the table is full or playing.
  int seatPlayer(int connection, const std::string& name, bool withBots, TimePoint now);
  // Seats a computer player (ready at once); -1 when full.
  int seatBot(const std::string& name, TimePoint now);
  // Computer players get ready again, as they do on their own when a human
  // sits with them; a table of four computer players then plays one game.
  void readyBots(TimePoint now);

  void ready(int site, TimePoint now);
  // Leaving, or losing the connection: a running game ends with "run".
  void leave(int site, TimePoint now);
  // A play ("" passes) from `site`; anything not allowed is refused without
  // effect and the turn is announced again to the sender.
  PlayResult play(int site, std::string_view cards, TimePoint now);
  // Tells `site` again whose turn it is, as after a refused play.
  void announceTurn(int site);

  // Runs everything due by `now`: computer players' moves, turns that ran
  // out, players that stayed unready.
  void advance(TimePoint now);
  std::optional<TimePoint> nextDeadline() const;

 private:
  int desk_;
  stTableOptions options_;
  ITableSink& sink_;
  std::mt19937_64 rng_;
  std::array<stSeat, kSeats> seats_;

  bool playing_ = false;
  int games_ = 0;
  int turn_ = -1;
  bool must_ = false;
  CardList toBeat_;
  int lastPlayer_ = -1;
  int passes_ = 0;
  int passesNeeded_ = 0;
  int roundScore_ = 0;
  int plays_ = 0;
  std::array<int, 2> sideScore_{};
  std::optional<TimePoint> turnDeadline_;
  std::optional<TimePoint> botDeadline_;
  int botRefusals_ = 0;

  void sendTo(int site, const std::string& text);
  void broadcast(const std::string& text);
  void announceSeats();
  void maybeStart(TimePoint now);
  void startGame(TimePoint now);
  void beginTurn(int site, bool must, TimePoint now);
  int nextActive(int site) const;
  bool sideOut(int side) const;
  void finishGame(int lastSite);
  void endGame(TimePoint now);
  void botMove(TimePoint now);
  void removeSeat(int site);
};

}  // namespace server
