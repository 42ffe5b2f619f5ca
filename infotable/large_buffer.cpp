#include "infotable/large_buffer.h"

#include <cstdint>

#ifdef __linux__
#include <sys/mman.h>
#endif

void ReserveLarge(std::string& text, size_t size) {
  text.reserve(size);
#if defined(__linux__) && defined(MADV_HUGEPAGE)
  constexpr uintptr_t kHugePage = 2 << 20;
  const uintptr_t begin = (reinterpret_cast<uintptr_t>(text.data()) + kHugePage - 1) & ~(kHugePage - 1);
  const uintptr_t end = (reinterpret_cast<uintptr_t>(text.data()) + text.capacity()) & ~(kHugePage - 1);
  if (begin < end) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#endif
}
