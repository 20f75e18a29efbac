// A server announcing another client version than "26", at the lobby and at
// the table: the version box, then the end of the process with status 0.
#include <cstdio>
#include <string>
#include <thread>

#include "engine/message_box.h"
#include "hostile_fixture.h"

namespace hostile {
namespace {

using Param = std::tuple<Where, std::string>;

class WrongVersionTest : public HostileTest, public testing::WithParamInterface<Param> {};

TEST_P(WrongVersionTest, ShowsTheVersionBoxAndEndsTheProcess) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const auto& [where, version] = GetParam();
  EXPECT_EXIT(
      {
        open(where);
        engine::setMessageBoxHandler([](const std::string& text, const std::string& title) {
          std::fprintf(stderr, "box [%s] %s\n", title.c_str(), text.c_str());
        });
        send({marker(where, 1), queryReply("3", version)});
        // The scene runs on while the receive thread ends the process.
        for (int i = 0; i < 20000; ++i) {
          app.advance(0.1);
          std::this_thread::sleep_for(1ms);
        }
        std::fprintf(stderr, "still running\n");
        std::exit(3);
      },
      testing::ExitedWithCode(0), "box \\[错误\\] 版本过低，请前往 https?://.+ 下载新版客户端!");
}

INSTANTIATE_TEST_SUITE_P(Versions, WrongVersionTest,
                         testing::Combine(testing::Values(Where::kLobby, Where::kTable),
                                          testing::Values("27", "2", "26 ", " 26", "", "026")),
                         [](const testing::TestParamInfo<Param>& p) {
                           std::string name = whereName(std::get<0>(p.param));
                           name += "_version_";
                           for (char c : std::get<1>(p.param)) {
                             name += c == ' ' ? std::string("blank") : std::string(1, c);
                           }
                           return name;
                         });

}  // namespace
}  // namespace hostile
