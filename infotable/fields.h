// The fields of an infoTable entry: where each stands in a row in final form,
// and the caption a filer knows it by.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The final fields of an accepted row, markup-escaped, at these positions.
using InfoTableRow = std::vector<std::string>;

enum InfoTableField : size_t {
  kNameOfIssuer = 0,
  kTitleOfClass = 1,
  kCusip = 2,
  kValue = 3,
  kSshPrnamt = 4,
  kSshPrnamtType = 5,
  kPutCall = 6,
  kInvestmentDiscretion = 7,
  kOtherManager = 8,
  kSole = 9,
  kShared = 10,
  kNone = 11,
  kFigi = 12,  // optional; empty when the table has none
  kInfoTableFieldCount = 13
};

bool IsNumericField(size_t position);
bool IsVotingField(size_t position);

// The caption a filer knows a field by, as error lines name it.
const char* FieldCaption(size_t position);
