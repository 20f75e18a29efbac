// Draws every image the client loads by name: the card sheets, interface plates,
// buttons, the countdown digit map and the felt, into one output folder.
// Usage: quartet_resgen <output folder> [--preview <file.png>]
#include <cairo-ft.h>
#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

// [SECTION] Basics: colours, paths, fonts, text

struct stRgb {
  double r, g, b;
};

stRgb shade(stRgb c, double f) {
  auto clamp = [](double v) { return std::clamp(v, 0.0, 1.0); };
  if (f >= 0)
    return {clamp(c.r + (1 - c.r) * f), clamp(c.g + (1 - c.g) * f), clamp(c.b + (1 - c.b) * f)};
  return {clamp(c.r * (1 + f)), clamp(c.g * (1 + f)), clamp(c.b * (1 + f))};
}

void setRgb(cairo_t* cr, stRgb c, double a = 1.0) {
  cairo_set_source_rgba(cr, c.r, c.g, c.b, a);
}

constexpr stRgb kRed{0.80, 0.07, 0.10};
constexpr stRgb kBlack{0.07, 0.07, 0.09};
constexpr stRgb kGold{0.96, 0.78, 0.30};

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
  r = std::min({r, w / 2, h / 2});
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
  cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
  cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
  cairo_close_path(cr);
}

// A font face matched through fontconfig, so the build uses whatever the
// installed Liberation and WenQuanYi packages provide.
class CFontFace {
 public:
  explicit CFontFace(const char* pattern) {
    FcPattern* pat = FcNameParse(reinterpret_cast<const FcChar8*>(pattern));
    FcConfigSubstitute(nullptr, pat, FcMatchPattern);
    FcDefaultSubstitute(pat);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pat, &result);
    FcPatternDestroy(pat);
    if (match != nullptr) {
      face_ = cairo_ft_font_face_create_for_pattern(match);
      FcPatternDestroy(match);
    } else {
      std::fprintf(stderr, "resgen: no font for '%s', using cairo's default\n", pattern);
      face_ =
          cairo_toy_font_face_create("sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    }
  }
  ~CFontFace() { cairo_font_face_destroy(face_); }
  CFontFace(const CFontFace&) = delete;
  CFontFace& operator=(const CFontFace&) = delete;
  cairo_font_face_t* get() const { return face_; }

 private:
  cairo_font_face_t* face_ = nullptr;
};

struct stFonts {
  CFontFace rank{"Liberation Serif:bold"};
  CFontFace sans{"Liberation Sans:bold"};
  CFontFace cjk{"WenQuanYi Micro Hei"};
};

// Adds the path of `text` with its ink box centred on (cx, cy), at most
// maxWidth wide and inkHeight tall (narrowed, never stretched, to fit).
void textPath(cairo_t* cr, cairo_font_face_t* face, const std::string& text, double cx, double cy,
              double inkHeight, double maxWidth) {
  cairo_save(cr);
  cairo_set_font_face(cr, face);
  cairo_set_font_size(cr, 100);
  cairo_text_extents_t ext;
  cairo_text_extents(cr, text.c_str(), &ext);
  if (ext.height <= 0 || ext.width <= 0) {
    cairo_restore(cr);
    return;
  }
  double s = inkHeight / ext.height;
  double sx = std::min(s, maxWidth / ext.width);
  cairo_translate(cr, cx, cy);
  cairo_scale(cr, sx, s);
  cairo_move_to(cr, -(ext.x_bearing + ext.width / 2), -(ext.y_bearing + ext.height / 2));
  cairo_text_path(cr, text.c_str());
  cairo_restore(cr);
}

// Filled text with a soft dark shadow, for captions on buttons and plates.
void shadowedText(cairo_t* cr, cairo_font_face_t* face, const std::string& text, double cx,
                  double cy, double inkHeight, double maxWidth, stRgb colour, double weight) {
  cairo_new_path(cr);
  textPath(cr, face, text, cx + 1, cy + 1.5, inkHeight, maxWidth);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.45);
  cairo_set_line_width(cr, weight + 1);
  cairo_stroke_preserve(cr);
  cairo_fill(cr);
  textPath(cr, face, text, cx, cy, inkHeight, maxWidth);
  setRgb(cr, colour);
  cairo_set_line_width(cr, weight);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  if (weight > 0) cairo_stroke_preserve(cr);
  cairo_fill(cr);
}

class CCanvas {
 public:
  CCanvas(int w, int h) : w_(w), h_(h) {
    surface_ = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cr_ = cairo_create(surface_);
  }
  ~CCanvas() {
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
  }
  CCanvas(const CCanvas&) = delete;
  CCanvas& operator=(const CCanvas&) = delete;
  cairo_t* cr() const { return cr_; }
  cairo_surface_t* surface() const { return surface_; }
  int width() const { return w_; }
  int height() const { return h_; }
  bool save(const std::filesystem::path& path) {
    cairo_surface_flush(surface_);
    cairo_status_t status = cairo_surface_write_to_png(surface_, path.c_str());
    if (status != CAIRO_STATUS_SUCCESS) {
      std::fprintf(stderr, "resgen: cannot write %s: %s\n", path.c_str(),
                   cairo_status_to_string(status));
      return false;
    }
    return true;
  }

