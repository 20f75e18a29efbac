// The player's actions: the ready, return, pass and play buttons, and the
// turn countdown that passes or leads for the player when time runs out.
#include <algorithm>
#include <climits>

#include "cards/card_sprite.h"
#include "cards/play.h"
#include "desk_scene_internal.h"
#include "engine/director.h"
#include "engine/message_box.h"
#include "net/message_queue.h"
#include "net/requests.h"
#include "scenes/desk_scene.h"
#include "scenes/hall_scene.h"

using TouchType = engine::ui::Widget::TouchEventType;

void CDeskScene::send(const std::string& request) {
  CMessageQueue::getInstance()->sendMessage(request);
}

void CDeskScene::returnToLobby() {
  CHallScene* lobby = CHallScene::create();
  if (lobby == nullptr) return;
  engine::Scene* scene = engine::Scene::create();
  scene->addChild(lobby);
  engine::Director::getInstance()->replaceScene(scene);
}

void CDeskScene::onReadyTouch(engine::Ref* /*sender*/, TouchType type) {
  if (type != TouchType::ENDED) return;
  readyButton->setVisible(false);
  readyButton->setEnabled(false);
  resetTable(-1);
  if (st_player_info* own = seatRecord(site)) own->readySprite->setVisible(true);
  send(readyRequest(desk, site));
}

void CDeskScene::onReturnTouch(engine::Ref* /*sender*/, TouchType type) {
  if (type != TouchType::ENDED) return;
  if (playing && !leaveConfirmed) {
    engine::MessageBox(desk::kLeaveWarning, desk::kLeaveWarningTitle);
    leaveConfirmed = true;
    return;
  }
  send(leaveRequest(desk, site));
  returnToLobby();
}

void CDeskScene::onNoputTouch(engine::Ref* /*sender*/, TouchType type) {
  if (type != TouchType::ENDED) return;
  // With the lead there is nothing to pass on.
  if (lastCards.empty()) return;
  noputButton->setEnabled(false);
  putButton->setEnabled(false);
  putButton->setVisible(false);
  noputButton->setVisible(false);
  send(passRequest(desk, site));
}

void CDeskScene::onPutTouch(engine::Ref* /*sender*/, TouchType type) {
  if (type != TouchType::ENDED) return;
  CardList chosen = collectSelected();
  // canFollow leaves `chosen` in ascending order, the order the request carries.
  if (chosen.empty() || !canFollow(lastCards, chosen)) {
    engine::MessageBox(desk::kIllegalPlay, desk::kIllegalPlayTitle);
    return;
  }
  putButton->setVisible(false);
  noputButton->setVisible(false);
  noputButton->setEnabled(false);
  putButton->setEnabled(false);
  lastCards = chosen;

  for (CardCode code : chosen) {
    auto found = std::find_if(handCards.begin(), handCards.end(),
                              [code](const CardSprite* card) { return card->cardCode == code; });
    if (found == handCards.end()) continue;
    CardSprite* card = *found;
    handCards.erase(found);
    removeCard(card);
  }
  layoutHand();
  send(playRequest(desk, site, chosen));
}

void CDeskScene::countdownTick(float /*dt*/) {
  if (!playing || timerSite == -1) return;
  st_player_info* running = seatRecord(timerSite);
  if (running == nullptr) {
    timerSite = -1;
    return;
  }
  const int current = desk::readCountdown(running->clockLabel->getString());
  const int left = current == INT_MIN ? current : current - 1;
  running->clockLabel->setString(std::to_string(left));
  if (left >= 0) return;
  // Another seat's count goes on below zero until the server moves the turn.
  if (timerSite != site) return;

  running->clockLabel->setVisible(false);
  putButton->setVisible(false);
  noputButton->setVisible(false);
  if (lastCards.empty()) {
    // The lead: the lowest card goes alone. An empty hand has nothing to lead.
    if (!handCards.empty()) {
      CardSprite* card = handCards.front();
      const CardCode code = card->cardCode;
      handCards.erase(handCards.begin());
      removeCard(card);
      layoutHand();
      send(autoLeadRequest(desk, site, code));
    }
  } else {
    send(passRequest(desk, site));
  }
  timerSite = -1;
}
