#include "infotable/large_buffer.h"

#include <cstdint>

#ifdef __linux__
#include <sys/mman.h>
#include <unistd.h>
#endif

void PrepareLargeMemory(const void* data, size_t bytes, bool filled) {
#ifdef __linux__
  // Below this, the few page faults cost less than the calls.
  constexpr size_t kLarge = 256 << 10;
  if (bytes < kLarge) return;
  const uintptr_t pageSize = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
  const uintptr_t start = reinterpret_cast<uintptr_t>(data);
#ifdef MADV_HUGEPAGE
  constexpr uintptr_t kHugePage = 2 << 20;
  const uintptr_t hugeBegin = (start + kHugePage - 1) & ~(kHugePage - 1);
  const uintptr_t hugeEnd = (start + bytes) & ~(kHugePage - 1);
  if (hugeBegin < hugeEnd) madvise(reinterpret_cast<void*>(hugeBegin), hugeEnd - hugeBegin, MADV_HUGEPAGE);
#endif
#ifdef MADV_POPULATE_WRITE
  const uintptr_t begin = (start + pageSize - 1) & ~(pageSize - 1);
  const uintptr_t end = (start + bytes) & ~(pageSize - 1);
  if (filled && begin < end) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_POPULATE_WRITE);
#endif
#else
  (void)data;
  (void)bytes;
  (void)filled;
#endif
}

void ReserveLarge(std::string& text, size_t size) {
  text.reserve(size);
  PrepareLargeMemory(text.data(), text.capacity(), false);
}
