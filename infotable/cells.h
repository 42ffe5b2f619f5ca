// The reading of one cell of a row: code words, amounts, the CUSIP, the FIGI
// and the issuer's name. A reader gives the field's final text, or why the
// cell can't be read; nothing is guessed.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// "n/a" in any letter case: a cell that holds nothing.
bool IsNotApplicable(std::string_view cell);

struct CodeWord {
  const char* word;  // upper case, runs of blanks and hyphens as one hyphen
  const char* code;  // what the document holds for it
};

// The words a coded column's cell may hold, and why another word is refused.
struct CodedColumn {
  std::vector<CodeWord> words;
  const char* refusal;
};

extern const CodedColumn kShPrnColumn;
extern const CodedColumn kPutCallColumn;
extern const CodedColumn kDiscretionColumn;
// The kind of the one voting amount of an 11-column table; the codes are
// "SOLE", "SHARED" and "NONE".
extern const CodedColumn kVotingKindColumn;

// The code `cell`'s word stands for in `column`, in any letter case and with
// blanks or hyphens between its parts; nullptr when it names none.
const char* LookUpCode(std::string_view cell, const CodedColumn& column);

constexpr const char* kNotANumber = "is not a number";

// An amount cell as whole digits: "$1,234.50" gives "1235" (half up),
// accounting zeros ("-", "$ -", "- 0", "-0.00") give "0". False for anything that is not such an amount.
bool ReadAmount(std::string_view cell, std::string& digits);

// A CUSIP without blanks and leading underscores, its dropped leading zeros
// put back; nullptr, or why it is refused. `cusip` is escaped.
const char* ReadCusip(std::string_view cell, std::string& cusip);

// nullptr, or why a FIGI is refused.
const char* ReadFigi(std::string_view cell, std::string& figi);

// The issuer's name as the document holds it, escaped: "%" as " percent ".
void ReadIssuerName(std::string_view cell, std::string& name);

// Whether an other-managers cell says there are none ("-", "None").
bool NamesNoManager(std::string_view cell);

// nullptr, or why an other-managers cell is refused: numbers with a period
// (1.2), which a spreadsheet made of a list (1,2).
const char* ReadOtherManagers(std::string_view cell);
