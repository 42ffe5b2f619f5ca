// Any file bytes read as a compressed stream: no read past a buffer, and a
// clean error code when the records are damaged.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "storage/file_stream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/dev/shm/form13f-fuzz-" + std::to_string(getpid()) + ".z";
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return 0;
  std::fwrite(data, 1, size, file);
  std::fclose(file);
  FileStream* stream = OpenFileStream(path, kStreamRead | kStreamCompressed);
  if (!stream) return 0;
  char buffer[1500];
  int64_t n;
  uint64_t total = 0;
  while ((n = ReadBytes(stream, buffer, sizeof buffer)) > 0) total += static_cast<uint64_t>(n);
  if (n < 0 && n != kStreamReadFailed) std::abort();
  // Each record holds at most one block, and a record takes at least 2 bytes.
  if (total > (size / 2 + 1) * kStreamBufferSize) std::abort();
  CloseFileStream(stream);
  return 0;
}
