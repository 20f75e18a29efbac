// The table follows the server: one message from the inbound queue per tick,
// dispatched by its kind.
#include <algorithm>

#include "cards/card.h"
#include "cards/card_sprite.h"
#include "desk_scene_internal.h"
#include "engine/director.h"
#include "engine/message_box.h"
#include "net/message_queue.h"
#include "scenes/desk_scene.h"

void CDeskScene::tick(float /*dt*/) {
  std::shared_ptr<stMsg> message = CMessageQueue::getInstance()->popMessage();
  if (!message) return;
  const std::string& opt = message->opt;
  if (opt == "change") {
    onSeatsChanged(*message);
  } else if (opt == "start") {
    startGame();
    dealHand(message->cards);
  } else if (opt == "run") {
    onRunaway(*message);
  } else if (opt == "over") {
    onGameOver(*message);
  } else if (opt == "game") {
    onGameStep(message);
  } else if (opt == "score") {
    onScore(*message);
  } else if (opt == "timeout") {
    returnToLobby();
  }
  // Anything else (a late lobby reply) is dropped.
}

void CDeskScene::onSeatsChanged(const stMsg& message) {
  for (int seat = 0; seat < desk::kSeatCount; ++seat) {
    st_player_info* record = seatRecord(seat);
    if (record == nullptr) continue;
    const stSeatInfo& info = message.info[seat];
    record->nameLabel->setString(info.name);
    if (info.name.empty()) resetTable(seat);
    record->readySprite->setVisible(info.ready == 1);
  }
}

void CDeskScene::dealHand(const std::string& cards) {
  CardList codes = parseCardList(cards);
  sortCards(codes);
  const std::size_t room = kMaxDrawnCards - std::min(handCards.size(), kMaxDrawnCards);
  if (codes.size() > room) codes.resize(room);
  const float width = engine::Director::getInstance()->getVisibleSize().width;
  const int count = static_cast<int>(codes.size());
  for (int k = 0; k < count; ++k) {
    CardSprite* card = CardSprite::createWithCode(codes[k]);
    if (card == nullptr) continue;
    card->setPosition(desk::handCardX(width, count, k, card->getContentSize().width), desk::kHandY);
    addChild(card, 1);
    handCards.push_back(card);
  }
}

void CDeskScene::onRunaway(const stMsg& message) {
  engine::MessageBox(desk::runBody(message.site, message.name), desk::kRunTitle);
  endGame();
}

void CDeskScene::onGameOver(const stMsg& message) {
  std::array<int, desk::kSeatCount> results{};
  for (int seat = 0; seat < desk::kSeatCount; ++seat) results[seat] = message.info[seat].result;
  const int own = desk::isTableSeat(site) ? results[site] : 0;
  engine::MessageBox(desk::overBody(results), desk::overTitle(own));
  endGame();
}

void CDeskScene::endGame() {
  playing = false;
  leaveConfirmed = false;
  // The hand and the plays stay on the table until the player gets ready again.
  resetTable(site);
  timerSite = -1;
  readyButton->setVisible(true);
  readyButton->setEnabled(true);
}

void CDeskScene::onGameStep(const std::shared_ptr<stMsg>& message) {
  tableScoreLabel->setString(std::to_string(message->score));
  // A seat outside the table is never shown, whatever else the message says.
  if (message->per != -1 && desk::isTableSeat(message->per)) showPlay(message);
  if (message->now != -1 && desk::isTableSeat(message->now)) showTurn(message);
}

void CDeskScene::onScore(const stMsg& message) {
  const bool evenSide = site % 2 == 0;
  ownScoreLabel->setString(evenSide ? message.p0 : message.p1);
  otherScoreLabel->setString(evenSide ? message.p1 : message.p0);
}