 private:
  int w_, h_;
  cairo_surface_t* surface_;
  cairo_t* cr_;
};

// [SECTION] Suit pips
// Suit indexes 0 and 1 are the black suits (spades, clubs), 2 and 3 the red
// ones (hearts, diamonds). Shapes span [-1, 1] on both axes, y downward.

void heartPath(cairo_t* cr) {
  cairo_move_to(cr, 0, 0.95);
  cairo_curve_to(cr, -0.6, 0.45, -1.0, 0.05, -1.0, -0.4);
  cairo_curve_to(cr, -1.0, -0.78, -0.75, -0.98, -0.48, -0.98);
  cairo_curve_to(cr, -0.24, -0.98, -0.06, -0.82, 0, -0.58);
  cairo_curve_to(cr, 0.06, -0.82, 0.24, -0.98, 0.48, -0.98);
  cairo_curve_to(cr, 0.75, -0.98, 1.0, -0.78, 1.0, -0.4);
  cairo_curve_to(cr, 1.0, 0.05, 0.6, 0.45, 0, 0.95);
  cairo_close_path(cr);
}

void diamondPath(cairo_t* cr) {
  cairo_move_to(cr, 0, -1);
  cairo_curve_to(cr, 0.26, -0.55, 0.5, -0.26, 0.78, 0);
  cairo_curve_to(cr, 0.5, 0.26, 0.26, 0.55, 0, 1);
  cairo_curve_to(cr, -0.26, 0.55, -0.5, 0.26, -0.78, 0);
  cairo_curve_to(cr, -0.5, -0.26, -0.26, -0.55, 0, -1);
  cairo_close_path(cr);
}

void spadePath(cairo_t* cr) {
  cairo_move_to(cr, 0, -1);
  cairo_curve_to(cr, 0.5, -0.5, 1.0, -0.18, 1.0, 0.22);
  cairo_curve_to(cr, 1.0, 0.56, 0.76, 0.74, 0.5, 0.74);
  cairo_curve_to(cr, 0.3, 0.74, 0.14, 0.64, 0.07, 0.48);
  cairo_curve_to(cr, 0.1, 0.74, 0.24, 0.9, 0.42, 1.0);
  cairo_line_to(cr, -0.42, 1.0);
  cairo_curve_to(cr, -0.24, 0.9, -0.1, 0.74, -0.07, 0.48);
  cairo_curve_to(cr, -0.14, 0.64, -0.3, 0.74, -0.5, 0.74);
  cairo_curve_to(cr, -0.76, 0.74, -1.0, 0.56, -1.0, 0.22);
  cairo_curve_to(cr, -1.0, -0.18, -0.5, -0.5, 0, -1);
  cairo_close_path(cr);
}

void clubPath(cairo_t* cr) {
  const double r = 0.43;
  cairo_new_sub_path(cr);
  cairo_arc(cr, 0, -0.53, r, 0, 2 * M_PI);
  cairo_new_sub_path(cr);
  cairo_arc(cr, -0.54, 0.16, r, 0, 2 * M_PI);
  cairo_new_sub_path(cr);
  cairo_arc(cr, 0.54, 0.16, r, 0, 2 * M_PI);
  cairo_new_sub_path(cr);
  cairo_arc(cr, 0, -0.02, 0.3, 0, 2 * M_PI);
  cairo_move_to(cr, -0.08, 0.1);
  cairo_curve_to(cr, -0.1, 0.6, -0.22, 0.86, -0.42, 1.0);
  cairo_line_to(cr, 0.42, 1.0);
  cairo_curve_to(cr, 0.22, 0.86, 0.1, 0.6, 0.08, 0.1);
  cairo_close_path(cr);
}

stRgb suitColour(int suit) {
  return suit >= 2 ? kRed : kBlack;
}

// The pip of `suit` centred on (cx, cy) with half-extent `r`.
void drawPip(cairo_t* cr, int suit, double cx, double cy, double r) {
  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  cairo_scale(cr, r, r);
  cairo_new_path(cr);
  switch (suit) {
    case 0:
      spadePath(cr);
      break;
    case 1:
      clubPath(cr);
      break;
    case 2:
      heartPath(cr);
      break;
    default:
      diamondPath(cr);
      break;
  }
  cairo_restore(cr);
  stRgb c = suitColour(suit);
  cairo_pattern_t* grad = cairo_pattern_create_linear(cx, cy - r, cx, cy + r);
  stRgb top = shade(c, 0.25);
  cairo_pattern_add_color_stop_rgb(grad, 0, top.r, top.g, top.b);
  cairo_pattern_add_color_stop_rgb(grad, 1, c.r, c.g, c.b);
  cairo_set_source(cr, grad);
  cairo_fill(cr);
  cairo_pattern_destroy(grad);
}

// [SECTION] Card sheets

const char* const kRankText[13] = {"A", "2", "3",  "4", "5", "6", "7",
                                   "8", "9", "10", "J", "Q", "K"};

