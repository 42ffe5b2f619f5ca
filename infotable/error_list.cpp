#include "infotable/error_list.h"

#include <algorithm>
#include <map>

#include "infotable/text_forms.h"

namespace {

// Lines of one kind and the same reason but for its rows, numbers and quoted
// cells ("the same holding as row 12 (...)", "$1,500.00 against $9.50") are
// one group.
std::string GroupKey(const RowError& error) {
  std::string key(1, static_cast<char>('0' + static_cast<int>(error.kind)));
  bool quoted = false;
  const std::string& reason = error.reason;
  for (size_t i = 0; i < reason.size(); ++i) {
    const char c = reason[i];
    if (c == '"') quoted = !quoted;
    if (quoted || c == '"') continue;
    const bool inNumber = IsDigit(c) || ((c == ',' || c == '.') && i > 0 && IsDigit(reason[i - 1]) &&
                                         i + 1 < reason.size() && IsDigit(reason[i + 1]));
    if (!inNumber)
      key += c;
    else if (key.back() != '#')
      key += '#';
  }
  return key;
}

// "rows 3, 5, 7, 9, 11 and 2,989 more", each named row leading to its entry.
void AppendGroupedRows(std::string& html, const std::vector<const RowError*>& lines) {
  constexpr size_t kNamed = 5;
  for (size_t i = 0; i < lines.size() && i < kNamed; ++i) {
    html += i == 0 ? "" : ", ";
    const std::string row = std::to_string(lines[i]->row);
    if (lines[i]->entry > 0)
      html += "<span data-entry=" + std::to_string(lines[i]->entry) + ">" + row + "</span>";
    else
      html += row;
  }
  if (lines.size() > kNamed)
    html += " and " + GroupThousands(std::to_string(lines.size() - kNamed)) + " more";
}

}  // namespace

void ErrorList::Add(RowError error) { errors_.push_back(std::move(error)); }

void ErrorList::AddAll(std::vector<RowError>& found, uint32_t entry) {
  for (RowError& error : found) {
    if (error.row != 0) error.entry = entry;
    Add(std::move(error));
  }
  found.clear();
}

void ErrorList::BuildHtml() {
  if (!buildHtml_) return;
  // A group of more lines than this is one line that names its rows.
  constexpr size_t kLinesAlone = 3;
  std::map<std::string, std::vector<const RowError*>> groups;
  std::vector<std::vector<const RowError*>*> order;
  for (const RowError& error : errors_) {
    auto [at, added] =
        groups.try_emplace(error.row == 0 ? "table " + std::to_string(order.size()) : GroupKey(error));
    if (added) order.push_back(&at->second);
    at->second.push_back(&error);
  }
  for (const std::vector<const RowError*>* group : order) {
    const RowError& first = *group->front();
    // A row written with its characters changed is not refused: the filer
    // checks it with the rows that look wrong.
    const bool written =
        first.kind == RowErrorKind::kCheckBeforeFiling || first.kind == RowErrorKind::kInvalidCharacter;
    std::string& html = written ? checksHtml_ : errorsHtml_;
    if (group->size() <= kLinesAlone) {
      for (const RowError* error : *group)
        AppendErrorLine(html, error->kind, error->row, error->entry, RowErrorText(*error));
      continue;
    }
    html += "<br><b>" + ErrorLineHeading(first.kind, 0) + " in " +
            GroupThousands(std::to_string(group->size())) + " rows</b> (";
    AppendGroupedRows(html, *group);
    html += "), such as row " + std::to_string(first.row) + ": ";
    AppendEscaped(html, RowErrorText(first));
    html += " <span data-group=" + std::to_string(groups_.size()) + ">show all</span>";
    std::string& lines = groups_.emplace_back();
    for (const RowError* error : *group) {
      lines += std::to_string(error->entry) + '\t' + std::to_string(error->row) + '\t';
      std::string text = RowErrorText(*error);
      for (char& c : text)
        if (c == '\t' || c == '\n' || c == '\r') c = ' ';
      AppendEscaped(lines, text);
      lines += '\n';
    }
  }
}

void AppendErrorLine(std::string& errorList, RowErrorKind kind, uint32_t rowNumber, uint32_t entry,
                     std::string_view text) {
  errorList += "<br><b>";
  if (entry > 0)
    errorList +=
        "<span data-entry=" + std::to_string(entry) + ">" + ErrorLineHeading(kind, rowNumber) + "</span>";
  else
    errorList += ErrorLineHeading(kind, rowNumber);
  errorList += ":</b> ";
  AppendEscaped(errorList, text);
}

std::string ManagersUsedText(const std::vector<unsigned long>& managersUsed) {
  std::string list;
  for (unsigned long number : managersUsed) list += (list.empty() ? "" : ", ") + std::to_string(number);
  return "Other included managers named: " + list + " (" + std::to_string(managersUsed.size()) +
         " for the summary page's count).";
}

std::string StatusParagraph(const std::string& errorList, const std::string& checkList, uint32_t refusedRows,
                            const std::string& nothingWritten, const std::vector<unsigned long>& managersUsed,
                            const std::string& note, bool listUnchecked) {
  std::string managers = managersUsed.empty() ? "" : "<br>" + ManagersUsedText(managersUsed);
  for (size_t at = 0; at < note.size();) {
    const size_t end = std::min(note.find('\n', at), note.size());
    managers += "<br>" + EscapeMarkup(std::string_view(note).substr(at, end - at));
    at = end + 1;
  }
  if (errorList.empty() && checkList.empty() && nothingWritten.empty()) {
    if (listUnchecked)
      return "<p><b><font color=#c05000>No errors in the rows as read, but they were not checked against the "
             "SEC's list of 13(f) securities.</font></b>" +
             managers + "</p>";
    return "<p><b><font color=#00a000>No errors.</font></b>" + managers + "</p>";
  }
  std::string status = "<p>";
  if (!nothingWritten.empty())
    status += "<b><font color=#e00000>Nothing was written:</font></b> " + nothingWritten;
  if (!errorList.empty()) {
    if (!nothingWritten.empty()) status += "<br>";
    status += "<b><font color=#e00000>Error(s):</font></b>";
    if (refusedRows > 0) status += ' ' + RefusedRowsText(refusedRows);
    status += errorList;
  }
  if (!checkList.empty()) {
    if (status.size() > 3) status += "<br>";
    status +=
        "<b><font color=#c05000>Check before filing:</font></b> "
        "written, but they look wrong or were changed to fit the document." +
        checkList;
  }
  return status + managers + "</p>";
}
