#include "infotable/error_list.h"

#include "infotable/preview.h"

void ErrorList::Add(RowError error) {
  if (buildHtml_)
    AppendErrorLine(error.kind == RowErrorKind::kCheckBeforeFiling ? checksHtml_ : errorsHtml_, error.kind,
                    error.row, error.entry, RowErrorText(error));
  errors_.push_back(std::move(error));
}

void ErrorList::AddAll(std::vector<RowError>& found, uint32_t entry) {
  for (RowError& error : found) {
    if (error.row != 0) error.entry = entry;
    Add(std::move(error));
  }
  found.clear();
}
