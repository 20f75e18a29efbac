// Fuzz body of the receive path: the frame reader fed in arbitrary pieces and
// the decoder on every frame, both against reference readings.
#include <rapidjson/document.h>

#include <climits>
#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "fuzz_bodies.h"
#include "fuzz_check.h"
#include "net/decoder.h"
#include "net/framing.h"
#include "net/protocol.h"

namespace fuzz {
namespace {

using Result = CFrameDecoder::Result;

struct StreamReading {
  std::vector<std::string> frames;
  Result end = Result::kNeedMore;  // kNeedMore, kEmpty or kTooLarge
  bool insideText = false;
};

// The stream read front to back: length, text, length, text...
StreamReading readStream(const std::string& bytes) {
  StreamReading reading;
  std::size_t at = 0;
  while (bytes.size() - at >= 4) {
    std::uint32_t length = 0;
    for (int i = 0; i < 4; ++i) {
      length |= std::uint32_t{static_cast<unsigned char>(bytes[at + i])} << (8 * i);
    }
    if (length == 0) {
      reading.end = Result::kEmpty;
      return reading;
    }
    if (length > kMaxFrameLength) {
      reading.end = Result::kTooLarge;
      return reading;
    }
    if (bytes.size() - at - 4 < length) {
      reading.insideText = true;
      return reading;
    }
    reading.frames.push_back(bytes.substr(at + 4, length));
    at += 4 + length;
  }
  return reading;
}

std::int32_t referenceInteger(const char* text) {
  long long value = std::strtoll(text, nullptr, 10);
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<std::int32_t>(value);
}

const rapidjson::Value* member(const rapidjson::Value& object, const char* key) {
  for (auto it = object.MemberBegin(); it != object.MemberEnd(); ++it) {
    if (std::string(it->name.GetString(), it->name.GetStringLength()) == key) return &it->value;
  }
  return nullptr;
}

void text(const rapidjson::Value& object, const char* key, std::string& field) {
  const rapidjson::Value* value = member(object, key);
  if (value && value->IsString()) field = std::string(value->GetString());
}

void integer(const rapidjson::Value& object, const char* key, std::int32_t& field) {
  const rapidjson::Value* value = member(object, key);
  if (value && value->IsString()) field = referenceInteger(value->GetString());
}

void seats(const rapidjson::Value& root, const char* key, std::int32_t stSeatInfo::*field,
           stMsg& message) {
  const rapidjson::Value* info = member(root, "info");
  if (!info || !info->IsArray()) return;
  for (rapidjson::SizeType i = 0; i < info->Size() && i < 4; ++i) {
    if (!(*info)[i].IsObject()) continue;
    text((*info)[i], "name", message.info[i].name);
    integer((*info)[i], key, message.info[i].*field);
  }
}

int depthOf(const rapidjson::Value& root) {
  std::vector<std::pair<const rapidjson::Value*, int>> pending{{&root, 1}};
  int deepest = 0;
  while (!pending.empty()) {
    auto [value, depth] = pending.back();
    pending.pop_back();
    if (value->IsObject()) {
      deepest = std::max(deepest, depth);
      for (auto it = value->MemberBegin(); it != value->MemberEnd(); ++it) {
        pending.emplace_back(&it->value, depth + 1);
      }
    } else if (value->IsArray()) {
      deepest = std::max(deepest, depth);
      for (const rapidjson::Value& element : value->GetArray()) {
        pending.emplace_back(&element, depth + 1);
      }
    }
  }
  return deepest;
}

// What the decoder must give: nullopt for a text that is no single JSON value
// or is nested too deep, else the record filled by the decoding table.
std::optional<stMsg> referenceDecode(const std::string& frame) {
  rapidjson::Document document;
  // The iterative parser reads the same grammar without recursing.
  document.Parse<rapidjson::kParseIterativeFlag>(frame.c_str());
  if (document.HasParseError() || depthOf(document) > kMaxJsonDepth) return std::nullopt;
  stMsg message;
  if (!document.IsObject()) return message;
  text(document, "opt", message.opt);
  const std::string opt = message.opt;
  if (opt == "query") {
    text(document, "online", message.online);
    text(document, "version", message.version);
  } else if (opt == "add") {
    integer(document, "desk", message.desk);
    integer(document, "site", message.site);
    text(document, "name", message.name);
  } else if (opt == "change") {
    seats(document, "ready", &stSeatInfo::ready, message);
  } else if (opt == "start") {
    text(document, "cards", message.cards);
  } else if (opt == "over") {
    seats(document, "result", &stSeatInfo::result, message);
  } else if (opt == "game") {
    integer(document, "per", message.per);
    text(document, "surplus", message.surplus);
    integer(document, "now", message.now);
    text(document, "cards", message.cards);
    integer(document, "score", message.score);
    integer(document, "must", message.must);
  } else if (opt == "score") {
    text(document, "p0", message.p0);
    text(document, "p1", message.p1);
  } else if (opt == "run") {
    integer(document, "site", message.site);
    text(document, "name", message.name);
  }
  return message;
}

void checkSameRecord(const stMsg& got, const stMsg& want) {
  FUZZ_CHECK(got.opt == want.opt);
  FUZZ_CHECK(got.online == want.online);
  FUZZ_CHECK(got.name == want.name);
  FUZZ_CHECK(got.desk == want.desk);
  FUZZ_CHECK(got.site == want.site);
  FUZZ_CHECK(got.cards == want.cards);
  FUZZ_CHECK(got.per == want.per);
  FUZZ_CHECK(got.surplus == want.surplus);
  FUZZ_CHECK(got.now == want.now);
  FUZZ_CHECK(got.score == want.score);
  FUZZ_CHECK(got.must == want.must);
  FUZZ_CHECK(got.p0 == want.p0);
  FUZZ_CHECK(got.p1 == want.p1);
  FUZZ_CHECK(got.version == want.version);
  for (std::size_t i = 0; i < 4; ++i) {
    FUZZ_CHECK(got.info[i].name == want.info[i].name);
    FUZZ_CHECK(got.info[i].ready == want.info[i].ready);
    FUZZ_CHECK(got.info[i].result == want.info[i].result);
  }
}

void checkDecoding(const std::string& frame) {
  std::optional<stMsg> got = decodeMessage(frame);
  std::optional<stMsg> want = referenceDecode(frame);
  FUZZ_CHECK(got.has_value() == want.has_value());
  // The receive thread keeps one decoder, and its parse memory, for every
  // text: nothing of one text may reach the next.
  static CMessageDecoder kept;
  stMsg viaKept;
  FUZZ_CHECK(kept.decode(frame, viaKept) == want.has_value());
  if (!got) return;
  checkSameRecord(*got, *want);
  checkSameRecord(viaKept, *want);
  FUZZ_CHECK(isVersionMismatch(*got) == (got->opt == "query" && got->version != "26"));
}

}  // namespace

void frameStream(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return;
  std::uint32_t cut = data[0];
  const std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
  const StreamReading want = readStream(bytes);

  CFrameDecoder decoder;
  std::vector<std::string> frames;
  Result end = Result::kNeedMore;
  std::string frame = "left over from before";
  std::size_t at = 0;
  while (end == Result::kNeedMore && at < bytes.size()) {
    // Seed 0 hands over the whole stream at once, any other seed pieces of 1 to 64 bytes.
    std::size_t piece = bytes.size() - at;
    if (cut != 0) {
      cut = cut * 1103515245u + 12345u;
      piece = std::min<std::size_t>(piece, 1 + (cut >> 16) % 64);
    }
    decoder.feed(bytes.data() + at, piece);
    at += piece;
    for (;;) {
      Result result = decoder.next(frame);
      if (result == Result::kFrame) {
        frames.push_back(frame);
        continue;
      }
      end = result;
      break;
    }
  }

  FUZZ_CHECK(frames == want.frames);
  FUZZ_CHECK(end == want.end);
  if (end != Result::kNeedMore) {
    FUZZ_CHECK(decoder.next(frame) == end);  // a broken stream stays broken
    FUZZ_CHECK(!decoder.insideText());
  } else {
    FUZZ_CHECK(decoder.insideText() == want.insideText);
  }
  for (const std::string& text : frames) checkDecoding(text);
}

}  // namespace fuzz
