// Geometry and colour values of the engine: points, sizes, rectangles, colours.
#pragma once

#include <cmath>
#include <cstdint>

namespace engine {

struct Vec2 {
  float x = 0;
  float y = 0;

  constexpr Vec2() = default;
  constexpr Vec2(float xIn, float yIn) : x(xIn), y(yIn) {}

  constexpr Vec2 operator+(const Vec2& o) const { return {x + o.x, y + o.y}; }
  constexpr Vec2 operator-(const Vec2& o) const { return {x - o.x, y - o.y}; }
  constexpr Vec2 operator*(float s) const { return {x * s, y * s}; }
  constexpr Vec2 operator-() const { return {-x, -y}; }
  Vec2& operator+=(const Vec2& o) {
    x += o.x;
    y += o.y;
    return *this;
  }
  Vec2& operator-=(const Vec2& o) {
    x -= o.x;
    y -= o.y;
    return *this;
  }
  constexpr bool operator==(const Vec2& o) const { return x == o.x && y == o.y; }
  constexpr bool operator!=(const Vec2& o) const { return !(*this == o); }
  float distance(const Vec2& o) const { return std::hypot(x - o.x, y - o.y); }

  static const Vec2 ZERO;
  static const Vec2 ANCHOR_MIDDLE;
  static const Vec2 ANCHOR_BOTTOM_LEFT;
};
inline constexpr Vec2 Vec2::ZERO{0, 0};
inline constexpr Vec2 Vec2::ANCHOR_MIDDLE{0.5f, 0.5f};
inline constexpr Vec2 Vec2::ANCHOR_BOTTOM_LEFT{0, 0};

using Point = Vec2;

struct Size {
  float width = 0;
  float height = 0;

  constexpr Size() = default;
  constexpr Size(float w, float h) : width(w), height(h) {}

  constexpr bool operator==(const Size& o) const { return width == o.width && height == o.height; }
  constexpr bool operator!=(const Size& o) const { return !(*this == o); }
  constexpr bool equals(const Size& o) const { return *this == o; }
  constexpr Size operator*(float s) const { return {width * s, height * s}; }

  static const Size ZERO;
};
inline constexpr Size Size::ZERO{0, 0};

// A rectangle in y-up coordinates: origin is the bottom-left corner. (Image
// rectangles of sprite frames are the exception: there y runs down from the
// image's top-left corner.)
struct Rect {
  Vec2 origin;
  Size size;

  constexpr Rect() = default;
  constexpr Rect(float x, float y, float width, float height) : origin(x, y), size(width, height) {}
  constexpr Rect(const Vec2& o, const Size& s) : origin(o), size(s) {}

  constexpr float getMinX() const { return origin.x; }
  constexpr float getMidX() const { return origin.x + size.width / 2; }
  constexpr float getMaxX() const { return origin.x + size.width; }
  constexpr float getMinY() const { return origin.y; }
  constexpr float getMidY() const { return origin.y + size.height / 2; }
  constexpr float getMaxY() const { return origin.y + size.height; }

  // Edges count as inside.
  constexpr bool containsPoint(const Vec2& p) const {
    return p.x >= getMinX() && p.x <= getMaxX() && p.y >= getMinY() && p.y <= getMaxY();
  }
  constexpr bool intersectsRect(const Rect& r) const {
    return !(getMaxX() < r.getMinX() || r.getMaxX() < getMinX() || getMaxY() < r.getMinY() ||
             r.getMaxY() < getMinY());
  }
  constexpr bool operator==(const Rect& o) const { return origin == o.origin && size == o.size; }
  constexpr bool operator!=(const Rect& o) const { return !(*this == o); }
  constexpr bool equals(const Rect& o) const { return *this == o; }

  static const Rect ZERO;
};
inline constexpr Rect Rect::ZERO{0, 0, 0, 0};

struct Color3B {
  std::uint8_t r = 255;
  std::uint8_t g = 255;
  std::uint8_t b = 255;

  constexpr Color3B() = default;
  constexpr Color3B(std::uint8_t red, std::uint8_t green, std::uint8_t blue)
      : r(red), g(green), b(blue) {}
  constexpr bool operator==(const Color3B& o) const { return r == o.r && g == o.g && b == o.b; }
  constexpr bool operator!=(const Color3B& o) const { return !(*this == o); }

  static const Color3B WHITE;
  static const Color3B BLACK;
  static const Color3B RED;
  static const Color3B GREEN;
  static const Color3B BLUE;
  static const Color3B YELLOW;
  static const Color3B ORANGE;
  static const Color3B GRAY;
  static const Color3B MAGENTA;
};
inline constexpr Color3B Color3B::WHITE{255, 255, 255};
inline constexpr Color3B Color3B::BLACK{0, 0, 0};
inline constexpr Color3B Color3B::RED{255, 0, 0};
inline constexpr Color3B Color3B::GREEN{0, 255, 0};
inline constexpr Color3B Color3B::BLUE{0, 0, 255};
inline constexpr Color3B Color3B::YELLOW{255, 255, 0};
inline constexpr Color3B Color3B::ORANGE{255, 127, 0};
inline constexpr Color3B Color3B::GRAY{166, 166, 166};
inline constexpr Color3B Color3B::MAGENTA{255, 0, 255};

struct Color4B {
  std::uint8_t r = 255;
  std::uint8_t g = 255;
  std::uint8_t b = 255;
  std::uint8_t a = 255;

  constexpr Color4B() = default;
  constexpr Color4B(std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::uint8_t alpha)
      : r(red), g(green), b(blue), a(alpha) {}
  constexpr Color4B(const Color3B& c, std::uint8_t alpha) : r(c.r), g(c.g), b(c.b), a(alpha) {}
  constexpr bool operator==(const Color4B& o) const {
    return r == o.r && g == o.g && b == o.b && a == o.a;
  }
  constexpr bool operator!=(const Color4B& o) const { return !(*this == o); }

  static const Color4B WHITE;
  static const Color4B BLACK;
};
inline constexpr Color4B Color4B::WHITE{255, 255, 255, 255};
inline constexpr Color4B Color4B::BLACK{0, 0, 0, 255};

}  // namespace engine
