// The messages between client and server: reading the client's requests
// (numbers as JSON numbers) and writing the server's messages (every value a
// JSON string).
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "cards/card.h"

namespace server {

inline constexpr const char* kServerVersion = "26";

enum class RequestKind { Query, Add, Ready, Leave, Game, Other };

struct stRequest {
  RequestKind kind = RequestKind::Other;
  int desk = -1;
  int site = -1;
  std::string cards;  // "game" only, as sent
};

enum class ParseResult {
  Ok,
  Malformed,  // not a JSON object with a string "opt", or a known kind with mistyped keys
};

// Never throws and never reads past `text`; deeply nested input is parsed
// without recursion.
ParseResult parseRequest(std::string_view text, stRequest& request);

// True when `text` is a plain card-list text: decimal codes separated by
// commas, a trailing comma allowed, nothing else (the empty text is a pass).
// Looser texts that the card-list reader would still accept ("7x", " 7") are
// refused so that a play means exactly what it says.
bool isStrictCardListText(std::string_view text);

struct stSeatView {
  std::string name;  // empty: free seat
  int value = 0;     // ready flag in "change", result in "over"
};
using SeatViews = std::array<stSeatView, 4>;

std::string formatQueryReply(int online);
std::string formatAddReply(int desk, int site, std::string_view name);
std::string formatChange(const SeatViews& seats);
std::string formatStart(const CardList& hand);
// per / now -1 when there is no such seat.
std::string formatGame(int per, int surplus, int now, std::string_view cards, int score, bool must);
std::string formatScore(int p0, int p1);
std::string formatOver(const SeatViews& seats);
std::string formatRun(int site, std::string_view name);
std::string formatTimeout();

}  // namespace server
