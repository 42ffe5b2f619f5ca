// Room for a large text about to be written in one go.
#pragma once

#include <cstddef>
#include <string>

// Reserves `size` bytes in `text`. The system is asked to back them with huge
// pages: touching megabytes of fresh memory one small page at a time costs
// more than writing them.
void ReserveLarge(std::string& text, size_t size);
