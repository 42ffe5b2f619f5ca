// The SEC's Official List of Section 13(f) Securities, as the quarterly text
// file it publishes (13flist2026q2.txt): one security a line of exactly 80
// characters in fixed columns, counted from 1: the CUSIP in 1-9, an asterisk
// in 10 when it has listed options, the issuer's name in 11-38, its
// description (the class, or CALL and PUT for the options' own lines, which
// follow their security) in 41-67, and a status in 68-70: "*A*" added this
// quarter, "*D*" deleted. The list may not be shipped: the filer downloads it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "infotable/refusal.h"

struct ListedSecurity {
  std::string issuer;       // the list's name, cut to 28 characters
  std::string description;  // "COM", "SHS NEW", "CALL", "PUT", ...
  bool hasOptions = false;  // the asterisk
  bool deleted = false;     // "*D*"
  bool added = false;       // "*A*"
  // For the options' own lines, CALL or PUT: the security they are options on.
  std::optional<uint32_t> underlying;
};

struct SecuritiesList {
  std::string name;     // the file's name, as lines name the list
  std::string quarter;  // "2026 Q2", from the name; empty when the name tells none
  std::vector<std::string> cusips;
  std::vector<ListedSecurity> securities;  // in the file's order, beside their CUSIPs
  // Open addressing by the CUSIP as a number, at most half full: every row
  // of a table is looked up. A slot's key 0 marks it free.
  std::vector<std::pair<uint64_t, uint32_t>> cusipTable;

  // The listed security of a CUSIP, or null.
  const ListedSecurity* Find(std::string_view cusip) const;
  const std::string& CusipOf(uint32_t index) const { return cusips[index]; }
};

// "2026 Q2" for "13flist2026q2.txt" or "13flist2026q2-txt.txt"; none for a
// name of another form.
std::optional<std::string> ListQuarter(std::string_view fileName);

// Reads the list's text into `list`, whose name is `name`. Refused, saying
// why, for a text that is not a list in the published layout: another kind
// of file (a PDF, a web page saved in its place), a line of another length,
// a cut file.
Refusal ReadSecuritiesList(std::string_view text, std::string_view name, SecuritiesList& list);

// Reads the list file at `path`; refused as ReadSecuritiesList refuses, or
// when the file can't be read.
Refusal LoadSecuritiesList(const std::string& path, SecuritiesList& list);
