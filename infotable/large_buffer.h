// Room for a large text or table about to be written in one go.
#pragma once

#include <cstddef>
#include <string>

// Asks the system to back the memory with huge pages where whole ones fit,
// and to map all of it at once: touching megabytes of fresh memory one small
// page at a time costs more than writing them, most of all in a virtual
// machine. A hint: nothing fails without it.
void PrepareLargeMemory(const void* data, size_t bytes);

// Reserves `size` bytes in `text`, prepared so.
void ReserveLarge(std::string& text, size_t size);

// Reserves room for `count` elements in `items`, prepared so.
template <typename Vector>
void ReserveLarge(Vector& items, size_t count) {
  items.reserve(count);
  PrepareLargeMemory(items.data(), items.capacity() * sizeof(*items.data()));
}
