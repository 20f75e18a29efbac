// Text to surfaces with SDL_ttf. Each code point is drawn with the requested
// font when it has the glyph, else with a fallback font that fontconfig finds
// (names from the server may be Chinese; Liberation Sans has no CJK glyphs).
#include <SDL_ttf.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "engine/sdl/sdl_canvas.h"

namespace engine::sdl {
namespace {

// Fonts are opened once per (file, index, size) and kept for the process.
std::mutex& fontMutex() {
  static std::mutex mutex;
  return mutex;
}

struct FontKey {
  std::string file;
  int index;
  int size;
  bool operator<(const FontKey& o) const {
    return std::tie(file, index, size) < std::tie(o.file, o.index, o.size);
  }
};

TTF_Font* openFont(const std::string& file, int index, int size) {
  static auto* fonts = new std::map<FontKey, TTF_Font*>;
  if (!TTF_WasInit() && TTF_Init() != 0) return nullptr;
  FontKey key{file, index, size};
  auto it = fonts->find(key);
  if (it != fonts->end()) return it->second;
  TTF_Font* font = file.empty() ? nullptr : TTF_OpenFontIndex(file.c_str(), size, index);
  fonts->emplace(key, font);
  return font;
}

std::string matchFont(const char* pattern, std::uint32_t codePoint, int* faceIndex) {
  // Released at exit so that leak checkers see fontconfig's caches go.
  static bool initialised = FcInit() && std::atexit(FcFini) == 0;
  if (!initialised) return "";
  FcPattern* query = FcNameParse(reinterpret_cast<const FcChar8*>(pattern));
  if (!query) return "";
  FcCharSet* chars = nullptr;
  if (codePoint) {
    chars = FcCharSetCreate();
    FcCharSetAddChar(chars, codePoint);
    FcPatternAddCharSet(query, FC_CHARSET, chars);
  }
  FcConfigSubstitute(nullptr, query, FcMatchPattern);
  FcDefaultSubstitute(query);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, query, &result);
  std::string file;
  if (match) {
    FcChar8* path = nullptr;
    FcCharSet* has = nullptr;
    bool covers = !codePoint || (FcPatternGetCharSet(match, FC_CHARSET, 0, &has) == FcResultMatch &&
                                 FcCharSetHasChar(has, codePoint));
    if (covers && FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch) {
      file = reinterpret_cast<const char*>(path);
      int index = 0;
      FcPatternGetInteger(match, FC_INDEX, 0, &index);
      if (faceIndex) *faceIndex = index;
    }
    FcPatternDestroy(match);
  }
  if (chars) FcCharSetDestroy(chars);
  FcPatternDestroy(query);
  return file;
}

std::vector<std::uint32_t> decodeUtf8(const std::string& text) {
  std::vector<std::uint32_t> out;
  std::size_t i = 0;
  while (i < text.size()) {
    auto c = static_cast<unsigned char>(text[i]);
    int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
    bool truncated = extra > 0 && i + static_cast<std::size_t>(extra) >= text.size();
    if (extra < 0 || truncated) {
      // A malformed byte stands for itself as the replacement character.
      out.push_back(0xFFFD);
      ++i;
      continue;
    }
    std::uint32_t cp = extra == 0 ? c : c & (0x3F >> extra);
    bool ok = true;
    for (int k = 1; k <= extra; ++k) {
      auto cc = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
      if ((cc >> 6) != 2) {
        ok = false;
        break;
      }
      cp = (cp << 6) | (cc & 0x3F);
    }
    if (!ok) {
      out.push_back(0xFFFD);
      ++i;
      continue;
    }
    out.push_back(cp);
    i += static_cast<std::size_t>(extra) + 1;
  }
  return out;
}

void appendUtf8(std::string& out, std::uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

bool isCjk(std::uint32_t cp) {
  return cp >= 0x2E80;
}

struct Run {
  TTF_Font* font;
  std::string text;
  int width = 0;
};

struct Line {
  std::vector<Run> runs;
  int width = 0;
};

class Shaper {
 public:
  Shaper(const TextStyle& style) {
    size_ = std::max(1, static_cast<int>(std::lround(style.fontSize)));
    int index = 0;
    std::string file = style.fontFile;
    if (!file.empty()) primary_ = openFont(file, 0, size_);
    if (!primary_) {
      file = defaultFontFile(&index);
      primary_ = openFont(file, index, size_);
    }
  }

  TTF_Font* primary() const { return primary_; }

  TTF_Font* fontFor(std::uint32_t cp) {
    if (!primary_) return nullptr;
    if (cp < 0x10000 ? TTF_GlyphIsProvided(primary_, static_cast<Uint16>(cp))
                     : TTF_GlyphIsProvided32(primary_, cp)) {
      return primary_;
    }
    auto it = fallbacks_.find(cp);
    if (it != fallbacks_.end()) return it->second;
    int index = 0;
    std::string file = fallbackFontFor(cp, &index);
    TTF_Font* font = file.empty() ? nullptr : openFont(file, index, size_);
    if (!font) font = primary_;
    fallbacks_.emplace(cp, font);
    return font;
  }

  int measure(TTF_Font* font, const std::string& text) {
    int w = 0;
    int h = 0;
    if (font && !text.empty()) TTF_SizeUTF8(font, text.c_str(), &w, &h);
    return w;
  }

 private:
  int size_ = 12;
  TTF_Font* primary_ = nullptr;
  std::map<std::uint32_t, TTF_Font*> fallbacks_;
};

// A piece that does not break inside: a word with its trailing blanks, or one
// CJK character.
struct Token {
  std::vector<std::uint32_t> cps;
};

std::vector<Token> tokenize(const std::vector<std::uint32_t>& cps) {
  std::vector<Token> tokens;
  Token current;
  bool inBlanks = false;
  for (std::uint32_t cp : cps) {
    if (isCjk(cp)) {
      if (!current.cps.empty()) tokens.push_back(std::move(current));
      current = Token{};
      tokens.push_back(Token{{cp}});
      inBlanks = false;
      continue;
    }
    bool blank = cp == ' ' || cp == '\t';
    if (!blank && inBlanks && !current.cps.empty()) {
      tokens.push_back(std::move(current));
      current = Token{};
    }
    inBlanks = blank;
    current.cps.push_back(cp);
  }
  if (!current.cps.empty()) tokens.push_back(std::move(current));
  return tokens;
}

void appendToLine(Line& line, Shaper& shaper, const std::vector<std::uint32_t>& cps) {
  for (std::uint32_t cp : cps) {
    TTF_Font* font = shaper.fontFor(cp);
    if (line.runs.empty() || line.runs.back().font != font) line.runs.push_back(Run{font, ""});
    appendUtf8(line.runs.back().text, cp == '\t' ? ' ' : cp);
  }
  line.width = 0;
  for (Run& run : line.runs) {
    run.width = shaper.measure(run.font, run.text);
    line.width += run.width;
  }
}

int tokenWidth(Shaper& shaper, const Token& token) {
  Line line;
  appendToLine(line, shaper, token.cps);
  return line.width;
}

std::vector<Line> layoutLines(const std::string& text, Shaper& shaper, float wrapWidth) {
  std::vector<Line> lines;
  std::vector<std::uint32_t> all = decodeUtf8(text);
  std::vector<std::vector<std::uint32_t>> paragraphs(1);
  for (std::uint32_t cp : all) {
    if (cp == '\n') {
      paragraphs.emplace_back();
    } else if (cp != '\r') {
      paragraphs.back().push_back(cp);
    }
  }
  for (const auto& paragraph : paragraphs) {
    if (wrapWidth <= 0) {
      Line line;
      appendToLine(line, shaper, paragraph);
      lines.push_back(std::move(line));
      continue;
    }
    std::vector<std::uint32_t> current;
    int currentWidth = 0;
    for (const Token& token : tokenize(paragraph)) {
      int w = tokenWidth(shaper, token);
      if (!current.empty() && currentWidth + w > wrapWidth) {
        // Blanks at the end of a wrapped line do not count.
        while (!current.empty() && current.back() == ' ') current.pop_back();
        Line line;
        appendToLine(line, shaper, current);
        lines.push_back(std::move(line));
        current.clear();
        currentWidth = 0;
      }
      current.insert(current.end(), token.cps.begin(), token.cps.end());
      currentWidth += w;
    }
    Line line;
    appendToLine(line, shaper, current);
    lines.push_back(std::move(line));
  }
  return lines;
}

}  // namespace

std::string fallbackFontFor(std::uint32_t codePoint, int* faceIndex) {
  std::lock_guard lock(fontMutex());
  static auto* cache = new std::map<std::uint32_t, std::pair<std::string, int>>;
  auto it = cache->find(codePoint);
  if (it == cache->end()) {
    int index = 0;
    std::string file = matchFont("sans-serif:lang=zh-cn", codePoint, &index);
    if (file.empty()) file = matchFont("sans-serif", codePoint, &index);
    it = cache->emplace(codePoint, std::make_pair(file, index)).first;
  }
  if (faceIndex) *faceIndex = it->second.second;
  return it->second.first;
}

std::string defaultFontFile(int* faceIndex) {
  std::lock_guard lock(fontMutex());
  static int index = 0;
  static std::string file = [] {
    // A font with Chinese glyphs, since most box texts are Chinese.
    std::string f = matchFont("sans-serif:lang=zh-cn", 0x4E2D, &index);
    if (f.empty()) f = matchFont("sans-serif", 0, &index);
    return f;
  }();
  if (faceIndex) *faceIndex = index;
  return file;
}

// Texts come from the server too (seat names): one far longer than any screen
// can show is cut, and no text claims a surface beyond this side, so that a
// label's memory stays bounded whatever it is given.
constexpr std::size_t kMaxTextBytes = 4096;
constexpr int kMaxSurfaceSide = 4096;

std::string_view drawablePart(const std::string& text) {
  if (text.size() <= kMaxTextBytes) return text;
  std::size_t end = kMaxTextBytes;
  // Never cut inside a UTF-8 sequence.
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  return std::string_view(text).substr(0, end);
}

SDL_Surface* renderTextSurface(const std::string& fullText, const TextStyle& style) {
  if (fullText.empty()) return nullptr;
  Shaper shaper(style);
  TTF_Font* primary = shaper.primary();
  if (!primary) return nullptr;
  const std::string text(drawablePart(fullText));
  std::vector<Line> lines = layoutLines(text, shaper, style.wrapWidth);
  int lineHeight = TTF_FontLineSkip(primary);
  int ascent = TTF_FontAscent(primary);
  for (const Line& line : lines) {
    for (const Run& run : line.runs) {
      if (run.font) {
        lineHeight = std::max(lineHeight, TTF_FontLineSkip(run.font));
        ascent = std::max(ascent, TTF_FontAscent(run.font));
      }
    }
  }
  int width = 1;
  for (const Line& line : lines) width = std::max(width, line.width);
  width = std::min(width, kMaxSurfaceSide);
  int height = std::clamp(
      lineHeight * static_cast<int>(std::min<std::size_t>(lines.size(), kMaxSurfaceSide)), 1,
      kMaxSurfaceSide);
  SDL_Surface* surface =
      SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ARGB8888);
  if (!surface) return nullptr;
  SDL_FillRect(surface, nullptr, SDL_MapRGBA(surface->format, 255, 255, 255, 0));
  SDL_Color white{255, 255, 255, 255};
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const Line& line = lines[i];
    int x = 0;
    if (style.align == TextHAlignment::CENTER) x = (width - line.width) / 2;
    if (style.align == TextHAlignment::RIGHT) x = width - line.width;
    int top = lineHeight * static_cast<int>(i);
    for (const Run& run : line.runs) {
      if (!run.font || run.text.empty()) continue;
      SDL_Surface* glyphs = TTF_RenderUTF8_Blended(run.font, run.text.c_str(), white);
      if (!glyphs) continue;
      // Runs of other fonts share the line's baseline.
      SDL_Rect at{x, top + ascent - TTF_FontAscent(run.font), glyphs->w, glyphs->h};
      SDL_SetSurfaceBlendMode(glyphs, SDL_BLENDMODE_NONE);
      SDL_BlitSurface(glyphs, nullptr, surface, &at);
      SDL_FreeSurface(glyphs);
      x += run.width;
    }
  }
  return surface;
}

}  // namespace engine::sdl
