#include "infotable/row.h"

#include <algorithm>

namespace {

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string LowerAscii(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = LowerAscii(c);
  return lower;
}

// The character 0 of an empty field leads every first-character test to its fallback.
char FirstLower(const std::string& field) { return field.empty() ? '\0' : LowerAscii(field[0]); }

bool IsNotApplicable(const std::string& field) {
  return field.size() == 3 && LowerAscii(field[0]) == 'n' && field[1] == '/' && LowerAscii(field[2]) == 'a';
}

bool NeedsEscape(std::string_view text) {
  return std::any_of(text.begin(), text.end(), [](char c) { return c == '&' || c == '<' || c == '>'; });
}

bool IsWhiteSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsXmlControl(unsigned char c) { return c < 0x20 && c != '\t'; }

void ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
  if (text.find(from) == std::string::npos) return;
  std::string result;
  result.reserve(text.size());
  size_t start = 0;
  for (size_t found; (found = text.find(from, start)) != std::string::npos; start = found + from.size()) {
    result.append(text, start, found - start);
    result.append(to);
  }
  result.append(text, start, std::string::npos);
  text.swap(result);
}

void NormalizeVotingLayout(InfoTableRow& row) {
  const std::string amount = row[kSole];
  const std::string kind = LowerAscii(row[kShared]);
  row[kSole] = kind == "sole" ? amount : "0";
  row[kShared] = kind == "shared" ? amount : "0";
  row.push_back(kind == "none" ? amount : "0");
}

void CleanIssuerName(std::string& name) {
  ReplaceAll(name, "%", " percent ");
  ReplaceAll(name, "\xC2\xA0", " ");
  while (name.find("  ") != std::string::npos) ReplaceAll(name, "  ", " ");
  size_t end = name.size();
  while (end > 0 && IsWhiteSpace(name[end - 1])) --end;
  size_t start = 0;
  while (start < end && IsWhiteSpace(name[start])) ++start;
  name = name.substr(start, end - start);
}

void CleanCusip(std::string& cusip) {
  std::string cleaned;
  for (char c : cusip)
    if (c != ' ') cleaned += c;
  const size_t underscores = cleaned.find_first_not_of('_');
  cleaned.erase(0, underscores == std::string::npos ? cleaned.size() : underscores);
  if (cleaned.size() < 9) cleaned.insert(0, 9 - cleaned.size(), '0');
  cusip.swap(cleaned);
}

}  // namespace

bool IsNumericField(size_t position) {
  return position == kValue || position == kSshPrnamt || position == kSole || position == kShared ||
         position == kNone;
}

size_t Utf8SequenceLength(std::string_view text, size_t position) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(position);
  if (lead < 0x80) return 1;
  size_t length;
  unsigned char low = 0x80, high = 0xBF;  // range of the first continuation byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (position + length > text.size()) return 0;
  if (byte(position + 1) < low || byte(position + 1) > high) return 0;
  for (size_t i = 2; i < length; ++i)
    if ((byte(position + i) & 0xC0) != 0x80) return 0;
  return length;
}

NormalizedText NormalizeClipboardText(std::string_view clipboard) {
  NormalizedText result;
  result.text.reserve(clipboard.size() + 1);
  size_t i = 0;
  const size_t n = clipboard.size();
  for (;;) {
    while (i < n && (clipboard[i] == '\r' || clipboard[i] == '\n')) ++i;
    if (i == n) break;
    size_t end = i;
    while (end < n && clipboard[end] != '\r' && clipboard[end] != '\n') ++end;
    const std::string_view line = clipboard.substr(i, end - i);
    i = end;
    if (line.find_first_not_of(" \t") == std::string_view::npos) continue;

    bool insideField = false, tabPending = false, blankPending = false;
    int fieldCount = 0;
    for (size_t at = 0; at < line.size();) {
      const char c = line[at];
      if (c == '\t') {
        insideField = false;
        tabPending = fieldCount > 0;
        blankPending = false;
        ++at;
      } else if (c == ' ') {
        if (insideField) blankPending = true;
        ++at;
      } else {
        if (!insideField) {
          ++fieldCount;
          insideField = true;
          if (tabPending) {
            result.text += '\t';
            tabPending = false;
          }
        }
        if (blankPending) {
          result.text += ' ';
          blankPending = false;
        }
        // Everything up to the next blank or tab goes out as it is.
        size_t end = at;
        while (end < line.size() && line[end] != ' ' && line[end] != '\t') ++end;
        result.text.append(line.substr(at, end - at));
        at = end;
      }
    }
    result.text += '\n';
    if (fieldCount > result.largestFieldCount) result.largestFieldCount = fieldCount;
  }
  return result;
}

