// A flood: the server sends messages far faster than the scenes take them
// (one per 0.1 s tick). The receive thread waits for room in the bounded
// queue, so memory stays flat, and every message is shown, in order.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "hostile_fixture.h"

#if defined(__SANITIZE_ADDRESS__)
// Freed memory is held back by AddressSanitizer (256 MB by default), which
// would hide whether the client's own memory stays flat.
extern "C" const char* __asan_default_options() {
  return "quarantine_size_mb=16";
}
#endif

namespace hostile {
namespace {

// QUARTET_FLOOD_MESSAGES overrides the count (the slow run sends a million).
int floodCount(int fallback) {
  const char* text = std::getenv("QUARTET_FLOOD_MESSAGES");
  return text != nullptr && std::atoi(text) > 0 ? std::atoi(text) : fallback;
}

class FloodTest : public HostileTest {
 public:
  // Floods the scene with `count` markers and follows them on the screen.
  void flood(Where where, int count, const std::function<std::string()>& read) {
    std::thread writer([this, where, count] {
      std::string chunk;
      for (int i = 1; i <= count; ++i) {
        chunk += test_support::ServerPeer::frameBytes(marker(where, i));
        if (chunk.size() > 256 * 1024 || i == count) {
          if (!peer.sendRaw(chunk)) return;
          chunk.clear();
        }
      }
    });

    const long base = residentKb();
    long highest = base;
    int next = 1;
    int wrong = 0;
    std::string seen = read();
    layer->schedule(
        [&](float) {
          const std::string now = read();
          if (now == seen) return;
          seen = now;
          if (now != shown(where, next)) ++wrong;
          ++next;
        },
        0.05f, "flood-watch");
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(20);
    int reported = 0;
    while (next <= count && std::chrono::steady_clock::now() < deadline) {
      app.advance(5.0);
      highest = std::max(highest, residentKb());
      if (next / 100000 > reported) {
        reported = next / 100000;
        std::printf("flood: %d messages shown, %ld kB above the start\n", next - 1,
                    residentKb() - base);
      }
      if (CMessageQueue::getInstance()->size() == 0) std::this_thread::sleep_for(1ms);
    }
    writer.join();
    layer->unschedule("flood-watch");

    EXPECT_EQ(next - 1, count) << "messages shown";
    EXPECT_EQ(wrong, 0) << "messages out of order or lost";
    EXPECT_LE(CMessageQueue::getInstance()->size(), kQueueCapacity);
    // Flat: the bounded queue, not the flood, sets the memory.
    EXPECT_LT(highest - base, 96 * 1024) << "kB above the start";
    EXPECT_TRUE(boxes().empty());
    EXPECT_TRUE(stillRunning());
    RecordProperty("messages", count);
    RecordProperty("peak_rise_kb", static_cast<int>(highest - base));
  }
};

TEST_F(FloodTest, TheTableShowsEveryMessageInOrderWithFlatMemory) {
  openTable();
  flood(Where::kTable, floodCount(100000), [this] { return table->ownScoreLabel->getString(); });
  // And it still answers the player: the ready request goes out.
  const engine::Vec2 at = table->readyButton->getPosition();
  app.tap(at.x, at.y);
  EXPECT_EQ(peer.readFrame(), readyRequest(1, 0));
}

TEST_F(FloodTest, TheLobbyShowsEveryMessageInOrderWithFlatMemory) {
  openLobby();
  // Every 100 ticks the lobby asks again; those queries pile up unread here.
  flood(Where::kLobby, floodCount(20000), [this] { return lobby->onlineLabel->getString(); });
}

}  // namespace
}  // namespace hostile
