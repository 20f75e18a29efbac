// Framing: lengths little-endian, frames cut anywhere, and refused lengths.
#include "server/frame_codec.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using server::CFrameDecoder;
using server::encodeFrame;

TEST(FrameCodec, EncodesLengthLeastSignificantByteFirst) {
  const std::string frame = encodeFrame(R"({"opt":"query"})");
  ASSERT_EQ(frame.size(), 19u);
  EXPECT_EQ(frame.substr(0, 4), std::string("\x0f\x00\x00\x00", 4));
  EXPECT_EQ(frame.substr(4), R"({"opt":"query"})");
  const std::string big = encodeFrame(std::string(0x1234, 'x'));
  EXPECT_EQ(big.substr(0, 4), std::string("\x34\x12\x00\x00", 4));
}

TEST(FrameCodec, DecodesFramesCutAtEveryByte) {
  const std::vector<std::string> texts = {"a", R"({"opt":"add"})", std::string("x\0y", 3),
                                          std::string(300, 'z')};
  std::string stream;
  for (const auto& t : texts) stream += encodeFrame(t);
  for (std::size_t cut = 0; cut <= stream.size(); ++cut) {
    SCOPED_TRACE(cut);
    CFrameDecoder decoder;
    std::vector<std::string> got;
    std::string text;
    ASSERT_TRUE(decoder.feed(stream.data(), cut));
    while (decoder.next(text)) got.push_back(text);
    ASSERT_TRUE(decoder.feed(stream.data() + cut, stream.size() - cut));
    while (decoder.next(text)) got.push_back(text);
    EXPECT_EQ(got, texts);
    EXPECT_EQ(decoder.buffered(), 0u);
  }
}

TEST(FrameCodec, RefusesEmptyAndOversizedFrames) {
  struct {
    const char* name;
    std::string header;
  } cases[] = {
      {"zero length", std::string("\0\0\0\0", 4)},
      {"one past the limit", std::string("\x01\x00\x01\x00", 4)},
      {"4 GiB", std::string("\xff\xff\xff\xff", 4)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CFrameDecoder alone;
    EXPECT_FALSE(alone.feed(c.header.data(), c.header.size()));
    EXPECT_TRUE(alone.failed());

    // After a valid frame: that one is still delivered, then the stream is broken.
    CFrameDecoder decoder;
    const std::string stream = encodeFrame("ok") + c.header + "more";
    EXPECT_TRUE(decoder.feed(stream.data(), stream.size()));
    std::string text;
    EXPECT_TRUE(decoder.next(text));
    EXPECT_EQ(text, "ok");
    EXPECT_FALSE(decoder.next(text));
    EXPECT_TRUE(decoder.failed());
    EXPECT_FALSE(decoder.feed("x", 1));
  }
}

TEST(FrameCodec, AcceptsAFrameOfExactlyTheLimit) {
  CFrameDecoder decoder;
  const std::string stream = encodeFrame(std::string(server::kMaxFrameLength, 'q'));
  ASSERT_TRUE(decoder.feed(stream.data(), stream.size()));
  std::string text;
  ASSERT_TRUE(decoder.next(text));
  EXPECT_EQ(text.size(), server::kMaxFrameLength);
}
