// Which frames make up the face of a card code.
#include "cards/card_face.h"

#include <gtest/gtest.h>

namespace {

TEST(CardFace, FramesByCode) {
  struct Case {
    int code;
    const char* surface;
    const char* number;
    const char* pip;
  };
  const Case cases[] = {
      {0, "front", "b_num0", "flower0"},
      {1, "front", "b_num0", "flower1"},
      {2, "front", "r_num0", "flower2"},
      {9, "front", "b_num2", "flower1"},
      {19, "front", "r_num4", "flower3"},
      {46, "front", "r_num11", "flower2"},
      {48, "front", "b_num12", "flower0"},
      {51, "front", "r_num12", "flower3"},
      {52, "b_joker", "", ""},
      {53, "r_joker", "", ""},
      // Codes a server text may carry but no card has: the blank surface.
      {-1, "front", "", ""},
      {54, "front", "", ""},
      {-7, "front", "", ""},
      {1000, "front", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    const cards::stCardFace face = cards::cardFace(c.code);
    EXPECT_EQ(face.surface, c.surface);
    EXPECT_EQ(face.number, c.number);
    EXPECT_EQ(face.pip, c.pip);
  }
}

}  // namespace
