// Room for a large text or table about to be written in one go.
#pragma once

#include <cstddef>
#include <string>

// Asks the system to back the memory with huge pages where whole ones fit,
// and, when all of it is to be written (`filled`), to map it at once:
// touching megabytes of fresh memory one small page at a time costs more
// than writing them, most of all in a virtual machine. A hint: nothing fails
// without it.
void PrepareLargeMemory(const void* data, size_t bytes, bool filled);

// Reserves `size` bytes in `text` for a length not known in advance.
void ReserveLarge(std::string& text, size_t size);

// Reserves room for `count` elements in `items`, every one of which is to be
// written.
template <typename Vector>
void ReserveFilled(Vector& items, size_t count) {
  items.reserve(count);
  PrepareLargeMemory(items.data(), items.capacity() * sizeof(*items.data()), true);
}
