// Requests as the client writes them, anything else a client might send, and
// the server's exact texts.
#include "server/protocol.h"

#include <gtest/gtest.h>

#include <string>

using namespace server;

TEST(ParseRequest, ReadsTheClientsRequests) {
  struct {
    std::string text;
    RequestKind kind;
    int desk, site;
    std::string cards;
  } cases[] = {
      {R"({"opt":"query"})", RequestKind::Query, -1, -1, ""},
      {R"({"opt":"add"})", RequestKind::Add, -1, -1, ""},
      {R"({"opt":"change","type":"ready","desk":5,"site":2})", RequestKind::Ready, 5, 2, ""},
      {R"({"opt":"change","type":"leave","desk":12,"site":0})", RequestKind::Leave, 12, 0, ""},
      {R"({"opt":"game","desk":5,"site":2,"cards":""})", RequestKind::Game, 5, 2, ""},
      {R"({"opt":"game","desk":5,"site":2,"cards":"12,13,"})", RequestKind::Game, 5, 2, "12,13,"},
      {R"({"opt":"game","desk":5,"site":2,"cards":"41"})", RequestKind::Game, 5, 2, "41"},
      {R"( { "site":1, "opt":"game", "cards":"7,", "desk":3, "extra":[1,{}] } )", RequestKind::Game,
       3, 1, "7,"},
      {R"({"opt":"change","type":"dance","desk":1,"site":0})", RequestKind::Other, 1, 0, ""},
      {R"({"opt":"hello"})", RequestKind::Other, -1, -1, ""},
      {R"({"opt":"Query"})", RequestKind::Other, -1, -1, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    stRequest r;
    ASSERT_EQ(parseRequest(c.text, r), ParseResult::Ok);
    EXPECT_EQ(r.kind, c.kind);
    EXPECT_EQ(r.desk, c.desk);
    EXPECT_EQ(r.site, c.site);
    EXPECT_EQ(r.cards, c.cards);
  }
}

TEST(ParseRequest, RefusesMalformedTexts) {
  const std::string cases[] = {
      "",
      "{",
      "null",
      "[]",
      R"("opt")",
      R"({"opt":1})",
      R"({"type":"ready"})",
      R"({"opt":"query"}{"opt":"query"})",
      R"({"opt":"query",})",
      R"({"opt":"query"} // comment)",
      std::string(R"({"opt":"query"})") + '\0',
      R"({"opt":"change","type":"ready","desk":"5","site":2})",
      R"({"opt":"change","type":"ready","desk":5})",
      R"({"opt":"change","desk":5,"site":2})",
      R"({"opt":"change","type":"ready","desk":5.5,"site":2})",
      R"({"opt":"change","type":"ready","desk":99999999999,"site":2})",
      R"({"opt":"game","desk":5,"site":2})",
      R"({"opt":"game","desk":5,"site":2,"cards":12})",
      std::string(100000, '[') + std::string(100000, ']'),
      "\xff\xfe{",
  };
  for (const auto& text : cases) {
    SCOPED_TRACE(text.substr(0, 60));
    stRequest r;
    EXPECT_EQ(parseRequest(text, r), ParseResult::Malformed);
  }
}

TEST(ParseRequest, SurvivesDeepNestingInsideAValidObject) {
  const std::string deep =
      R"({"opt":"query","x":)" + std::string(60000, '[') + std::string(60000, ']') + "}";
  stRequest r;
  EXPECT_EQ(parseRequest(deep, r), ParseResult::Ok);
  EXPECT_EQ(r.kind, RequestKind::Query);
}

TEST(CardListText, OnlyPlainCodeListsAreAccepted) {
  struct {
    const char* text;
    bool ok;
  } cases[] = {
      {"", true},     {"7", true},     {"7,", true},    {"12,13,", true}, {"0,52,53", true},
      {",", false},   {",7", false},   {"7,,8", false}, {"7x", false},    {" 7", false},
      {"-1,", false}, {"100,", false}, {"7;8", false},  {"+7", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(isStrictCardListText(c.text), c.ok);
  }
}

TEST(ServerMessages, ExactTexts) {
  SeatViews seats;
  seats[0] = {"player1", 1};
  seats[2] = {"bot2", 0};
  SeatViews results{{{"a", 40}, {"b", -40}, {"c", 40}, {"d", -40}}};
  struct {
    std::string got, want;
  } cases[] = {
      {formatQueryReply(37), R"({"opt":"query","online":"37","version":"26"})"},
      {formatAddReply(5, 2, "abc"), R"({"opt":"add","desk":"5","site":"2","name":"abc"})"},
      {formatChange(seats),
       R"({"opt":"change","info":[{"name":"player1","ready":"1"},{"name":"","ready":"0"},)"
       R"({"name":"bot2","ready":"0"},{"name":"","ready":"0"}]})"},
      {formatStart({3, 3, 52}), R"({"opt":"start","cards":"3,3,52,"})"},
      {formatGame(1, 12, 2, "12,13,", 10, false),
       R"({"opt":"game","per":"1","surplus":"12","now":"2","cards":"12,13,","score":"10","must":"0"})"},
      {formatGame(-1, 0, 3, "", 0, true),
       R"({"opt":"game","per":"-1","surplus":"0","now":"3","cards":"","score":"0","must":"1"})"},
      {formatScore(120, 80), R"({"opt":"score","p0":"120","p1":"80"})"},
      {formatOver(results),
       R"({"opt":"over","info":[{"name":"a","result":"40"},{"name":"b","result":"-40"},)"
       R"({"name":"c","result":"40"},{"name":"d","result":"-40"}]})"},
      {formatRun(2, "abc"), R"({"opt":"run","site":"2","name":"abc"})"},
      {formatTimeout(), R"({"opt":"timeout"})"},
      {formatAddReply(1, 0, "q\"\\\n"), R"({"opt":"add","desk":"1","site":"0","name":"q\"\\\n"})"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.got, c.want);
}
