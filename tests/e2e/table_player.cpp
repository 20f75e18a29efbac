// The scripted player of the end-to-end tests.
#include "table_player.h"

#include <algorithm>
#include <chrono>
#include <map>
#include <optional>
#include <thread>

#include "cards/card_sprite.h"
#include "cards/play.h"
#include "net/decoder.h"
#include "net/message_queue.h"
#include "net/requests.h"
#include "scenes/hall_scene.h"

namespace e2e {
namespace {

using Clock = std::chrono::steady_clock;

std::string boxLine(const engine::HeadlessApp::Box& box) {
  return "[" + box.title + "] " + box.text;
}

// Candidate plays from a hand: singles, pairs, triples and rank bombs of the
// cards of one rank, weakest rank first.
std::vector<CardList> candidates(const CardList& hand, bool leading) {
  std::map<std::int32_t, CardList> byRank;  // keyed by the rank's plain strength
  for (CardCode code : hand) {
    if (isValidCard(code)) byRank[cardPlainStrength(cardRank(code) * 4)].push_back(code);
  }
  std::vector<CardList> singles, pairs, triples, bombs;
  for (auto& [strength, cards] : byRank) {
    sortCards(cards);
    singles.push_back({cards[0]});
    if (cards.size() >= 2) pairs.push_back({cards[0], cards[1]});
    if (cards.size() >= 3) triples.push_back({cards[0], cards[1], cards[2]});
    if (cards.size() >= 4 && cards.size() <= 16) bombs.push_back(cards);
  }
  std::vector<CardList> all;
  auto add = [&all](const std::vector<CardList>& some) {
    all.insert(all.end(), some.begin(), some.end());
  };
  if (leading) {
    add(triples);
    add(pairs);
    add(singles);
  } else {
    add(singles);
    add(pairs);
    add(triples);
    add(bombs);
  }
  return all;
}

}  // namespace

CDeskScene* TablePlayer::runningTable() const {
  engine::Scene* scene = app_.director()->getRunningScene();
  if (scene == nullptr || scene->getChildrenCount() != 1) return nullptr;
  return dynamic_cast<CDeskScene*>(scene->getChildren()[0]);
}

// One message tick of virtual time; the server answers in real time, so wait
// briefly for it when nothing has arrived.
void TablePlayer::tick() {
  for (int i = 0; i < 20 && CMessageQueue::getInstance()->size() == 0; ++i) {
    std::this_thread::sleep_for(std::chrono::microseconds(250));
  }
  app_.advance(0.1);
}

void TablePlayer::press(engine::ui::Button* button) {
  const engine::Vec2 at = button->getPosition();
  app_.tap(at.x, at.y);
}

bool TablePlayer::joinTable(std::string& failure) {
  CHallScene* lobby = CHallScene::create();
  app_.runLayer(lobby);
  press(lobby->quickJoinButton);
  for (int i = 0; i < 3000 && table_ == nullptr; ++i) {
    tick();
    table_ = runningTable();
  }
  if (table_ == nullptr) {
    failure = "no table opened";
    return false;
  }
  app_.step();
  return true;
}

// Touches the cards of `cards` in the hand, one by one, on their uncovered
// left part; true when exactly those are selected.
bool TablePlayer::select(const CardList& cards) {
  std::vector<CardSprite*> chosen;
  std::vector<bool> used(table_->handCards.size(), false);
  for (CardCode code : cards) {
    for (std::size_t k = 0; k < table_->handCards.size(); ++k) {
      if (!used[k] && table_->handCards[k]->cardCode == code) {
        used[k] = true;
        chosen.push_back(table_->handCards[k]);
        break;
      }
    }
  }
  for (CardSprite* card : chosen) {
    app_.tap(card->getPositionX() - 40, card->getPositionY());
  }
  return table_->collectSelected() == cards;
}

void TablePlayer::takeTurn(stGameRecord& record) {
  ++record.ownTurns;
  ++turnsTaken_;
  const bool leading = table_->lastCards.empty();
  if (turnsTaken_ % 5 == 0) {
    // Let the countdown play or pass for the player.
    ++record.countdownTurns;
    for (int s = 0; s < 32 && table_->timerSite == table_->site; ++s) app_.advance(1.0);
    return;
  }
  CardList hand;
  for (const CardSprite* card : table_->handCards) hand.push_back(card->cardCode);
  std::optional<CardList> choice;
  for (const CardList& candidate : candidates(hand, leading)) {
    CardList previous = table_->lastCards;
    CardList play = candidate;
    if (canFollow(previous, play)) {
      choice = play;
      break;
    }
  }
  if (!choice) {
    if (table_->noputButton->isVisible()) {
      press(table_->noputButton);
    } else {
      for (int s = 0; s < 32 && table_->timerSite == table_->site; ++s) app_.advance(1.0);
    }
    return;
  }
  if (!select(*choice)) {
    record.failure = "the touches did not select " + formatCardList(*choice) +
                     ", selected: " + formatCardList(table_->collectSelected());
    return;
  }
  const std::size_t before = table_->handCards.size();
  press(table_->putButton);
  if (table_->handCards.size() + choice->size() != before) {
    record.failure = "the play " + formatCardList(*choice) + " did not leave the hand";
  }
}

stGameRecord TablePlayer::playGame() {
  stGameRecord record;
  relay_.clear();
  const std::size_t boxesFrom = app_.boxes().size();
  const auto deadline = Clock::now() + std::chrono::minutes(5);

  if (!table_->readyButton->isVisible() || !table_->readyButton->isEnabled()) {
    record.failure = "the ready button is not offered";
    return record;
  }
  press(table_->readyButton);
  bool dealt = false;
  while (app_.boxes().size() == boxesFrom && record.failure.empty()) {
    if (Clock::now() > deadline) {
      record.failure = "no end of the game within five minutes";
      break;
    }
    tick();
    if (runningTable() != table_) {
      record.failure = "the table left the screen";
      return record;
    }
    if (table_->playing) dealt = true;
    if (table_->timerSite == table_->site && table_->putButton->isVisible()) takeTurn(record);
  }
  if (!dealt && record.failure.empty()) record.failure = "no deal";

  const std::vector<engine::HeadlessApp::Box> shown = app_.boxes();
  for (std::size_t i = boxesFrom; i < shown.size(); ++i) record.boxes.push_back(boxLine(shown[i]));
  record.seatedAfter = !table_->playing && table_->readyButton->isVisible() &&
                       table_->readyButton->isEnabled() && table_->timerSite == -1;

  // What went over the wire in this game.
  const std::vector<std::string> client = relay_.fromClient();
  for (const std::string& text : client) {
    std::optional<stMsg> request = decodeMessage(text);
    if (!request || request->opt != "game") continue;
    if (request->cards.empty()) {
      ++record.sentPasses;
    } else {
      record.sentPlays.push_back(parseCardList(request->cards));
    }
  }
  const std::vector<std::string> server = relay_.fromServer();
  bool started = false;
  for (const std::string& text : server) {
    std::optional<stMsg> message = decodeMessage(text);
    if (!message) continue;
    if (message->opt == "start") started = true;
    if (message->opt == "over") record.over = true;
    if (!started || message->opt != "game" || message->per != table_->site) continue;
    if (message->cards.empty()) {
      ++record.relayedPasses;
    } else {
      record.relayedPlays.push_back(parseCardList(message->cards));
    }
  }
  return record;
}

}  // namespace e2e
