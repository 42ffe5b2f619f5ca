#include "infotable/row.h"

#include "infotable/cells.h"
#include "infotable/text_forms.h"

namespace {

// The reasons a row is refused, each naming its column, joined into the
// row's one Refusal.
class ColumnReasons {
 public:
  void Add(const char* caption, std::string_view cell, std::string_view why) {
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
  // Adds the reader's refusal, if any.
  void AddIf(const char* caption, std::string_view cell, const Refusal& refusal) {
    if (refusal) Add(caption, cell, *refusal);
  }
  Refusal Take() { return text_.empty() ? Refusal() : Refusal(std::move(text_)); }

 private:
  std::string text_;
};

// Reads an amount; gives whether it had a fraction.
bool ReadAmountField(ColumnReasons& refusals, const char* caption, std::string_view cell, DecimalMark mark,
                     bool emptyIsZero, std::string& digits, uint64_t& number) {
  bool hadFraction = false;
  if (cell.empty() && emptyIsZero) {
    digits = "0";
    number = 0;
  } else if (cell.empty()) {
    refusals.Add(caption, cell, "");
  } else {
    refusals.AddIf(caption, cell, ReadAmount(cell, mark, digits, number, hadFraction));
  }
  return hadFraction;
}

// Reads a coded cell; gives its code number, or `fallback` when refused.
uint8_t ReadCodeField(ColumnReasons& refusals, size_t field, std::string_view cell, const CodedColumn& column,
                      uint8_t fallback = 0) {
  uint8_t code = fallback;
  refusals.AddIf(FieldCaption(field), cell, ReadCode(cell, column, code));
  return code;
}

// The voting amounts, empty ones zero: three columns, or one amount and the
// word naming its kind (`sole` and `shared` hold them then). The amounts are
// written, never summed.
void ReadVotingFields(ColumnReasons& refusals, bool kindWord, std::string_view sole, std::string_view shared,
                      std::string_view none, DecimalMark mark, InfoTableRow& row) {
  uint64_t voting = 0;
  if (kindWord) {
    std::string amount;
    ReadAmountField(refusals, "Voting authority", sole, mark, true, amount, voting);
    uint8_t code = 0;
    const Refusal refusal = ReadCode(shared, kVotingKindColumn, code);
    refusals.AddIf("Voting authority kind", shared, refusal);
    for (size_t position : {kVotingSole, kVotingShared, kVotingNone})
      row[position] = !refusal && position == kVotingSole + code ? amount : "0";
    return;
  }
  const std::string_view cells[] = {sole, shared, none};
  for (size_t position : {kVotingSole, kVotingShared, kVotingNone})
    ReadAmountField(refusals, FieldCaption(position), cells[position - kVotingSole], mark, true, row[position],
                    voting);
}

}  // namespace

Refusal ReadRow(const Cells& cells, const ColumnLayout& layout, InfoTableRow& row, DecimalMark mark) {
  // The strings keep their room from row to row.
  row.fields.resize(kInfoTableFieldCount);
  for (std::string& field : row.fields) field.clear();
  const auto cell = [&](size_t field) {
    const std::optional<size_t> at = layout.cell[field];
    if (!at || *at >= cells.size()) return std::string_view();
    return IsNotApplicable(cells[*at]) ? std::string_view() : cells[*at];
  };
  ColumnReasons refusals;
  const auto required = [&](size_t field) {
    const std::string_view text = cell(field);
    if (!layout.cell[field])
      refusals.Add(FieldCaption(field), "-", "has no column in the heading");
    else if (text.empty())
      refusals.Add(FieldCaption(field), text, "");
    return text;
  };

  AppendIssuerName(row[kNameOfIssuer], required(kNameOfIssuer));
  AppendEscaped(row[kTitleOfClass], required(kTitleOfClass));
  if (const std::string_view cusip = required(kCusip); !cusip.empty())
    refusals.AddIf(FieldCaption(kCusip), cusip, ReadCusip(cusip, row[kCusip], row.cusipZerosRestored));
  if (const std::string_view figi = cell(kFigi); !figi.empty())
    refusals.AddIf(FieldCaption(kFigi), figi, ReadFigi(figi, row[kFigi]));

  ReadAmountField(refusals, FieldCaption(kValue), cell(kValue), mark, false, row[kValue], row.value);
  row.amountRounded = ReadAmountField(refusals, FieldCaption(kSshPrnamt), cell(kSshPrnamt), mark, false,
                                      row[kSshPrnamt], row.amount);
  row.amountType = AmountType::kShares;
  if (const std::string_view type = required(kSshPrnamtType); !type.empty()) {
    row.amountType = static_cast<AmountType>(ReadCodeField(refusals, kSshPrnamtType, type, kShPrnColumn));
    row[kSshPrnamtType] = kShPrnColumn.codes[static_cast<size_t>(row.amountType)];
  }
  row.option = Option::kNone;
  if (const std::string_view putCall = cell(kPutCall); !putCall.empty()) {
    row.option = static_cast<Option>(ReadCodeField(refusals, kPutCall, putCall, kPutCallColumn));
    row[kPutCall] = kPutCallColumn.codes[static_cast<size_t>(row.option)];
  }
  if (const std::string_view discretion = required(kInvestmentDiscretion); !discretion.empty()) {
    const uint8_t code = ReadCodeField(refusals, kInvestmentDiscretion, discretion, kDiscretionColumn);
    row[kInvestmentDiscretion] = kDiscretionColumn.codes[code];
  }

  if (const std::string_view manager = cell(kOtherManager); !NamesNoManager(manager))
    refusals.AddIf(FieldCaption(kOtherManager), manager, ReadOtherManagers(manager, row[kOtherManager]));

  ReadVotingFields(refusals, layout.votingKindWord, cell(kVotingSole), cell(kVotingShared), cell(kVotingNone),
                   mark, row);
  return refusals.Take();
}

Refusal ReadFilledCells(std::string_view line, InfoTableRow& row, DecimalMark mark) {
  // Counted first: a line of a million cells is refused without cutting it up.
  const size_t count = CountFilledCells(line);
  const std::optional<ColumnLayout> layout = LayoutForFilledCells(count);
  if (!layout) return FilledCellsRefusal(count);
  Cells filled;
  for (std::string_view cell : SplitFields(line, '\t'))
    if (!cell.empty()) filled.push_back(cell);
  return ReadRow(filled, *layout, row, mark);
}
