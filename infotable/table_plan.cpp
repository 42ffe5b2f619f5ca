#include "infotable/table_plan.h"

#include <algorithm>
#include <optional>

#include "infotable/cells.h"
#include "infotable/edgar_checks.h"
#include "infotable/row.h"
#include "infotable/text_forms.h"

namespace {

// The decimal mark the amount cells of the lines read by a layout tell. Only
// a cell with a period or a comma can tell one; once a few hundred have, the
// rest would not change the verdict of a table written in one style, and a
// cell written in another is refused all the same.
DecimalMark ReadDecimalMark(const TablePlan& plan) {
  constexpr size_t kEnoughToTell = 256;
  NumberStyleReader style;
  for (size_t i = 0; i < plan.lines.size() && style.Told() < kEnoughToTell; ++i) {
    if (plan.reading[i].kind != LineReading::kLayout) continue;
    const ColumnLayout& layout = plan.layouts[plan.reading[i].layout];
    uint64_t amountCells = 0;
    for (size_t field : {kValue, kSshPrnamt, kVotingSole, kVotingShared, kVotingNone})
      if (const std::optional<size_t> at = layout.cell[field]; at && *at < 64)
        amountCells |= uint64_t{1} << *at;
    const std::string_view line = plan.lines[i];
    size_t start = 0;
    for (size_t cell = 0; cell < 64 && amountCells >> cell; ++cell) {
      size_t end = line.find('\t', start);
      if (end == std::string_view::npos) end = line.size();
      const std::string_view text = line.substr(start, end - start);
      if ((amountCells >> cell & 1) && text.find_first_of(".,") != std::string_view::npos) style.See(text);
      if (end == line.size()) break;
      start = end + 1;
    }
  }
  return style.Mark();
}

// Whether a cell holds only what an amount is written with.
bool LooksLikeAmount(std::string_view cell) {
  return std::all_of(cell.begin(), cell.end(), [](char c) {
    return IsDigit(c) || c == '.' || c == ',' || c == '\'' || c == '-' || c == ' ' || c == '$';
  });
}

// Whether a cell names the kind of the one voting amount of an 11-column table.
bool IsVotingKindWord(std::string_view cell) {
  uint8_t code = 0;
  return !ReadCode(cell, kVotingKindColumn, code);
}

// The layout of a table without a heading. Text exports leave out the empty
// cells at the end of a row, so that a table whose last voting columns are
// empty throughout is narrower than the SEC's twelve: ten columns are the
// twelve without SHARED and NONE, and eleven are the twelve without NONE
// unless their last cells name the voting kind.
std::optional<ColumnLayout> TableWidthLayout(const NormalizedText& normalized) {
  constexpr size_t kSecColumns = kNarrowestTable + 1;
  if (normalized.width == kNarrowestTable - 1) return LayoutForWidth(kSecColumns);
  if (normalized.width == kNarrowestTable) {
    const bool amounts =
        std::all_of(normalized.lines.begin(), normalized.lines.end(), [](std::string_view line) {
          return CellCount(line) != kNarrowestTable || LooksLikeAmount(line.substr(line.rfind('\t') + 1));
        });
    if (amounts) return LayoutForWidth(kSecColumns);
  }
  return LayoutForWidth(normalized.width);
}

// How a line without a heading above is read when it is narrower or wider
// than the table: by the table's layout when only its last voting columns
// are missing; by its filled cells alone; or refused as short.
LineReading NarrowerOrWiderLine(std::string_view line, const std::optional<ColumnLayout>& byWidth,
                                size_t tableCells) {
  const size_t cells = CellCount(line);
  // A table of the SEC's twelve columns only: with a FIGI, a row one cell
  // short could be one without its FIGI.
  if (byWidth && !byWidth->votingKindWord && !byWidth->cell[kFigi] && cells < tableCells &&
      cells > *byWidth->cell[kOtherManager]) {
    const bool kindWordLast = cells == tableCells - 1 && IsVotingKindWord(line.substr(line.rfind('\t') + 1));
    if (!kindWordLast) return {LineReading::kLayout, 0};
  }
  const size_t filled = CountFilledCells(line);
  if (byWidth && cells < tableCells && !LayoutForFilledCells(filled)) return {LineReading::kShort, 0};
  return {LineReading::kFilledCells, 0};
}

// A cell any row may hold for `field`, to stand for a column a copy lacks.
std::string_view StandInCell(size_t field) {
  switch (field) {
    case kNameOfIssuer:
    case kTitleOfClass: return "X";
    case kCusip: return "000000000";
    case kValue:
    case kSshPrnamt: return "1";
    case kSshPrnamtType: return "SH";
    case kInvestmentDiscretion: return "SOLE";
    case kVotingSole:
    case kVotingShared:
    case kVotingNone: return "0";
    default: return "";
  }
}

// The fields whose column a table without a heading may lack: nearly every
// row it reads by its width is refused or one EDGAR would not accept, and
// nearly every one reads once a
// cell is put back in that field's column of a table one column wider than
// its rows. A cell put back after the lacking column leaves the cells between
// one column off, which text columns take as they come: the first field that
// fits is the lacking one, and the fields alike right after it (the name and
// the class, the value and the amount) are named with it, as no reading can
// tell them apart. Told by a sample of the first rows; none when the rows
// read as they are.
std::vector<size_t> LackingFields(const TablePlan& plan, size_t width) {
  constexpr size_t kSample = 32;
  std::vector<Cells> sample;
  for (size_t i = 0; i < plan.lines.size() && sample.size() < kSample; ++i)
    if (plan.reading[i].kind == LineReading::kLayout) sample.push_back(SplitFields(plan.lines[i], '\t'));
  const std::optional<ColumnLayout> wider = LayoutForWidth(width + 1);
  std::vector<size_t> fields;
  if (sample.size() < 2 || !wider) return fields;
  InfoTableRow row;
  const auto reads = [&row](const std::vector<Cells>& lines, const ColumnLayout& layout) {
    return static_cast<size_t>(std::count_if(lines.begin(), lines.end(), [&](const Cells& cells) {
      return !ReadRow(cells, layout, row) && CheckEdgarRules(row).empty();
    }));
  };
  // Nine rows in ten, so that a stray row does not hide what the rest show.
  const auto nearlyAll = [&sample](size_t count) { return count * 10 >= sample.size() * 9; };
  if (!nearlyAll(sample.size() - reads(sample, plan.layouts[0]))) return fields;
  for (size_t field = 0; field < kInfoTableFieldCount; ++field) {
    if (!wider->cell[field]) continue;
    const size_t at = *wider->cell[field];
    std::vector<Cells> putBack = sample;
    for (Cells& cells : putBack)
      if (at <= cells.size()) cells.insert(cells.begin() + static_cast<std::ptrdiff_t>(at), StandInCell(field));
    if (!nearlyAll(reads(putBack, *wider))) {
      if (!fields.empty()) break;
      continue;
    }
    const auto text = [](size_t f) { return f == kNameOfIssuer || f == kTitleOfClass; };
    if (!fields.empty() && !(text(field) && text(fields[0])) && !(IsNumericField(field) && IsNumericField(fields[0])))
      break;
    fields.push_back(field);
  }
  return fields;
}

}  // namespace

