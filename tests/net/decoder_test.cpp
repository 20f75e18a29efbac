// Decoding of server message texts into records: every kind, the integer
// conversion, and texts the server should never send.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "net/decoder.h"
#include "net/protocol.h"

namespace {

struct DecodeCase {
  const char* name;
  std::string text;
  std::function<void(stMsg&)> expect;  // turns a fresh record into the expected one
};

bool sameSeat(const stSeatInfo& a, const stSeatInfo& b) {
  return a.name == b.name && a.ready == b.ready && a.result == b.result;
}

void expectRecord(const stMsg& got, const stMsg& want) {
  EXPECT_EQ(got.opt, want.opt);
  EXPECT_EQ(got.online, want.online);
  EXPECT_EQ(got.name, want.name);
  EXPECT_EQ(got.desk, want.desk);
  EXPECT_EQ(got.site, want.site);
  EXPECT_EQ(got.cards, want.cards);
  EXPECT_EQ(got.per, want.per);
  EXPECT_EQ(got.surplus, want.surplus);
  EXPECT_EQ(got.now, want.now);
  EXPECT_EQ(got.score, want.score);
  EXPECT_EQ(got.must, want.must);
  EXPECT_EQ(got.p0, want.p0);
  EXPECT_EQ(got.p1, want.p1);
  EXPECT_EQ(got.version, want.version);
  for (int i = 0; i < 4; ++i) {
    EXPECT_TRUE(sameSeat(got.info[i], want.info[i]))
        << "seat " << i << ": " << got.info[i].name << "/" << got.info[i].ready << "/"
        << got.info[i].result;
  }
}

TEST(StMsg, StartsAtItsInitialValues) {
  stMsg fresh;
  EXPECT_TRUE(fresh.opt.empty() && fresh.online.empty() && fresh.name.empty());
  EXPECT_TRUE(fresh.cards.empty() && fresh.surplus.empty() && fresh.p0.empty());
  EXPECT_TRUE(fresh.p1.empty() && fresh.version.empty());
  EXPECT_EQ(fresh.desk, -1);
  EXPECT_EQ(fresh.site, -1);
  EXPECT_EQ(fresh.per, -1);
  EXPECT_EQ(fresh.now, -1);
  EXPECT_EQ(fresh.score, 0);
  EXPECT_EQ(fresh.must, 0);
  for (const stSeatInfo& seat : fresh.info) {
    EXPECT_TRUE(seat.name.empty());
    EXPECT_EQ(seat.ready, 0);
    EXPECT_EQ(seat.result, 0);
  }
}

TEST(DecodeMessage, FillsTheFieldsOfEachKind) {
  const std::vector<DecodeCase> cases{
      {"query", R"({"opt":"query","online":"12","version":"26"})",
       [](stMsg& m) {
         m.opt = "query";
         m.online = "12";
         m.version = "26";
       }},
      {"add", R"({"opt":"add","desk":"3","site":"2","name":"abc"})",
       [](stMsg& m) {
         m.opt = "add";
         m.desk = 3;
         m.site = 2;
         m.name = "abc";
       }},
      {"change",
       R"({"opt":"change","info":[{"name":"a","ready":"1"},{"name":"","ready":"0"},)"
       R"({"name":"c","ready":"1","result":"9"},{"name":"d","ready":"0"}]})",
       [](stMsg& m) {
         m.opt = "change";
         m.info[0] = {"a", 1, 0};
         m.info[2] = {"c", 1, 0};
         m.info[3] = {"d", 0, 0};
       }},
      {"start", R"({"opt":"start","cards":"1,2,53,"})",
       [](stMsg& m) {
         m.opt = "start";
         m.cards = "1,2,53,";
       }},
      {"over",
       R"({"opt":"over","info":[{"name":"a","result":"20"},{"name":"b","result":"-20"},)"
       R"({"name":"c","result":"20","ready":"1"},{"name":"d","result":"-20"}]})",
       [](stMsg& m) {
         m.opt = "over";
         m.info[0] = {"a", 0, 20};
         m.info[1] = {"b", 0, -20};
         m.info[2] = {"c", 0, 20};
         m.info[3] = {"d", 0, -20};
       }},
      {"game",
       R"({"opt":"game","per":"1","surplus":"12","now":"2","cards":"12,13,","score":"10","must":"0"})",
       [](stMsg& m) {
         m.opt = "game";
         m.per = 1;
         m.surplus = "12";
         m.now = 2;
         m.cards = "12,13,";
         m.score = 10;
         m.must = 0;
       }},
      {"game, no seat",
       R"({"opt":"game","per":"-1","surplus":"","now":"3","cards":"","score":"0","must":"1"})",
       [](stMsg& m) {
         m.opt = "game";
         m.now = 3;
         m.must = 1;
       }},
      {"score", R"({"opt":"score","p0":"100","p1":"-5"})",
       [](stMsg& m) {
         m.opt = "score";
         m.p0 = "100";
         m.p1 = "-5";
       }},
      {"run", R"({"opt":"run","site":"1","name":"bob"})",
       [](stMsg& m) {
         m.opt = "run";
         m.site = 1;
         m.name = "bob";
       }},
      {"timeout", R"({"opt":"timeout"})", [](stMsg& m) { m.opt = "timeout"; }},
      {"other letter case", R"({"opt":"Query","online":"12","version":"27"})",
       [](stMsg& m) { m.opt = "Query"; }},
      {"keys of other kinds are ignored", R"({"opt":"add","desk":"3","cards":"1,","online":"9"})",
       [](stMsg& m) {
         m.opt = "add";
         m.desk = 3;
       }},
      {"five info objects",
       R"({"opt":"change","info":[{"name":"a","ready":"1"},{"name":"b","ready":"1"},)"
       R"({"name":"c","ready":"1"},{"name":"d","ready":"1"},{"name":"e","ready":"1"}]})",
       [](stMsg& m) {
         m.opt = "change";
         for (int i = 0; i < 4; ++i) m.info[i] = {std::string(1, static_cast<char>('a' + i)), 1, 0};
       }},
      {"the first of duplicate keys",
       R"({"opt":"run","site":"1","site":"2","name":"x","opt":"add"})",
       [](stMsg& m) {
         m.opt = "run";
         m.site = 1;
         m.name = "x";
       }},
      {"keys compared byte for byte",
       R"({"opt\u0000":"add","opt":"run","Name":"a","nam":"b",)"
       R"("na\u0000me":"c","name\u0000":"d","name":"e"})",
       [](stMsg& m) {
         m.opt = "run";
         m.name = "e";
       }},
      {"escapes resolved", R"({"opt":"run","name":"\u4e2d\"\\\/\n"})",
       [](stMsg& m) {
         m.opt = "run";
         m.name = "\xE4\xB8\xAD\"\\/\n";
       }},
      {"a text cut at an escaped NUL", R"({"opt":"start","cards":"1,2\u0000,3"})",
       [](stMsg& m) {
         m.opt = "start";
         m.cards = "1,2";
       }},
      {"white space around the value", " \t\r\n{\"opt\" : \"timeout\"}\n ",
       [](stMsg& m) { m.opt = "timeout"; }},
      {"the text ends at its first NUL byte", std::string("{\"opt\":\"timeout\"}\0garbage", 25),
       [](stMsg& m) { m.opt = "timeout"; }},
      {"utf-8 name", "{\"opt\":\"run\",\"name\":\"\xE7\x8E\xA9\xE5\xAE\xB6\"}",
       [](stMsg& m) {
         m.opt = "run";
         m.name = "\xE7\x8E\xA9\xE5\xAE\xB6";
       }},
  };
  for (const DecodeCase& c : cases) {
    SCOPED_TRACE(c.name);
    auto got = decodeMessage(c.text);
    ASSERT_TRUE(got.has_value());
    stMsg want;
    c.expect(want);
    expectRecord(*got, want);
  }
}

