// Engine-free decisions of the table scene.
#include <cctype>
#include <climits>

#include "desk_scene_internal.h"

namespace desk {

int screenPosition(int seat, int site) {
  const long long offset = (static_cast<long long>(seat) - site) % kSeatCount;
  return static_cast<int>((offset + kSeatCount) % kSeatCount);
}

float handCardX(float visibleWidth, int count, int index, float cardWidth) {
  float x = visibleWidth * 0.5f;
  x -= static_cast<float>(9 * (count - 1));
  x += static_cast<float>(18 * index);
  x += cardWidth * 0.25f;
  return x;
}

int readCountdown(const std::string& text) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && text[i] == '-') {
    negative = true;
    ++i;
  }
  long long value = 0;
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
  }
  if (negative) value = -value;
  if (value > INT_MAX) value = INT_MAX;
  return static_cast<int>(value);
}

std::string overBody(const std::array<int, kSeatCount>& results) {
  std::string body;
  for (int i = 0; i < kSeatCount; ++i) {
    body += std::to_string(i) + ":" + std::to_string(results[i]) + "\r\n";
  }
  return body;
}

const char* overTitle(int ownResult) {
  if (ownResult > 0) return "游戏结束，你赢了！";
  if (ownResult < 0) return "游戏结束，你输了！";
  return "游戏结束，平局！";
}

std::string runBody(int site, const std::string& name) {
  return std::to_string(site) + "->" + name + ":-10\r\n";
}

}  // namespace desk
