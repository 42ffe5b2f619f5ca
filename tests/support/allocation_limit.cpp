#include "tests/support/allocation_limit.h"

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>

namespace {

std::atomic<size_t> largest{SIZE_MAX};

void* Allocate(size_t size, bool nothrow) {
  void* memory = size > largest.load(std::memory_order_relaxed) ? nullptr : std::malloc(size ? size : 1);
  if (!memory && !nothrow) throw std::bad_alloc();
  return memory;
}

}  // namespace

AllocationLimit::AllocationLimit(size_t largestAllocation) { largest = largestAllocation; }
AllocationLimit::~AllocationLimit() { largest = SIZE_MAX; }

void* operator new(size_t size) { return Allocate(size, false); }
void* operator new[](size_t size) { return Allocate(size, false); }
void* operator new(size_t size, const std::nothrow_t&) noexcept { return Allocate(size, true); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept { return Allocate(size, true); }
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, size_t) noexcept { std::free(memory); }
