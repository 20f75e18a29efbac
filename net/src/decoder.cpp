// Message decoding with rapidjson's default parse. The default parser
// recurses once per nesting level and would overflow the stack on a text of a
// few hundred thousand "["; a handler that refuses to open level 65 ends the
// parse before that.
#include "net/decoder.h"

#include <rapidjson/document.h>
#include <rapidjson/reader.h>

#include <array>
#include <climits>
#include <string_view>

#include "net/protocol.h"

namespace {

using JsonValue = rapidjson::Value;

// The value of the first member named `key`, compared byte for byte; inline
// rather than FindMember, which measures the key and calls memcmp per member.
const JsonValue* findMember(const JsonValue& object, std::string_view key) {
  for (auto member = object.MemberBegin(); member != object.MemberEnd(); ++member) {
    if (member->name.GetStringLength() != key.size()) continue;
    const char* name = member->name.GetString();
    std::size_t i = 0;
    while (i < key.size() && name[i] == key[i]) ++i;
    if (i == key.size()) return &member->value;
  }
  return nullptr;
}

void readText(const JsonValue& object, std::string_view key, std::string& field) {
  const JsonValue* value = findMember(object, key);
  if (value && value->IsString()) field.assign(value->GetString());  // up to the first NUL
}

void readInteger(const JsonValue& object, std::string_view key, std::int32_t& field) {
  const JsonValue* value = findMember(object, key);
  if (value && value->IsString()) field = parseInteger(value->GetString());
}

void readSeats(const JsonValue& root, std::string_view integerKey,
               std::int32_t stSeatInfo::*integer, stMsg& message) {
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

// Passes the parser's events on to the document, refusing to open a level
// beyond kMaxJsonDepth, which ends the parse with an error.
template <typename Handler>
struct DepthLimit {
  Handler& next;
  int depth = 0;

  bool Null() { return next.Null(); }
  bool Bool(bool b) { return next.Bool(b); }
  bool Int(int i) { return next.Int(i); }
  bool Uint(unsigned u) { return next.Uint(u); }
  bool Int64(std::int64_t i) { return next.Int64(i); }
  bool Uint64(std::uint64_t u) { return next.Uint64(u); }
  bool Double(double d) { return next.Double(d); }
  bool RawNumber(const char* text, rapidjson::SizeType length, bool copy) {
    return next.RawNumber(text, length, copy);
  }
  bool String(const char* text, rapidjson::SizeType length, bool copy) {
    return next.String(text, length, copy);
  }
  bool Key(const char* text, rapidjson::SizeType length, bool copy) {
    return next.Key(text, length, copy);
  }
  bool StartObject() { return ++depth <= kMaxJsonDepth && next.StartObject(); }
  bool EndObject(rapidjson::SizeType members) {
    --depth;
    return next.EndObject(members);
  }
  bool StartArray() { return ++depth <= kMaxJsonDepth && next.StartArray(); }
  bool EndArray(rapidjson::SizeType elements) {
    --depth;
    return next.EndArray(elements);
  }
};

void fillMessage(const JsonValue& root, stMsg& message) {
  if (!root.IsObject()) return;
  readText(root, "opt", message.opt);
  const std::string& opt = message.opt;
  if (opt == "query") {
    readText(root, "online", message.online);
    readText(root, "version", message.version);
  } else if (opt == "add") {
    readInteger(root, "desk", message.desk);
    readInteger(root, "site", message.site);
    readText(root, "name", message.name);
  } else if (opt == "change") {
    readSeats(root, "ready", &stSeatInfo::ready, message);
  } else if (opt == "start") {
    readText(root, "cards", message.cards);
  } else if (opt == "over") {
    readSeats(root, "result", &stSeatInfo::result, message);
  } else if (opt == "game") {
    readInteger(root, "per", message.per);
    readText(root, "surplus", message.surplus);
    readInteger(root, "now", message.now);
    readText(root, "cards", message.cards);
    readInteger(root, "score", message.score);
    readInteger(root, "must", message.must);
  } else if (opt == "score") {
    readText(root, "p0", message.p0);
    readText(root, "p1", message.p1);
  } else if (opt == "run") {
    readInteger(root, "site", message.site);
    readText(root, "name", message.name);
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

// Parsing memory reused for every text: values, both parse stacks and the
// strings all come from one pool over a fixed buffer, emptied per text.
struct CMessageDecoder::Memory {
  std::array<char, 64 * 1024> buffer;
  rapidjson::MemoryPoolAllocator<> pool{buffer.data(), buffer.size()};
};

CMessageDecoder::CMessageDecoder() : memory_(std::make_unique_for_overwrite<Memory>()) {}
CMessageDecoder::~CMessageDecoder() = default;

bool CMessageDecoder::decode(const std::string& text, stMsg& message) {
  using Pool = rapidjson::MemoryPoolAllocator<>;
  using Document = rapidjson::GenericDocument<rapidjson::UTF8<>, Pool, Pool>;
  Pool& pool = memory_->pool;
  pool.Clear();
  Document document(&pool, 1024, &pool);
  rapidjson::GenericReader<rapidjson::UTF8<>, rapidjson::UTF8<>, Pool> reader(&pool);
  rapidjson::StringStream stream(text.c_str());  // ends at the first NUL
  bool parsed = false;
  auto generator = [&](Document& handler) {
    DepthLimit<Document> limited{handler};
    parsed = !reader.Parse<rapidjson::kParseDefaultFlags>(stream, limited).IsError();
    return parsed;
  };
  document.Populate(generator);
  if (!parsed) return false;
  fillMessage(document, message);
  return true;
}

std::optional<stMsg> decodeMessage(const std::string& text) {
  CMessageDecoder decoder;
  stMsg message;
  if (!decoder.decode(text, message)) return std::nullopt;
  return message;
}

bool isVersionMismatch(const stMsg& message) {
  return message.opt == "query" && message.version != kClientVersion;
}
