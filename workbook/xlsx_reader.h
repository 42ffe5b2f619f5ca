// The sheets of an Office Open XML workbook (.xlsx), as Excel, LibreOffice,
// Gnumeric, Google Sheets and Numbers write them: shared and inline strings,
// numbers, cached formula results, dates by their cell's number format.
#pragma once

#include <vector>

#include "infotable/refusal.h"
#include "workbook/sheet_text.h"
#include "workbook/zip_entries.h"

// Reads the sheets in their order, refused with why they can't be.
Refusal ReadXlsx(ZipEntries& entries, std::vector<SheetText>& sheets);
