// The connection, the framing on a real socket and the receive thread's
// boxes, against a scripted peer on 127.0.0.1.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/configuration.h"
#include "link_fixture.h"
#include "net/protocol.h"
#include "net/requests.h"

namespace {

using test_support::RecordedBox;

const RecordedBox kReceiveError{std::string(kReceiveErrorText), "error"};
const RecordedBox kDisconnected{std::string(kDisconnectedText), "error"};
const RecordedBox kSendFailed{std::string(kSendFailedText), "error"};

TEST_F(LinkTest, OnlineQueryTravelsAsNineteenBytes) {
  ASSERT_TRUE(queue->sendMessage(onlineQueryRequest()));
  auto bytes = peer.readRaw(19);
  ASSERT_TRUE(bytes);
  EXPECT_EQ(*bytes, std::string("\x0F\0\0\0", 4) + R"({"opt":"query"})");
}

TEST_F(LinkTest, LargeFrameIsSentWholeAndOnce) {
  // Larger than the socket buffers, so the kernel takes it in several parts.
  std::string text(8 << 20, 'x');
  std::thread sender([&] { EXPECT_TRUE(queue->sendMessage(text)); });
  auto received = peer.readFrame();
  sender.join();
  ASSERT_TRUE(received);
  EXPECT_EQ(received->size(), text.size());
  EXPECT_EQ(*received, text);
  ASSERT_TRUE(queue->sendMessage(quickJoinRequest()));
  EXPECT_EQ(peer.readFrame(), quickJoinRequest());
  EXPECT_EQ(boxes.count(), 0u);
}

TEST_F(LinkTest, FramesArriveInOrderWhateverThePieces) {
  std::string stream = test_support::ServerPeer::frameBytes(R"({"opt":"run","site":"1"})") +
                       test_support::ServerPeer::frameBytes(R"({"opt":"timeout"})") +
                       test_support::ServerPeer::frameBytes(R"({"opt":"start","cards":"1,2,"})");
  // The length in two pieces of two bytes, the text in several pieces.
  std::vector<std::size_t> cuts{2, 4, 9, 15, 29, 30, 31, stream.size()};
  std::size_t from = 0;
  for (std::size_t cut : cuts) {
    ASSERT_TRUE(peer.sendRaw(std::string_view(stream).substr(from, cut - from)));
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    from = cut;
  }
  auto first = popWithin();
  auto second = popWithin();
  auto third = popWithin();
  ASSERT_TRUE(first && second && third);
  EXPECT_EQ(first->opt, "run");
  EXPECT_EQ(first->site, 1);
  EXPECT_EQ(second->opt, "timeout");
  EXPECT_EQ(third->opt, "start");
  EXPECT_EQ(third->cards, "1,2,");
  EXPECT_EQ(queue->popMessage(), nullptr);
  EXPECT_EQ(boxes.count(), 0u);
}

struct FailureCase {
  const char* name;
  std::string bytes;  // sent before the peer closes
  bool closes;
  std::vector<RecordedBox> expected;
  std::size_t records;  // queued before the failure
};

TEST(LinkFailures, ShowTheirBoxesInOrderAndEndTheThread) {
  const std::string good = test_support::ServerPeer::frameBytes(R"({"opt":"timeout"})");
  std::string tooLarge("\x01\x00\x10\x00", 4);  // 1 MiB + 1
  const std::vector<FailureCase> cases{
      {"close between frames", good, true, {kReceiveError, kDisconnected}, 1},
      {"close inside the length",
       good + std::string("\x05\x00", 2),
       true,
       {kReceiveError, kDisconnected},
       1},
      {"close inside a text",
       good + std::string("\x20\0\0\0{\"opt\"", 10),
       true,
       {kDisconnected, kDisconnected},
       1},
      {"length zero", good + std::string(4, '\0'), false, {kReceiveError, kDisconnected}, 1},
      {"length above the limit", good + tooLarge, false, {kReceiveError, kDisconnected}, 1},
      {"a second value after the first",
       good + test_support::ServerPeer::frameBytes(R"({"opt":"run"}{"opt":"run"})"),
       false,
       {kDisconnected},
       1},
      {"a trailing comma",
       test_support::ServerPeer::frameBytes(R"({"opt":"run",})"),
       false,
       {kDisconnected},
       0},
      {"nested far too deep",
       test_support::ServerPeer::frameBytes(std::string(300000, '[')),
       false,
       {kDisconnected},
       0},
  };
  for (const FailureCase& c : cases) {
    SCOPED_TRACE(c.name);
    test_support::MessageBoxRecorder boxes;
    test_support::ServerPeer peer;
    peer.configureClient();
    CMessageQueue* queue = CMessageQueue::getInstance();
    ASSERT_TRUE(queue->connect());
    ASSERT_TRUE(peer.accept());
    ASSERT_TRUE(peer.sendRaw(c.bytes));
    if (c.closes) peer.closeConnection();
    auto shown = boxes.waitForCount(c.expected.size());
    ASSERT_TRUE(shown);
    EXPECT_EQ(*shown, c.expected);
    // The records that arrived before the failure stay in the queue.
    for (std::size_t i = 0; i < c.records; ++i) EXPECT_NE(queue->popMessage(), nullptr);
    EXPECT_EQ(queue->popMessage(), nullptr);
    // The thread has ended: further frames are never read.
    if (!c.closes) {
      peer.sendFrame(R"({"opt":"timeout"})");
    }
    queue->disconnect();
    EXPECT_EQ(boxes.count(), c.expected.size());
  }
}

TEST_F(LinkTest, SendAfterThePeerHasGoneShowsItsBoxOnce) {
  peer.closeConnection();
  ASSERT_TRUE(boxes.waitForCount(2));
  // The first sends may still be buffered; the reset then fails the next.
  bool sent = true;
  for (int i = 0; i < 1000 && sent; ++i) {
    sent = queue->sendMessage(onlineQueryRequest());
    if (sent) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ASSERT_FALSE(sent);
  auto shown = boxes.boxes();
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[2], kSendFailed);
}

TEST_F(LinkTest, DisconnectEndsTheThreadWithoutABoxAndAllowsANewConnection) {
  ASSERT_TRUE(peer.sendFrame(R"({"opt":"timeout"})"));
  ASSERT_TRUE(popWithin());
  ASSERT_TRUE(peer.sendFrame(R"({"opt":"run"})"));
  queue->disconnect();
  EXPECT_TRUE(peer.waitForClose());
  EXPECT_EQ(queue->popMessage(), nullptr);
  EXPECT_FALSE(queue->sendMessage(onlineQueryRequest()));
  ASSERT_EQ(boxes.count(), 1u);

  test_support::ServerPeer second;
  second.configureClient();
  ASSERT_TRUE(queue->connect());
  ASSERT_TRUE(second.accept());
  ASSERT_TRUE(second.sendFrame(R"({"opt":"score","p0":"5","p1":"7"})"));
  auto score = popWithin();
  ASSERT_TRUE(score);
  EXPECT_EQ(score->p1, "7");
  ASSERT_TRUE(queue->sendMessage(quickJoinRequest()));
  EXPECT_EQ(second.readFrame(), quickJoinRequest());
  EXPECT_EQ(boxes.count(), 1u);
}

TEST_F(LinkTest, ConnectAgainEndsThePreviousConnection) {
  test_support::ServerPeer second;
  second.configureClient();
  ASSERT_TRUE(queue->connect());
  ASSERT_TRUE(second.accept());
  EXPECT_TRUE(peer.waitForClose());
  EXPECT_EQ(boxes.count(), 0u);
}

struct ConnectCase {
  const char* name;
  const char* host;  // nullptr: key absent
  std::string port;  // empty: key absent
};

TEST(Connect, FailsWithoutAServerOrAnAddress) {
  test_support::MessageBoxRecorder boxes;
  test_support::ServerPeer closed;
  std::string closedPort = std::to_string(closed.port());
  closed.closeListener();
  test_support::ServerPeer open;
  std::string openPort = std::to_string(open.port());
  const std::vector<ConnectCase> cases{
      {"closed port", "127.0.0.1", closedPort},
      {"host name", "localhost", openPort},
      {"empty host", "", openPort},
      {"absent host", nullptr, openPort},
      {"malformed address", "127.0.0.1.5", openPort},
      {"port not a number", "127.0.0.1", "99x"},
      {"port out of range", "127.0.0.1", "65536"},
      {"port zero", "127.0.0.1", "0"},
  };
  auto* configuration = engine::Configuration::getInstance();
  for (const ConnectCase& c : cases) {
    SCOPED_TRACE(c.name);
    configuration->clear();
    if (c.host) configuration->setValue("host", engine::Value(c.host));
    if (!c.port.empty()) configuration->setValue("port", engine::Value(c.port));
    EXPECT_FALSE(CMessageQueue::getInstance()->connect());
  }
  EXPECT_FALSE(open.accept(std::chrono::milliseconds(0)));
  EXPECT_EQ(boxes.count(), 0u);
}

TEST(Connect, UsesTheConfiguredPort) {
  auto* configuration = engine::Configuration::getInstance();
  configuration->clear();
  configuration->setValue("host", engine::Value("127.0.0.1"));
  test_support::ServerPeer peer;
  configuration->setValue("port", engine::Value(std::to_string(peer.port())));
  ASSERT_TRUE(CMessageQueue::getInstance()->connect());
  EXPECT_TRUE(peer.accept());
  CMessageQueue::getInstance()->disconnect();
}

}  // namespace
