// Plays the real client as a player would: quick join at the lobby, then at
// the table the ready button, touches on the hand and the play and pass
// buttons, and now and then lets the turn countdown act. Checks each game
// against what the recording relay saw on the wire.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "cards/card.h"
#include "engine/headless.h"
#include "loopback.h"
#include "scenes/desk_scene.h"

namespace e2e {

struct stGameRecord {
  bool over = false;                   // the server's "over" reached the client
  std::vector<std::string> boxes;      // "[title] text" of each box of the game
  std::vector<CardList> sentPlays;     // the client's plays, as it sent them
  std::vector<CardList> relayedPlays;  // the server's relays of the player's plays
  int sentPasses = 0;
  int relayedPasses = 0;
  int ownTurns = 0;
  int countdownTurns = 0;    // turns left to the countdown
  bool seatedAfter = false;  // back to the Seated state: not playing, ready offered
  std::string failure;       // empty when the game ran to its end
};

class TablePlayer {
 public:
  TablePlayer(engine::HeadlessApp& app, RecordingRelay& relay) : app_(app), relay_(relay) {}

  // Opens the lobby, asks for a seat and waits for the table; false with a
  // reason in `failure` when no table opens.
  bool joinTable(std::string& failure);
  // One game from the ready button to the result box.
  stGameRecord playGame();
  CDeskScene* table() const { return table_; }

 private:
  CDeskScene* runningTable() const;
  void tick();
  void takeTurn(stGameRecord& record);
  bool select(const CardList& cards);
  void press(engine::ui::Button* button);

  engine::HeadlessApp& app_;
  RecordingRelay& relay_;
  CDeskScene* table_ = nullptr;
  int turnsTaken_ = 0;
};

}  // namespace e2e
