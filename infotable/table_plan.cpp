#include "infotable/table_plan.h"

#include <algorithm>
#include <optional>

#include "infotable/cells.h"

namespace {

// The decimal mark the amount cells of the lines read by a layout tell.
DecimalMark ReadDecimalMark(const TablePlan& plan) {
  NumberStyleReader style;
  Cells cells;
  for (size_t i = 0; i < plan.lines.size(); ++i) {
    if (plan.reading[i].kind != LineReading::kLayout) continue;
    const ColumnLayout& layout = plan.layouts[plan.reading[i].layout];
    SplitFields(plan.lines[i], '\t', cells);
    for (size_t field : {kValue, kSshPrnamt, kSole, kShared, kNone})
      if (const std::optional<size_t> at = layout.cell[field]; at && *at < cells.size())
        style.See(cells[*at]);
  }
  return style.Mark();
}

}  // namespace

TablePlan PlanTable(const NormalizedText& normalized) {
  TablePlan plan{normalized.lines, {}, {}, false, false, DecimalMark::kUnknown, {}};
  plan.reading.assign(plan.lines.size(), LineReading());
  std::optional<uint32_t> current;  // the layout of the heading above
  const std::optional<ColumnLayout> byWidth = LayoutForWidth(normalized.width);
  if (byWidth) plan.layouts.push_back(*byWidth);
  for (size_t i = 0; i < plan.lines.size(); ++i) {
    const std::string_view line = plan.lines[i];
    const std::optional<Heading> heading =
        MayBeHeading(line)
            ? ReadHeading(SplitFields(line, '\t'), i + 1 < plan.lines.size() ? plan.lines[i + 1] : "")
            : std::nullopt;
    if (heading) {
      plan.hasHeading = true;
      const Cells captions = SplitFields(line, '\t');
      const std::string_view valueCaption = captions[*heading->layout.cell[kValue]];
      if (IsThousandsCaption(valueCaption)) plan.thousandsCaptions.emplace_back(i, valueCaption);
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
    } else if (byWidth &&
               static_cast<size_t>(std::count(line.begin(), line.end(), '\t')) + 1 == normalized.width) {
      reading = {LineReading::kLayout, 0};
    }
    if (reading.kind != LineReading::kLayout || plan.showsFigi) continue;
    if (const std::optional<size_t> figi = plan.layouts[reading.layout].cell[kFigi]) {
      const Cells cells = SplitFields(line, '\t');
      plan.showsFigi = *figi < cells.size() && !cells[*figi].empty() && !IsNotApplicable(cells[*figi]);
    }
  }
  plan.decimalMark = ReadDecimalMark(plan);
  return plan;
}

bool IsTable(const NormalizedText& normalized, const TablePlan& plan) {
  return normalized.width >= kNarrowestTable || plan.hasHeading;
}
