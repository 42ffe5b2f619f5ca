// Memory that runs out on demand: while an AllocationLimit lives, every
// allocation through operator new larger than its size fails with
// std::bad_alloc (nothrow forms give null), as when the system has no more.
// The replacement operators live in allocation_limit.cpp, which a test
// program compiles in.
#pragma once

#include <cstddef>

class AllocationLimit {
 public:
  explicit AllocationLimit(size_t largestAllocation);
  ~AllocationLimit();
  AllocationLimit(const AllocationLimit&) = delete;
  AllocationLimit& operator=(const AllocationLimit&) = delete;
};
