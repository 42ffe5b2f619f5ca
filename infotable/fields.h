// The fields of an infoTable entry: where each stands in a row in final form,
// the caption a filer knows it by, and what the reading decided of a row
// beside its text, so that no check reads the text back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

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
  kVotingSole = 9,
  kVotingShared = 10,
  kVotingNone = 11,
  kFigi = 12,  // optional; empty when the table has none
  kInfoTableFieldCount = 13
};

// The codes of the coded fields, in the order of their code words' tables.
enum class AmountType : uint8_t { kShares, kPrincipal };  // SH, PRN
enum class Option : uint8_t { kNone, kPut, kCall };

// An accepted row: its fields' final, markup-escaped texts at the positions
// above, and what the readers decided of them.
struct InfoTableRow {
  std::vector<std::string> fields = std::vector<std::string>(kInfoTableFieldCount);
  uint64_t value = 0;   // the value in dollars, saturating at the largest 64-bit value
  uint64_t amount = 0;  // sshPrnamt, likewise
  AmountType amountType = AmountType::kShares;
  Option option = Option::kNone;
  bool amountRounded = false;       // sshPrnamt had a fraction, and is written rounded
  bool cusipZerosRestored = false;  // the CUSIP's leading zeros, which a spreadsheet drops, put back

  InfoTableRow() = default;
  // A row of final texts alone, as a document is written from them.
  InfoTableRow(std::initializer_list<std::string> texts) : fields(texts) {
    fields.resize(kInfoTableFieldCount);
  }

  std::string& operator[](size_t position) { return fields[position]; }
  const std::string& operator[](size_t position) const { return fields[position]; }
};

bool IsNumericField(size_t position);
bool IsVotingField(size_t position);

// The caption a filer knows a field by, as error lines name it.
const char* FieldCaption(size_t position);
