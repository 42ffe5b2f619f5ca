// The details of a Form 13F filing beside its information table, kept
// between quarters in one TOML file that other tools may write too: the
// manager and its numbers (the cover page), the contact, the signature, the
// report (period, type, amendment) and the other managers of the summary
// page and of the cover page. Each value is checked as EDGAR would check it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

enum class ReportType { kHoldings, kNotice, kCombination };
enum class AmendmentType { kRestatement, kNewHoldings };

struct OtherManagerDetails {
  unsigned sequence = 0;  // on the summary page's list; 0 on the cover page's
  std::string fileNumber;
  std::string name;
};

struct FilingDetails {
  struct {
    std::string cik, name, street1, street2, city, stateOrCountry, zipCode, fileNumber, crdNumber, secFileNumber;
  } manager;
  struct {
    std::string name, phone, email;
  } contact;  // none when the name is empty
  struct {
    std::string name, title, phone, city, stateOrCountry;
  } signature;
  std::string period;  // the report's period, YYYY-MM-DD, a calendar quarter's end
  ReportType type = ReportType::kHoldings;
  unsigned amendment = 0;  // 0: not an amendment
  AmendmentType amendmentType = AmendmentType::kRestatement;
  bool test = false;  // a TEST submission, which EDGAR checks and does not file
  std::vector<OtherManagerDetails> includedManagers;   // summary page, by sequence number
  std::vector<OtherManagerDetails> reportingManagers;  // cover page: who reports for this manager
};

// Reads the details from the TOML `text` into `details`. `today` (YYYY-MM-DD)
// gives the period when the text gives none: the last calendar quarter's
// end before it. Gives every problem, each "line N, KEY: REASON" (no line
// when a key is missing), table by table; none when all is well.
std::vector<std::string> ReadFilingDetails(std::string_view text, const std::string& today, FilingDetails& details);

// Today as YYYY-MM-DD, on this machine's calendar.
std::string Today();

// Whether `date` is a calendar quarter's end, YYYY-MM-DD.
bool IsQuarterEndDate(std::string_view date);

// The last calendar quarter's end before `today` (both YYYY-MM-DD).
std::string LastQuarterEnd(const std::string& today);

// Whether `code` is one of EDGAR's state and country codes ("CT", "A0").
bool IsEdgarStateOrCountry(std::string_view code);
// Every one of them, in EDGAR's order, blank-separated.
extern const char* const kEdgarStateAndCountryCodes;
