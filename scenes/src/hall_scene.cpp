// The lobby scene.
#include "scenes/hall_scene.h"

#include <memory>

#include "desk_scene_internal.h"
#include "engine/director.h"
#include "engine/label.h"
#include "engine/scene.h"
#include "engine/sprite.h"
#include "engine/sprite_frame.h"
#include "net/message_queue.h"
#include "net/requests.h"
#include "scenes/desk_scene.h"

std::int32_t hallTickCount = 1;

namespace {

constexpr int kQueryEveryTicks = 100;
constexpr float kTickInterval = 0.1f;

}  // namespace

CHallScene* CHallScene::create() {
  auto* layer = new CHallScene();
  if (!layer->init()) {
    delete layer;
    return nullptr;
  }
  layer->autorelease();
  return layer;
}

CHallScene::~CHallScene() = default;

bool CHallScene::init() {
  if (!Layer::init()) return false;
  const engine::Size visible = engine::Director::getInstance()->getVisibleSize();
  const engine::Vec2 centre(visible.width / 2, visible.height / 2);

  auto* background = engine::Sprite::create();
  background->initWithSpriteFrame(
      engine::SpriteFrameCache::getInstance()->getSpriteFrameByName("beijing"));
  background->setPosition(centre);
  addChild(background, -1);

  quickJoinButton = engine::ui::Button::create("add_desk_fast.png", "add_desk_fast_press.png",
                                               "add_desk_fast_press.png",
                                               engine::ui::Widget::TextureResType::LOCAL);
  quickJoinButton->setPosition(centre);
  quickJoinButton->addTouchEventListener(this, &CHallScene::onQuickJoinTouch);
  quickJoinButton->setEnabled(true);
  addChild(quickJoinButton);

  onlineLabel =
      engine::Label::createWithTTF("online: 0", "fonts/arial.ttf", 25, engine::Size::ZERO,
                                   engine::TextHAlignment::LEFT, engine::TextVAlignment::TOP);
  onlineLabel->setColor(engine::Color3B::WHITE);
  onlineLabel->setPosition(centre.x, centre.y - 50);
  addChild(onlineLabel, 2);

  schedule(&CHallScene::tick, kTickInterval);
  CMessageQueue::getInstance()->sendMessage(onlineQueryRequest());
  return true;
}

void CHallScene::onQuickJoinTouch(engine::Ref*, engine::ui::Widget::TouchEventType type) {
  if (type != engine::ui::Widget::TouchEventType::ENDED) return;
  quickJoinButton->setEnabled(false);
  CMessageQueue::getInstance()->sendMessage(quickJoinRequest());
}

void CHallScene::tick(float) {
  if (hallTickCount % kQueryEveryTicks == 0) {
    CMessageQueue::getInstance()->sendMessage(onlineQueryRequest());
  }
  ++hallTickCount;

  const std::shared_ptr<stMsg> msg = CMessageQueue::getInstance()->popMessage();
  if (!msg) return;
  if (msg->opt == "query") {
    onlineLabel->setString("online:" + msg->online);
  } else if (msg->opt == "add") {
    // A grant without a seat of the table would leave the table unable to
    // place some seat: stay here and let the player ask again.
    if (!desk::isTableSeat(msg->site)) {
      quickJoinButton->setEnabled(true);
      return;
    }
    auto* table = CDeskScene::create();
    if (table == nullptr) return;
    auto* scene = engine::Scene::create();
    table->setDeskInfo(msg->desk, msg->site, msg->name);
    scene->addChild(table);
    engine::Director::getInstance()->replaceScene(scene);
  }
}
