#include "infotable/csv_text.h"

#include <csv.h>

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// What the parser's calls build: the text so far, and where a record stands.
struct Building {
  std::string& text;
  bool fieldInRecord = false;  // a field has been given since the last record's end
  bool lastEndWasCr = false;   // a record ended at a CR, so an LF right after ends nothing
  size_t records = 0;
};

void AddField(void* field, size_t length, void* data) {
  Building& building = *static_cast<Building*>(data);
  if (building.fieldInRecord) building.text += '\t';
  building.fieldInRecord = true;
  building.lastEndWasCr = false;
  const std::string_view value(static_cast<const char*>(field), field ? length : 0);
  const bool quote = !value.empty() && value[0] == '"';
  if (quote) building.text += '"';
  for (char c : value) {
    if (c == '"' && quote) building.text += '"';
    building.text += c == '\t' || c == '\r' || c == '\n' ? ' ' : c;
  }
  if (quote) building.text += '"';
}

void EndRecord(int terminator, void* data) {
  Building& building = *static_cast<Building*>(data);
  // Every line break is reported; CR LF is one.
  if (!building.fieldInRecord && terminator == '\n' && building.lastEndWasCr) {
    building.lastEndWasCr = false;
    return;
  }
  building.text += '\n';
  ++building.records;
  building.fieldInRecord = false;
  building.lastEndWasCr = terminator == '\r';
}

}  // namespace

Refusal CsvToTabText(std::string_view csv, std::string& text) {
  if (csv.substr(0, kByteOrderMark.size()) == kByteOrderMark) csv.remove_prefix(kByteOrderMark.size());
  text.clear();
  text.reserve(csv.size() + csv.size() / 8);
  csv_parser parser;
  if (csv_init(&parser, CSV_STRICT | CSV_STRICT_FINI | CSV_REPALL_NL) != 0) return "out of memory";
  // Only a quoted field keeps its blanks at the ends; cells lose them anyway.
  Building building{text};
  const size_t parsed = csv_parse(&parser, csv.data(), csv.size(), AddField, EndRecord, &building);
  const bool whole = parsed == csv.size() && csv_fini(&parser, AddField, EndRecord, &building) == 0;
  Refusal refusal;
  if (!whole)
    refusal = "not CSV at row " + std::to_string(building.records + 1) + ": " +
              (csv_error(&parser) == CSV_EPARSE ? "a quote that opens no field or is never closed"
                                                : csv_strerror(csv_error(&parser)));
  csv_free(&parser);
  return refusal;
}
