#include "infotable/large_buffer.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A hint, never a change: what was there stays, and room is at least what was asked.
TEST(LargeBuffer, RoomIsReservedAndNothingHeldIsChanged) {
  for (const size_t size : {0ul, 1ul, 4096ul, 3ul << 20}) {
    std::string text = "kept";
    ReserveLarge(text, size);
    EXPECT_GE(text.capacity(), size);
    EXPECT_EQ(text, "kept");
    std::vector<uint32_t> items{7};
    ReserveFilled(items, size);
    EXPECT_GE(items.capacity(), size);
    EXPECT_EQ(items, std::vector<uint32_t>{7});
    PrepareLargeMemory(text.data() + 1, size / 2, size % 2 == 0);  // unaligned
  }
}

}  // namespace
