// The table scene: the four seats, the player's hand and its selection, the
// ready, return, pass and play actions, the turn countdown, and the handling
// of every table message from the server.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "cards/card.h"
#include "engine/event.h"
#include "engine/label.h"
#include "engine/scene.h"
#include "engine/ui_button.h"
#include "net/message.h"
#include "scenes/player_info.h"

class CardSprite;

class CDeskScene : public engine::Layer {
 public:
  // No real hand or play comes near this many cards (two decks hold 108); of a
  // longer text from the server only this many are drawn, so that it cannot
  // turn into an unbounded number of sprites.
  static constexpr std::size_t kMaxDrawnCards = 216;

  static CDeskScene* create();
  ~CDeskScene() override;
  bool init() override;

  // Called by the lobby right after create: the table number, the player's
  // own server seat (0..3) and name. Server seat s is drawn at screen
  // position (s - site) mod 4.
  void setDeskInfo(std::int32_t desk, std::int32_t site, const std::string& name);

  // -- hand and selection
  bool onTouchBegan(engine::Touch* touch, engine::Event* event) override;
  void onTouchMoved(engine::Touch* touch, engine::Event* event) override;
  // Places every hand card by the hand layout rule, lowered and deselected.
  void layoutHand();
  // Codes of the selected hand cards, left to right.
  CardList collectSelected() const;

  // -- the player's actions
  void onReadyTouch(engine::Ref* sender, engine::ui::Widget::TouchEventType type);
  void onReturnTouch(engine::Ref* sender, engine::ui::Widget::TouchEventType type);
  void onNoputTouch(engine::Ref* sender, engine::ui::Widget::TouchEventType type);
  void onPutTouch(engine::Ref* sender, engine::ui::Widget::TouchEventType type);
  void countdownTick(float dt);

  // -- server messages, one per tick
  void tick(float dt);

  // -- seat, play and turn display
  void startGame();
  // A server seat 0..3, or -1 for the whole table.
  void resetTable(std::int32_t seat);
  void showPlay(const std::shared_ptr<stMsg>& message);
  void showTurn(const std::shared_ptr<stMsg>& message);

  // The record of server seat `seat`, or null for a seat the table lacks.
  st_player_info* seatRecord(std::int32_t seat) const;

  // State of the table, read by the tests and the lobby hand-over. Node
  // pointers refer to children of the layer.
  engine::ui::Button* returnButton = nullptr;
  engine::ui::Button* readyButton = nullptr;
  engine::ui::Button* noputButton = nullptr;
  engine::ui::Button* putButton = nullptr;
  bool playing = false;
  bool leaveConfirmed = false;
  engine::Label* centerLabel = nullptr;
  engine::Label* ownScoreLabel = nullptr;
  engine::Label* otherScoreLabel = nullptr;
  engine::Label* tableScoreLabel = nullptr;
  std::int32_t site = 0;
  std::int32_t desk = 0;
  std::string ownName;
  std::int32_t timerSite = -1;
  CardList lastCards;
  std::vector<CardSprite*> handCards;
  // By screen position: 0 bottom (the player), 1 right, 2 top, 3 left.
  std::vector<std::shared_ptr<st_player_info>> seats;
  // Server seat to the record of the screen position where it is drawn.
  std::map<std::int32_t, std::shared_ptr<st_player_info>> siteMap;
  CardSprite* lastTouchedCard = nullptr;

 protected:
  CDeskScene() = default;

 private:
  // init, by part of the screen.
  void buildFixedNodes(const engine::Size& visible);
  void buildSeats(const engine::Size& visible);

  // Toggles the first card under `location`, scanning from the right; with
  // `skipLastTouched`, the card touched last is left alone.
  void touchHandAt(const engine::Vec2& location, bool skipLastTouched);
  void toggleCard(CardSprite* card);
  void removeCard(CardSprite* card);
  void removeFromLayer(std::vector<CardSprite*>& cards);
  void dealHand(const std::string& cards);

  // tick, by message kind.
  void onSeatsChanged(const stMsg& message);
  void onRunaway(const stMsg& message);
  void onGameOver(const stMsg& message);
  void endGame();
  void onGameStep(const std::shared_ptr<stMsg>& message);
  void onScore(const stMsg& message);
  void returnToLobby();

  void send(const std::string& request);
};
