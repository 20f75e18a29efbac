// The lobby: the online count, its periodic query, quick join and the passage
// to the table the server grants.
#pragma once

#include <cstdint>

#include "engine/label.h"
#include "engine/scene.h"
#include "engine/ui_button.h"

// Ticks counted by every lobby of the process, starting at 1. It is never
// reset, so a lobby opened after a game continues the count.
extern std::int32_t hallTickCount;

class CHallScene : public engine::Layer {
 public:
  static CHallScene* create();
  ~CHallScene() override;

  bool init() override;
  void onQuickJoinTouch(engine::Ref* sender, engine::ui::Widget::TouchEventType type);
  void tick(float dt);

  engine::ui::Button* quickJoinButton = nullptr;
  engine::Label* onlineLabel = nullptr;
};
