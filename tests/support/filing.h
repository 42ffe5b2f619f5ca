// The details of a made-up filing, as a filer keeps them, for tests.
#pragma once

#include <string>

inline const std::string kFilingToml =
    "[manager]\n"
    "cik = \"0001234567\"\n"
    "name = \"BIG FUND TRUST INC\"\n"
    "street1 = \"1 MAIN ST\"\n"
    "city = \"GREENWICH\"\n"
    "state_or_country = \"CT\"\n"
    "zip_code = \"06830\"\n"
    "file_number = \"028-12345\"\n"
    "\n"
    "[signature]\n"
    "name = \"JANE DOE\"\n"
    "title = \"CHIEF COMPLIANCE OFFICER\"\n"
    "phone = \"203-555-0100\"\n"
    "city = \"GREENWICH\"\n"
    "state_or_country = \"CT\"\n"
    "\n"
    "[report]\n"
    "\n"
    "[[included_managers]]\n"
    "sequence = 1\n"
    "file_number = \"028-67890\"\n"
    "name = \"OTHER ADVISER LLC\"\n";

// A made-up CCC of EDGAR's form.
inline const std::string kMadeUpCcc = "t3st#ccc";

// `text` with `lines` put right under its heading `section`.
inline std::string WithKey(std::string text, const std::string& section, const std::string& lines) {
  const size_t at = text.find(section + "\n");
  if (at != std::string::npos) text.insert(at + section.size() + 1, lines + "\n");
  return text;
}
