// Framing of the wire: a 4-byte little-endian length, then that many bytes of
// JSON text. The decoder is pure (bytes in, frames out) so it can be tested by
// cutting the input anywhere.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace server {

// Longest text the server accepts from a client; anything longer is refused
// before a byte of it is buffered.
inline constexpr std::size_t kMaxFrameLength = 64 * 1024;

std::string encodeFrame(std::string_view text);

class CFrameDecoder {
 public:
  explicit CFrameDecoder(std::size_t maxLength = kMaxFrameLength) : maxLength_(maxLength) {}

  // Appends received bytes. Returns false once the stream is broken (a length
  // of 0 or above the limit); the decoder then stays failed.
  bool feed(const char* data, std::size_t size);
  // Takes the next complete frame's text, if any.
  bool next(std::string& text);
  bool failed() const { return failed_; }
  // Bytes held for frames not yet taken.
  std::size_t buffered() const { return buffer_.size() - start_; }

 private:
  std::size_t maxLength_;
  std::string buffer_;
  std::size_t start_ = 0;
  bool failed_ = false;

  bool checkHeader();
};

}  // namespace server
