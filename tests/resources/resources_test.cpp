// Checks the resources placed beside the executables: every image at its exact
// size, every sprite-frame rectangle holding a picture of the right colour,
// the font and the configuration.
#include <cairo.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/configuration.h"

namespace {

struct stImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // premultiplied ARGB, row by row

  std::uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

std::unique_ptr<stImage> loadPng(const std::string& file) {
  cairo_surface_t* s = cairo_image_surface_create_from_png(file.c_str());
  if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(s);
    return nullptr;
  }
  // Whatever format the file has, read it back as ARGB32.
  auto image = std::make_unique<stImage>();
  image->width = cairo_image_surface_get_width(s);
  image->height = cairo_image_surface_get_height(s);
  cairo_surface_t* argb =
      cairo_image_surface_create(CAIRO_FORMAT_ARGB32, image->width, image->height);
  cairo_t* cr = cairo_create(argb);
  cairo_set_source_surface(cr, s, 0, 0);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_paint(cr);
  cairo_destroy(cr);
  cairo_surface_flush(argb);
  const unsigned char* data = cairo_image_surface_get_data(argb);
  int stride = cairo_image_surface_get_stride(argb);
  image->pixels.resize(static_cast<size_t>(image->width) * image->height);
  for (int y = 0; y < image->height; ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(data + y * stride);
    std::copy(row, row + image->width, image->pixels.begin() + static_cast<long>(y) * image->width);
  }
  cairo_surface_destroy(argb);
  cairo_surface_destroy(s);
  return image;
}

// Images are loaded once per file for the whole test program.
const stImage* image(const std::string& file) {
  static std::map<std::string, std::unique_ptr<stImage>> cache;
  auto it = cache.find(file);
  if (it == cache.end()) it = cache.emplace(file, loadPng(file)).first;
  return it->second.get();
}

struct stRect {
  int x, y, w, h;
};

// What a rectangle of an image holds.
struct stStats {
  double inked = 0;  // share of pixels at least half opaque
  double red = 0;    // mean un-premultiplied channels of the inked pixels
  double green = 0;
  double blue = 0;
  int lumaRange = 0;       // brightest minus darkest inked pixel
  std::vector<bool> mask;  // inked or not, row by row
};

stStats measure(const stImage& img, stRect r) {
  stStats st;
  int count = 0, minLuma = 255, maxLuma = 0;
  for (int y = r.y; y < r.y + r.h; ++y) {
    for (int x = r.x; x < r.x + r.w; ++x) {
      std::uint32_t p = img.at(x, y);
      int a = static_cast<int>(p >> 24);
      bool ink = a >= 128;
      st.mask.push_back(ink);
      if (!ink) continue;
      double R = ((p >> 16) & 0xff) * 255.0 / a, G = ((p >> 8) & 0xff) * 255.0 / a,
             B = (p & 0xff) * 255.0 / a;
      st.red += R;
      st.green += G;
      st.blue += B;
      int luma = static_cast<int>(0.3 * R + 0.59 * G + 0.11 * B);
      minLuma = std::min(minLuma, luma);
      maxLuma = std::max(maxLuma, luma);
      ++count;
    }
  }
  st.inked = static_cast<double>(count) / (r.w * r.h);
  if (count > 0) {
    st.red /= count;
    st.green /= count;
    st.blue /= count;
    st.lumaRange = maxLuma - minLuma;
  }
  return st;
}

double maskDifference(const std::vector<bool>& a, const std::vector<bool>& b) {
  size_t differ = 0;
  for (size_t i = 0; i < a.size() && i < b.size(); ++i) differ += a[i] != b[i];
  return static_cast<double>(differ) / static_cast<double>(a.size());
}

struct stFile {
  const char* name;
  int width, height;
};

const stFile kFiles[] = {
    {"poker_flower.png", 176, 42},
    {"poker_num.png", 507, 78},
    {"poker_surface.png", 393, 138},
    {"login.png", 350, 60},
    {"nick.png", 350, 60},
    {"pass.png", 350, 60},
    {"rpass.png", 350, 60},
    {"sep.png", 10, 768},
    {"add_desk_bg.png", 323, 60},
    {"sucai.png", 201, 184},
    {"poker_play_card.png", 304, 61},
    {"zhunbei.png", 70, 35},
    {"bj.png", 1024, 768},
    {"num.png", 140, 21},
};

struct stFrame {
  std::string name;
  const char* file;
  stRect rect;
};