bool drawFlowerSheet(const std::filesystem::path& dir) {
  CCanvas c(176, 42);
  const int order[4] = {2, 0, 3, 1};
  for (int col = 0; col < 4; ++col) drawPip(c.cr(), order[col], 44 * col + 22, 21, 19);
  return c.save(dir / "poker_flower.png");
}

bool drawNumberSheet(const std::filesystem::path& dir, const stFonts& fonts) {
  CCanvas c(13 * 39, 78);
  cairo_t* cr = c.cr();
  for (int row = 0; row < 2; ++row) {
    stRgb colour = row == 0 ? kBlack : kRed;
    for (int i = 0; i < 13; ++i) {
      cairo_new_path(cr);
      // "10" is two glyphs wide: narrow it, and the serif face keeps it legible.
      textPath(cr, fonts.rank.get(), kRankText[i], 39 * i + 19.5, 39 * row + 19.5, 31, 35);
      setRgb(cr, colour);
      cairo_set_line_width(cr, 1.6);
      cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
      cairo_stroke_preserve(cr);
      cairo_fill(cr);
    }
  }
  return c.save(dir / "poker_num.png");
}

void cardBlank(cairo_t* cr, double x) {
  roundedRect(cr, x + 0.75, 0.75, 96.5, 136.5, 8);
  cairo_pattern_t* grad = cairo_pattern_create_linear(x, 0, x + 98, 138);
  cairo_pattern_add_color_stop_rgb(grad, 0, 1.0, 1.0, 1.0);
  cairo_pattern_add_color_stop_rgb(grad, 1, 0.94, 0.93, 0.89);
  cairo_set_source(cr, grad);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(grad);
  cairo_set_source_rgb(cr, 0.55, 0.55, 0.58);
  cairo_set_line_width(cr, 1.5);
  cairo_stroke(cr);
}

void starPath(cairo_t* cr, double cx, double cy, double outer, double inner) {
  for (int k = 0; k < 10; ++k) {
    double a = -M_PI / 2 + k * M_PI / 5;
    double r = (k % 2 == 0) ? outer : inner;
    double px = cx + r * std::cos(a), py = cy + r * std::sin(a);
    if (k == 0)
      cairo_move_to(cr, px, py);
    else
      cairo_line_to(cr, px, py);
  }
  cairo_close_path(cr);
}

// A jester's cap with three bells over a star: reads as a joker even at the
// small scale of a played card.
void drawJoker(cairo_t* cr, double x, bool red, const stFonts& fonts) {
  cardBlank(cr, x);
  stRgb ink = red ? kRed : kBlack;
  stRgb second = red ? kGold : stRgb{0.45, 0.45, 0.5};
  const char* letters = "JOKER";
  for (int k = 0; k < 5; ++k) {
    cairo_new_path(cr);
    std::string letter(1, letters[k]);
    textPath(cr, fonts.sans.get(), letter, x + 12, 14 + 13 * k, 10, 11);
    setRgb(cr, ink);
    cairo_fill(cr);
  }
  double cx = x + 54, cy = 74;
  // Cap: three lobes hanging from a band.
  const double tips[3][2] = {{-30, -30}, {0, -44}, {30, -30}};
  for (int k = 0; k < 3; ++k) {
    cairo_new_path(cr);
    cairo_move_to(cr, cx - 22 + 22 * k - 12, cy - 6);
    cairo_curve_to(cr, cx - 22 + 22 * k - 8, cy - 26, cx + tips[k][0] - 6, cy + tips[k][1] + 6,
                   cx + tips[k][0], cy + tips[k][1]);
    cairo_curve_to(cr, cx + tips[k][0] + 2, cy + tips[k][1] + 12, cx - 22 + 22 * k + 10, cy - 22,
                   cx - 22 + 22 * k + 12, cy - 6);
    cairo_close_path(cr);
    setRgb(cr, k == 1 ? second : ink);
    cairo_fill_preserve(cr);
    setRgb(cr, shade(ink, -0.4));
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    cairo_new_path(cr);
    cairo_arc(cr, cx + tips[k][0], cy + tips[k][1], 4, 0, 2 * M_PI);
    setRgb(cr, kGold);
    cairo_fill_preserve(cr);
    setRgb(cr, shade(kGold, -0.5));
    cairo_stroke(cr);
  }
  roundedRect(cr, cx - 36, cy - 8, 72, 9, 4);
  setRgb(cr, second);
  cairo_fill_preserve(cr);
  setRgb(cr, shade(ink, -0.4));
  cairo_stroke(cr);
  // Star face under the cap.
  cairo_new_path(cr);
  starPath(cr, cx, cy + 22, 21, 9);
  setRgb(cr, ink);
  cairo_fill_preserve(cr);
  setRgb(cr, shade(ink, -0.4));
  cairo_stroke(cr);
  cairo_new_path(cr);
  cairo_arc(cr, cx, cy + 23, 5, 0, 2 * M_PI);
  setRgb(cr, second);
  cairo_fill(cr);
  // Chinese players call the red joker the big king, the black one the small.
  cairo_new_path(cr);
  textPath(cr, fonts.cjk.get(), red ? "大王" : "小王", cx, 124, 13, 40);
  setRgb(cr, ink);
  cairo_fill(cr);
}

