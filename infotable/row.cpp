#include "infotable/row.h"

#include "infotable/cells.h"
#include "infotable/text_forms.h"

namespace {

// Collects the reasons a row is refused, each naming its column.
class Refusals {
 public:
  void Add(const char* caption, std::string_view cell, const char* why) {
    if (!text_.empty()) text_ += "; ";
    text_ += caption;
    if (cell.empty()) {
      text_ += " is empty";
      return;
    }
    text_ += " \"";
    text_ += cell;
    text_ += "\" ";
    text_ += why;
  }
  std::string Take() { return std::move(text_); }

 private:
  std::string text_;
};

void ReadAmountField(Refusals& refusals, const char* caption, std::string_view cell, bool emptyIsZero,
                     std::string& digits) {
  if (cell.empty() && emptyIsZero) {
    digits = "0";
  } else if (cell.empty() || !ReadAmount(cell, digits)) {
    refusals.Add(caption, cell, kNotANumber);
  }
}

void ReadCodeField(Refusals& refusals, size_t field, std::string_view cell, const CodedColumn& column,
                   std::string& code) {
  if (const char* found = LookUpCode(cell, column))
    code = found;
  else
    refusals.Add(FieldCaption(field), cell, column.refusal);
}

}  // namespace

std::string ReadRow(const Cells& cells, const ColumnLayout& layout, InfoTableRow& row) {
  // The strings keep their room from row to row.
  row.resize(kInfoTableFieldCount);
  for (std::string& field : row) field.clear();
  const auto cell = [&](size_t field) {
    const int at = layout.cell[field];
    if (at == kNoColumn || static_cast<size_t>(at) >= cells.size()) return std::string_view();
    return IsNotApplicable(cells[at]) ? std::string_view() : cells[at];
  };
  Refusals refusals;
  const auto required = [&](size_t field) {
    const std::string_view text = cell(field);
    if (text.empty()) refusals.Add(FieldCaption(field), text, "");
    return text;
  };

  ReadIssuerName(required(kNameOfIssuer), row[kNameOfIssuer]);
  AppendEscaped(row[kTitleOfClass], required(kTitleOfClass));
  if (const std::string_view cusip = required(kCusip); !cusip.empty())
    if (const char* why = ReadCusip(cusip, row[kCusip])) refusals.Add(FieldCaption(kCusip), cusip, why);
  if (const std::string_view figi = cell(kFigi); !figi.empty())
    if (const char* why = ReadFigi(figi, row[kFigi])) refusals.Add(FieldCaption(kFigi), figi, why);

  ReadAmountField(refusals, FieldCaption(kValue), cell(kValue), false, row[kValue]);
  ReadAmountField(refusals, FieldCaption(kSshPrnamt), cell(kSshPrnamt), false, row[kSshPrnamt]);
  if (const std::string_view type = required(kSshPrnamtType); !type.empty())
    ReadCodeField(refusals, kSshPrnamtType, type, kShPrnColumn, row[kSshPrnamtType]);
  if (const std::string_view putCall = cell(kPutCall); !putCall.empty())
    ReadCodeField(refusals, kPutCall, putCall, kPutCallColumn, row[kPutCall]);
  if (const std::string_view discretion = required(kInvestmentDiscretion); !discretion.empty())
    ReadCodeField(refusals, kInvestmentDiscretion, discretion, kDiscretionColumn, row[kInvestmentDiscretion]);

  if (const std::string_view manager = cell(kOtherManager); !NamesNoManager(manager)) {
    if (const char* why = ReadOtherManagers(manager))
      refusals.Add(FieldCaption(kOtherManager), manager, why);
    else
      AppendEscaped(row[kOtherManager], manager);
  }

  if (layout.votingKindWord) {
    std::string amount;
    ReadAmountField(refusals, "Voting authority", cell(kSole), true, amount);
    const std::string_view kind = cell(kShared);
    const char* code = LookUpCode(kind, kVotingKindColumn);
    if (!code) refusals.Add("Voting authority kind", kind, kVotingKindColumn.refusal);
    const std::string_view named = code ? code : "";
    row[kSole] = named == "SOLE" ? amount : "0";
    row[kShared] = named == "SHARED" ? amount : "0";
    row[kNone] = named == "NONE" ? amount : "0";
  } else {
    for (size_t position : {kSole, kShared, kNone})
      ReadAmountField(refusals, FieldCaption(position), cell(position), true, row[position]);
  }
  return refusals.Take();
}

std::string ReadFilledCells(std::string_view line, InfoTableRow& row) {
  // Counted first: a line of a million cells is refused without cutting it up.
  const size_t count = CountFilledCells(line);
  ColumnLayout layout;
  if (count == 13 || !LayoutForWidth(count, layout))
    return "The row has " + std::to_string(count) +
           " filled cells, but a row needs 11, 12 or 13 columns, or a heading row that names them";
  Cells filled;
  for (std::string_view cell : SplitFields(line, '\t'))
    if (!cell.empty()) filled.push_back(cell);
  return ReadRow(filled, layout, row);
}
