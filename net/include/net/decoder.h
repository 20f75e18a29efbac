// Decoding of a server message text into an stMsg, free of sockets and
// threads. Every value is read as a JSON string; what is absent or of another
// type leaves its field at the initial value.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "net/message.h"

// The text up to its first NUL byte, parsed as one JSON document; nullopt
// when it is not valid JSON or is nested deeper than kMaxJsonDepth.
std::optional<stMsg> decodeMessage(const std::string& text);

// Converts as atoi does (leading white space, a sign, decimal digits up to the
// first other character, 0 without digits), clamped to the 32-bit range.
std::int32_t parseInteger(const char* text);

// Deepest nesting of arrays and objects in the JSON text up to its first NUL,
// scanning without recursion; stops counting once `limit` is passed.
int jsonDepth(const char* text, int limit);

// True when a decoded message must end the client: a query reply announcing
// another version than kClientVersion.
bool isVersionMismatch(const stMsg& message);