std::vector<std::string> FindInvalidCharacters(std::string_view line) {
  std::vector<std::string> invalid;
  for (size_t i = 0; i < line.size();) {
    const unsigned char c = static_cast<unsigned char>(line[i]);
    size_t length = 1;
    if (c >= 0x80) {
      length = Utf8SequenceLength(line, i);
      if (length == 0) length = 1;
      invalid.emplace_back(line.substr(i, length));
    } else if (c == '+' || IsXmlControl(c)) {
      invalid.emplace_back(1, static_cast<char>(c));
    }
    i += length;
  }
  return invalid;
}

std::string LeaveOutNonXmlCharacters(std::string_view line) {
  std::string kept;
  kept.reserve(line.size());
  for (size_t i = 0; i < line.size();) {
    const unsigned char c = static_cast<unsigned char>(line[i]);
    if (c < 0x80) {
      if (!IsXmlControl(c)) kept += static_cast<char>(c);
      ++i;
      continue;
    }
    const size_t length = Utf8SequenceLength(line, i);
    if (length == 0) {
      ++i;
      continue;
    }
    const std::string_view sequence = line.substr(i, length);
    if (sequence != "\xEF\xBF\xBE" && sequence != "\xEF\xBF\xBF") kept.append(sequence);
    i += length;
  }
  return kept;
}

InfoTableRow SplitFields(std::string_view line, char separator) {
  InfoTableRow fields;
  size_t start = 0;
  for (size_t found; (found = line.find(separator, start)) != std::string_view::npos; start = found + 1)
    fields.emplace_back(line.substr(start, found - start));
  fields.emplace_back(line.substr(start));
  return fields;
}

bool ValidateRow(const InfoTableRow& row) {
  if (row.size() != 11 && row.size() != 12) return false;
  const auto first = [&](size_t position) { return row[position].empty() ? '\0' : row[position][0]; };
  if (!IsDigit(first(kValue)) && first(kValue) != '$') return false;
  if (!IsDigit(first(kSshPrnamt))) return false;
  return IsDigit(first(kSole));
}

void NormalizeRow(InfoTableRow& row) {
  if (row.size() == 11) NormalizeVotingLayout(row);
  row[kSshPrnamtType] = FirstLower(row[kSshPrnamtType]) == 's' ? "SH" : "PRN";
  switch (FirstLower(row[kPutCall])) {
    case 'p': row[kPutCall] = "Put"; break;
    case 'c': row[kPutCall] = "Call"; break;
    default: row[kPutCall].clear();
  }
  switch (FirstLower(row[kInvestmentDiscretion])) {
    case 's': row[kInvestmentDiscretion] = "SOLE"; break;
    case 'd': row[kInvestmentDiscretion] = "DFND"; break;
    default: row[kInvestmentDiscretion] = "OTR";
  }
  CleanIssuerName(row[kNameOfIssuer]);
  CleanCusip(row[kCusip]);
  for (size_t position = 0; position < kInfoTableFieldCount; ++position) {
    std::string& field = row[position];
    if (IsNotApplicable(field)) field.clear();
    if (NeedsEscape(field)) field = EscapeMarkup(field);
    if (IsNumericField(position)) KeepDigits(field);
  }
}

std::string EscapeMarkup(std::string_view text) {
  if (!NeedsEscape(text)) return std::string(text);
  std::string escaped;
  escaped.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&': escaped += "&amp;"; break;
      case '<': escaped += "&lt;"; break;
      case '>': escaped += "&gt;"; break;
      default: escaped += c;
    }
  }
  return escaped;
}

std::string DigitsOnly(std::string_view text) {
  std::string digits(text);
  KeepDigits(digits);
  return digits;
}

void KeepDigits(std::string& text) {
  size_t kept = 0;
  for (size_t i = 0; i < text.size() && text[i] != '.'; ++i)
    if (IsDigit(text[i])) text[kept++] = text[i];
  text.resize(kept);
}
