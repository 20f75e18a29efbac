// Streams that end the link, at the lobby and at the table: zero and huge
// lengths, closes between frames and inside a text, invalid JSON and two
// values in one text. Each shows the boxes of its failure and nothing else,
// the scene goes on running, and every message that arrived before the fault
// is shown, in order.
#include <string>
#include <vector>

#include "hostile_fixture.h"

namespace hostile {
namespace {

const std::string kReceiveError = box(kLinkBoxTitle, kReceiveErrorText);
const std::string kDisconnected = box(kLinkBoxTitle, kDisconnectedText);

struct FailureCase {
  const char* name;
  std::string bytes;  // sent after the good frames
  bool closeAfter;    // the server then closes the connection
  std::vector<std::string> boxes;
};

void PrintTo(const FailureCase& c, std::ostream* out) {
  *out << c.name;
}

std::string lengthBytes(std::uint32_t length) {
  std::string bytes(4, '\0');
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>((length >> (8 * i)) & 0xFF);
  return bytes;
}

std::vector<FailureCase> failureCases() {
  return {
      {"ZeroLength", lengthBytes(0), false, {kReceiveError, kDisconnected}},
      {"ZeroLengthThenMore",
       lengthBytes(0) + test_support::ServerPeer::frameBytes("{}"),
       false,
       {kReceiveError, kDisconnected}},
      {"LengthAboveTheLimit",
       lengthBytes(kMaxFrameLength + 1) + "{}",
       false,
       {kReceiveError, kDisconnected}},
      {"LengthOfFourGigabytes",
       lengthBytes(0xFFFFFFFFu) + std::string(1000, 'x'),
       false,
       {kReceiveError, kDisconnected}},
      {"CloseBetweenFrames", "", true, {kReceiveError, kDisconnected}},
      {"CloseInsideTheLength", lengthBytes(20).substr(0, 2), true, {kReceiveError, kDisconnected}},
      {"CloseInsideAText",
       lengthBytes(40) + R"({"opt":"score","p0":)",
       true,
       {kDisconnected, kDisconnected}},
      {"InvalidJson",
       test_support::ServerPeer::frameBytes(R"({"opt":"score",)"),
       false,
       {kDisconnected}},
      {"TrailingComma",
       test_support::ServerPeer::frameBytes(R"({"opt":"timeout",})"),
       false,
       {kDisconnected}},
      {"TwoValuesInOneText",
       test_support::ServerPeer::frameBytes(R"({"opt":"run"}{"opt":"run"})"),
       false,
       {kDisconnected}},
      {"NestedTooDeep",
       test_support::ServerPeer::frameBytes(std::string(100000, '[')),
       false,
       {kDisconnected}},
      {"NotUtf8ButBinary",
       test_support::ServerPeer::frameBytes(std::string("\x01\xff\xfe\0x", 5)),
       false,
       {kDisconnected}},
  };
}

using Param = std::tuple<Where, FailureCase>;

class LinkFailureTest : public HostileTest, public testing::WithParamInterface<Param> {};

TEST_P(LinkFailureTest, ShowsItsBoxesKeepsRunningAndLosesNothingBefore) {
  const auto& [where, c] = GetParam();
  open(where);
  const long before = residentKb();

  const int good = 5;
  for (int i = 1; i <= good; ++i) send({marker(where, i)});
  ASSERT_TRUE(peer.sendRaw(c.bytes));
  if (c.closeAfter) peer.closeConnection();

  ASSERT_TRUE(waitBoxes(c.boxes.size())) << "boxes so far: " << app.boxes().size();
  drain();
  // The receive thread has ended; give a stray box the time to show.
  std::this_thread::sleep_for(100ms);
  app.advance(2.0);

  std::vector<std::string> expected;
  for (int i = 1; i <= good; ++i) expected.push_back(shown(where, i));
  EXPECT_EQ(observed, expected);
  EXPECT_EQ(boxes(), c.boxes);
  EXPECT_TRUE(stillRunning());
  // No length is ever allocated before its bytes arrive.
  EXPECT_LT(residentKb() - before, 64 * 1024);
}

INSTANTIATE_TEST_SUITE_P(Streams, LinkFailureTest,
                         testing::Combine(testing::Values(Where::kLobby, Where::kTable),
                                          testing::ValuesIn(failureCases())),
                         [](const testing::TestParamInfo<Param>& p) {
                           return std::string(whereName(std::get<0>(p.param))) + "_" +
                                  std::get<1>(p.param).name;
                         });

}  // namespace
}  // namespace hostile
