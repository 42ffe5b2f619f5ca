#include "infotable/filing_details.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <optional>
#include <toml++/toml.h>

namespace {

bool AllDigits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A form 13F file number: "028-" and up to 8 digits.
bool IsForm13fFileNumber(std::string_view text) {
  return text.size() > 4 && text.size() <= 12 && text.substr(0, 4) == "028-" && AllDigits(text.substr(4));
}

// EDGAR's file numbers of any kind: "333-00000" with an optional suffix.
bool IsEdgarFileNumber(std::string_view text) {
  const size_t dash = text.find('-');
  if (dash == std::string_view::npos || dash == 0 || dash > 3 || !AllDigits(text.substr(0, dash))) return false;
  std::string_view rest = text.substr(dash + 1);
  const size_t suffix = rest.find('-');
  const std::string_view sequence = rest.substr(0, suffix);
  if (sequence.size() > 8 || !AllDigits(sequence)) return false;
  if (suffix == std::string_view::npos) return true;
  const std::string_view end = rest.substr(suffix + 1);
  return !end.empty() && end.size() <= 4 && std::all_of(end.begin(), end.end(), [](char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
  });
}

bool IsPhone(std::string_view text) {
  return !text.empty() && text.size() <= 20 && std::all_of(text.begin(), text.end(), [](char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == ' ' || c == '#' ||
           c == '(' || c == ')' || c == ',' || c == '.' || c == '-';
  });
}

// An Internet address as EDGAR takes it: a name, one "@", and a domain with
// a dot, of letters, digits and "-", "_", ".".
bool IsEmail(std::string_view text) {
  const size_t at = text.find('@');
  if (text.size() < 4 || text.size() > 80 || at == 0 || at == std::string_view::npos ||
      text.find('@', at + 1) != std::string_view::npos)
    return false;
  const std::string_view domain = text.substr(at + 1);
  const size_t dot = domain.rfind('.');
  if (dot == std::string_view::npos || dot == 0 || dot + 3 > domain.size() || domain.find("..") != std::string_view::npos)
    return false;
  return std::all_of(text.begin(), text.end(), [](char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '-' || c == '_' ||
           c == '.' || c == '@';
  });
}

// The characters of `text` outside printable ASCII, which EDGAR refuses,
// each named once.
std::string RefusedCharacters(std::string_view text) {
  std::string refused;
  for (size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c >= 0x20 && c < 0x7F) {
      ++i;
      continue;
    }
    size_t length = 1;
    if (c >= 0xC0) length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
    std::string character(text.substr(i, length));
    if (c < 0x20 || c == 0x7F) {
      char code[8];
      std::snprintf(code, sizeof code, "U+%04X", c);
      character = code;
    }
    if (refused.find(character) == std::string::npos) refused += (refused.empty() ? "" : " ") + character;
    i += length;
  }
  return refused;
}

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

// A date YYYY-MM-DD read into its parts; false when it is none.
bool ReadDate(std::string_view text, int& year, int& month, int& day) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-' || !AllDigits(text.substr(0, 4)) ||
      !AllDigits(text.substr(5, 2)) || !AllDigits(text.substr(8, 2)))
    return false;
  year = std::stoi(std::string(text.substr(0, 4)));
  month = std::stoi(std::string(text.substr(5, 2)));
  day = std::stoi(std::string(text.substr(8, 2)));
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12 || day < 1) return false;
  return day <= kDays[month - 1] + (month == 2 && IsLeapYear(year) ? 1 : 0);
}

bool IsQuarterEnd(int month, int day) {
  return (month == 3 && day == 31) || (month == 6 && day == 30) || (month == 9 && day == 30) ||
         (month == 12 && day == 31);
}

// Reads the keys of one table of the file, each problem named with its line
// and its key's full name.
class KeyReader {
 public:
  KeyReader(const toml::table* table, std::string prefix, std::vector<std::string>& problems)
      : table_(table), prefix_(std::move(prefix)), problems_(problems) {}

