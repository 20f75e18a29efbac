// What the server reports about the seats: the start of a game, clearing the
// table or one seat, a seat's play or pass, and the start of a seat's turn.
#include "cards/card_sprite.h"
#include "desk_scene_internal.h"
#include "scenes/desk_scene.h"

void CDeskScene::startGame() {
  playing = true;
  for (auto& [seat, record] : siteMap) record->readySprite->setVisible(false);
}

void CDeskScene::resetTable(std::int32_t seat) {
  ownScoreLabel->setString("0");
  otherScoreLabel->setString("0");
  tableScoreLabel->setString("0");

  auto hideMarkers = [](st_player_info& record) {
    record.clockLabel->setVisible(false);
    record.readySprite->setVisible(false);
    record.overLabel->setVisible(false);
    record.passLabel->setVisible(false);
  };

  if (seat == -1) {
    removeFromLayer(handCards);
    noputButton->setVisible(false);
    putButton->setVisible(false);
    for (int s = 0; s < desk::kSeatCount; ++s) {
      st_player_info* record = seatRecord(s);
      if (record == nullptr) continue;
      hideMarkers(*record);
      removeFromLayer(record->playedCards);
    }
    return;
  }
  if (st_player_info* record = seatRecord(seat)) hideMarkers(*record);
}

void CDeskScene::showPlay(const std::shared_ptr<stMsg>& message) {
  st_player_info* record = seatRecord(message->per);
  if (record == nullptr) return;
  record->countLabel->setString(message->surplus);
  if (message->surplus == "0") record->overLabel->setVisible(true);
  record->clockLabel->setVisible(false);

  if (message->cards.empty()) {
    record->passLabel->setVisible(true);
    return;
  }
  // Shown in the order the server sent, not sorted.
  const CardList codes = parseCardList(message->cards);
  lastCards.clear();
  for (std::size_t k = 0; k < codes.size(); ++k) {
    lastCards.push_back(codes[k]);
    if (k >= kMaxDrawnCards) continue;
    CardSprite* card = CardSprite::createWithCode(codes[k]);
    if (card == nullptr) continue;
    record->playedCards.push_back(card);
    card->setPosition(static_cast<float>(record->cardX) + card->getContentSize().width +
                          18.0f * static_cast<float>(k),
                      static_cast<float>(record->cardY));
    addChild(card);
  }
}

void CDeskScene::showTurn(const std::shared_ptr<stMsg>& message) {
  st_player_info* record = seatRecord(message->now);
  if (record == nullptr) return;
  record->passLabel->setVisible(false);
  removeFromLayer(record->playedCards);

  timerSite = message->now;
  record->clockLabel->setString("30");
  record->clockLabel->setVisible(true);

  if (message->must != 0) {
    // A new round: the table is cleared of every play.
    for (int s = 0; s < desk::kSeatCount; ++s) {
      st_player_info* other = seatRecord(s);
      if (other == nullptr) continue;
      other->passLabel->setVisible(false);
      removeFromLayer(other->playedCards);
    }
  }

  if (timerSite != site) return;
  if (message->must != 0) {
    lastCards.clear();
  } else {
    noputButton->setVisible(true);
    noputButton->setEnabled(true);
  }
  putButton->setVisible(true);
  putButton->setEnabled(true);
}
