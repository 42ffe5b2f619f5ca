#include "infotable/base64.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

namespace {

constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

}  // namespace

void AppendBase64(std::string& out, std::string_view bytes) {
  // Each 12 bits of a group become two digits at once, from a table of every
  // pair: the attachment of EDGAR's largest table is encoded in a blink.
  static const std::array<uint16_t, 4096> kPairs = [] {
    std::array<uint16_t, 4096> pairs{};
    for (unsigned i = 0; i < 4096; ++i) {
      const char two[2] = {kDigits[i >> 6], kDigits[i & 63]};
      std::memcpy(&pairs[i], two, 2);
    }
    return pairs;
  }();
  constexpr size_t kLineBytes = kBase64LineBytes;
  const size_t lines = (bytes.size() + kLineBytes - 1) / kLineBytes;
  const size_t start = out.size();
  out.resize(start + (bytes.size() + 2) / 3 * 4 + lines);
  char* to = out.data() + start;
  const auto* from = reinterpret_cast<const unsigned char*>(bytes.data());
  for (size_t line = 0; line < bytes.size(); line += kLineBytes) {
    const size_t end = std::min(bytes.size(), line + kLineBytes);
    size_t i = line;
    for (; i + 3 <= end; i += 3) {
      const unsigned group = from[i] << 16 | from[i + 1] << 8 | from[i + 2];
      std::memcpy(to, &kPairs[group >> 12], 2);
      std::memcpy(to + 2, &kPairs[group & 4095], 2);
      to += 4;
    }
    if (i < end) {  // one or two bytes left, padded
      const unsigned group = from[i] << 16 | (i + 1 < end ? from[i + 1] << 8 : 0u);
      to[0] = kDigits[group >> 18];
      to[1] = kDigits[group >> 12 & 63];
      to[2] = i + 1 < end ? kDigits[group >> 6 & 63] : '=';
      to[3] = '=';
      to += 4;
    }
    *to++ = '\n';
  }
}

Refusal DecodeBase64(std::string_view text, std::string& bytes) {
  static const std::array<int, 256> kValues = [] {
    std::array<int, 256> values{};
    values.fill(-1);
    for (int i = 0; i < 64; ++i) values[static_cast<unsigned char>(kDigits[i])] = i;
    return values;
  }();
  bytes.clear();
  bytes.reserve(text.size() / 4 * 3);
  unsigned group = 0;
  int digits = 0, padding = 0;
  for (const char c : text) {
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') continue;
    if (c == '=') {
      ++padding;
      continue;
    }
    const int value = kValues[static_cast<unsigned char>(c)];
    if (value < 0 || padding > 0) return std::string("is not base64");
    group = group << 6 | static_cast<unsigned>(value);
    if (++digits == 4) {
      bytes += static_cast<char>(group >> 16);
      bytes += static_cast<char>(group >> 8 & 0xFF);
      bytes += static_cast<char>(group & 0xFF);
      group = 0;
      digits = 0;
    }
  }
  if (digits == 1 || (digits > 0 && digits + padding != 4))
    return std::string("is cut: its base64 ends inside a group");
  if (digits == 2) bytes += static_cast<char>(group >> 4);
  if (digits == 3) {
    bytes += static_cast<char>(group >> 10);
    bytes += static_cast<char>(group >> 2 & 0xFF);
  }
  return std::nullopt;
}
