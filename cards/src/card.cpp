// Per-card strengths, sorting and the card-list text.
#include "cards/card.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstdint>
#include <limits>

std::int32_t cardPlainStrength(CardCode code) {
  const std::int32_t rank = cardRank(code);
  if (rank == 13) return code + 100;
  if (rank == 0 || rank == 1) return code + 54;
  return code;
}

std::int32_t cardStrength(CardCode code) {
  if (code == kSpecialCard) return kTopStrength;
  return cardPlainStrength(code);
}

std::int32_t sameCodeStrength(CardCode code) {
  if (code == kSpecialCard) return kTopStrength;
  const std::int32_t rank = cardRank(code);
  if (rank == 13) return code + 500;
  // Codes near the ends of the int32 range (only ever from a corrupt message)
  // would overflow; saturate instead.
  std::int64_t strength = std::int64_t{code} + 52 * std::int64_t{cardSuit(code)};
  if (rank == 0 || rank == 1) strength += 52;
  return static_cast<std::int32_t>(
      std::clamp<std::int64_t>(strength, std::numeric_limits<std::int32_t>::min(),
                               std::numeric_limits<std::int32_t>::max()));
}

namespace {

// Valid codes fit in one 64-bit mask, so a counting sort over the codes that
// are present beats a comparison sort on lists longer than a few cards.
bool countingSort(CardList& cards) {
  std::uint8_t counts[64] = {};
  std::uint64_t present = 0;
  for (CardCode code : cards) {
    if (static_cast<std::uint32_t>(code) >= 64) return false;
    ++counts[code];
    present |= std::uint64_t{1} << code;
  }
  CardCode* out = cards.data();
  while (present != 0) {
    const CardCode code = std::countr_zero(present);
    present &= present - 1;
    *out++ = code;
    for (std::uint8_t more = counts[code]; more > 1; --more) *out++ = code;
  }
  return true;
}

}  // namespace

void sortCards(CardList& cards) {
  // The byte counters of the counting sort cover up to 255 copies of a code.
  if (cards.size() < 3 || cards.size() > 255 || !countingSort(cards)) {
    std::sort(cards.begin(), cards.end());
  }
}

namespace {

std::string_view upToZeroByte(std::string_view text) {
  return text.substr(0, std::min(text.find('\0'), text.size()));
}

bool isSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// atoi's reading, but saturating where atoi's overflow is undefined.
CardCode readInteger(std::string_view piece) {
  std::size_t i = 0;
  while (i < piece.size() && isSpace(piece[i])) ++i;
  bool negative = false;
  if (i < piece.size() && (piece[i] == '+' || piece[i] == '-')) negative = piece[i++] == '-';
  const std::int64_t limit = negative ? -std::int64_t{std::numeric_limits<std::int32_t>::min()}
                                      : std::int64_t{std::numeric_limits<std::int32_t>::max()};
  std::int64_t value = 0;
  for (; i < piece.size() && piece[i] >= '0' && piece[i] <= '9'; ++i) {
    value = std::min(limit, value * 10 + (piece[i] - '0'));
  }
  return static_cast<CardCode>(negative ? -value : value);
}

}  // namespace

void splitString(std::string_view text, std::string_view delimiter,
                 std::vector<std::string>& pieces) {
  pieces.clear();
  text = upToZeroByte(text);
  delimiter = upToZeroByte(delimiter);
  if (delimiter.empty()) {
    // Searching for nothing would never advance.
    if (!text.empty()) pieces.emplace_back(text);
    return;
  }
  std::size_t position = 0;
  while (position < text.size()) {
    const std::size_t found = text.find(delimiter, position);
    if (found == std::string_view::npos) {
      pieces.emplace_back(text.substr(position));
      break;
    }
    if (found > position) pieces.emplace_back(text.substr(position, found - position));
    position = found + delimiter.size();
  }
}

CardList parseCardList(std::string_view text) {
  std::vector<std::string> pieces;
  splitString(text, ",", pieces);
  CardList cards;
  cards.reserve(pieces.size());
  for (const std::string& piece : pieces) cards.push_back(readInteger(piece));
  return cards;
}

std::string formatCardList(std::span<const CardCode> cards) {
  std::string text;
  text.reserve(cards.size() * 4);
  char buffer[16];
  for (CardCode code : cards) {
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, code);
    text.append(buffer, result.ptr);
    text += ',';
  }
  return text;
}
