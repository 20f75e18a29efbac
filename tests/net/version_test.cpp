// The version check: a query reply announcing another version than the
// client's shows the version box and ends the process with status 0, in a
// child process while its main thread keeps taking records.
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

TEST(VersionCheck, AnotherVersionEndsTheProcessWithStatusZero) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  for (const char* version : {"27", "2", "26 ", "", "026"}) {
    SCOPED_TRACE(std::string("version \"") + version + "\"");
    EXPECT_EXIT(serveQueryReplies({version}), ::testing::ExitedWithCode(0), kVersionBox);
  }
}

TEST(VersionCheck, RunsOnEveryReplyNotOnlyTheFirst) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(serveQueryReplies({"26", "26", "27"}), ::testing::ExitedWithCode(0), kVersionBox);
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
