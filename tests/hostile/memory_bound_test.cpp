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

// A seat name as long as a frame may carry: the label must not become a
// texture of the whole text (a million characters are gigabytes of pixels).
TEST_F(MemoryBoundTest, TheLargestNameKeepsTheTableBounded) {
  openTable();
  const long before = residentKb();
  const std::string head = R"({"opt":"change","info":[{"name":")";
  const std::string tail = R"(","ready":"1"}]})";
  const std::string text =
      head + std::string(kMaxFrameLength - head.size() - tail.size(), 'W') + tail;
  send({text});
  ASSERT_TRUE(waitQueued(1));
  drain();
  app.step();
  EXPECT_TRUE(stillRunning());
  EXPECT_LT(residentKb() - before, 128 * 1024)
      << "kB after a name of " << table->seatRecord(0)->nameLabel->getString().size() << " bytes";
}

}  // namespace
}  // namespace hostile
