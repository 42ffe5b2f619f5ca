// Any page text through the markup compiler: no crash, and a text without
// backquotes comes back unchanged.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "form/markup_compiler.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string original(reinterpret_cast<const char*>(data), size);
  std::string page = original;
  CompileFormMarkup(page);
  if (original.find('`') == std::string::npos && page != original) std::abort();
  return 0;
}