  // A text of at most `longest` characters; "" when it is missing or not
  // text, and then a problem unless it is optional.
  std::string Text(const char* key, size_t longest, bool required) {
    const toml::node* node = table_ ? table_->get(key) : nullptr;
    if (!node) {
      // A missing table is named once, not by each of its keys.
      if (required && table_) problems_.push_back(Name(key) + ": missing");
      return "";
    }
    const std::optional<std::string> text = node->value<std::string>();
    if (!node->is_string() || !text) {
      Problem(*node, key, "is not text: write it in double quotes");
      return "";
    }
    if (text->empty()) {
      if (required) Problem(*node, key, "is empty");
      return "";
    }
    if (const std::string refused = RefusedCharacters(*text); !refused.empty()) {
      Problem(*node, key, "\"" + *text + "\" holds characters EDGAR refuses (" + refused +
                              "): write it in plain ASCII");
      return "";
    }
    if (text->size() > longest)
      Problem(*node, key, "\"" + *text + "\" has " + std::to_string(text->size()) + " characters; EDGAR takes " +
                              std::to_string(longest));
    return *text;
  }

  // A text that must pass `valid`, with `reason` when it does not.
  template <typename Valid>
  std::string Checked(const char* key, size_t longest, bool required, Valid valid, const char* reason) {
    std::string text = Text(key, longest, required);
    if (!text.empty() && !valid(text)) {
      Problem(*table_->get(key), key, "\"" + text + "\" " + reason);
      return "";
    }
    return text;
  }

  // A whole number from `lowest` to `highest`; `fallback` when missing.
  long long Number(const char* key, long long lowest, long long highest, long long fallback) {
    const toml::node* node = table_ ? table_->get(key) : nullptr;
    if (!node) return fallback;
    const std::optional<int64_t> number = node->value_exact<int64_t>();
    if (!node->is_integer() || !number || *number < lowest || *number > highest) {
      Problem(*node, key, "is not a whole number from " + std::to_string(lowest) + " to " + std::to_string(highest));
      return fallback;
    }
    return *number;
  }

  bool Flag(const char* key, bool fallback) {
    const toml::node* node = table_ ? table_->get(key) : nullptr;
    if (!node) return fallback;
    if (!node->is_boolean()) {
      Problem(*node, key, "is neither true nor false");
      return fallback;
    }
    return *node->value<bool>();
  }

  // A date, as TOML writes one or as text; "" when missing.
  std::string Date(const char* key) {
    const toml::node* node = table_ ? table_->get(key) : nullptr;
    if (!node) return "";
    if (node->is_date_time()) {
      Problem(*node, key, "is a date and a time: give the date alone");
      return "";
    }
    if (const toml::value<toml::date>* date = node->as_date()) {
      const toml::date& d = date->get();
      char text[32];
      std::snprintf(text, sizeof text, "%04u-%02u-%02u", static_cast<unsigned>(d.year), static_cast<unsigned>(d.month),
                    static_cast<unsigned>(d.day));
      return text;
    }
    return Text(key, 10, false);
  }

  void Problem(const toml::node& node, const char* key, const std::string& reason) {
    problems_.push_back("line " + std::to_string(node.source().begin.line) + ", " + Name(key) + ": " + reason);
  }

  const toml::table* table() const { return table_; }

 private:
  std::string Name(const char* key) const { return prefix_ + key; }

  const toml::table* table_;
  std::string prefix_;
  std::vector<std::string>& problems_;
};

const char* const kNot13fFileNumber = "is not a Form 13F file number (028- and up to 8 digits)";
const char* const kNotStateCode = "is not one of EDGAR's state and country codes (CT, NY, A0 for Alberta, ...)";

void ReadManager(const toml::table& root, std::vector<std::string>& problems, FilingDetails& details) {
  KeyReader manager(root["manager"].as_table(), "manager.", problems);
  if (!manager.table()) problems.push_back("[manager]: missing");
  auto& m = details.manager;
  m.cik = manager.Checked("cik", 10, true, [](const std::string& t) { return t.size() == 10 && AllDigits(t); },
                          "is not 10 digits: write the CIK as the SEC gives it, with its leading zeros");
  m.name = manager.Text("name", 150, true);
  m.street1 = manager.Text("street1", 40, true);
  m.street2 = manager.Text("street2", 40, false);
  m.city = manager.Text("city", 30, true);
  m.stateOrCountry = manager.Checked("state_or_country", 2, true, IsEdgarStateOrCountry, kNotStateCode);
  m.zipCode = manager.Text("zip_code", 10, true);
  m.fileNumber = manager.Checked("file_number", 12, true, IsForm13fFileNumber, kNot13fFileNumber);
  m.crdNumber = manager.Checked("crd_number", 9, false, [](const std::string& t) { return t.size() == 9 && AllDigits(t); },
                                "is not 9 digits");
  m.secFileNumber = manager.Checked("sec_file_number", 17, false, IsEdgarFileNumber,
                                    "is not an SEC file number (such as 801-12345)");
}

