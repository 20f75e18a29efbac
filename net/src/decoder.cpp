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

bool sameKey(const JsonValue& name, std::string_view key) {
  if (name.GetStringLength() != key.size()) return false;
  const char* bytes = name.GetString();
  for (std::size_t i = 0; i < key.size(); ++i) {
    if (bytes[i] != key[i]) return false;
  }
  return true;
}

// The values of the first members named by `keys`, compared byte for byte, in
// one pass over the object (rather than a FindMember per key).
template <std::size_t N>
std::array<const JsonValue*, N> findMembers(const JsonValue& object,
                                            const std::array<std::string_view, N>& keys) {
  std::array<const JsonValue*, N> values{};
  std::size_t missing = N;
  for (auto member = object.MemberBegin(); member != object.MemberEnd() && missing > 0; ++member) {
    for (std::size_t k = 0; k < N; ++k) {
      if (values[k] == nullptr && sameKey(member->name, keys[k])) {
        values[k] = &member->value;
        --missing;
        break;
      }
    }
  }
  return values;
}

void setText(const JsonValue* value, std::string& field) {
  if (value && value->IsString()) field.assign(value->GetString());  // up to the first NUL
}

void setInteger(const JsonValue* value, std::int32_t& field) {
  if (value && value->IsString()) field = parseInteger(value->GetString());
}

void readSeats(const JsonValue& root, std::string_view integerKey,
               std::int32_t stSeatInfo::*integer, stMsg& message) {
  const JsonValue* info = findMembers<1>(root, {"info"})[0];
  if (!info || !info->IsArray()) return;
  rapidjson::SizeType count = info->Size() < 4 ? info->Size() : 4;
  for (rapidjson::SizeType i = 0; i < count; ++i) {
    const JsonValue& seat = (*info)[i];
    if (!seat.IsObject()) continue;
    auto values = findMembers<2>(seat, {"name", integerKey});
    setText(values[0], message.info[i].name);
    setInteger(values[1], message.info[i].*integer);
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
  setText(findMembers<1>(root, {"opt"})[0], message.opt);
  const std::string& opt = message.opt;
  if (opt == "query") {
    auto values = findMembers<2>(root, {"online", "version"});
    setText(values[0], message.online);
    setText(values[1], message.version);
  } else if (opt == "add") {
    auto values = findMembers<3>(root, {"desk", "site", "name"});
    setInteger(values[0], message.desk);
    setInteger(values[1], message.site);
    setText(values[2], message.name);
  } else if (opt == "change") {
    readSeats(root, "ready", &stSeatInfo::ready, message);
  } else if (opt == "start") {
    setText(findMembers<1>(root, {"cards"})[0], message.cards);
  } else if (opt == "over") {
    readSeats(root, "result", &stSeatInfo::result, message);
  } else if (opt == "game") {
    auto values = findMembers<6>(root, {"per", "surplus", "now", "cards", "score", "must"});
    setInteger(values[0], message.per);
    setText(values[1], message.surplus);
    setInteger(values[2], message.now);
    setText(values[3], message.cards);
    setInteger(values[4], message.score);
    setInteger(values[5], message.must);
  } else if (opt == "score") {
    auto values = findMembers<2>(root, {"p0", "p1"});
    setText(values[0], message.p0);
    setText(values[1], message.p1);
  } else if (opt == "run") {
    auto values = findMembers<2>(root, {"site", "name"});
    setInteger(values[0], message.site);
    setText(values[1], message.name);
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
