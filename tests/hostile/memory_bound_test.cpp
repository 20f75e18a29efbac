// A frame as long as the link allows, filled with cards: a deal of half a
// million cards. No real hand comes near (two decks hold 108 cards), and a
// second deal lands on top of the first, so the table must not turn every
// code of such frames into a sprite: its memory stays bounded whatever the
// server sends.
#include <string>

#include "cards/card_sprite.h"
#include "hostile_fixture.h"

namespace hostile {
namespace {

// "1,1,1,..." as long as a frame may be.
std::string largestCards(const std::string& head, const std::string& tail) {
  std::string text = head;
  while (text.size() + 2 + tail.size() <= kMaxFrameLength) text += "1,";
  return text + tail;
}

class MemoryBoundTest : public HostileTest {};

TEST_F(MemoryBoundTest, TheLargestDealKeepsTheTableBounded) {
  openTable();
  const long before = residentKb();
  const std::string deal = largestCards(R"({"opt":"start","cards":")", R"("})");
  const std::vector<std::string> texts = {deal};
  send(texts);
  ASSERT_TRUE(waitQueued(texts.size()));
  drain();
  app.step();
  EXPECT_TRUE(stillRunning());
  EXPECT_TRUE(boxes().empty());
  EXPECT_LT(residentKb() - before, 128 * 1024)
      << "kB for " << table->handCards.size() << " hand cards";
}

}  // namespace
}  // namespace hostile