void drawBack(cairo_t* cr, double x) {
  cardBlank(cr, x);
  const stRgb blue{0.11, 0.25, 0.55};
  roundedRect(cr, x + 6, 6, 86, 126, 5);
  setRgb(cr, blue);
  cairo_fill_preserve(cr);
  cairo_save(cr);
  cairo_clip(cr);
  setRgb(cr, shade(blue, 0.3), 0.8);
  cairo_set_line_width(cr, 1.2);
  for (int k = -16; k < 30; ++k) {
    cairo_move_to(cr, x + k * 9, 0);
    cairo_line_to(cr, x + k * 9 + 138, 138);
    cairo_move_to(cr, x + k * 9, 0);
    cairo_line_to(cr, x + k * 9 - 138, 138);
  }
  cairo_stroke(cr);
  cairo_restore(cr);
  cairo_save(cr);
  cairo_translate(cr, x + 49, 69);
  cairo_scale(cr, 26, 34);
  cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
  cairo_restore(cr);
  setRgb(cr, shade(blue, -0.3));
  cairo_fill_preserve(cr);
  setRgb(cr, kGold);
  cairo_set_line_width(cr, 2);
  cairo_stroke(cr);
  for (int suit = 0; suit < 4; ++suit) {
    const double dx[4] = {0, 13, 0, -13}, dy[4] = {-14, 0, 14, 0};
    cairo_new_path(cr);
    cairo_save(cr);
    cairo_translate(cr, x + 49 + dx[suit], 69 + dy[suit]);
    cairo_scale(cr, 7, 7);
    switch (suit) {
      case 0:
        spadePath(cr);
        break;
      case 1:
        heartPath(cr);
        break;
      case 2:
        clubPath(cr);
        break;
      default:
        diamondPath(cr);
        break;
    }
    cairo_restore(cr);
    setRgb(cr, kGold);
    cairo_fill(cr);
  }
  roundedRect(cr, x + 6, 6, 86, 126, 5);
  setRgb(cr, kGold);
  cairo_set_line_width(cr, 1.5);
  cairo_stroke(cr);
}

bool drawSurfaceSheet(const std::filesystem::path& dir, const stFonts& fonts) {
  CCanvas c(393, 138);
  cardBlank(c.cr(), 0);
  drawJoker(c.cr(), 99, true, fonts);
  drawJoker(c.cr(), 197, false, fonts);
  drawBack(c.cr(), 295);
  return c.save(dir / "poker_surface.png");
}

// [SECTION] Felt, plates and buttons

// Small deterministic grain, so the felt is the same on every build.
void addGrain(CCanvas& c, int amplitude) {
  cairo_surface_flush(c.surface());
  unsigned char* data = cairo_image_surface_get_data(c.surface());
  int stride = cairo_image_surface_get_stride(c.surface());
  std::uint32_t state = 0x9e3779b9u;
  for (int y = 0; y < c.height(); ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(data + y * stride);
    for (int x = 0; x < c.width(); ++x) {
      state ^= state << 13;
      state ^= state >> 17;
      state ^= state << 5;
      int d = static_cast<int>(state % (2 * amplitude + 1)) - amplitude;
      std::uint32_t p = row[x];
      auto channel = [&](int shift) {
        int v = static_cast<int>((p >> shift) & 0xff) + d;
        return static_cast<std::uint32_t>(std::clamp(v, 0, 255)) << shift;
      };
      row[x] = (p & 0xff000000u) | channel(16) | channel(8) | channel(0);
    }
  }
  cairo_surface_mark_dirty(c.surface());
}

bool drawFelt(const std::filesystem::path& dir) {
  CCanvas c(1024, 768);
  cairo_t* cr = c.cr();
  cairo_pattern_t* grad = cairo_pattern_create_radial(512, 384, 60, 512, 384, 700);
  cairo_pattern_add_color_stop_rgb(grad, 0, 0.16, 0.52, 0.26);
  cairo_pattern_add_color_stop_rgb(grad, 0.6, 0.09, 0.38, 0.18);
  cairo_pattern_add_color_stop_rgb(grad, 1, 0.03, 0.18, 0.08);
  cairo_set_source(cr, grad);
  cairo_paint(cr);
  cairo_pattern_destroy(grad);
  // The painted edge of the playing area.
  cairo_save(cr);
  cairo_translate(cr, 512, 400);
  cairo_scale(cr, 430, 250);
  cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
  cairo_restore(cr);
  cairo_set_source_rgba(cr, 1, 0.95, 0.7, 0.12);
  cairo_set_line_width(cr, 3);
  cairo_stroke(cr);
  cairo_save(cr);
  cairo_translate(cr, 512, 400);
  cairo_scale(cr, 418, 238);
  cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
  cairo_restore(cr);
  cairo_set_source_rgba(cr, 1, 0.95, 0.7, 0.06);
  cairo_set_line_width(cr, 1.5);
  cairo_stroke(cr);
  addGrain(c, 5);
  return c.save(dir / "bj.png");
}

