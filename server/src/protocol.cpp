// Request reading with rapidjson's iterative parser and message writing with
// its Writer, so that every text is escaped.
#include "server/protocol.h"

#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <string>

namespace server {
namespace {

using Writer = rapidjson::Writer<rapidjson::StringBuffer>;

bool readInt(const rapidjson::Value& object, const char* key, int& out) {
  auto it = object.FindMember(key);
  if (it == object.MemberEnd() || !it->value.IsInt()) return false;
  out = it->value.GetInt();
  return true;
}

bool readString(const rapidjson::Value& object, const char* key, std::string& out) {
  auto it = object.FindMember(key);
  if (it == object.MemberEnd() || !it->value.IsString()) return false;
  out.assign(it->value.GetString(), it->value.GetStringLength());
  return true;
}

void field(Writer& w, const char* key, std::string_view value) {
  w.Key(key);
  w.String(value.data(), static_cast<rapidjson::SizeType>(value.size()));
}

void field(Writer& w, const char* key, int value) {
  field(w, key, std::to_string(value));
}

class CMessage {
 public:
  explicit CMessage(const char* opt) : writer_(buffer_) {
    writer_.StartObject();
    field(writer_, "opt", opt);
  }
  Writer& writer() { return writer_; }
  std::string finish() {
    writer_.EndObject();
    return std::string(buffer_.GetString(), buffer_.GetSize());
  }

 private:
  rapidjson::StringBuffer buffer_;
  Writer writer_;
};

std::string formatSeats(const char* opt, const char* valueKey, const SeatViews& seats) {
  CMessage m(opt);
  Writer& w = m.writer();
  w.Key("info");
  w.StartArray();
  for (const stSeatView& seat : seats) {
    w.StartObject();
    field(w, "name", seat.name);
    field(w, valueKey, seat.value);
    w.EndObject();
  }
  w.EndArray();
  return m.finish();
}

}  // namespace

ParseResult parseRequest(std::string_view text, stRequest& request) {
  request = stRequest{};
  // The parser would take a NUL byte for the end of the text.
  if (text.find('\0') != std::string_view::npos) return ParseResult::Malformed;
  rapidjson::Document doc;
  doc.Parse<rapidjson::kParseIterativeFlag>(text.data(), text.size());
  if (doc.HasParseError() || !doc.IsObject()) return ParseResult::Malformed;
  std::string opt;
  if (!readString(doc, "opt", opt)) return ParseResult::Malformed;

  if (opt == "query") {
    request.kind = RequestKind::Query;
  } else if (opt == "add") {
    request.kind = RequestKind::Add;
  } else if (opt == "change") {
    std::string type;
    if (!readString(doc, "type", type) || !readInt(doc, "desk", request.desk) ||
        !readInt(doc, "site", request.site))
      return ParseResult::Malformed;
    if (type == "ready")
      request.kind = RequestKind::Ready;
    else if (type == "leave")
      request.kind = RequestKind::Leave;
  } else if (opt == "game") {
    if (!readInt(doc, "desk", request.desk) || !readInt(doc, "site", request.site) ||
        !readString(doc, "cards", request.cards))
      return ParseResult::Malformed;
    request.kind = RequestKind::Game;
  }
  return ParseResult::Ok;
}

bool isStrictCardListText(std::string_view text) {
  bool inNumber = false;
  std::size_t digits = 0;
  for (char c : text) {
    if (c >= '0' && c <= '9') {
      // Codes have at most two digits; longer runs can not name a card.
      if (++digits > 2) return false;
      inNumber = true;
    } else if (c == ',' && inNumber) {
      inNumber = false;
      digits = 0;
    } else {
      return false;
    }
  }
  return true;
}

std::string formatQueryReply(int online) {
  CMessage m("query");
  field(m.writer(), "online", online);
  field(m.writer(), "version", kServerVersion);
  return m.finish();
}

std::string formatAddReply(int desk, int site, std::string_view name) {
  CMessage m("add");
  field(m.writer(), "desk", desk);
  field(m.writer(), "site", site);
  field(m.writer(), "name", name);
  return m.finish();
}

std::string formatChange(const SeatViews& seats) {
  return formatSeats("change", "ready", seats);
}

std::string formatStart(const CardList& hand) {
  CMessage m("start");
  field(m.writer(), "cards", formatCardList(hand));
  return m.finish();
}

std::string formatGame(int per, int surplus, int now, std::string_view cards, int score,
                       bool must) {
  CMessage m("game");
  Writer& w = m.writer();
  field(w, "per", per);
  field(w, "surplus", surplus);
  field(w, "now", now);
  field(w, "cards", cards);
  field(w, "score", score);
  field(w, "must", must ? 1 : 0);
  return m.finish();
}

std::string formatScore(int p0, int p1) {
  CMessage m("score");
  field(m.writer(), "p0", p0);
  field(m.writer(), "p1", p1);
  return m.finish();
}

std::string formatOver(const SeatViews& seats) {
  return formatSeats("over", "result", seats);
}

std::string formatRun(int site, std::string_view name) {
  CMessage m("run");
  field(m.writer(), "site", site);
  field(m.writer(), "name", name);
  return m.finish();
}

std::string formatTimeout() {
  return CMessage("timeout").finish();
}

}  // namespace server