TEST(DecodeMessage, ReadsWhatIsAbsentOrMistypedAsInitial) {
  const std::vector<DecodeCase> cases{
      {"root is an array", R"([{"opt":"query"}])", [](stMsg&) {}},
      {"root is a string", R"("query")", [](stMsg&) {}},
      {"root is a number", "26", [](stMsg&) {}},
      {"no opt", R"({"desk":"3"})", [](stMsg&) {}},
      {"opt not a string", R"({"opt":5})", [](stMsg&) {}},
      {"numbers as JSON numbers", R"({"opt":"add","desk":5,"site":2,"name":7})",
       [](stMsg& m) { m.opt = "add"; }},
      {"missing keys", R"({"opt":"game","cards":"4,"})",
       [](stMsg& m) {
         m.opt = "game";
         m.cards = "4,";
       }},
      {"null and object values", R"({"opt":"run","site":null,"name":{"x":"y"}})",
       [](stMsg& m) { m.opt = "run"; }},
      {"info not an array", R"({"opt":"change","info":{"name":"a","ready":"1"}})",
       [](stMsg& m) { m.opt = "change"; }},
      {"info of two objects", R"({"opt":"over","info":[{"name":"a","result":"3"},{"name":"b"}]})",
       [](stMsg& m) {
         m.opt = "over";
         m.info[0] = {"a", 0, 3};
         m.info[1] = {"b", 0, 0};
       }},
      {"info elements that are not objects",
       R"({"opt":"change","info":["a",null,{"name":"c","ready":"1"},[{"name":"d"}]]})",
       [](stMsg& m) {
         m.opt = "change";
         m.info[2] = {"c", 1, 0};
       }},
      {"query without a version", R"({"opt":"query","online":"4"})",
       [](stMsg& m) {
         m.opt = "query";
         m.online = "4";
       }},
  };
  for (const DecodeCase& c : cases) {
    SCOPED_TRACE(c.name);
    auto got = decodeMessage(c.text);
    ASSERT_TRUE(got.has_value());
    stMsg want;
    c.expect(want);
    expectRecord(*got, want);
  }
}

