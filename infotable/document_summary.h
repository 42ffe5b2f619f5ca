// What a document already in the filing folder holds, read from the document
// itself: its entries, its value total, the other managers it names and
// when it was written. The window
// shows it at start-up and after a capture that kept it.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "infotable/refusal.h"

struct DocumentSummary {
  bool exists = false;  // false: there is no document at the path
  uint32_t entries = 0;
  uint64_t valueTotal = 0;  // saturates at the largest 64-bit value
  std::vector<unsigned long> managersUsed;  // the other managers' numbers its entries name, ascending
  std::time_t writtenAt = 0;
};

// Reads the information table document at `path` into `summary`. A path with
// no file is no refusal (`exists` false). Refused, with why in plain words,
// when the file can't be read or is no complete information table.
Refusal ReadDocumentSummary(const std::string& path, DocumentSummary& summary);
