#include "infotable/edgar_checks.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "infotable/document.h"

namespace {

constexpr size_t kTextLimit = 150;
constexpr size_t kOtherManagerLimit = 100;
constexpr size_t kDigitLimit = 16;

// The final fields are markup-escaped; messages show what the filer typed.
std::string UnescapeMarkup(const std::string& text) {
  static const struct {
    std::string_view reference;
    char character;
  } kReferences[] = {{"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}};
  std::string plain;
  size_t start = 0;
  for (size_t at; (at = text.find('&', start)) != std::string::npos;) {
    plain.append(text, start, at - start);
    start = at + 1;
    plain += '&';
    for (const auto& known : kReferences) {
      if (text.compare(at, known.reference.size(), known.reference) == 0) {
        plain.back() = known.character;
        start = at + known.reference.size();
        break;
      }
    }
  }
  return plain.append(text, start, std::string::npos);
}

std::string Holding(const std::string& field) {
  return field.empty() ? "it is empty" : "it holds \"" + UnescapeMarkup(field) + "\"";
}

bool IsAsciiLetterOrDigit(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

// The characters of an issuer name that EDGAR refuses, each named once, in order.
std::string RefusedNameCharacters(const std::string& plainName) {
  static const char kAllowedPunctuation[] = " \t\r\n!\\#$(),.:;`=@'-{}|/&";
  std::vector<std::string> refused;
  for (size_t i = 0; i < plainName.size();) {
    const char c = plainName[i];
    size_t length = 1;
    if (static_cast<unsigned char>(c) >= 0x80) {
      length = Utf8SequenceLength(plainName, i);
      if (length == 0) length = 1;
    } else if (IsAsciiLetterOrDigit(c) || std::strchr(kAllowedPunctuation, c)) {
      ++i;
      continue;
    }
    std::string character = plainName.substr(i, length);
    if (std::find(refused.begin(), refused.end(), character) == refused.end())
      refused.push_back(std::move(character));
    i += length;
  }
  std::string list;
  for (const std::string& character : refused) list += (list.empty() ? "" : " ") + character;
  return list;
}

void CheckLength(std::vector<std::string>& problems, const char* element, const std::string& field,
                 size_t minimum, size_t maximum) {
  if (field.size() >= minimum && field.size() <= maximum) return;  // bytes bound the characters
  const size_t count = CountCharacters(field);
  if (count >= minimum && count <= maximum) return;
  problems.push_back(std::string(element) + " must be " + std::to_string(minimum) + " to " +
                     std::to_string(maximum) + " characters long, but " +
                     (field.empty()
                          ? "it is empty"
                          : "it has " + std::to_string(count) + ": \"" + UnescapeMarkup(field) + "\""));
}

void CheckDigits(std::vector<std::string>& problems, const char* element, const std::string& digits) {
  if (!digits.empty() && digits.size() <= kDigitLimit) return;
  problems.push_back(std::string(element) + " must be 1 to 16 digits, but " + Holding(digits));
}

}  // namespace

std::vector<std::string> CheckEdgarRules(const InfoTableRow& row) {
  std::vector<std::string> problems;
  const std::string& name = row[kNameOfIssuer];
  CheckLength(problems, "nameOfIssuer", name, 1, kTextLimit);
  const std::string refused = RefusedNameCharacters(UnescapeMarkup(name));
  if (!refused.empty())
    problems.push_back("nameOfIssuer must not hold " + refused + ", but " + Holding(name));
  CheckLength(problems, "titleOfClass", row[kTitleOfClass], 1, kTextLimit);
  const std::string& cusip = row[kCusip];
  if (cusip.size() != 9 || !std::all_of(cusip.begin(), cusip.end(), IsAsciiLetterOrDigit))
    problems.push_back("cusip must be exactly 9 letters or digits, but " + Holding(cusip));
  CheckDigits(problems, "value", row[kValue]);
  CheckDigits(problems, "sshPrnamt", row[kSshPrnamt]);
  if (!row[kOtherManager].empty())
    CheckLength(problems, "otherManager", row[kOtherManager], 1, kOtherManagerLimit);
  CheckDigits(problems, "Sole", row[kSole]);
  CheckDigits(problems, "Shared", row[kShared]);
  CheckDigits(problems, "None", row[kNone]);
  return problems;
}

std::string EdgarEntryLimitMessage() {
  return "informationTable must hold at most 250,000 infoTable entries, but this row is entry 250,001";
}
