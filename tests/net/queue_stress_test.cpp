// The inbound queue under load: order, the bound with the receive thread
// waiting for room, and shutdown while it waits. Also run under ThreadSanitizer.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "link_fixture.h"
#include "net/protocol.h"
#include "net/requests.h"

namespace {

std::string gameFrame(int per) {
  return test_support::ServerPeer::frameBytes(
      R"({"opt":"game","per":")" + std::to_string(per) +
      R"(","surplus":"12","now":"2","cards":"12,13,","score":"10","must":"0"})");
}

std::string gameFrames(int from, int count) {
  std::string bytes;
  for (int i = from; i < from + count; ++i) bytes += gameFrame(i);
  return bytes;
}

// Waits until the queue holds `count` records, never seeing more; false on time-out.
bool waitForSize(std::size_t count) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (std::chrono::steady_clock::now() < deadline) {
    std::size_t size = CMessageQueue::getInstance()->size();
    EXPECT_LE(size, kQueueCapacity);
    if (size == count) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return false;
}

TEST(MessageQueue, PopOnAnEmptyQueueReturnsNull) {
  CMessageQueue* queue = CMessageQueue::getInstance();
  EXPECT_EQ(queue->popMessage(), nullptr);
  EXPECT_EQ(queue->size(), 0u);
  EXPECT_EQ(queue->popMessage(), nullptr);
}

TEST_F(LinkTest, RecordsComeOutInArrivalOrderAndOutliveThePops) {
  ASSERT_TRUE(peer.sendFrame(R"({"opt":"add","desk":"1","site":"0","name":"A"})"));
  ASSERT_TRUE(peer.sendFrame(R"({"opt":"add","desk":"2","site":"1","name":"B"})"));
  ASSERT_TRUE(peer.sendFrame(R"({"opt":"add","desk":"3","site":"2","name":"C"})"));
  ASSERT_TRUE(waitForSize(3));
  auto a = queue->popMessage();
  auto b = queue->popMessage();
  auto c = queue->popMessage();
  EXPECT_EQ(queue->popMessage(), nullptr);
  ASSERT_TRUE(a && b && c);
  EXPECT_EQ(a->name + b->name + c->name, "ABC");
  ASSERT_TRUE(peer.sendFrame(R"({"opt":"timeout"})"));
  ASSERT_TRUE(popWithin());
  EXPECT_EQ(a->desk, 1);
  EXPECT_EQ(c->site, 2);
}

TEST_F(LinkTest, AFullQueueMakesTheThreadWaitAndLosesNothing) {
  const int total = static_cast<int>(kQueueCapacity) + 500;
  std::thread writer([&] { EXPECT_TRUE(peer.sendRaw(gameFrames(0, total))); });
  ASSERT_TRUE(waitForSize(kQueueCapacity));
  // Room for one lets exactly one more in.
  auto first = queue->popMessage();
  ASSERT_TRUE(first);
  EXPECT_EQ(first->per, 0);
  ASSERT_TRUE(waitForSize(kQueueCapacity));
  for (int i = 1; i < total; ++i) {
    auto message = popWithin();
    ASSERT_TRUE(message) << "record " << i;
    ASSERT_EQ(message->per, i);
  }
  writer.join();
  EXPECT_EQ(queue->popMessage(), nullptr);
  EXPECT_EQ(boxes.count(), 0u);
}

TEST_F(LinkTest, DisconnectWakesAThreadWaitingForRoom) {
  ASSERT_TRUE(peer.sendRaw(gameFrames(0, static_cast<int>(kQueueCapacity) + 10)));
  ASSERT_TRUE(waitForSize(kQueueCapacity));
  queue->disconnect();
  EXPECT_EQ(queue->size(), 0u);
  EXPECT_TRUE(peer.waitForClose());
  EXPECT_EQ(boxes.count(), 0u);
}

TEST_F(LinkTest, FloodWhileTheMainSideSendsAndPops) {
  const int total = 30000;
  std::thread writer([&] {
    for (int from = 0; from < total; from += 1000) {
      if (!peer.sendRaw(gameFrames(from, 1000))) return;
    }
  });
  std::atomic<int> requestsRead{0};
  std::thread reader([&] {
    while (requestsRead < 300 && peer.readFrame()) ++requestsRead;
  });
  for (int i = 0; i < total; ++i) {
    if (i % 100 == 0) {
      ASSERT_TRUE(queue->sendMessage(readyRequest(i, 1)));
    }
    auto message = popWithin();
    ASSERT_TRUE(message) << "record " << i;
    ASSERT_EQ(message->per, i);
    ASSERT_EQ(message->cards, "12,13,");
  }
  writer.join();
  reader.join();
  EXPECT_EQ(requestsRead, 300);
  EXPECT_EQ(boxes.count(), 0u);
}

TEST(MessageQueue, ConnectAndDisconnectRepeatedlyUnderTraffic) {
  test_support::MessageBoxRecorder boxes;
  CMessageQueue* queue = CMessageQueue::getInstance();
  for (int round = 0; round < 25; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    test_support::ServerPeer peer;
    peer.configureClient();
    ASSERT_TRUE(queue->connect());
    ASSERT_TRUE(peer.accept());
    std::thread writer([&] { peer.sendRaw(gameFrames(0, 200 * (round % 5))); });
    for (int i = 0; i < round; ++i) queue->popMessage();
    queue->disconnect();
    writer.join();
  }
  EXPECT_EQ(queue->popMessage(), nullptr);
  EXPECT_EQ(boxes.count(), 0u);
}

}  // namespace
