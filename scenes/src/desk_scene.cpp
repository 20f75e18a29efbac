// The table scene's construction: the fixed nodes, the four seats, the seat
// mapping, the two schedules and the touch listener.
#include "scenes/desk_scene.h"

#include <new>

#include "cards/card_sprite.h"
#include "desk_scene_internal.h"
#include "engine/director.h"
#include "engine/event_listener_touch.h"
#include "engine/label_atlas.h"
#include "engine/sprite.h"
#include "engine/sprite_frame.h"

using engine::Color3B;
using engine::Size;
using engine::Vec2;

namespace {

constexpr const char* kFont = "fonts/arial.ttf";

engine::Label* makeLabel(const std::string& text, float size) {
  return engine::Label::createWithTTF(text, kFont, size, Size::ZERO, engine::TextHAlignment::LEFT,
                                      engine::TextVAlignment::TOP);
}

engine::Sprite* makeFrameSprite(const std::string& frameName) {
  engine::Sprite* sprite = engine::Sprite::create();
  sprite->initWithSpriteFrame(
      engine::SpriteFrameCache::getInstance()->getSpriteFrameByName(frameName));
  return sprite;
}

Size frameSize(const std::string& frameName) {
  engine::SpriteFrame* frame =
      engine::SpriteFrameCache::getInstance()->getSpriteFrameByName(frameName);
  return frame != nullptr ? frame->getOriginalSize() : Size::ZERO;
}

engine::ui::Button* makeButton(const std::string& normal, const std::string& pressed) {
  return engine::ui::Button::create(normal, pressed, pressed,
                                    engine::ui::Widget::TextureResType::LOCAL);
}

// Where one screen position puts its seat's nodes.
struct stSeatPlace {
  Vec2 name;
  int nameZOrder;
  bool showCount;
  Vec2 count;
  Vec2 clock;
  Vec2 ready;
  Vec2 over;
  Vec2 pass;
  float cardX;
  float cardY;
};

}  // namespace

CDeskScene* CDeskScene::create() {
  auto* scene = new (std::nothrow) CDeskScene();
  if (scene == nullptr) return nullptr;
  if (!scene->init()) {
    delete scene;
    return nullptr;
  }
  scene->autorelease();
  return scene;
}

CDeskScene::~CDeskScene() {
  siteMap.clear();
  seats.clear();
  handCards.clear();
  lastCards.clear();
  ownName.clear();
}

bool CDeskScene::init() {
  if (!Layer::init()) return false;
  const Size visible = engine::Director::getInstance()->getVisibleSize();
  buildFixedNodes(visible);
  buildSeats(visible);

  schedule(&CDeskScene::tick, 0.1f);
  schedule(&CDeskScene::countdownTick, 1.0f);

  auto* listener = engine::EventListenerTouchOneByOne::create();
  listener->onTouchBegan = [this](engine::Touch* touch, engine::Event* event) {
    return onTouchBegan(touch, event);
  };
  listener->onTouchMoved = [this](engine::Touch* touch, engine::Event* event) {
    onTouchMoved(touch, event);
  };
  engine::Director::getInstance()->getEventDispatcher()->addEventListenerWithSceneGraphPriority(
      listener, this);
  return true;
}

void CDeskScene::buildFixedNodes(const Size& visible) {
  const float w = visible.width;
  const float h = visible.height;

  engine::Sprite* background = makeFrameSprite("beijing");
  background->setPosition(w / 2, h / 2);
  addChild(background, -1);

  returnButton = makeButton("return.png", "return_press.png");
  const Size returnSize = returnButton->getContentSize();
  returnButton->setPosition(w - returnSize.width / 2, h - returnSize.height / 2);
  returnButton->addTouchEventListener(this, &CDeskScene::onReturnTouch);
  addChild(returnButton);

  // The three action buttons share their row, scale and layer; play and pass
  // wait hidden (but enabled) for the player's turn.
  using Handler = void (CDeskScene::*)(engine::Ref*, engine::ui::Widget::TouchEventType);
  auto actionButton = [this](const std::string& image, float x, Handler handler, bool shown) {
    engine::ui::Button* button = makeButton(image + ".png", image + "_press.png");
    button->setPosition(x, 170);
    button->addTouchEventListener(this, handler);
    button->setScale(0.8f);
    if (!shown) {
      button->setVisible(false);
      button->setEnabled(true);
    }
    addChild(button, 2);
    return button;
  };
  putButton = actionButton("put", w / 2 - 100, &CDeskScene::onPutTouch, false);
  noputButton = actionButton("noput", w / 2 + 100, &CDeskScene::onNoputTouch, false);
  readyButton = actionButton("ready", w / 2, &CDeskScene::onReadyTouch, true);

  engine::Sprite* scorePanel = makeFrameSprite("score");
  const Size scoreSize = scorePanel->getContentSize();
  scorePanel->setPosition(scoreSize.width / 2, h - scoreSize.height / 2);
  addChild(scorePanel);

  centerLabel = makeLabel("0", 20);
  centerLabel->setPosition(w / 2, h / 2);
  addChild(centerLabel);

  ownScoreLabel = makeLabel("0", 25);
  ownScoreLabel->setPosition(80, h - scoreSize.height / 2);
  ownScoreLabel->setColor(Color3B::BLACK);
  addChild(ownScoreLabel);

  otherScoreLabel = makeLabel("0", 25);
  otherScoreLabel->setPosition(170, h - scoreSize.height / 2);
  otherScoreLabel->setColor(Color3B::BLACK);
  addChild(otherScoreLabel);

  tableScoreLabel = makeLabel("0", 40);
  tableScoreLabel->setPosition(w / 2, h / 2 + 30);
  addChild(tableScoreLabel);
}

