// Framing without sockets: encoding, the decoder fed at every byte boundary,
// its refusals, and sends that the socket takes only in part.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "net/framing.h"
#include "net/protocol.h"

namespace {

using Result = CFrameDecoder::Result;

std::string lengthBytes(std::uint32_t size) {
  return std::string{static_cast<char>(size & 0xFF), static_cast<char>((size >> 8) & 0xFF),
                     static_cast<char>((size >> 16) & 0xFF), static_cast<char>(size >> 24)};
}

std::vector<std::string> drain(CFrameDecoder& decoder) {
  std::vector<std::string> frames;
  std::string text;
  while (decoder.next(text) == Result::kFrame) frames.push_back(text);
  return frames;
}

TEST(EncodeFrame, PutsTheLengthLeastSignificantByteFirst) {
  EXPECT_EQ(encodeFrame(R"({"opt":"query"})"), std::string("\x0F\0\0\0", 4) + R"({"opt":"query"})");
  std::string text(0x010203, 'a');
  std::string frame = encodeFrame(text);
  ASSERT_EQ(frame.size(), 4 + text.size());
  EXPECT_EQ(frame.substr(0, 4), std::string("\x03\x02\x01\x00", 4));
}

TEST(FrameDecoder, AssemblesFramesCutAtEveryByteBoundary) {
  const std::vector<std::string> texts{R"({"opt":"query","online":"3","version":"26"})",
                                       std::string("a\0b", 3), "x"};
  std::string stream;
  for (const auto& text : texts) stream += encodeFrame(text);
  for (std::size_t cut = 0; cut <= stream.size(); ++cut) {
    SCOPED_TRACE("cut at " + std::to_string(cut));
    CFrameDecoder decoder;
    decoder.feed(stream.substr(0, cut));
    auto frames = drain(decoder);
    decoder.feed(stream.substr(cut));
    auto rest = drain(decoder);
    frames.insert(frames.end(), rest.begin(), rest.end());
    EXPECT_EQ(frames, texts);
    EXPECT_FALSE(decoder.insideText());
  }
}

TEST(FrameDecoder, AssemblesFramesFedOneByteAtATime) {
  std::string stream = encodeFrame("first") + encodeFrame("second");
  CFrameDecoder decoder;
  std::vector<std::string> frames;
  for (std::size_t i = 0; i < stream.size(); ++i) {
    decoder.feed(stream.substr(i, 1));
    EXPECT_EQ(decoder.ready(), i == 8 || i == 18) << "after byte " << i;
    auto got = drain(decoder);
    EXPECT_FALSE(decoder.ready());
    frames.insert(frames.end(), got.begin(), got.end());
    // Inside the text exactly from the fifth byte of each frame to its last.
    bool inFirstText = i >= 3 && i < 3 + 5;
    bool inSecondText = i >= 9 + 3 && i < 9 + 3 + 6;
    EXPECT_EQ(decoder.insideText(), inFirstText || inSecondText) << "after byte " << i;
  }
  EXPECT_EQ(frames, (std::vector<std::string>{"first", "second"}));
}

TEST(FrameDecoder, RefusesLengthZeroAndLengthsAboveTheLimit) {
  struct Case {
    const char* name;
    std::string bytes;
    Result expected;
  };
  const std::vector<Case> cases{
      {"length zero", lengthBytes(0), Result::kEmpty},
      {"one above the limit", lengthBytes(kMaxFrameLength + 1), Result::kTooLarge},
      {"largest length", lengthBytes(0xFFFFFFFFu), Result::kTooLarge},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CFrameDecoder decoder;
    decoder.feed(encodeFrame("ok") + c.bytes + encodeFrame("never"));
    std::string text;
    ASSERT_EQ(decoder.next(text), Result::kFrame);
    EXPECT_EQ(text, "ok");
    EXPECT_TRUE(decoder.ready());
    EXPECT_EQ(decoder.next(text), c.expected);
    EXPECT_TRUE(decoder.ready());
    EXPECT_EQ(decoder.next(text), c.expected);
    EXPECT_EQ(text, "ok");
    EXPECT_FALSE(decoder.insideText());
  }
}

TEST(FrameDecoder, TakesAFrameOfExactlyTheLimit) {
  std::string text(kMaxFrameLength, 'z');
  CFrameDecoder decoder;
  decoder.feed(encodeFrame(text));
  std::string got;
  ASSERT_EQ(decoder.next(got), Result::kFrame);
  EXPECT_EQ(got.size(), kMaxFrameLength);
}

TEST(FrameDecoder, ResetForgetsAPartialFrameAndAFailure) {
  CFrameDecoder decoder;
  decoder.feed(lengthBytes(10) + "abc");
  EXPECT_TRUE(decoder.insideText());
  decoder.reset();
  EXPECT_FALSE(decoder.insideText());
  decoder.feed(lengthBytes(0));
  std::string text;
  EXPECT_EQ(decoder.next(text), Result::kEmpty);
  decoder.reset();
  decoder.feed(encodeFrame("fresh"));
  EXPECT_EQ(decoder.next(text), Result::kFrame);
  EXPECT_EQ(text, "fresh");
}

// A socket that takes at most `limit` bytes per call, and fails after `budget` calls.
struct PartialSocket {
  std::size_t limit;
  int budget;
  std::string received;
  int calls = 0;

  ssize_t operator()(const char* data, std::size_t size) {
    if (calls++ >= budget) return -1;
    std::size_t taken = size < limit ? size : limit;
    received.append(data, taken);
    return static_cast<ssize_t>(taken);
  }
};

TEST(SendAll, OffersTheRestAfterAPartialSendAndNeverRepeatsAByte) {
  const std::string frame = encodeFrame(R"({"opt":"game","desk":5,"site":2,"cards":"12,13,"})");
  for (std::size_t limit : {std::size_t{1}, std::size_t{3}, std::size_t{4}, frame.size()}) {
    SCOPED_TRACE("limit " + std::to_string(limit));
    PartialSocket socket{limit, 1000, {}, 0};
    EXPECT_TRUE(sendAll(frame, std::ref(socket)));
    EXPECT_EQ(socket.received, frame);
    EXPECT_EQ(socket.calls, static_cast<int>((frame.size() + limit - 1) / limit));
  }
}

TEST(SendAll, StopsAtTheFirstFailureKeepingWhatWasSent) {
  const std::string frame = encodeFrame("0123456789");
  for (ssize_t failure : {ssize_t{0}, ssize_t{-1}}) {
    SCOPED_TRACE("failure " + std::to_string(failure));
    int calls = 0;
    std::string received;
    bool sent = sendAll(frame, [&](const char* data, std::size_t size) -> ssize_t {
      if (++calls > 2) return failure;
      received.append(data, size < 5 ? size : 5);
      return size < 5 ? static_cast<ssize_t>(size) : 5;
    });
    EXPECT_FALSE(sent);
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(received, frame.substr(0, 10));
  }
}

}  // namespace
