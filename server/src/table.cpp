// The game at one table. Every rule question goes to the cards library; this
// file only keeps turns, rounds and scores.
#include "server/table.h"

#include <algorithm>
#include <map>

#include "cards/play.h"
#include "server/bot.h"
#include "server/protocol.h"

namespace server {
namespace {

int partnerOf(int site) {
  return (site + 2) % kSeats;
}

// True when `hand` holds every card of `cards`, counting repeats.
bool holds(const CardList& hand, const CardList& cards) {
  std::map<CardCode, int> count;
  for (CardCode c : hand) ++count[c];
  for (CardCode c : cards)
    if (--count[c] < 0) return false;
  return true;
}

void removeCards(CardList& hand, const CardList& cards) {
  for (CardCode c : cards) hand.erase(std::find(hand.begin(), hand.end(), c));
}

}  // namespace

int cardPoints(const CardList& cards) {
  int points = 0;
  for (CardCode c : cards) {
    if (!isValidCard(c)) continue;
    switch (cardRank(c)) {
      case 4:
        points += 5;
        break;
      case 9:
      case 12:
        points += 10;
        break;
      default:
        break;
    }
  }
  return points;
}

CTable::CTable(int desk, const stTableOptions& options, std::uint64_t seed, ITableSink& sink)
    : desk_(desk), options_(options), sink_(sink), rng_(seed) {}

bool CTable::hasFreeSeat() const {
  return std::any_of(seats_.begin(), seats_.end(), [](const stSeat& s) { return !s.occupied; });
}

int CTable::humans() const {
  return int(std::count_if(seats_.begin(), seats_.end(),
                           [](const stSeat& s) { return s.occupied && !s.bot; }));
}

void CTable::sendTo(int site, const std::string& text) {
  const stSeat& s = seats_[site];
  if (!s.occupied) return;
  if (!s.bot) sink_.send(s.connection, text);
  sink_.observe(desk_, site, text);
}

void CTable::broadcast(const std::string& text) {
  for (int site = 0; site < kSeats; ++site) sendTo(site, text);
}

void CTable::announceSeats() {
  SeatViews views;
  for (int site = 0; site < kSeats; ++site)
    if (seats_[site].occupied) views[site] = {seats_[site].name, seats_[site].ready ? 1 : 0};
  broadcast(formatChange(views));
}

int CTable::seatPlayer(int connection, const std::string& name, bool withBots, TimePoint now) {
  if (playing_) return -1;
  auto free =
      std::find_if(seats_.begin(), seats_.end(), [](const stSeat& s) { return !s.occupied; });
  if (free == seats_.end()) return -1;
  const int site = int(free - seats_.begin());
  *free = stSeat{};
  free->occupied = true;
  free->connection = connection;
  free->name = name;
  free->readyDeadline = now + options_.readyTimeout;
  sink_.send(connection, formatAddReply(desk_, site, name));
  if (withBots)
    for (int s = 0; s < kSeats; ++s)
      if (!seats_[s].occupied) {
        seats_[s] = stSeat{};
        seats_[s].occupied = seats_[s].bot = seats_[s].ready = true;
        seats_[s].name = "bot" + std::to_string(s);
      }
  announceSeats();
  return site;
}

int CTable::seatBot(const std::string& name, TimePoint now) {
  if (playing_) return -1;
  auto free =
      std::find_if(seats_.begin(), seats_.end(), [](const stSeat& s) { return !s.occupied; });
  if (free == seats_.end()) return -1;
  *free = stSeat{};
  free->occupied = free->bot = free->ready = true;
  free->name = name;
  announceSeats();
  maybeStart(now);
  return int(free - seats_.begin());
}

void CTable::readyBots(TimePoint now) {
  if (playing_) return;
  for (stSeat& s : seats_)
    if (s.occupied && s.bot) s.ready = true;
  announceSeats();
  maybeStart(now);
}

void CTable::ready(int site, TimePoint now) {
  stSeat& s = seats_[site];
  if (playing_ || !s.occupied || s.ready) return;
  s.ready = true;
  s.readyDeadline.reset();
  announceSeats();
  maybeStart(now);
}

void CTable::removeSeat(int site) {
  seats_[site] = stSeat{};
}

void CTable::leave(int site, TimePoint now) {
  if (!seats_[site].occupied) return;
  const std::string name = seats_[site].name;
  if (playing_) {
    sink_.log("table " + std::to_string(desk_) + ": game " + std::to_string(games_) +
              " ended after " + std::to_string(plays_) + " turns, " + name + " left");
    const std::string run = formatRun(site, name);
    for (int other = 0; other < kSeats; ++other)
      if (other != site) sendTo(other, run);
    endGame(now);
  }
  removeSeat(site);
  announceSeats();
}

void CTable::maybeStart(TimePoint now) {
  if (playing_) return;
  for (const stSeat& s : seats_)
    if (!s.occupied || !s.ready) return;
  startGame(now);
}

void CTable::startGame(TimePoint now) {
  CardList deck;
  for (int d = 0; d < kDecks; ++d)
    for (CardCode c = kMinCard; c <= kMaxCard; ++c) deck.push_back(c);
  // Fisher-Yates on the table's own generator, so a seed gives the same deal
  // with any standard library.
  for (std::size_t i = deck.size() - 1; i > 0; --i) std::swap(deck[i], deck[rng_() % (i + 1)]);

  playing_ = true;
  ++games_;
  plays_ = 0;
  sideScore_ = {0, 0};
  roundScore_ = 0;
  toBeat_.clear();
  lastPlayer_ = -1;
  for (int site = 0; site < kSeats; ++site) {
    stSeat& s = seats_[site];
    s.ready = false;
    s.readyDeadline.reset();
    s.hand.assign(deck.begin() + site * kHandSize, deck.begin() + (site + 1) * kHandSize);
    sortCards(s.hand);
    sendTo(site, formatStart(s.hand));
  }
  beginTurn(int(rng_() % kSeats), true, now);
  broadcast(formatGame(-1, 0, turn_, "", roundScore_, must_));
}

void CTable::beginTurn(int site, bool must, TimePoint now) {
  turn_ = site;
  must_ = must;
  turnDeadline_.reset();
  botDeadline_.reset();
  if (seats_[site].bot)
    botDeadline_ = now + options_.botDelay;
  else
    turnDeadline_ = now + options_.turnTimeout;
}

int CTable::nextActive(int site) const {
  for (int k = 1; k <= kSeats; ++k) {
    int s = (site + k) % kSeats;
    if (!seats_[s].hand.empty()) return s;
  }
  return -1;
}

bool CTable::sideOut(int side) const {
  return seats_[side].hand.empty() && seats_[side + 2].hand.empty();
}

void CTable::announceTurn(int site) {
  if (playing_ && site >= 0 && site < kSeats)
    sendTo(site, formatGame(-1, 0, turn_, "", roundScore_, must_));
}

PlayResult CTable::play(int site, std::string_view text, TimePoint now) {
  if (site < 0 || site >= kSeats) return PlayResult::Refused;
  if (!playing_ || site != turn_ || !isStrictCardListText(text)) {
    announceTurn(site);
    return PlayResult::Refused;
  }
  stSeat& s = seats_[site];
  const CardList sent = parseCardList(text);

  if (sent.empty()) {
    if (must_) {
      announceTurn(site);
      return PlayResult::Refused;
    }
    ++plays_;
    if (++passes_ >= passesNeeded_) {
      // Everyone still in play passed: the round is won by the last player,
      // or by its partner when it has gone out.
      const int winner = lastPlayer_;
      sideScore_[winner % 2] += roundScore_;
      roundScore_ = 0;
      toBeat_.clear();
      broadcast(formatScore(sideScore_[0], sideScore_[1]));
      const int leader = seats_[winner].hand.empty() ? partnerOf(winner) : winner;
      beginTurn(leader, true, now);
    } else {
      beginTurn(nextActive(site), false, now);
    }
    broadcast(formatGame(site, int(s.hand.size()), turn_, "", roundScore_, must_));
    return PlayResult::Accepted;
  }

  CardList previous = toBeat_, played = sent;
  if (!holds(s.hand, sent) || !canFollow(previous, played)) {
    announceTurn(site);
    return PlayResult::Refused;
  }
  ++plays_;
  removeCards(s.hand, sent);
  toBeat_ = played;
  lastPlayer_ = site;
  passes_ = 0;
  passesNeeded_ = 0;
  for (int other = 0; other < kSeats; ++other)
    if (other != site && !seats_[other].hand.empty()) ++passesNeeded_;
  roundScore_ += cardPoints(sent);

  // Relay the cards in the order they were sent, in the canonical text.
  const std::string relay = formatCardList(sent);
  if (sideOut(site % 2)) {
    turn_ = -1;
    must_ = false;
    broadcast(formatGame(site, int(s.hand.size()), -1, relay, roundScore_, false));
    finishGame(site);
    endGame(now);
    announceSeats();
    return PlayResult::Accepted;
  }
  beginTurn(nextActive(site), false, now);
  broadcast(formatGame(site, int(s.hand.size()), turn_, relay, roundScore_, must_));
  return PlayResult::Accepted;
}

void CTable::finishGame(int lastSite) {
  // The side that went out takes the round on the table and every point
  // still held by the others, so the two scores always add up to the deal's.
  const int side = lastSite % 2;
  sideScore_[side] += roundScore_;
  roundScore_ = 0;
  for (const stSeat& s : seats_) sideScore_[side] += cardPoints(s.hand);
  broadcast(formatScore(sideScore_[0], sideScore_[1]));
  SeatViews results;
  const int diff = sideScore_[0] - sideScore_[1];
  for (int site = 0; site < kSeats; ++site)
    results[site] = {seats_[site].name, site % 2 == 0 ? diff : -diff};
  broadcast(formatOver(results));
  sink_.log("table " + std::to_string(desk_) + ": game " + std::to_string(games_) + " over after " +
            std::to_string(plays_) + " turns, p0 " + std::to_string(sideScore_[0]) + " p1 " +
            std::to_string(sideScore_[1]));
}

void CTable::endGame(TimePoint now) {
  playing_ = false;
  turn_ = -1;
  must_ = false;
  toBeat_.clear();
  turnDeadline_.reset();
  botDeadline_.reset();
  const bool withHumans = humans() > 0;
  for (stSeat& s : seats_) {
    s.hand.clear();
    if (!s.occupied) continue;
    if (s.bot) {
      s.ready = withHumans;
    } else {
      s.ready = false;
      s.readyDeadline = now + options_.readyTimeout;
    }
  }
}

void CTable::botMove(TimePoint now) {
  const int site = turn_;
  stBotView view;
  view.hand = seats_[site].hand;
  view.toBeat = toBeat_;
  view.partnerPlayed = !toBeat_.empty() && lastPlayer_ == partnerOf(site);
  view.roundScore = roundScore_;
  view.playerLeft = lastPlayer_ >= 0 ? int(seats_[lastPlayer_].hand.size()) : kHandSize;
  const CardList choice = chooseBotPlay(view);
  if (play(site, formatCardList(choice), now) == PlayResult::Accepted) return;
  ++botRefusals_;
  if (play(site, formatCardList(automaticPlay(seats_[site].hand, must_)), now) ==
      PlayResult::Refused)
    botDeadline_ = now + std::max<Duration>(options_.botDelay, std::chrono::seconds(1));
}

void CTable::advance(TimePoint now) {
  for (;;) {
    if (playing_ && botDeadline_ && *botDeadline_ <= now) {
      botDeadline_.reset();
      botMove(now);
      continue;
    }
    if (playing_ && turnDeadline_ && *turnDeadline_ <= now) {
      turnDeadline_.reset();
      const int site = turn_;
      if (play(site, formatCardList(automaticPlay(seats_[site].hand, must_)), now) ==
          PlayResult::Refused)
        turnDeadline_ = now + options_.turnTimeout;
      continue;
    }
    bool released = false;
    for (int site = 0; site < kSeats && !playing_; ++site) {
      stSeat& s = seats_[site];
      if (s.occupied && !s.bot && !s.ready && s.readyDeadline && *s.readyDeadline <= now) {
        const int connection = s.connection;
        sendTo(site, formatTimeout());
        removeSeat(site);
        announceSeats();
        sink_.released(connection);
        released = true;
      }
    }
    if (!released) return;
  }
}

std::optional<TimePoint> CTable::nextDeadline() const {
  std::optional<TimePoint> next;
  auto consider = [&](const std::optional<TimePoint>& t) {
    if (t && (!next || *t < *next)) next = t;
  };
  if (playing_) {
    consider(botDeadline_);
    consider(turnDeadline_);
  } else {
    for (const stSeat& s : seats_)
      if (s.occupied && !s.bot && !s.ready) consider(s.readyDeadline);
  }
  return next;
}

}  // namespace server
