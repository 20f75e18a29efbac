// Message decoding with rapidjson's default parse, guarded by a depth scan:
// the default parser recurses once per nesting level and would overflow the
// stack on a text of a few hundred thousand "[".
#include "net/decoder.h"

#include <rapidjson/document.h>

#include <climits>

#include "net/protocol.h"

namespace {

using JsonValue = rapidjson::Value;

const JsonValue* findMember(const JsonValue& object, const char* key) {
  auto member = object.FindMember(key);  // the first of duplicate keys
  return member == object.MemberEnd() ? nullptr : &member->value;
}

void readText(const JsonValue& object, const char* key, std::string& field) {
  const JsonValue* value = findMember(object, key);
  if (value && value->IsString()) field.assign(value->GetString());  // up to the first NUL
}

void readInteger(const JsonValue& object, const char* key, std::int32_t& field) {
  const JsonValue* value = findMember(object, key);
  if (value && value->IsString()) field = parseInteger(value->GetString());
}

void readSeats(const JsonValue& root, const char* integerKey, std::int32_t stSeatInfo::*integer,
               stMsg& message) {
  const JsonValue* info = findMember(root, "info");
  if (!info || !info->IsArray()) return;
  rapidjson::SizeType count = info->Size() < 4 ? info->Size() : 4;
  for (rapidjson::SizeType i = 0; i < count; ++i) {
    const JsonValue& seat = (*info)[i];
    if (!seat.IsObject()) continue;
    readText(seat, "name", message.info[i].name);
    readInteger(seat, integerKey, message.info[i].*integer);
  }
}

bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

std::int32_t parseInteger(const char* text) {
  const char* p = text;
  while (isBlank(*p)) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  // atoi leaves overflow undefined; saturate instead.
  constexpr std::int64_t kLimit = static_cast<std::int64_t>(INT32_MAX) + 1;
  std::int64_t value = 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    value = value * 10 + (*p - '0');
    if (value > kLimit) value = kLimit;
  }
  if (negative) value = -value;
  if (value > INT32_MAX) value = INT32_MAX;
  return static_cast<std::int32_t>(value);
}

int jsonDepth(const char* text, int limit) {
  int depth = 0;
  int deepest = 0;
  bool inString = false;
  for (const char* p = text; *p != '\0'; ++p) {
    char c = *p;
    if (inString) {
      if (c == '\\') {
        if (p[1] == '\0') break;
        ++p;
      } else if (c == '"') {
        inString = false;
      }
      continue;
    }
    if (c == '"') {
      inString = true;
    } else if (c == '[' || c == '{') {
      if (++depth > deepest) {
        deepest = depth;
        if (deepest > limit) break;
      }
    } else if ((c == ']' || c == '}') && depth > 0) {
      --depth;
    }
  }
  return deepest;
}

std::optional<stMsg> decodeMessage(const std::string& text) {
  if (jsonDepth(text.c_str(), kMaxJsonDepth) > kMaxJsonDepth) return std::nullopt;
  rapidjson::Document document;
  document.Parse(text.c_str());
  if (document.HasParseError()) return std::nullopt;

  stMsg message;
  if (!document.IsObject()) return message;
  readText(document, "opt", message.opt);
  const std::string& opt = message.opt;
  if (opt == "query") {
    readText(document, "online", message.online);
    readText(document, "version", message.version);
  } else if (opt == "add") {
    readInteger(document, "desk", message.desk);
    readInteger(document, "site", message.site);
    readText(document, "name", message.name);
  } else if (opt == "change") {
    readSeats(document, "ready", &stSeatInfo::ready, message);
  } else if (opt == "start") {
    readText(document, "cards", message.cards);
  } else if (opt == "over") {
    readSeats(document, "result", &stSeatInfo::result, message);
  } else if (opt == "game") {
    readInteger(document, "per", message.per);
    readText(document, "surplus", message.surplus);
    readInteger(document, "now", message.now);
    readText(document, "cards", message.cards);
    readInteger(document, "score", message.score);
    readInteger(document, "must", message.must);
  } else if (opt == "score") {
    readText(document, "p0", message.p0);
    readText(document, "p1", message.p1);
  } else if (opt == "run") {
    readInteger(document, "site", message.site);
    readText(document, "name", message.name);
  }
  return message;
}

bool isVersionMismatch(const stMsg& message) {
  return message.opt == "query" && message.version != kClientVersion;
}
