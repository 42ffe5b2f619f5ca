#include "infotable/edgar_checks.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

#include "infotable/edgar_limits.h"
#include "infotable/text_forms.h"

namespace {

// A field as a message quotes it: what the filer typed, at most 200 bytes.
std::string Quoted(const std::string& field) {
  constexpr size_t kShown = 200;
  const std::string plain = UnescapeMarkup(field);
  if (plain.size() <= kShown) return "\"" + plain + "\"";
  size_t cut = kShown;
  while (cut > 0 && (static_cast<unsigned char>(plain[cut]) & 0xC0) == 0x80) --cut;  // not inside a character
  return "\"" + plain.substr(0, cut) + "\xE2\x80\xA6\"";
}

std::string Holding(const std::string& field) {
  return field.empty() ? "it is empty" : "it holds " + Quoted(field);
}

// EDGAR's name pattern: letters, digits, white space and this punctuation.
constexpr std::array<bool, 256> kAllowedInName = [] {
  std::array<bool, 256> allowed{};
  for (int c = 0; c < 128; ++c) allowed[c] = IsAsciiLetterOrDigit(static_cast<char>(c));
  for (const char* c = " \t\r\n!\\#$(),.:;`=@'-{}|/&"; *c; ++c)
    allowed[static_cast<unsigned char>(*c)] = true;
  return allowed;
}();

bool IsAllowedInName(char c) { return kAllowedInName[static_cast<unsigned char>(c)]; }

// The characters of an issuer name that EDGAR refuses, each named once, in order.
std::string RefusedNameCharacters(const std::string& plainName) {
  std::vector<std::string> refused;
  for (size_t i = 0; i < plainName.size();) {
    const char c = plainName[i];
    size_t length = 1;
    if (static_cast<unsigned char>(c) >= 0x80) {
      length = Utf8SequenceLength(plainName, i);
      if (length == 0) length = 1;
    } else if (IsAllowedInName(c)) {
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
                 size_t maximum) {
  if (field.size() <= maximum) return;  // bytes bound the characters
  const size_t count = CountCharacters(field);
  if (count <= maximum) return;
  problems.push_back(std::string(element) + " must be at most " + std::to_string(maximum) +
                     " characters long, but it has " + std::to_string(count) + ": " + Quoted(field));
}

// The document holds the first `limit` characters of these fields.
void CheckCut(std::vector<std::string>& problems, const char* element, const std::string& field,
              size_t limit) {
  if (field.size() <= limit || CountCharacters(field) <= limit) return;
  problems.push_back(std::string(element) + " " + Quoted(field) + " is longer than " + std::to_string(limit) +
                     " characters and will be cut");
}

void CheckDigits(std::vector<std::string>& problems, const char* element, const std::string& digits) {
  if (!digits.empty() && digits.size() <= kEdgarDigitLimit) return;
  problems.push_back(std::string(element) + " must be 1 to " + std::to_string(kEdgarDigitLimit) +
                     " digits, but " + Holding(digits));
}

}  // namespace

std::vector<std::string> CheckEdgarRules(const InfoTableRow& row) {
  std::vector<std::string> problems;
  const std::string& name = row[kNameOfIssuer];
  CheckCut(problems, "nameOfIssuer", name, kEdgarTextLimit);
  // Escaped "<" and ">" are refused and "&" is allowed, so only a name with a
  // character outside the allowed set needs its plain form looked at.
  const bool allAllowed =
      std::all_of(name.begin(), name.end(), [](char c) { return IsAllowedInName(c) && c != ';'; });
  const std::string refused = allAllowed ? std::string() : RefusedNameCharacters(UnescapeMarkup(name));
  if (!refused.empty())
    problems.push_back("nameOfIssuer must not hold " + refused + ", but " + Holding(name));
  CheckCut(problems, "titleOfClass", row[kTitleOfClass], kEdgarTextLimit);
  const std::string& cusip = row[kCusip];
  if (cusip.size() > kCusipLength)  // cut, it would name another security
    problems.push_back("CUSIP of " + std::to_string(CountCharacters(cusip)) +
                       " characters cannot be cut to " + std::to_string(kCusipLength) + ": " + Quoted(cusip));
  else if (cusip.size() != kCusipLength || !std::all_of(cusip.begin(), cusip.end(), IsAsciiLetterOrDigit))
    problems.push_back("cusip must be exactly " + std::to_string(kCusipLength) + " letters or digits, but " +
                       Holding(cusip));
  CheckDigits(problems, "value", row[kValue]);
  CheckDigits(problems, "sshPrnamt", row[kSshPrnamt]);
  if (!row[kOtherManager].empty())
    CheckLength(problems, "otherManager", row[kOtherManager], kEdgarOtherManagerLimit);
  CheckDigits(problems, "Sole", row[kVotingSole]);
  CheckDigits(problems, "Shared", row[kVotingShared]);
  CheckDigits(problems, "None", row[kVotingNone]);
  return problems;
}

std::vector<std::string> CheckEdgarTableRules(uint64_t valueTotal) {
  std::vector<std::string> problems;
  if (std::to_string(valueTotal).size() > kEdgarDigitLimit)
    problems.push_back("the information table total must be at most " + std::to_string(kEdgarDigitLimit) +
                       " digits for the cover page, but it is " +
                       std::string(valueTotal == UINT64_MAX ? "at least " : "") +
                       GroupThousands(std::to_string(valueTotal)));
  return problems;
}

std::string ValueInThousandsMessage(std::string_view caption) {
  return "value must be in whole dollars, but column \"" + std::string(caption) +
         "\" gives thousands; the values are written as they stand";
}

std::string EdgarEntryLimitMessage() {
  return "informationTable must hold at most " + GroupThousands(std::to_string(kEdgarEntryLimit)) +
         " infoTable entries, but this row is entry " + GroupThousands(std::to_string(kEdgarEntryLimit + 1));
}