void ReadPeople(const toml::table& root, std::vector<std::string>& problems, FilingDetails& details) {
  KeyReader contact(root["contact"].as_table(), "contact.", problems);
  details.contact.name = contact.Text("name", 30, false);
  const bool named = !details.contact.name.empty();
  details.contact.phone = contact.Checked("phone", 20, named, IsPhone, "is not a telephone number EDGAR takes");
  details.contact.email = contact.Checked("email", 80, named, IsEmail, "is not an e-mail address");
  KeyReader signature(root["signature"].as_table(), "signature.", problems);
  if (!signature.table()) problems.push_back("[signature]: missing");
  auto& s = details.signature;
  s.name = signature.Text("name", 150, true);
  s.title = signature.Text("title", 60, true);
  s.phone = signature.Checked("phone", 20, true, IsPhone, "is not a telephone number EDGAR takes");
  s.city = signature.Text("city", 30, true);
  s.stateOrCountry = signature.Checked("state_or_country", 2, true, IsEdgarStateOrCountry, kNotStateCode);
}

void ReadReport(const toml::table& root, const std::string& today, std::vector<std::string>& problems,
                FilingDetails& details) {
  KeyReader report(root["report"].as_table(), "report.", problems);
  details.period = report.Date("period");
  if (details.period.empty() && !report.table()->contains("period")) details.period = LastQuarterEnd(today);
  else if (!details.period.empty() && !IsQuarterEndDate(details.period)) {
    report.Problem(*report.table()->get("period"), "period",
                   "\"" + details.period + "\" is not a calendar quarter's end (YYYY-03-31, -06-30, -09-30 or -12-31)");
    details.period.clear();
  }
  const std::string type = report.Text("type", 20, false);
  if (type == "notice") details.type = ReportType::kNotice;
  else if (type == "combination") details.type = ReportType::kCombination;
  else if (!type.empty() && type != "holdings")
    report.Problem(*report.table()->get("type"), "type", "\"" + type + "\" is none of holdings, notice, combination");
  details.amendment = static_cast<unsigned>(report.Number("amendment", 0, 99, 0));
  const std::string amendmentType = report.Text("amendment_type", 20, false);
  if (amendmentType == "new holdings") details.amendmentType = AmendmentType::kNewHoldings;
  else if (!amendmentType.empty() && amendmentType != "restatement")
    report.Problem(*report.table()->get("amendment_type"), "amendment_type",
                   "\"" + amendmentType + "\" is neither restatement nor new holdings");
  details.test = report.Flag("test", false);
}

// The other managers of one list; those of the summary page carry their
// sequence numbers, each once.
void ReadManagers(const toml::table& root, const char* key, bool numbered, std::vector<std::string>& problems,
                  std::vector<OtherManagerDetails>& managers) {
  const toml::node* node = root.get(key);
  if (!node) return;
  const toml::array* list = node->as_array();
  if (!list || !list->is_array_of_tables()) {
    problems.push_back("line " + std::to_string(node->source().begin.line) + ", " + key +
                       ": is not a list of tables: write each as [[" + key + "]]");
    return;
  }
  for (size_t i = 0; i < list->size(); ++i) {
    KeyReader entry((*list)[i].as_table(), std::string(key) + "[" + std::to_string(i + 1) + "].", problems);
    OtherManagerDetails manager;
    if (numbered) {
      manager.sequence = static_cast<unsigned>(entry.Number("sequence", 1, 999, 0));
      if (!entry.table()->contains("sequence")) problems.push_back(std::string(key) + "[" + std::to_string(i + 1) + "].sequence: missing");
      for (const OtherManagerDetails& before : managers)
        if (manager.sequence != 0 && before.sequence == manager.sequence)
          entry.Problem(*entry.table()->get("sequence"), "sequence",
                        std::to_string(manager.sequence) + " is given to two managers");
    }
    manager.fileNumber = entry.Checked("file_number", 12, true, IsForm13fFileNumber, kNot13fFileNumber);
    manager.name = entry.Text("name", 150, true);
    managers.push_back(std::move(manager));
  }
}

}  // namespace

