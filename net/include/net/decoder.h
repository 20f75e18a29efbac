// Decoding of a server message text into an stMsg, free of sockets and
// threads. Every value is read as a JSON string; what is absent or of another
// type leaves its field at the initial value.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "net/message.h"

// Parses the text up to its first NUL byte as one JSON document with
// rapidjson's default flags and fills `message` by its kind; false when the
// text is not valid JSON or is nested deeper than kMaxJsonDepth. Keeps its
// parsing memory from one text to the next; one decoder per thread.
class CMessageDecoder {
 public:
  CMessageDecoder();
  ~CMessageDecoder();
  CMessageDecoder(const CMessageDecoder&) = delete;
  CMessageDecoder& operator=(const CMessageDecoder&) = delete;

  bool decode(const std::string& text, stMsg& message);

 private:
  struct Memory;
  std::unique_ptr<Memory> memory_;
};

// The same with a decoder of its own: a fresh record, or nullopt.
std::optional<stMsg> decodeMessage(const std::string& text);

// Converts as atoi does (leading white space, a sign, decimal digits up to the
// first other character, 0 without digits), clamped to the 32-bit range.
std::int32_t parseInteger(const char* text);

// True when a decoded message must end the client: a query reply announcing
// another version than kClientVersion.
bool isVersionMismatch(const stMsg& message);