size_t TableCells(const TablePlan& plan) {
  if (plan.layouts.empty()) return 0;
  size_t cells = 0;
  for (const std::optional<size_t>& at : plan.layouts[0].cell)
    if (at) cells = std::max(cells, *at + 1);
  return cells + (plan.layouts[0].votingKindWord ? 1 : 0);
}

TablePlan PlanTable(const NormalizedText& normalized) {
  TablePlan plan{normalized.lines, {}, {}, false, false, {}, DecimalMark::kUnknown, {}, {}};
  plan.reading.assign(plan.lines.size(), LineReading());
  std::optional<uint32_t> current;  // the layout of the heading above
  const std::optional<ColumnLayout> byWidth = TableWidthLayout(normalized);
  if (byWidth) plan.layouts.push_back(*byWidth);
  const size_t tableCells = TableCells(plan);
  for (size_t i = 0; i < plan.lines.size(); ++i) {
    const std::string_view line = plan.lines[i];
    const std::optional<Heading> heading =
        MayBeHeading(line)
            ? ReadHeading(SplitFields(line, '\t'), i + 1 < plan.lines.size() ? plan.lines[i + 1] : "")
            : std::nullopt;
    if (heading) {
      plan.hasHeading = true;
      const Cells captions = SplitFields(line, '\t');
      if (const std::optional<size_t> value = heading->layout.cell[kValue]; value && *value < captions.size())
        if (IsThousandsCaption(captions[*value])) plan.thousandsCaptions.emplace_back(i, captions[*value]);
      for (const Heading::ByPosition& column : heading->byPosition)
        plan.headingNotes.push_back({i, RowErrorKind::kCheckBeforeFiling, ByPositionText(column)});
      if (!heading->missing.empty())
        plan.headingNotes.push_back({i, RowErrorKind::kInvalidFields, MissingColumnsText(heading->missing)});
      plan.layouts.push_back(heading->layout);
      current = static_cast<uint32_t>(plan.layouts.size() - 1);
      for (size_t above = i; above > 0 && plan.reading[above - 1].kind != LineReading::kHeading &&
                             IsCaptionLine(SplitFields(plan.lines[above - 1], '\t'));
           --above)
        plan.reading[above - 1].kind = LineReading::kHeading;
      for (size_t next = i; next < i + heading->lines; ++next)
        plan.reading[next].kind = LineReading::kHeading;
      i += heading->lines - 1;
      continue;
    }
    LineReading& reading = plan.reading[i];
    if (current) {
      reading = {LineReading::kLayout, *current};
    } else if (byWidth && CellCount(line) == tableCells) {
      reading = {LineReading::kLayout, 0};
    } else {
      reading = NarrowerOrWiderLine(line, byWidth, tableCells);
    }
    if (reading.kind != LineReading::kLayout || plan.showsFigi) continue;
    if (const std::optional<size_t> figi = plan.layouts[reading.layout].cell[kFigi]) {
      const Cells cells = SplitFields(line, '\t');
      plan.showsFigi = *figi < cells.size() && !cells[*figi].empty() && !IsNotApplicable(cells[*figi]);
    }
  }
  if (!plan.hasHeading && byWidth) {
    plan.lackingFields = LackingFields(plan, normalized.width);
    if (!plan.lackingFields.empty())
      for (LineReading& reading : plan.reading)
        if (reading.kind == LineReading::kLayout) reading.kind = LineReading::kLacking;
  }
  plan.decimalMark = ReadDecimalMark(plan);
  return plan;
}

bool IsTable(const TablePlan& plan) { return !plan.layouts.empty(); }