void CDeskScene::buildSeats(const Size& visible) {
  const float w = visible.width;
  const float h = visible.height;
  const Size nick = frameSize("nickname");
  // The side anchors stand at the plate's full height plus 600.
  const float bottomY = nick.height / 2;
  const float sideY = nick.height + 600;
  const float topY = h - nick.height / 2;

  const stSeatPlace places[desk::kSeatCount] = {
      {{w / 2 - 35, bottomY},
       30,
       false,
       {0, 0},
       {w / 2 + 300, 200},
       {w / 2, h / 2 - 200},
       {w / 2, h / 2 - 200},
       {w / 2, h / 2 - 200},
       w / 2 - 200,
       250},
      {{w - 135, sideY},
       3,
       true,
       {w - 135, sideY - 15},
       {w / 2 + 260, 600},
       {w / 2 + 350, h / 2},
       {w / 2 + 350, h / 2},
       {w / 2 + 350, h / 2},
       w / 2,
       h / 2},
      {{w / 2 - 35, topY},
       3,
       true,
       {w / 2 - 35, topY - 15},
       {w / 2 + 140, topY - 20},
       {w / 2, h / 2 + 200},
       {w / 2, h / 2 + 200},
       {w / 2, h / 2 + 200},
       w / 2 - 200,
       h / 2 + 200},
      // The left seat's "over" stands where its clock is.
      {{70, sideY},
       3,
       true,
       {70, sideY - 15},
       {w / 2 - 280, 600},
       {w / 2 - 350, h / 2},
       {w / 2 - 280, 600},
       {w / 2 - 350, h / 2},
       0,
       h / 2},
  };

  for (const stSeatPlace& place : places) {
    auto record = std::make_shared<st_player_info>();

    record->nameLabel = makeLabel("", 15);
    record->nameLabel->setPosition(place.name);
    record->nameLabel->setColor(Color3B::RED);
    addChild(record->nameLabel, place.nameZOrder);

    record->countLabel = makeLabel("", 15);
    if (place.showCount) {
      record->countLabel->setPosition(place.count);
      record->countLabel->setColor(Color3B::WHITE);
    } else {
      record->countLabel->setVisible(false);
    }
    addChild(record->countLabel);

    record->clockLabel = engine::LabelAtlas::create("30", "num.png", 14, 21, '0');
    record->clockLabel->setPosition(place.clock);
    record->clockLabel->setVisible(false);
    addChild(record->clockLabel);

    record->readySprite = makeFrameSprite("zhunbei");
    record->readySprite->setPosition(place.ready);
    record->readySprite->setVisible(false);
    addChild(record->readySprite);

    record->overLabel = makeLabel("over", 15);
    record->overLabel->setPosition(place.over);
    record->overLabel->setColor(Color3B::RED);
    record->overLabel->setVisible(false);
    addChild(record->overLabel);

    record->passLabel = makeLabel("pass", 15);
    record->passLabel->setPosition(place.pass);
    record->passLabel->setColor(Color3B::RED);
    record->passLabel->setVisible(false);
    addChild(record->passLabel);

    record->cardX = static_cast<std::int32_t>(place.cardX);
    record->cardY = static_cast<std::int32_t>(place.cardY);
    seats.push_back(std::move(record));
  }
}

void CDeskScene::setDeskInfo(std::int32_t deskNumber, std::int32_t ownSite,
                             const std::string& name) {
  desk = deskNumber;
  site = ownSite;
  ownName = name;
  // Keyed by every server seat 0..3 whatever the grant says, so that no
  // lookup of a table seat ever finds an empty entry.
  for (int seat = 0; seat < desk::kSeatCount; ++seat) {
    siteMap[seat] = seats[desk::screenPosition(seat, ownSite)];
  }
}

st_player_info* CDeskScene::seatRecord(std::int32_t seat) const {
  if (!desk::isTableSeat(seat)) return nullptr;
  auto found = siteMap.find(seat);
  return found != siteMap.end() ? found->second.get() : nullptr;
}
