// Appends many small parts to a string at once: the document and the preview
// are millions of them.
#pragma once

#include <cstring>
#include <string>
#include <string_view>

namespace append_all_detail {

// A part's length and bytes; a literal's length is known when compiling, so
// that copying it takes a few moves instead of a call.
template <size_t N>
constexpr std::string_view View(const char (&literal)[N]) {
  return std::string_view(literal, N - 1);
}
inline std::string_view View(std::string_view text) { return text; }

template <size_t N>
void Put(char*& at, const char (&literal)[N]) {
  std::memcpy(at, literal, N - 1);
  at += N - 1;
}
inline void Put(char*& at, std::string_view text) {
  std::memcpy(at, text.data(), text.size());
  at += text.size();
}

}  // namespace append_all_detail

// Appends the parts through a small buffer on the stack, so that the string
// is asked once for its room.
template <typename... Parts>
void AppendAll(std::string& out, const Parts&... parts) {
  using append_all_detail::Put;
  using append_all_detail::View;
  const size_t size = (View(parts).size() + ...);
  char gathered[1024];
  if (size > sizeof gathered) {
    (out.append(View(parts)), ...);
    return;
  }
  char* at = gathered;
  (Put(at, parts), ...);
  out.append(gathered, size);
}
