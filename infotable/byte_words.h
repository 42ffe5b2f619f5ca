// Eight bytes of a text at a time: the lines of a large table are scanned
// for a few kinds of byte, and a word's bytes can be tested at once. A mask
// has the high bit of each byte that was found, and no other bit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

constexpr size_t kWordBytes = 8;
constexpr uint64_t kEveryByte = 0x0101010101010101u;
constexpr uint64_t kHighBits = 0x8080808080808080u;

inline uint64_t LoadWord(const char* at) {
  uint64_t word;
  std::memcpy(&word, at, sizeof word);
  return word;
}

// The bytes that are 0.
inline uint64_t ZeroBytes(uint64_t word) {
  const uint64_t low = ~kHighBits;
  return ~(((word & low) + low) | word | low);
}

// The bytes equal to `c`.
inline uint64_t BytesEqual(uint64_t word, unsigned char c) { return ZeroBytes(word ^ (kEveryByte * c)); }

// The bytes below `limit`, which is at most 0x80.
inline uint64_t BytesBelow(uint64_t word, unsigned char limit) {
  return ~((word & ~kHighBits) + kEveryByte * (0x80 - limit)) & ~word & kHighBits;
}

// How many bytes a mask marks.
inline size_t MarkedBytes(uint64_t mask) { return static_cast<size_t>(((mask >> 7) * kEveryByte) >> 56); }

// How many of the text's bytes are `c`.
inline size_t CountByte(std::string_view text, char c) {
  size_t count = 0, at = 0;
  for (; at + kWordBytes <= text.size(); at += kWordBytes)
    count += MarkedBytes(BytesEqual(LoadWord(text.data() + at), static_cast<unsigned char>(c)));
  for (; at < text.size(); ++at) count += text[at] == c;
  return count;
}
