// Base64 (RFC 4648) as EDGAR's submissions carry their attached documents:
// 76 characters to the line.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "infotable/refusal.h"

// The bytes of one line of base64: 76 characters.
constexpr size_t kBase64LineBytes = 57;

// `bytes` in base64, 76 characters to the line, each line ended.
void AppendBase64(std::string& out, std::string_view bytes);

// The bytes of base64 `text`, white space between its characters left out;
// refused when it holds anything else or ends where no group ends.
Refusal DecodeBase64(std::string_view text, std::string& bytes);
