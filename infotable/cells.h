// The reading of one cell of a row: code words, amounts, the CUSIP, the FIGI,
// the other managers and the issuer's name. Every reader gives a Refusal:
// empty when the cell was read into its out-parameter, else why it can't be
// read, in words that follow the column's caption. Nothing is guessed.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "infotable/number_style.h"
#include "infotable/refusal.h"

// "n/a" in any letter case: a cell that holds nothing.
bool IsNotApplicable(std::string_view cell);

// The words a coded column's cell may hold, each with the number of its code,
// the codes as the document writes them, and why another word is refused.
struct CodedColumn {
  std::vector<std::pair<const char*, uint8_t>> words;  // upper case, runs of blanks and hyphens as one hyphen
  std::vector<const char*> codes;                      // by code number
  const char* refusal;
};

// Codes in the order of AmountType.
extern const CodedColumn kShPrnColumn;
// Codes 1 and 2 in the order of Option; 0, no option, has no word.
extern const CodedColumn kPutCallColumn;
extern const CodedColumn kDiscretionColumn;
// The kind of the one voting amount of an 11-column table: codes 0, 1 and 2
// are sole, shared and none, in the order of the voting fields.
extern const CodedColumn kVotingKindColumn;

// The number of the code that `cell`'s word stands for in `column`, in any
// letter case and with blanks or hyphens between its parts.
Refusal ReadCode(std::string_view cell, const CodedColumn& column, uint8_t& code);

constexpr const char* kNotANumber = "is not a number";

// An amount cell as whole digits and their number (saturating): "$1,234.50"
// gives "1235" (half up); accounting zeros ("-", "$ -", "- 0", "-0.00") give
// "0". Thousands may be grouped by commas, periods, apostrophes or blanks;
// the decimal mark is the cell's own where its form tells it, else
// `tableMark`. A cell that could be read two ways is refused with both.
// `hadFraction` tells whether anything but zeros followed the decimal mark.
Refusal ReadAmount(std::string_view cell, DecimalMark tableMark, std::string& digits, uint64_t& number,
                   bool& hadFraction);

// A CUSIP without blanks and leading underscores, markup-escaped. The leading
// zeros that a spreadsheet drops from a CUSIP of digits are put back, and
// `zerosRestored` says so; a CUSIP a spreadsheet showed in scientific
// notation has lost digits and is refused.
Refusal ReadCusip(std::string_view cell, std::string& cusip, bool& zerosRestored);

// A FIGI: 12 letters or digits.
Refusal ReadFigi(std::string_view cell, std::string& figi);

// Whether an other-managers cell says there are none ("-", "None").
bool NamesNoManager(std::string_view cell);

// The other managers as written, markup-escaped. Numbers with a period (1.2),
// which a spreadsheet made of a list (1,2), are refused.
Refusal ReadOtherManagers(std::string_view cell, std::string& managers);

// Appends the issuer's name as the document holds it, escaped: "%" as
// " percent ". Every name can be written.
void AppendIssuerName(std::string& name, std::string_view cell);
