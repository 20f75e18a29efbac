// Length-prefixed frames in both directions.
#include "server/frame_codec.h"

namespace server {
namespace {

std::uint32_t readLength(const char* p) {
  const auto* u = reinterpret_cast<const unsigned char*>(p);
  return std::uint32_t(u[0]) | std::uint32_t(u[1]) << 8 | std::uint32_t(u[2]) << 16 |
         std::uint32_t(u[3]) << 24;
}

}  // namespace

std::string encodeFrame(std::string_view text) {
  const auto n = static_cast<std::uint32_t>(text.size());
  std::string frame;
  frame.reserve(4 + text.size());
  for (int i = 0; i < 4; ++i) frame.push_back(static_cast<char>((n >> (8 * i)) & 0xff));
  frame.append(text);
  return frame;
}

bool CFrameDecoder::checkHeader() {
  if (buffered() < 4) return true;
  const std::uint32_t n = readLength(buffer_.data() + start_);
  if (n == 0 || n > maxLength_) failed_ = true;
  return !failed_;
}

bool CFrameDecoder::feed(const char* data, std::size_t size) {
  if (failed_) return false;
  // Drop consumed bytes before growing, so the buffer never holds more than
  // one frame and a header beyond what is still to be taken.
  if (start_ > 0) {
    buffer_.erase(0, start_);
    start_ = 0;
  }
  buffer_.append(data, size);
  return checkHeader();
}

bool CFrameDecoder::next(std::string& text) {
  if (failed_ || buffered() < 4) return false;
  const std::uint32_t n = readLength(buffer_.data() + start_);
  if (buffered() < 4 + std::size_t(n)) return false;
  text.assign(buffer_, start_ + 4, n);
  start_ += 4 + n;
  checkHeader();
  return true;
}

}  // namespace server
