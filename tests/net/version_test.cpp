// How the process ends around the receive thread, in child processes: a
// query reply announcing another version than the client's shows the version
// box and ends the process with status 0 while the main thread keeps taking
// records; a normal exit stops the thread without a box.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "engine/message_box.h"
#include "link_fixture.h"
#include "net/protocol.h"

namespace {

std::string queryReply(const std::string& version) {
  return R"({"opt":"query","online":"12","version":")" + version + R"("})";
}

std::string escapeRegex(const std::string& text) {
  std::string escaped;
  for (char c : text) {
    if (std::string_view(".[]{}()\\*+?^$|").find(c) != std::string_view::npos) escaped += '\\';
    escaped += c;
  }
  return escaped;
}

// Static destructors must not run on this exit: this one would change the status.
struct ExitSentinel {
  ~ExitSentinel() { std::_Exit(7); }
};

// Runs in the child: replies to the lobby's queries with `versions` in turn,
// checking that accepted replies are queued, while the main thread goes on
// polling the queue until the process is ended from the receive thread.
[[noreturn]] void serveQueryReplies(std::vector<std::string> versions) {
  static ExitSentinel sentinel;
  engine::setMessageBoxHandler([](const std::string& text, const std::string& title) {
    std::fprintf(stderr, "BOX<%s|%s>\n", title.c_str(), text.c_str());
  });
  test_support::ServerPeer peer;
  peer.configureClient();
  CMessageQueue* queue = CMessageQueue::getInstance();
  if (!queue->connect() || !peer.accept()) std::_Exit(3);
  for (const std::string& version : versions) {
    if (!peer.sendFrame(queryReply(version))) std::_Exit(4);
    if (version == kClientVersion) {
      auto reply = popWithin();
      if (!reply || reply->opt != "query" || reply->online != "12") std::_Exit(5);
    }
  }
  for (;;) {
    if (queue->popMessage()) std::_Exit(6);  // a mismatching reply must not be queued
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

const std::string kVersionBox = "BOX<" + escapeRegex(std::string(kVersionBoxTitle)) + "\\|" +
                                escapeRegex(versionBoxText()) + ">";

TEST(ProcessEnd, AnotherVersionEndsTheProcessWithStatusZero) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  for (const char* version : {"27", "2", "26 ", "", "026"}) {
    SCOPED_TRACE(std::string("version \"") + version + "\"");
    EXPECT_EXIT(serveQueryReplies({version}), ::testing::ExitedWithCode(0), kVersionBox);
  }
}

TEST(ProcessEnd, VersionCheckRunsOnEveryReplyNotOnlyTheFirst) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(serveQueryReplies({"26", "26", "27"}), ::testing::ExitedWithCode(0), kVersionBox);
}

// Ends the process normally while the receive thread waits in a receive, or
// for room in a full queue: the singleton's clean-up must stop it quietly.
[[noreturn]] void exitWhileConnected(bool fillQueue) {
  engine::setMessageBoxHandler([](const std::string&, const std::string&) { std::_Exit(9); });
  // Left open, as a live server would be; created before the singleton, so cleaned up after it.
  static test_support::ServerPeer server;
  test_support::ServerPeer* peer = &server;
  peer->configureClient();
  CMessageQueue* queue = CMessageQueue::getInstance();
  if (!queue->connect() || !peer->accept()) std::_Exit(3);
  if (fillQueue) {
    std::string frames;
    for (std::size_t i = 0; i < kQueueCapacity + 10; ++i)
      frames += peer->frameBytes(R"({"opt":"timeout"})");
    if (!peer->sendRaw(frames)) std::_Exit(4);
    while (queue->size() < kQueueCapacity)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
  } else {
    if (!peer->sendFrame(R"({"opt":"timeout"})") || !popWithin()) std::_Exit(5);
  }
  std::exit(0);
}

TEST(ProcessEnd, ANormalExitStopsTheReceiveThreadQuietly) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(exitWhileConnected(false), ::testing::ExitedWithCode(0), "");
  EXPECT_EXIT(exitWhileConnected(true), ::testing::ExitedWithCode(0), "");
}

TEST_F(LinkTest, TheClientsOwnVersionIsQueued) {
  ASSERT_TRUE(peer.sendFrame(queryReply("26")));
  auto reply = popWithin();
  ASSERT_TRUE(reply);
  EXPECT_EQ(reply->opt, "query");
  EXPECT_EQ(reply->online, "12");
  EXPECT_EQ(reply->version, "26");
  EXPECT_EQ(boxes.count(), 0u);
}

}  // namespace