std::vector<stFrame> frameTable() {
  std::vector<stFrame> frames = {
      {"flower2", "poker_flower.png", {0, 0, 44, 42}},
      {"flower0", "poker_flower.png", {44, 0, 44, 42}},
      {"flower3", "poker_flower.png", {88, 0, 44, 42}},
      {"flower1", "poker_flower.png", {132, 0, 44, 42}},
  };
  for (int i = 0; i < 13; ++i) {
    frames.push_back({"r_num" + std::to_string(i), "poker_num.png", {39 * i, 39, 39, 39}});
    frames.push_back({"b_num" + std::to_string(i), "poker_num.png", {39 * i, 0, 39, 39}});
  }
  std::vector<stFrame> rest = {
      {"front", "poker_surface.png", {0, 0, 98, 138}},
      {"r_joker", "poker_surface.png", {99, 0, 98, 138}},
      {"b_joker", "poker_surface.png", {197, 0, 98, 138}},
      {"back", "poker_surface.png", {295, 0, 98, 138}},
      {"login", "login.png", {0, 0, 350, 60}},
      {"nick", "nick.png", {0, 0, 350, 60}},
      {"pass", "pass.png", {0, 0, 350, 60}},
      {"rpass", "rpass.png", {0, 0, 350, 60}},
      {"sep", "sep.png", {0, 0, 10, 768}},
      {"add_desk_bg", "add_desk_bg.png", {0, 0, 323, 60}},
      {"return", "sucai.png", {0, 0, 36, 36}},
      {"score", "sucai.png", {0, 37, 201, 36}},
      {"nickname", "sucai.png", {0, 74, 201, 36}},
      {"win", "sucai.png", {0, 111, 201, 36}},
      {"surplus", "sucai.png", {0, 148, 201, 36}},
      {"noputbtn", "poker_play_card.png", {0, 0, 152, 61}},
      {"putbtn", "poker_play_card.png", {152, 0, 152, 61}},
      {"zhunbei", "zhunbei.png", {0, 0, 70, 35}},
      {"beijing", "bj.png", {0, 0, 1024, 768}},
  };
  frames.insert(frames.end(), rest.begin(), rest.end());
  return frames;
}

bool isRed(const stStats& s) {
  return s.red > 150 && s.green < 90 && s.blue < 90;
}
bool isDark(const stStats& s) {
  return std::max({s.red, s.green, s.blue}) < 70;
}

TEST(Resources, SheetsHaveTheirExactSizes) {
  for (const stFile& f : kFiles) {
    SCOPED_TRACE(f.name);
    const stImage* img = image(f.name);
    ASSERT_NE(img, nullptr) << "missing or unreadable";
    EXPECT_EQ(img->width, f.width);
    EXPECT_EQ(img->height, f.height);
  }
}

TEST(Resources, EveryFrameRectangleHoldsAPicture) {
  const auto frames = frameTable();
  ASSERT_EQ(frames.size(), 49u);
  for (const stFrame& f : frames) {
    SCOPED_TRACE(f.name);
    const stImage* img = image(f.file);
    ASSERT_NE(img, nullptr);
    ASSERT_LE(f.rect.x + f.rect.w, img->width);
    ASSERT_LE(f.rect.y + f.rect.h, img->height);
    stStats s = measure(*img, f.rect);
    EXPECT_GT(s.inked, 0.05) << "rectangle is blank";
    // A shape on transparency, or an opaque picture with some light and shade.
    EXPECT_TRUE(s.inked < 0.98 || s.lumaRange > 15) << "rectangle is a flat fill";
  }
}

TEST(Resources, RankRowsAreRedBelowBlackAndShowThirteenDifferentGlyphs) {
  const stImage* img = image("poker_num.png");
  ASSERT_NE(img, nullptr);
  std::vector<stStats> black, red;
  for (int i = 0; i < 13; ++i) {
    black.push_back(measure(*img, {39 * i, 0, 39, 39}));
    red.push_back(measure(*img, {39 * i, 39, 39, 39}));
  }
  for (int i = 0; i < 13; ++i) {
    SCOPED_TRACE("column " + std::to_string(i));
    EXPECT_TRUE(isDark(black[i])) << black[i].red << "," << black[i].green << "," << black[i].blue;
    EXPECT_TRUE(isRed(red[i])) << red[i].red << "," << red[i].green << "," << red[i].blue;
    // Both rows show the same rank in a column.
    EXPECT_LT(maskDifference(black[i].mask, red[i].mask), 0.02);
    for (int j = 0; j < i; ++j) {
      SCOPED_TRACE("against column " + std::to_string(j));
      EXPECT_GT(maskDifference(black[i].mask, black[j].mask), 0.05);
    }
  }
}

