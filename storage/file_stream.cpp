#include "storage/file_stream.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

FileFailure FileStream::WriteFully(const char* data, size_t count) {
  while (count > 0) {
    const ssize_t n = write(file_, data, count);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return failure_ = errno;
    if (n == 0) return failure_ = ENOSPC;
    data += n;
    count -= static_cast<size_t>(n);
  }
  return std::nullopt;
}

FileFailure FileStream::Write(std::string_view text) {
  if (failure_) return failure_;
  const char* data = text.data();
  size_t count = text.size();
  if (buffered_ > 0) {
    const size_t taken = std::min(count, kBufferSize - buffered_);
    std::memcpy(buffer_ + buffered_, data, taken);
    buffered_ += taken;
    data += taken;
    count -= taken;
    if (buffered_ < kBufferSize) return std::nullopt;
    if (const FileFailure failure = Flush()) return failure;
  }
  const size_t whole = count - count % kBufferSize;
  if (whole > 0) {
    if (const FileFailure failure = WriteFully(data, whole)) return failure;
  }
  std::memcpy(buffer_, data + whole, count - whole);
  buffered_ = count - whole;
  return std::nullopt;
}

FileFailure FileStream::Flush() {
  if (failure_) return failure_;
  const size_t count = buffered_;
  buffered_ = 0;
  return WriteFully(buffer_, count);
}