struct stButtonStyle {
  stRgb top;
  stRgb bottom;
};

constexpr stButtonStyle kOrange{{1.0, 0.70, 0.22}, {0.88, 0.38, 0.05}};
constexpr stButtonStyle kBlue{{0.35, 0.62, 0.95}, {0.10, 0.32, 0.70}};
constexpr stButtonStyle kGreen{{0.38, 0.82, 0.36}, {0.10, 0.52, 0.14}};
constexpr stButtonStyle kSlate{{0.55, 0.60, 0.70}, {0.28, 0.32, 0.42}};

// A glossy pill; the pressed face is darker and sits 2 units lower on a
// thinner lip, so it reads as pushed in.
void drawButtonFace(cairo_t* cr, double x, double y, double w, double h, const std::string& text,
                    const stButtonStyle& style, bool pressed, const stFonts& fonts) {
  const double lip = 4, radius = h * 0.32;
  const double drop = pressed ? 2 : 0;
  stRgb top = pressed ? shade(style.top, -0.22) : style.top;
  stRgb bottom = pressed ? shade(style.bottom, -0.22) : style.bottom;
  roundedRect(cr, x + 1, y + 1 + lip, w - 2, h - 2 - lip, radius);
  setRgb(cr, shade(style.bottom, -0.55));
  cairo_fill(cr);
  double fy = y + 1 + drop, fh = h - 2 - lip;
  roundedRect(cr, x + 1, fy, w - 2, fh, radius);
  cairo_pattern_t* grad = cairo_pattern_create_linear(0, fy, 0, fy + fh);
  cairo_pattern_add_color_stop_rgb(grad, 0, top.r, top.g, top.b);
  cairo_pattern_add_color_stop_rgb(grad, 1, bottom.r, bottom.g, bottom.b);
  cairo_set_source(cr, grad);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(grad);
  setRgb(cr, shade(style.bottom, -0.45));
  cairo_set_line_width(cr, 1.5);
  cairo_stroke(cr);
  if (!pressed) {
    roundedRect(cr, x + 5, fy + 3, w - 10, fh * 0.42, radius * 0.8);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.28);
    cairo_fill(cr);
  }
  double inkHeight = std::min(fh * 0.5, 30.0);
  shadowedText(cr, fonts.cjk.get(), text, x + w / 2, fy + fh / 2, inkHeight, w - 2 * radius,
               {1, 1, 1}, 0.8);
}

bool drawButton(const std::filesystem::path& dir, const std::string& stem, int w, int h,
                const std::string& text, const stButtonStyle& style, const stFonts& fonts) {
  bool ok = true;
  for (bool pressed : {false, true}) {
    CCanvas c(w, h);
    drawButtonFace(c.cr(), 0, 0, w, h, text, style, pressed, fonts);
    ok = c.save(dir / (stem + (pressed ? "_press.png" : ".png"))) && ok;
  }
  return ok;
}

bool drawPlayCardSheet(const std::filesystem::path& dir, const stFonts& fonts) {
  CCanvas c(304, 61);
  drawButtonFace(c.cr(), 0, 0, 152, 61, "不出", kBlue, false, fonts);
  drawButtonFace(c.cr(), 152, 0, 152, 61, "出牌", kOrange, false, fonts);
  return c.save(dir / "poker_play_card.png");
}

bool drawReadyMarker(const std::filesystem::path& dir, const stFonts& fonts) {
  CCanvas c(70, 35);
  cairo_t* cr = c.cr();
  roundedRect(cr, 1.5, 1.5, 67, 32, 9);
  cairo_pattern_t* grad = cairo_pattern_create_linear(0, 0, 0, 35);
  cairo_pattern_add_color_stop_rgb(grad, 0, 1.0, 0.86, 0.35);
  cairo_pattern_add_color_stop_rgb(grad, 1, 0.93, 0.58, 0.08);
  cairo_set_source(cr, grad);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(grad);
  cairo_set_source_rgb(cr, 0.55, 0.25, 0.02);
  cairo_set_line_width(cr, 2);
  cairo_stroke(cr);
  cairo_new_path(cr);
  textPath(cr, fonts.cjk.get(), "准备", 35, 17.5, 17, 58);
  cairo_set_source_rgb(cr, 0.55, 0.12, 0.02);
  cairo_set_line_width(cr, 0.8);
  cairo_stroke_preserve(cr);
  cairo_fill(cr);
  return c.save(dir / "zhunbei.png");
}

