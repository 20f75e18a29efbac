// Framing of the link, free of sockets: a frame is a 4-byte length (least
// significant byte first, counting the text only) followed by the text.
#pragma once

#include <sys/types.h>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

std::string encodeFrame(std::string_view text);

// Hands `bytes` to `sendSome` until all of them are taken. `sendSome` returns
// how many it took, or 0 or less on failure; no byte is offered twice.
bool sendAll(std::string_view bytes,
             const std::function<ssize_t(const char*, std::size_t)>& sendSome);

// Splits a received byte stream into frame texts, whatever the pieces the
// bytes arrive in.
class CFrameDecoder {
 public:
  enum class Result {
    kNeedMore,  // no complete frame buffered yet
    kFrame,     // a frame's text was taken
    kEmpty,     // a frame of length 0: the stream is unusable
    kTooLarge,  // a length above kMaxFrameLength: the stream is unusable
  };

  void feed(const char* data, std::size_t size);
  void feed(std::string_view bytes) { feed(bytes.data(), bytes.size()); }

  // Takes the next complete frame's text into `text` (replacing its content).
  // After kEmpty or kTooLarge every further call returns the same.
  Result next(std::string& text);

  // True when next() would not return kNeedMore.
  bool ready() const;

  // True while a frame's length has arrived but not all of its text: the
  // place where a closed stream cut the frame.
  bool insideText() const;
  void reset();

 private:
  std::string buffer_;
  std::size_t offset_ = 0;
  Result failure_ = Result::kNeedMore;
};
