#include "infotable/table_block.h"

#include <algorithm>

#include "infotable/document.h"
#include "infotable/edgar_checks.h"
#include "infotable/error_list.h"
#include "infotable/heading.h"
#include "infotable/row.h"
#include "infotable/text_forms.h"

namespace {

// A heading line is no entry; one whose value column gives thousands is
// reported, and so is what it says of its columns.
void ReportHeading(const TablePlan& plan, size_t line, uint32_t rowNumber, ErrorList& errors) {
  for (const auto& [at, caption] : plan.thousandsCaptions)
    if (at == line)
      errors.Add({RowErrorKind::kNotAcceptedByEdgar, rowNumber, "", ValueInThousandsMessage(caption)});
  for (const TablePlan::HeadingNote& note : plan.headingNotes)
    if (note.line == line) errors.Add({note.kind, rowNumber, "", note.text});
}

// Gives the line as the document can hold it: in plain ASCII, what has no
// plain form left out, its cells cleaned again; `plain` holds it when it had
// to change. A change the filer would not see in the document is reported,
// one line for the row.
std::string_view ReportCharacters(std::string_view line, uint32_t rowNumber, ErrorList& errors,
                                  std::string& plain) {
  if (!NeedsPlainForm(line)) return line;
  std::string ascii;
  const std::string changes = PlainAsciiLine(line, ascii);
  if (!changes.empty())
    errors.Add({RowErrorKind::kInvalidCharacter, rowNumber, ShowCells(LeaveOutNonXmlCharacters(line)),
                PlainAsciiText(changes)});
  plain = CleanCells(ascii);
  return plain;
}

// Reads a line by its plan into `row`.
Refusal ReadPlannedLine(const TablePlan& plan, size_t index, std::string_view line, Cells& cells,
                        InfoTableRow& row) {
  const LineReading& reading = plan.reading[index];
  if (reading.kind == LineReading::kFilledCells) return ReadFilledCells(line, row, plan.decimalMark);
  if (reading.kind == LineReading::kShort) return ShortRowRefusal(CellCount(line), plan.layouts[0]);
  if (reading.kind == LineReading::kLacking) return LackingColumnRefusal(plan.lackingFields);
  SplitFields(line, '\t', cells);
  return ReadRow(cells, plan.layouts[reading.layout], row, plan.decimalMark);
}

// Why the table's source refuses the row, if it does.
const std::string* SourceRefusal(const std::vector<std::pair<uint32_t, std::string>>* refused, uint32_t row) {
  if (!refused || refused->empty()) return nullptr;
  const auto at = std::lower_bound(refused->begin(), refused->end(), row,
                                   [](const std::pair<uint32_t, std::string>& r, uint32_t n) { return r.first < n; });
  return at != refused->end() && at->first == row ? &at->second : nullptr;
}

}  // namespace

void ConvertTableBlock(const NormalizedText& normalized, const TablePlan& plan, size_t first, size_t end,
                       const SecuritiesList* list, TableBlock& block) {
  block.entries.clear();
  block.preview.cells.clear();
  block.preview.rowEnds.clear();
  block.preview.widest.clear();
  block.errors.clear();
  block.written.clear();
  ClearComparedBlock(block.compared);
  block.refusedRows = 0;
  block.valueTotal = 0;
  block.checks = FilingChecks();
  block.checks.UseList(list);
  ErrorList errors(block.errors, false);
  InfoTableRow& row = block.row;
  for (size_t i = first; i < end; ++i) {
    const uint32_t rowNumber = normalized.rows[i];
    if (plan.reading[i].kind == LineReading::kHeading) {
      ReportHeading(plan, i, rowNumber, errors);
      continue;
    }
    if (const std::string* refusal = SourceRefusal(block.sourceRefusals, rowNumber)) {
      errors.Add({RowErrorKind::kInvalidFields, rowNumber, ShowCells(plan.lines[i]), *refusal});
      ++block.refusedRows;
      continue;
    }
    const size_t characterLines = block.errors.size();
    const std::string_view line = ReportCharacters(plan.lines[i], rowNumber, errors, block.plain);
    if (Refusal refusal = ReadPlannedLine(plan, i, line, block.cells, row)) {
      errors.Add({RowErrorKind::kInvalidFields, rowNumber, ShowCells(line), std::move(*refusal)});
      ++block.refusedRows;
      continue;
    }
    const uint32_t entry = static_cast<uint32_t>(block.written.size()) + 1;
    // A written row's changed characters lead to it like its checks.
    for (size_t at = characterLines; at < block.errors.size(); ++at) block.errors[at].entry = entry;
    for (std::string& problem : CheckEdgarRules(row))
      errors.Add({RowErrorKind::kNotAcceptedByEdgar, rowNumber, "", std::move(problem), entry});
    const uint32_t rulesEnd = static_cast<uint32_t>(block.errors.size());
    block.checks.CheckRow(row, rowNumber, block.found);
    errors.AddAll(block.found, entry);
    const uint64_t key = HoldingKey(row);
    block.written.push_back({key, rowNumber, rulesEnd, static_cast<uint32_t>(block.errors.size())});
    if (block.previous) {
      ReadHolding(row, key, rowNumber, block.holding);
      CompareHolding(*block.previous, block.holding, entry, block.compared);
    }
    if (block.withPreview) AppendPreviewRow(block.preview, rowNumber, row);
    AppendInfoTableEntry(block.entries, row);
    block.valueTotal = SaturatingAdd(block.valueTotal, row.value);
  }
}