TEST(Resources, PipsHaveTheColourOfTheirSuitsNumbers) {
  const stImage* img = image("poker_flower.png");
  ASSERT_NE(img, nullptr);
  // Left to right the sheet holds suits 2, 0, 3, 1; suits 0 and 1 take black numbers.
  const int suitAtColumn[4] = {2, 0, 3, 1};
  std::vector<std::vector<bool>> masks;
  for (int col = 0; col < 4; ++col) {
    SCOPED_TRACE("suit " + std::to_string(suitAtColumn[col]));
    stStats s = measure(*img, {44 * col, 0, 44, 42});
    if (suitAtColumn[col] < 2)
      EXPECT_TRUE(isDark(s));
    else
      EXPECT_TRUE(isRed(s));
    for (size_t j = 0; j < masks.size(); ++j) EXPECT_GT(maskDifference(s.mask, masks[j]), 0.05);
    masks.push_back(s.mask);
  }
}

TEST(Resources, SheetGapsStayEmpty) {
  struct stGap {
    const char* file;
    stRect rect;
  };
  // The unit between the blank face and the red joker, and between sucai's pieces.
  const stGap gaps[] = {
      {"poker_surface.png", {98, 0, 1, 138}}, {"sucai.png", {0, 36, 201, 1}},
      {"sucai.png", {0, 73, 201, 1}},         {"sucai.png", {0, 110, 201, 1}},
      {"sucai.png", {0, 147, 201, 1}},        {"sucai.png", {37, 0, 164, 36}},
  };
  for (const stGap& g : gaps) {
    SCOPED_TRACE(std::string(g.file) + " x " + std::to_string(g.rect.x) + " y " +
                 std::to_string(g.rect.y));
    const stImage* img = image(g.file);
    ASSERT_NE(img, nullptr);
    EXPECT_EQ(measure(*img, g.rect).inked, 0.0);
  }
}

TEST(Resources, DigitMapHoldsTenDifferentDigits) {
  const stImage* img = image("num.png");
  ASSERT_NE(img, nullptr);
  ASSERT_EQ(img->width, 10 * 14);
  ASSERT_EQ(img->height, 21);
  std::vector<std::vector<bool>> masks;
  for (int d = 0; d < 10; ++d) {
    SCOPED_TRACE("digit " + std::to_string(d));
    stStats s = measure(*img, {14 * d, 0, 14, 21});
    EXPECT_GT(s.inked, 0.1);
    for (size_t j = 0; j < masks.size(); ++j) EXPECT_GT(maskDifference(s.mask, masks[j]), 0.03);
    masks.push_back(s.mask);
  }
}

TEST(Resources, ButtonsHaveAPressedFaceOfTheSameSize) {
  const char* const buttons[] = {"add_desk_fast", "return", "put", "noput", "ready"};
  for (const char* stem : buttons) {
    SCOPED_TRACE(stem);
    const stImage* normal = image(std::string(stem) + ".png");
    const stImage* pressed = image(std::string(stem) + "_press.png");
    ASSERT_NE(normal, nullptr);
    ASSERT_NE(pressed, nullptr);
    EXPECT_EQ(normal->width, pressed->width);
    EXPECT_EQ(normal->height, pressed->height);
    EXPECT_NE(normal->pixels, pressed->pixels);
    stStats s = measure(*normal, {0, 0, normal->width, normal->height});
    EXPECT_GT(s.inked, 0.6);
    EXPECT_GT(s.lumaRange, 100) << "no legible caption";
  }
}

TEST(Resources, FontIsATrueTypeFile) {
  std::ifstream in("fonts/arial.ttf", std::ios::binary);
  ASSERT_TRUE(in.good());
  char magic[4] = {};
  in.read(magic, 4);
  EXPECT_EQ(std::string(magic, 4), std::string("\0\1\0\0", 4));
  in.seekg(0, std::ios::end);
  EXPECT_GT(in.tellg(), 100000);
}

TEST(Resources, ConfigurationNamesTheTitleAndTheLocalServer) {
  auto* config = engine::Configuration::getInstance();
  config->clear();
  ASSERT_TRUE(config->loadConfigFile("config/strings.plist"));
  EXPECT_FALSE(config->getValue("title").asString().empty());
  EXPECT_EQ(config->getValue("host").asString(), "127.0.0.1");
  EXPECT_EQ(config->getValue("port").asString(), "9999");
}

}  // namespace
