// Every request text, byte for byte.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "net/protocol.h"
#include "net/requests.h"

namespace {

TEST(Requests, AreWrittenByteForByte) {
  const std::vector<std::int32_t> pair{12, 13};
  const std::vector<std::int32_t> single{41};
  const std::vector<std::int32_t> none;
  const std::vector<std::pair<std::string, std::string>> cases{
      {onlineQueryRequest(), R"({"opt":"query"})"},
      {quickJoinRequest(), R"({"opt":"add"})"},
      {readyRequest(5, 2), R"({"opt":"change","type":"ready","desk":5,"site":2})"},
      {readyRequest(12, 0), R"({"opt":"change","type":"ready","desk":12,"site":0})"},
      {leaveRequest(5, 2), R"({"opt":"change","type":"leave","desk":5,"site":2})"},
      {leaveRequest(-1, 3), R"({"opt":"change","type":"leave","desk":-1,"site":3})"},
      {passRequest(5, 2), R"({"opt":"game","desk":5,"site":2,"cards":""})"},
      {playRequest(5, 2, pair), R"({"opt":"game","desk":5,"site":2,"cards":"12,13,"})"},
      {playRequest(5, 2, single), R"({"opt":"game","desk":5,"site":2,"cards":"41,"})"},
      {playRequest(0, 1, none), R"({"opt":"game","desk":0,"site":1,"cards":""})"},
      {autoLeadRequest(5, 2, 41), R"({"opt":"game","desk":5,"site":2,"cards":"41"})"},
      {autoLeadRequest(100, 3, 0), R"({"opt":"game","desk":100,"site":3,"cards":"0"})"},
  };
  for (const auto& [got, want] : cases) {
    SCOPED_TRACE(want);
    EXPECT_EQ(got, want);
  }
  EXPECT_EQ(onlineQueryRequest().size(), 15u);
}

TEST(Protocol, Constants) {
  EXPECT_EQ(kServerPort, 9999);
  EXPECT_EQ(kClientVersion, "26");
  EXPECT_EQ(versionBoxText(),
            "版本过低，请前往 " + std::string(kDownloadSite) + " 下载新版客户端!");
}

}  // namespace