// A light wooden plate with a caption at its left; the score plate's labels
// sit at x 80 and x 170, so it carries a divider between them.
void drawPlate(cairo_t* cr, double y, const std::string& caption, bool divider,
               const stFonts& fonts) {
  roundedRect(cr, 1, y + 1, 199, 34, 7);
  cairo_pattern_t* grad = cairo_pattern_create_linear(0, y, 0, y + 36);
  cairo_pattern_add_color_stop_rgb(grad, 0, 0.98, 0.92, 0.72);
  cairo_pattern_add_color_stop_rgb(grad, 1, 0.86, 0.72, 0.42);
  cairo_set_source(cr, grad);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(grad);
  cairo_set_source_rgb(cr, 0.45, 0.28, 0.08);
  cairo_set_line_width(cr, 2);
  cairo_stroke(cr);
  roundedRect(cr, 4, y + 4, 46, 28, 5);
  cairo_set_source_rgb(cr, 0.50, 0.30, 0.10);
  cairo_fill(cr);
  cairo_new_path(cr);
  textPath(cr, fonts.cjk.get(), caption, 27, y + 18, 15, 40);
  cairo_set_source_rgb(cr, 1, 0.93, 0.75);
  cairo_fill(cr);
  if (divider) {
    cairo_move_to(cr, 125, y + 8);
    cairo_line_to(cr, 125, y + 28);
    cairo_set_source_rgba(cr, 0.45, 0.28, 0.08, 0.6);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
  }
}

bool drawSucai(const std::filesystem::path& dir, const stFonts& fonts) {
  CCanvas c(201, 184);
  cairo_t* cr = c.cr();
  // Return icon: a round badge with a turning-back arrow.
  cairo_arc(cr, 18, 18, 16.5, 0, 2 * M_PI);
  cairo_pattern_t* grad = cairo_pattern_create_linear(0, 0, 0, 36);
  cairo_pattern_add_color_stop_rgb(grad, 0, kSlate.top.r, kSlate.top.g, kSlate.top.b);
  cairo_pattern_add_color_stop_rgb(grad, 1, kSlate.bottom.r, kSlate.bottom.g, kSlate.bottom.b);
  cairo_set_source(cr, grad);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(grad);
  cairo_set_source_rgb(cr, 0.15, 0.17, 0.22);
  cairo_set_line_width(cr, 1.5);
  cairo_stroke(cr);
  cairo_new_path(cr);
  cairo_arc_negative(cr, 18, 19, 9, -0.2, M_PI + 0.9);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_set_line_width(cr, 3);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_stroke(cr);
  cairo_move_to(cr, 27.5, 10);
  cairo_line_to(cr, 29, 19);
  cairo_line_to(cr, 20.5, 16.5);
  cairo_close_path(cr);
  cairo_fill(cr);
  drawPlate(cr, 37, "比分", true, fonts);
  drawPlate(cr, 74, "玩家", false, fonts);
  drawPlate(cr, 111, "胜局", false, fonts);
  drawPlate(cr, 148, "剩牌", false, fonts);
  return c.save(dir / "sucai.png");
}

// Sign-in plates: a caption box and a white field, the width of the sign-in form.
bool drawFieldPlate(const std::filesystem::path& dir, const std::string& file,
                    const std::string& caption, const stFonts& fonts) {
  CCanvas c(350, 60);
  cairo_t* cr = c.cr();
  roundedRect(cr, 1, 1, 348, 58, 10);
  cairo_set_source_rgba(cr, 0.05, 0.15, 0.08, 0.75);
  cairo_fill_preserve(cr);
  setRgb(cr, kGold);
  cairo_set_line_width(cr, 2);
  cairo_stroke(cr);
  shadowedText(cr, fonts.cjk.get(), caption, 55, 30, 20, 90, {1, 0.93, 0.75}, 0.5);
  roundedRect(cr, 110, 10, 228, 40, 6);
  cairo_set_source_rgb(cr, 0.98, 0.98, 0.96);
  cairo_fill_preserve(cr);
  cairo_set_source_rgb(cr, 0.6, 0.6, 0.6);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  return c.save(dir / file);
}

bool drawLoginPlate(const std::filesystem::path& dir, const stFonts& fonts) {
  CCanvas c(350, 60);
  drawButtonFace(c.cr(), 0, 0, 350, 60, "登 录", kOrange, false, fonts);
  return c.save(dir / "login.png");
}

bool drawSeparator(const std::filesystem::path& dir) {
  CCanvas c(10, 768);
  cairo_t* cr = c.cr();
  cairo_pattern_t* across = cairo_pattern_create_linear(0, 0, 10, 0);
  cairo_pattern_add_color_stop_rgba(across, 0, kGold.r, kGold.g, kGold.b, 0);
  cairo_pattern_add_color_stop_rgba(across, 0.5, 1, 0.95, 0.75, 1);
  cairo_pattern_add_color_stop_rgba(across, 1, kGold.r, kGold.g, kGold.b, 0);
  cairo_set_source(cr, across);
  cairo_pattern_t* along = cairo_pattern_create_linear(0, 0, 0, 768);
  cairo_pattern_add_color_stop_rgba(along, 0, 0, 0, 0, 0.1);
  cairo_pattern_add_color_stop_rgba(along, 0.5, 0, 0, 0, 0.9);
  cairo_pattern_add_color_stop_rgba(along, 1, 0, 0, 0, 0.1);
  cairo_mask(cr, along);
  cairo_pattern_destroy(along);
  cairo_pattern_destroy(across);
  return c.save(dir / "sep.png");
}

