// Engine-free decisions of the table scene: seat arithmetic, the hand layout
// rule, the countdown text and the texts of the result boxes.
#pragma once

#include <array>
#include <string>

namespace desk {

inline constexpr int kSeatCount = 4;

// A server seat the table has; anything else (the decoder's -1, a stray
// value) must not be looked up as a seat.
inline bool isTableSeat(int seat) {
  return seat >= 0 && seat < kSeatCount;
}

// Screen position (0 bottom, 1 right, 2 top, 3 left) of server seat `seat`
// when the player sits in server seat `site`.
int screenPosition(int seat, int site);

// x of hand card `index` of `count`, computed in single precision in the
// order the layout has always used, so that positions match to the bit.
float handCardX(float visibleWidth, int count, int index, float cardWidth);

inline constexpr float kHandY = 45.0f;
inline constexpr float kRaisedHandY = 70.0f;

// Reads a countdown text the way the clock label has always been read: an
// optional minus sign, then digits up to the first other character.
// Out-of-range values are clamped instead of overflowing.
int readCountdown(const std::string& text);

// Body of the result box: "i:result\r\n" for each seat.
std::string overBody(const std::array<int, kSeatCount>& results);
// Title of the result box from the player's own result.
const char* overTitle(int ownResult);
// Body of the runaway box: "site->name:-10\r\n".
std::string runBody(int site, const std::string& name);

inline constexpr const char* kRunTitle = "玩家逃跑，游戏结束";
inline constexpr const char* kLeaveWarning =
    "游戏还未结束，真的要退出吗？再次点击返回按钮将强制退出回到大厅！";
inline constexpr const char* kLeaveWarningTitle = "提醒";
inline constexpr const char* kIllegalPlay = "出牌不符合规则.";
inline constexpr const char* kIllegalPlayTitle = "提示";

}  // namespace desk
