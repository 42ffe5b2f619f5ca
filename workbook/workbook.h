// A workbook file (.xlsx, Office Open XML; .ods, OpenDocument) as its sheets'
// texts, told by its content and not its name; a file that is no such
// workbook is refused with what it is.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "infotable/refusal.h"
#include "workbook/sheet_text.h"

struct Workbook {
  enum Kind { kXlsx, kOds } kind = kXlsx;
  std::vector<SheetText> sheets;  // in the workbook's order
};

// Whether bytes that begin so are a workbook's (a zip archive, or an old
// binary .xls or an encrypted workbook, both refused when read).
bool LooksLikeWorkbook(std::string_view head);

// Reads the workbook at `path`; refused with why it can't be.
Refusal ReadWorkbook(const std::string& path, Workbook& workbook);
