// EDGAR's own rules for an infoTable entry (its published Form 13F schema,
// version 1.7), checked on a row in final form so that a filer learns before
// upload what EDGAR would refuse.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "infotable/fields.h"

// One plain-text message per problem, in field order; each names the element,
// says what is wrong and shows what it holds. Empty when EDGAR takes the row.
std::vector<std::string> CheckEdgarRules(const InfoTableRow& row);

// What EDGAR would refuse of the whole table: a value total past the digits
// of the cover page (`valueTotal` saturates). A table without entries is
// never written.
std::vector<std::string> CheckEdgarTableRules(uint64_t valueTotal);

// The message for a heading whose value column, captioned `caption`, gives
// thousands: the values are written as they stand.
std::string ValueInThousandsMessage(std::string_view caption);

// The message for the first entry past the entry limit.
std::string EdgarEntryLimitMessage();