bool drawAddDeskPlate(const std::filesystem::path& dir) {
  CCanvas c(323, 60);
  cairo_t* cr = c.cr();
  roundedRect(cr, 1, 1, 321, 58, 14);
  cairo_set_source_rgba(cr, 0.02, 0.12, 0.05, 0.7);
  cairo_fill_preserve(cr);
  setRgb(cr, kGold);
  cairo_set_line_width(cr, 2);
  cairo_stroke(cr);
  roundedRect(cr, 6, 6, 311, 48, 10);
  setRgb(cr, kGold, 0.35);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  return c.save(dir / "add_desk_bg.png");
}

bool drawDigitMap(const std::filesystem::path& dir, const stFonts& fonts) {
  CCanvas c(140, 21);
  cairo_t* cr = c.cr();
  for (int d = 0; d < 10; ++d) {
    std::string text(1, static_cast<char>('0' + d));
    cairo_new_path(cr);
    textPath(cr, fonts.sans.get(), text, 14 * d + 7, 10.5, 16, 10);
    cairo_set_source_rgb(cr, 0.25, 0.10, 0.0);
    cairo_set_line_width(cr, 2.5);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke_preserve(cr);
    cairo_pattern_t* grad = cairo_pattern_create_linear(0, 2, 0, 19);
    cairo_pattern_add_color_stop_rgb(grad, 0, 1.0, 0.96, 0.6);
    cairo_pattern_add_color_stop_rgb(grad, 1, 1.0, 0.68, 0.0);
    cairo_set_source(cr, grad);
    cairo_fill(cr);
    cairo_pattern_destroy(grad);
  }
  return c.save(dir / "num.png");
}

// [SECTION] Preview: a table composed from the written files the way the
// client composes it, for looking at the set as a whole.

class CImage {
 public:
  explicit CImage(const std::filesystem::path& path)
      : surface_(cairo_image_surface_create_from_png(path.c_str())) {}
  ~CImage() { cairo_surface_destroy(surface_); }
  CImage(const CImage&) = delete;
  CImage& operator=(const CImage&) = delete;
  cairo_surface_t* get() const { return surface_; }

 private:
  cairo_surface_t* surface_;
};

// Draws the rectangle (fx, fy, fw, fh) of `image` scaled by `scale` with its
// centre on (cx, cy), y downward.
void blit(cairo_t* cr, const CImage& image, double fx, double fy, double fw, double fh, double cx,
          double cy, double scale = 1.0) {
  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  cairo_scale(cr, scale, scale);
  cairo_rectangle(cr, -fw / 2, -fh / 2, fw, fh);
  cairo_clip(cr);
  cairo_set_source_surface(cr, image.get(), -fw / 2 - fx, -fh / 2 - fy);
  cairo_paint(cr);
  cairo_restore(cr);
}

void previewCard(cairo_t* cr, const std::filesystem::path& dir, int code, double cx, double cy) {
  CImage surface(dir / "poker_surface.png"), nums(dir / "poker_num.png"),
      flowers(dir / "poker_flower.png");
  if (code >= 52) {
    blit(cr, surface, code == 52 ? 197 : 99, 0, 98, 138, cx, cy);
    return;
  }
  blit(cr, surface, 0, 0, 98, 138, cx, cy);
  int rank = code / 4, suit = code % 4;
  double left = cx - 49, top = cy - 69;
  blit(cr, nums, 39.0 * rank, suit >= 2 ? 39 : 0, 39, 39, left + 12, top + 20, 0.4);
  const int column[4] = {1, 3, 0, 2};
  blit(cr, flowers, 44.0 * column[suit], 0, 44, 42, left + 12, top + 45, 0.4);
}

