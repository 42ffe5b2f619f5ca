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

// Whether a word's first byte in memory is its lowest, so that a mask tells
// where in the word a byte lies, and shifting a mask left by a byte moves each
// flag onto the next byte. Where it is not, the scans that need it go byte by
// byte.
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
constexpr bool kLowByteFirst = true;
#else
constexpr bool kLowByteFirst = false;
#endif

// The place in its word of the first, or the last, byte a mask marks; the
// mask must mark one.
inline size_t FirstMarkedPlace(uint64_t mask) { return static_cast<size_t>(__builtin_ctzll(mask)) >> 3; }
inline size_t LastMarkedPlace(uint64_t mask) { return static_cast<size_t>(63 - __builtin_clzll(mask)) >> 3; }

// The bytes of a word before `place`.
inline uint64_t BytesBefore(size_t place) { return (uint64_t{1} << (8 * place)) - 1; }

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
