// A block of a table's lines converted apart from the other blocks, so that
// blocks can be converted on every core: each into its own document entries,
// preview rows and row errors. What only the whole table's order decides (the
// entry numbers, the entry limit, the same holding twice) is left for the
// join, with what it needs to decide it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "infotable/cell_line.h"
#include "infotable/clipboard_text.h"
#include "infotable/fields.h"
#include "infotable/filing_checks.h"
#include "infotable/preview.h"
#include "infotable/previous_filing.h"
#include "infotable/quarter_comparison.h"
#include "infotable/row_error.h"
#include "infotable/securities_list.h"
#include "infotable/table_plan.h"

struct TableBlock {
  // A row the block wrote as an entry, and where its lines end in `errors`:
  // EDGAR's findings of the row itself, then the checks before filing.
  struct WrittenRow {
    uint64_t holdingKey;
    uint32_t row;
    uint32_t rulesEnd;
    uint32_t checksEnd;
  };

  bool withPreview = false;
  const FiledTable* previous = nullptr;  // last quarter's, indexed, to compare each written row with
  // Rows refused before they are read, by sheet row, in order.
  const std::vector<std::pair<uint32_t, std::string>>* sourceRefusals = nullptr;
  ComparedBlock compared;
  std::string entries;  // the document's entries, in order
  PreviewBlock preview;
  std::vector<RowError> errors;  // their entries counted from the block's first, 1
  std::vector<WrittenRow> written;
  uint32_t refusedRows = 0;
  uint64_t valueTotal = 0;  // saturates
  FilingChecks checks;

  // Room the rows are read in, kept from block to block.
  InfoTableRow row;
  Cells cells;
  std::string plain;
  std::vector<RowError> found;
  FiledHolding holding;
};

// Converts lines `first` up to `end` of the plan into `block`, which keeps its
// room from an earlier block; with `list`, the rows are checked against it.
void ConvertTableBlock(const NormalizedText& normalized, const TablePlan& plan, size_t first, size_t end,
                       const SecuritiesList* list, TableBlock& block);
