// Fuzz body of the card-list text: splitString and parseCardList against
// plain readings of their rules, and the round trip through formatCardList.
#include <climits>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "cards/card.h"
#include "fuzz_bodies.h"
#include "fuzz_check.h"

namespace fuzz {
namespace {

std::string_view beforeZero(std::string_view text) {
  std::size_t zero = text.find('\0');
  return zero == std::string_view::npos ? text : text.substr(0, zero);
}

// Position by position: a delimiter is skipped, anything else grows the piece.
std::vector<std::string> referenceSplit(std::string_view text, std::string_view delimiter) {
  text = beforeZero(text);
  delimiter = beforeZero(delimiter);
  std::vector<std::string> pieces;
  if (delimiter.empty()) {
    if (!text.empty()) pieces.emplace_back(text);
    return pieces;
  }
  std::string piece;
  std::size_t at = 0;
  while (at < text.size()) {
    if (text.substr(at, delimiter.size()) == delimiter) {
      if (!piece.empty()) pieces.push_back(piece);
      piece.clear();
      at += delimiter.size();
    } else {
      piece += text[at++];
    }
  }
  if (!piece.empty()) pieces.push_back(piece);
  return pieces;
}

CardCode referenceInteger(const std::string& piece) {
  long long value = std::strtoll(piece.c_str(), nullptr, 10);
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<CardCode>(value);
}

}  // namespace

void cardText(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return;
  const std::size_t delimiterSize = std::min<std::size_t>(data[0] % 4, size - 1);
  const std::string_view delimiter(reinterpret_cast<const char*>(data + 1), delimiterSize);
  const std::string_view text(reinterpret_cast<const char*>(data + 1 + delimiterSize),
                              size - 1 - delimiterSize);

  std::vector<std::string> pieces{"stale"};
  splitString(text, delimiter, pieces);
  FUZZ_CHECK(pieces == referenceSplit(text, delimiter));

  // The whole input as a card-list text.
  const std::string_view whole(reinterpret_cast<const char*>(data), size);
  const CardList cards = parseCardList(whole);
  const std::vector<std::string> commaPieces = referenceSplit(whole, ",");
  FUZZ_CHECK(cards.size() == commaPieces.size());
  for (std::size_t i = 0; i < cards.size(); ++i) {
    FUZZ_CHECK(cards[i] == referenceInteger(commaPieces[i]));
  }

  const std::string written = formatCardList(cards);
  FUZZ_CHECK(written.size() >= 2 * cards.size());
  FUZZ_CHECK(cards.empty() ? written.empty() : written.back() == ',');
  FUZZ_CHECK(parseCardList(written) == cards);
  // The automatic lead's form, without the last comma, reads the same.
  if (!written.empty()) {
    FUZZ_CHECK(parseCardList(std::string_view(written).substr(0, written.size() - 1)) == cards);
  }
}

}  // namespace fuzz