bool writePreview(const std::filesystem::path& dir, const std::filesystem::path& out) {
  CCanvas c(1024, 768);
  cairo_t* cr = c.cr();
  CImage bj(dir / "bj.png"), sucai(dir / "sucai.png"), ready(dir / "ready.png"),
      put(dir / "put.png"), noput(dir / "noput_press.png"), ret(dir / "return.png"),
      num(dir / "num.png"), zhunbei(dir / "zhunbei.png"), surface(dir / "poker_surface.png"),
      join(dir / "add_desk_fast.png");
  blit(cr, bj, 0, 0, 1024, 768, 512, 384);
  blit(cr, sucai, 0, 37, 201, 36, 100.5, 18);
  blit(cr, ret, 0, 0, 96, 44, 1024 - 48, 22);
  // The hand: 27 cards laid out as the table does, three raised.
  const int n = 27;
  for (int k = 0; k < n; ++k) {
    int code = (k * 2 + 1) % 54;
    double x = 512 - 9.0 * (n - 1) + 18 * k + 98 / 4.0;
    double y = (k % 9 == 4) ? 70 : 45;
    previewCard(cr, dir, code, x, 768 - y);
  }
  // One play per seat, each card at cardX + width + 18 k.
  const int plays[4][5] = {
      {0, 4, 8, 12, 16}, {51, 47, 43, 39, -1}, {52, 53, -1, -1, -1}, {36, 37, 38, 9, 10}};
  const int originX[4] = {312, 512, 312, 0}, originY[4] = {250, 384, 584, 384};
  for (int s = 1; s < 4; ++s)
    for (int k = 0; k < 5 && plays[s][k] >= 0; ++k)
      previewCard(cr, dir, plays[s][k], originX[s] + 98 + 18 * k, 768 - originY[s]);
  blit(cr, zhunbei, 0, 0, 70, 35, 512, 768 - 184);
  blit(cr, surface, 295, 0, 98, 138, 900, 768 - 250, 0.6);
  blit(cr, num, 42, 0, 14, 21, 805, 768 - 200);
  blit(cr, num, 0, 0, 14, 21, 819, 768 - 200);
  blit(cr, put, 0, 0, 160, 64, 412, 768 - 170, 0.8);
  blit(cr, noput, 0, 0, 160, 64, 612, 768 - 170, 0.8);
  blit(cr, ready, 0, 0, 160, 64, 512, 768 - 300, 0.8);
  blit(cr, join, 0, 0, 240, 76, 150, 768 - 470, 0.8);
  const int gallery[10] = {0, 5, 10, 15, 33, 38, 44, 49, 52, 53};
  for (int slot = 0; slot < 10; ++slot)
    previewCard(cr, dir, gallery[slot], 560 + (slot % 5) * 100, 90 + (slot / 5) * 145);
  if (!c.save(out)) return false;

  // Real pixels, enlarged: a corner of the hand and the small sheets.
  CCanvas z(1024, 900);
  cairo_t* zr = z.cr();
  cairo_set_source_rgb(zr, 0.5, 0.5, 0.5);
  cairo_paint(zr);
  auto enlarged = [zr](cairo_surface_t* src, double sx, double sy, double sw, double sh, double dx,
                       double dy, double scale) {
    cairo_save(zr);
    cairo_translate(zr, dx, dy);
    cairo_scale(zr, scale, scale);
    cairo_rectangle(zr, 0, 0, sw, sh);
    cairo_clip(zr);
    cairo_set_source_surface(zr, src, -sx, -sy);
    cairo_pattern_set_filter(cairo_get_source(zr), CAIRO_FILTER_NEAREST);
    cairo_paint(zr);
    cairo_restore(zr);
  };
  enlarged(c.surface(), 250, 628, 340, 140, 0, 0, 3);
  CImage nums(dir / "poker_num.png"), flowers(dir / "poker_flower.png");
  enlarged(nums.get(), 0, 0, 507, 78, 0, 430, 2);
  enlarged(flowers.get(), 0, 0, 176, 42, 0, 600, 2);
  enlarged(sucai.get(), 0, 0, 201, 184, 380, 600, 1.5);
  enlarged(num.get(), 0, 0, 140, 21, 700, 600, 2);
  enlarged(zhunbei.get(), 0, 0, 70, 35, 700, 660, 2);
  return z.save(out.parent_path() / (out.stem().string() + "_zoom.png"));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && !(argc == 4 && std::strcmp(argv[2], "--preview") == 0)) {
    std::fprintf(stderr, "usage: %s <output folder> [--preview <file.png>]\n", argv[0]);
    return 2;
  }
  const std::filesystem::path dir = argv[1];
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  bool ok = true;
  {
    const stFonts fonts;
    ok = drawFlowerSheet(dir) && ok;
    ok = drawNumberSheet(dir, fonts) && ok;
    ok = drawSurfaceSheet(dir, fonts) && ok;
    ok = drawFelt(dir) && ok;
    ok = drawLoginPlate(dir, fonts) && ok;
    ok = drawFieldPlate(dir, "nick.png", "昵称", fonts) && ok;
    ok = drawFieldPlate(dir, "pass.png", "密码", fonts) && ok;
    ok = drawFieldPlate(dir, "rpass.png", "确认密码", fonts) && ok;
    ok = drawSeparator(dir) && ok;
    ok = drawAddDeskPlate(dir) && ok;
    ok = drawSucai(dir, fonts) && ok;
    ok = drawPlayCardSheet(dir, fonts) && ok;
    ok = drawReadyMarker(dir, fonts) && ok;
    ok = drawDigitMap(dir, fonts) && ok;
    ok = drawButton(dir, "add_desk_fast", 240, 76, "快速加入", kOrange, fonts) && ok;
    ok = drawButton(dir, "return", 96, 44, "返回", kSlate, fonts) && ok;
    ok = drawButton(dir, "put", 160, 64, "出牌", kOrange, fonts) && ok;
    ok = drawButton(dir, "noput", 160, 64, "不出", kBlue, fonts) && ok;
    ok = drawButton(dir, "ready", 160, 64, "准备", kGreen, fonts) && ok;
    if (ok && argc == 4) ok = writePreview(dir, argv[3]);
  }
  // Release the font caches so leak checkers see a clean exit.
  cairo_debug_reset_static_data();
  FcFini();
  return ok ? 0 : 1;
}
