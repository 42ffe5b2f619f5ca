#include "infotable/byte_words.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

// Every byte value at every place of a word, and texts around a word's edges.
TEST(ByteWords, MasksMarkExactlyTheBytesSought) {
  for (int value = 0; value < 256; ++value) {
    for (size_t place = 0; place < kWordBytes; ++place) {
      std::string word(kWordBytes, 'x');
      word[place] = static_cast<char>(value);
      const uint64_t mask = BytesEqual(LoadWord(word.data()), static_cast<unsigned char>(value));
      const size_t expected = value == 'x' ? kWordBytes : 1;
      ASSERT_EQ(MarkedBytes(mask), expected) << value << " at " << place;
      if (kLowByteFirst && value != 'x') {
        EXPECT_EQ(FirstMarkedPlace(mask), place);
        EXPECT_EQ(LastMarkedPlace(mask), place);
        EXPECT_EQ(MarkedBytes(mask & (kHighBits & BytesBefore(place))), 0u);
      }
    }
  }
}

TEST(ByteWords, CountByteCountsEveryLength) {
  std::string text;
  for (size_t size = 0; size < 40; ++size) {
    EXPECT_EQ(CountByte(text, '\t'), static_cast<size_t>(std::count(text.begin(), text.end(), '\t'))) << size;
    text += size % 3 == 0 ? '\t' : static_cast<char>(0x80 + size);
  }
}

}  // namespace
