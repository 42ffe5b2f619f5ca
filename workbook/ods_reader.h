// The sheets of an OpenDocument spreadsheet (.ods), as LibreOffice and
// Gnumeric write them: repeated rows and cells, typed values, cached formula
// results, hidden rows, columns and sheets.
#pragma once

#include <vector>

#include "infotable/refusal.h"
#include "workbook/sheet_text.h"
#include "workbook/zip_entries.h"

// Reads the sheets in their order, refused with why they can't be.
Refusal ReadOds(ZipEntries& entries, std::vector<SheetText>& sheets);
