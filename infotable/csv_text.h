// CSV (RFC 4180: quoted fields, commas and line breaks inside quotes, CRLF or
// LF, a UTF-8 byte-order mark) as the tab-separated text a spreadsheet puts
// on the clipboard, so that a CSV export is read by the same rules.
#pragma once

#include <string>
#include <string_view>

#include "infotable/refusal.h"

// The CSV `csv` as one line per record, a tab between fields; a field's tabs
// and line breaks become blanks, and a field that begins with a quote is
// quoted as spreadsheets quote it. Blank records stay, so rows keep their
// numbers. Refused, with the record and the reason, for text that is no CSV
// (a quote inside an unquoted field, an unclosed quote).
Refusal CsvToTabText(std::string_view csv, std::string& text);
