// Private to storage/: the buffered writing of one open file, in sequence,
// through a 4096-byte block buffer. Whole blocks go straight from the
// caller's memory. The descriptor stays its owner's.
#pragma once

#include <cstddef>
#include <string_view>

#include "storage/failure_reason.h"

class FileStream {
 public:
  static constexpr size_t kBufferSize = 4096;

  explicit FileStream(int file) : file_(file) {}
  FileStream(const FileStream&) = delete;
  FileStream& operator=(const FileStream&) = delete;

  // Appends `text`. After a failure, nothing more is written and every call
  // gives that first failure again.
  FileFailure Write(std::string_view text);
  // Writes out what is buffered.
  FileFailure Flush();

 private:
  FileFailure WriteFully(const char* data, size_t count);

  int file_;
  char buffer_[kBufferSize];
  size_t buffered_ = 0;
  FileFailure failure_;
};
