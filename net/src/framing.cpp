// Frame encoding and the incremental frame decoder.
#include "net/framing.h"

#include "net/protocol.h"

std::string encodeFrame(std::string_view text) {
  auto size = static_cast<std::uint32_t>(text.size());
  std::string frame;
  frame.reserve(4 + text.size());
  for (int shift = 0; shift < 32; shift += 8) {
    frame.push_back(static_cast<char>((size >> shift) & 0xFFu));
  }
  frame.append(text);
  return frame;
}

bool sendAll(std::string_view bytes,
             const std::function<ssize_t(const char*, std::size_t)>& sendSome) {
  std::size_t offset = 0;
  while (offset < bytes.size()) {
    ssize_t taken = sendSome(bytes.data() + offset, bytes.size() - offset);
    if (taken <= 0) return false;
    offset += static_cast<std::size_t>(taken);
  }
  return true;
}

namespace {

std::uint32_t readLength(const char* bytes) {
  std::uint32_t size = 0;
  for (int i = 3; i >= 0; --i) {
    size = (size << 8) | static_cast<unsigned char>(bytes[i]);
  }
  return size;
}

}  // namespace

void CFrameDecoder::feed(const char* data, std::size_t size) {
  // Drop what has been taken before the buffer grows, so it stays near one frame.
  if (offset_ > 0 && offset_ >= buffer_.size() / 2) {
    buffer_.erase(0, offset_);
    offset_ = 0;
  }
  buffer_.append(data, size);
}

CFrameDecoder::Result CFrameDecoder::next(std::string& text) {
  if (failure_ != Result::kNeedMore) return failure_;
  std::size_t available = buffer_.size() - offset_;
  if (available < 4) return Result::kNeedMore;
  std::uint32_t size = readLength(buffer_.data() + offset_);
  if (size == 0) return failure_ = Result::kEmpty;
  if (size > kMaxFrameLength) return failure_ = Result::kTooLarge;
  if (available - 4 < size) return Result::kNeedMore;
  text.assign(buffer_, offset_ + 4, size);
  offset_ += 4 + size;
  if (offset_ == buffer_.size()) {
    buffer_.clear();
    offset_ = 0;
  }
  return Result::kFrame;
}

bool CFrameDecoder::ready() const {
  if (failure_ != Result::kNeedMore) return true;
  std::size_t available = buffer_.size() - offset_;
  if (available < 4) return false;
  std::uint32_t size = readLength(buffer_.data() + offset_);
  return size == 0 || size > kMaxFrameLength || available - 4 >= size;
}

bool CFrameDecoder::insideText() const {
  if (failure_ != Result::kNeedMore) return false;
  std::size_t available = buffer_.size() - offset_;
  if (available < 4) return false;
  std::uint32_t size = readLength(buffer_.data() + offset_);
  return size != 0 && size <= kMaxFrameLength && available - 4 < size;
}

void CFrameDecoder::reset() {
  buffer_.clear();
  offset_ = 0;
  failure_ = Result::kNeedMore;
}