const char* const kEdgarStateAndCountryCodes =
    "AL AK AZ AR CA CO CT DE DC FL GA HI ID IL IN IA KS KY LA ME MD MA MI MN MS MO MT NE NV NH NJ NM "
    "NY NC ND OH OK OR PA RI SC SD TN TX X1 UT VT VA WA WV WI WY A0 A1 A2 A3 A4 A5 A6 A7 A8 A9 B0 Z4 "
    "B2 Y6 B3 B4 B5 B6 B7 1A B8 B9 C1 1B 1C C3 C4 1D C5 C6 C7 C8 1F C9 D1 G6 D0 D2 D3 1E B1 D4 D5 D6 "
    "D9 E0 X2 E2 E3 E4 E8 E9 F0 F2 F3 F4 F6 F7 F8 F9 G0 Y3 G1 G2 L7 1M G3 G4 2N G7 1G G9 G8 H1 H2 H3 "
    "H4 1J 1H H5 H7 H6 H8 H9 I0 I3 I4 2C I5 I6 2Q 2M J0 J1 J3 J4 J5 J6 GU J8 Y7 J9 S0 K0 K1 K4 X4 K2 "
    "K3 K5 K6 K7 K8 K9 L0 L2 Y8 L3 L6 L8 M0 Y9 M2 1P M3 J2 M4 M5 M6 1N M7 1R M8 M9 N0 N1 N2 1Q N4 N5 "
    "1U N6 N7 N8 N9 O0 O1 1T O2 O3 O4 2P O5 1K 1S O9 P0 Z5 P1 P2 P3 E1 T6 P5 P6 P7 P8 1W Q2 Q3 Q4 Q5 "
    "Q6 Q7 1V Q8 P4 R0 1Y 1X R1 R2 R4 R5 R6 R8 R9 S1 PR S3 S4 S5 1Z S6 Z0 U8 U7 U9 Z1 V0 V1 Y0 S8 S9 "
    "T0 T1 Z2 T2 T8 U0 2B 2A D7 U1 T3 1L U3 F1 V2 V3 L9 V6 V7 V8 V9 F5 2D W0 W1 Z3 W2 W3 W4 W5 W6 W8 "
    "2E W7 2G W9 2H C0 X0 2J X3 2K 2L X5 Q1 D8 VI X8 U5 T7 Y4 Y5 XX C2 E5 E7 G5 I7 X9 I8 I9 L1 L4 L5 "
    "M1 O6 Q9 R3 T4 U2 U4 U6 X7 2F Y2 ";

bool IsEdgarStateOrCountry(std::string_view code) {
  if (code.size() != 2) return false;
  const std::string_view codes(kEdgarStateAndCountryCodes);
  for (size_t at = 0; at + 2 <= codes.size(); at += 3)
    if (codes.substr(at, 2) == code) return true;
  return false;
}

std::string Today() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d", &local);
  return text;
}

bool IsQuarterEndDate(std::string_view date) {
  int year, month, day;
  return ReadDate(date, year, month, day) && IsQuarterEnd(month, day);
}

std::string LastQuarterEnd(const std::string& today) {
  int year, month, day;
  if (!ReadDate(today, year, month, day)) return "";
  // The quarter ends before today's quarter began.
  const int quarterStart = (month - 1) / 3 * 3 + 1;
  int endMonth = quarterStart - 1;
  if (endMonth == 0) {
    endMonth = 12;
    --year;
  }
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", year, endMonth, endMonth == 3 || endMonth == 12 ? 31 : 30);
  return text;
}

std::vector<std::string> ReadFilingDetails(std::string_view text, const std::string& today, FilingDetails& details) {
  details = FilingDetails();
  std::vector<std::string> problems;
  toml::table root;
  try {
    root = toml::parse(text);
  } catch (const toml::parse_error& error) {
    problems.push_back("line " + std::to_string(error.source().begin.line) + ": " +
                       std::string(error.description()));
    return problems;
  }
  ReadManager(root, problems, details);
  ReadPeople(root, problems, details);
  if (!root["report"].as_table()) root.insert("report", toml::table());
  ReadReport(root, today, problems, details);
  ReadManagers(root, "included_managers", true, problems, details.includedManagers);
  ReadManagers(root, "reporting_managers", false, problems, details.reportingManagers);
  return problems;
}