TEST(DecodeMessage, RefusesTextsThatAreNotOneJsonValue) {
  const std::vector<std::pair<const char*, std::string>> cases{
      {"two values", R"({"opt":"run"}{"opt":"run"})"},
      {"trailing comma", R"({"opt":"run",})"},
      {"comment", R"({"opt":"run"} // note)"},
      {"unterminated", R"({"opt":"run")"},
      {"empty text", ""},
      {"only white space", " \n"},
      {"NUL before the value ends", std::string("{\"opt\":\0\"run\"}", 14)},
      {"single quotes", "{'opt':'run'}"},
      {"a bare word", "query"},
  };
  for (const auto& [name, text] : cases) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(decodeMessage(text).has_value());
  }
}

TEST(DecodeMessage, RefusesNestingBeyondTheLimitWithoutRecursing) {
  auto nested = [](int depth) {
    std::string text = R"({"opt":"run","x":)";
    for (int i = 1; i < depth; ++i) text += "[";
    for (int i = 1; i < depth; ++i) text += "]";
    return text + "}";
  };
  EXPECT_TRUE(decodeMessage(nested(kMaxJsonDepth)).has_value());
  EXPECT_FALSE(decodeMessage(nested(kMaxJsonDepth + 1)).has_value());
  // A frame's worth of brackets would overflow a recursive parser's stack.
  EXPECT_FALSE(decodeMessage(std::string(1 << 20, '[')).has_value());
  EXPECT_FALSE(decodeMessage("[" + std::string(1 << 20, '{')).has_value());
  // Brackets inside strings do not nest.
  std::string inString = R"({"opt":"run","name":")" + std::string(1000, '[') + R"(\"[[["})";
  auto decoded = decodeMessage(inString);
  ASSERT_TRUE(decoded.has_value());
  EXPECT_EQ(decoded->name, std::string(1000, '[') + "\"[[[");
}

TEST(ParseInteger, ReadsAsAtoiDoes) {
  const std::vector<std::pair<const char*, std::int32_t>> cases{
      {"-1", -1},
      {"7x", 7},
      {"", 0},
      {"x", 0},
      {"0", 0},
      {"42", 42},
      {"+5", 5},
      {"  \t\n12", 12},
      {"\v\f\r3", 3},
      {"- 1", 0},
      {"--1", 0},
      {"1 2", 1},
      {"007", 7},
      {"3.9", 3},
      {"0x1A", 0},
      {"2147483647", 2147483647},
      {"-2147483648", -2147483647 - 1},
      {"2147483648", 2147483647},
      {"-2147483649", -2147483647 - 1},
      {"99999999999999999999999", 2147483647},
      {"-99999999999999999999999", -2147483647 - 1},
  };
  for (const auto& [text, value] : cases) {
    SCOPED_TRACE(std::string("\"") + text + "\"");
    EXPECT_EQ(parseInteger(text), value);
  }
}

TEST(IsVersionMismatch, OnlyAQueryReplyWithAnotherVersion) {
  const std::vector<std::tuple<const char*, std::string, bool>> cases{
      {"same version", R"({"opt":"query","online":"1","version":"26"})", false},
      {"newer", R"({"opt":"query","online":"1","version":"27"})", true},
      {"prefix", R"({"opt":"query","online":"1","version":"2"})", true},
      {"trailing blank", R"({"opt":"query","online":"1","version":"26 "})", true},
      {"absent", R"({"opt":"query","online":"1"})", true},
      {"as a number", R"({"opt":"query","online":"1","version":26})", true},
      {"another kind", R"({"opt":"add","version":"27"})", false},
      {"other letter case", R"({"opt":"QUERY","version":"27"})", false},
  };
  for (const auto& [name, text, mismatch] : cases) {
    SCOPED_TRACE(name);
    auto decoded = decodeMessage(text);
    ASSERT_TRUE(decoded.has_value());
    EXPECT_EQ(isVersionMismatch(*decoded), mismatch);
  }
}

}  // namespace
