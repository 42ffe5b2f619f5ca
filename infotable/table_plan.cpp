#include "infotable/table_plan.h"

#include <algorithm>

#include "infotable/cells.h"

TablePlan PlanTable(const NormalizedText& normalized) {
  TablePlan plan{normalized.lines, {}, {}, false, false, {}};
  plan.lineLayout.assign(plan.lines.size(), kFilledCells);
  int current = kFilledCells;
  ColumnLayout byWidth;
  if (LayoutForWidth(normalized.width, byWidth)) plan.layouts.push_back(byWidth);
  for (size_t i = 0; i < plan.lines.size(); ++i) {
    const std::string_view line = plan.lines[i];
    ColumnLayout heading;
    if (const size_t taken = MayBeHeading(line)
                                 ? ReadHeading(SplitFields(line, '\t'),
                                               i + 1 < plan.lines.size() ? plan.lines[i + 1] : "", heading)
                                 : 0) {
      plan.hasHeading = true;
      const Cells captions = SplitFields(line, '\t');
      const std::string_view valueCaption = captions[static_cast<size_t>(heading.cell[kValue])];
      if (IsThousandsCaption(valueCaption)) plan.thousandsCaptions.emplace_back(i, valueCaption);
      plan.layouts.push_back(heading);
      current = static_cast<int>(plan.layouts.size() - 1);
      for (size_t above = i; above > 0 && plan.lineLayout[above - 1] != kHeadingLine &&
                             IsCaptionLine(SplitFields(plan.lines[above - 1], '\t'));
           --above)
        plan.lineLayout[above - 1] = kHeadingLine;
      for (size_t next = i; next < i + taken; ++next) plan.lineLayout[next] = kHeadingLine;
      i += taken - 1;
      continue;
    }
    int layout = current;
    if (layout == kFilledCells && !plan.layouts.empty() &&
        static_cast<size_t>(std::count(line.begin(), line.end(), '\t')) + 1 == normalized.width)
      layout = 0;
    plan.lineLayout[i] = layout;
    const int figi = layout >= 0 ? plan.layouts[layout].cell[kFigi] : kNoColumn;
    if (figi != kNoColumn && !plan.showsFigi) {
      const Cells cells = SplitFields(line, '\t');
      plan.showsFigi =
          static_cast<size_t>(figi) < cells.size() && !cells[figi].empty() && !IsNotApplicable(cells[figi]);
    }
  }
  return plan;
}

bool IsTable(const NormalizedText& normalized, const TablePlan& plan) {
  return normalized.width >= kNarrowestTable || plan.hasHeading;
}
