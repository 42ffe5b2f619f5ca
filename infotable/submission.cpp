#include "infotable/submission.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "infotable/base64.h"
#include "infotable/blocks_in_order.h"
#include "infotable/edgar_limits.h"
#include "infotable/text_forms.h"
#include "storage/file_replacement.h"

namespace {

// Days since 1970-01-01 of a YYYY-MM-DD date (Howard Hinnant's days_from_civil).
long DaysOf(const std::string& date) {
  int year = std::stoi(date.substr(0, 4));
  const unsigned month = static_cast<unsigned>(std::stoi(date.substr(5, 2)));
  const unsigned day = static_cast<unsigned>(std::stoi(date.substr(8, 2)));
  year -= month <= 2;
  const long era = (year >= 0 ? year : year - 399) / 400;
  const unsigned yearOfEra = static_cast<unsigned>(year - era * 400);
  const unsigned dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + static_cast<long>(dayOfEra) - 719468;
}

// The YYYY-MM-DD date of days since 1970-01-01 (civil_from_days).
std::string DateOf(long days) {
  days += 719468;
  const long era = (days >= 0 ? days : days - 146096) / 146097;
  const unsigned dayOfEra = static_cast<unsigned>(days - era * 146097);
  const unsigned yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const unsigned mp = (5 * dayOfYear + 2) / 153;
  const unsigned day = dayOfYear - (153 * mp + 2) / 5 + 1;
  const unsigned month = mp < 10 ? mp + 3 : mp - 9;
  const long year = static_cast<long>(yearOfEra) + era * 400 + (month <= 2);
  char text[32];
  std::snprintf(text, sizeof text, "%04ld-%02u-%02u", year, month, day);
  return text;
}

// EDGAR writes dates MM-DD-YYYY.
std::string EdgarDate(const std::string& date) {
  return date.substr(5, 2) + "-" + date.substr(8, 2) + "-" + date.substr(0, 4);
}

// EDGAR's deadline for a report: 45 days after the quarter's end.
constexpr long kDaysToFile = 45;

const char* ReportName(ReportType type) {
  switch (type) {
    case ReportType::kHoldings: return "holdings report";
    case ReportType::kNotice: return "notice";
    case ReportType::kCombination: return "combination report";
  }
  return "";
}

bool Names(const std::vector<unsigned long>& used, unsigned sequence) {
  return std::find(used.begin(), used.end(), sequence) != used.end();
}

void CheckManagers(const FilingDetails& details, const TableFigures& table, SubmissionFindings& found) {
  for (unsigned long used : table.managersUsed) {
    const bool listed = std::any_of(details.includedManagers.begin(), details.includedManagers.end(),
                                    [used](const OtherManagerDetails& m) { return m.sequence == used; });
    if (!listed)
      found.refusals.push_back(
          "The table's rows name other manager " + std::to_string(used) +
          ", which the summary page's list of other included managers does not hold: add it "
          "as [[included_managers]] with its sequence number, file number and name");
  }
  for (const OtherManagerDetails& listed : details.includedManagers)
    if (!Names(table.managersUsed, listed.sequence))
      found.checks.push_back("Other included manager " + std::to_string(listed.sequence) + " (" +
                             listed.name +
                             ") is on the summary page's list, but no row of the table names it");
}

void CheckReportType(const FilingDetails& details, const TableFigures& table, SubmissionFindings& found) {
  const bool notice = details.type == ReportType::kNotice;
  if (notice && table.entries > 0)
    found.refusals.push_back(
        "A 13F notice carries no information table, but the table holds " +
        GroupThousands(std::to_string(table.entries)) +
        " entries: file a holdings or combination report, or a notice without the table");
  if (!notice && table.entries == 0)
    found.refusals.push_back(std::string("A 13F ") + ReportName(details.type) +
                             " needs its information table, and the table holds no entry");
  if (details.type != ReportType::kHoldings && details.reportingManagers.empty())
    found.refusals.push_back(
        std::string("A 13F ") + ReportName(details.type) +
        " names the managers that report for this one: add each as [[reporting_managers]] "
        "with its file number and name");
  if (details.type == ReportType::kHoldings && !details.reportingManagers.empty())
    found.checks.push_back(
        "The details name managers reporting for this one ([[reporting_managers]]), but a "
        "holdings report names none: they are left out; file a combination report to name them");
  if (notice && !details.includedManagers.empty())
    found.checks.push_back(
        "The details list other included managers, but a notice has no summary page: they are "
        "left out");
}

void CheckDeadline(const FilingDetails& details, const std::string& today, SubmissionFindings& found) {
  if (details.period.empty() || today.size() != 10) return;
  const long deadline = DaysOf(details.period) + kDaysToFile;
  const long left = deadline - DaysOf(today);
  const std::string date = DateOf(deadline);
  if (DaysOf(today) <= DaysOf(details.period))
    found.checks.push_back("The period of report, " + details.period +
                           ", has not ended yet: a report is filed after its quarter's end");
  else if (left < 0 && details.amendment == 0)
    found.checks.push_back("EDGAR's deadline for the quarter ended " + details.period + " was " + date +
                           ", " + std::to_string(-left) + (left == -1 ? " day" : " days") +
                           " ago: the report is late");
  else if (left >= 0)
    found.notes.push_back(std::to_string(left) + (left == 1 ? " day" : " days") +
                          " remain to EDGAR's deadline, " + date + ", for the quarter ended " +
                          details.period + ".");
}

void AppendElement(std::string& out, const char* indent, const char* name, const std::string& text) {
  if (text.empty()) return;
  out += indent;
  out += '<';
  out += name;
  out += '>';
  AppendEscaped(out, text);
  out += "</";
  out += name;
  out += ">\n";
}

// An otherManager element, `indent` deep: its file number and name.
void AppendOtherManager(std::string& out, const std::string& indent, const OtherManagerDetails& manager) {
  const std::string inner = indent + "  ";
  out += indent + "<otherManager>\n";
  AppendElement(out, inner.c_str(), "form13FFileNumber", manager.fileNumber);
  AppendElement(out, inner.c_str(), "name", manager.name);
  out += indent + "</otherManager>\n";
}

void AppendHeader(std::string& out, const FilingDetails& details, std::string_view ccc) {
  const bool notice = details.type == ReportType::kNotice;
  out += "  <headerData>\n    <submissionType>";
  out += notice ? "13F-NT" : "13F-HR";
  if (details.amendment > 0) out += "/A";
  out += "</submissionType>\n    <filerInfo>\n";
  out += details.test ? "      <liveTestFlag>TEST</liveTestFlag>\n"
                      : "      <liveTestFlag>LIVE</liveTestFlag>\n";
  out += "      <filer>\n        <credentials>\n";
  AppendElement(out, "          ", "cik", details.manager.cik);
  AppendElement(out, "          ", "ccc", std::string(ccc));
  out += "        </credentials>\n      </filer>\n";
  if (!details.contact.name.empty()) {
    out += "      <contact>\n";
    AppendElement(out, "        ", "contactName", details.contact.name);
    AppendElement(out, "        ", "contactPhoneNumber", details.contact.phone);
    AppendElement(out, "        ", "contactEmailAddress", details.contact.email);
    out += "      </contact>\n";
  }
  AppendElement(out, "      ", "periodOfReport", EdgarDate(details.period));
  out += "    </filerInfo>\n  </headerData>\n";
}

void AppendCoverPage(std::string& out, const FilingDetails& details) {
  const auto& m = details.manager;
  out += "    <coverPage>\n";
  AppendElement(out, "      ", "reportCalendarOrQuarter", EdgarDate(details.period));
  if (details.amendment > 0) {
    out += "      <isAmendment>true</isAmendment>\n";
    AppendElement(out, "      ", "amendmentNo", std::to_string(details.amendment));
    out += "      <amendmentInfo>\n        <amendmentType>";
    out += details.amendmentType == AmendmentType::kNewHoldings ? "NEW HOLDINGS" : "RESTATEMENT";
    out += "</amendmentType>\n      </amendmentInfo>\n";
  }
  out += "      <filingManager>\n";
  AppendElement(out, "        ", "name", m.name);
  out += "        <address>\n";
  AppendElement(out, "          ", "com:street1", m.street1);
  AppendElement(out, "          ", "com:street2", m.street2);
  AppendElement(out, "          ", "com:city", m.city);
  AppendElement(out, "          ", "com:stateOrCountry", m.stateOrCountry);
  AppendElement(out, "          ", "com:zipCode", m.zipCode);
  out += "        </address>\n      </filingManager>\n";
  out += details.type == ReportType::kHoldings ? "      <reportType>13F HOLDINGS REPORT</reportType>\n"
         : details.type == ReportType::kNotice ? "      <reportType>13F NOTICE</reportType>\n"
                                               : "      <reportType>13F COMBINATION REPORT</reportType>\n";
  AppendElement(out, "      ", "form13FFileNumber", m.fileNumber);
  AppendElement(out, "      ", "crdNumber", m.crdNumber);
  AppendElement(out, "      ", "secFileNumber", m.secFileNumber);
  if (details.type != ReportType::kHoldings && !details.reportingManagers.empty()) {
    out += "      <otherManagersInfo>\n";
    for (const OtherManagerDetails& other : details.reportingManagers)
      AppendOtherManager(out, "        ", other);
    out += "      </otherManagersInfo>\n";
  }
  out += "      <provideInfoForInstruction5>N</provideInfoForInstruction5>\n    </coverPage>\n";
}

void AppendSignature(std::string& out, const FilingDetails& details, const std::string& signatureDate) {
  const auto& s = details.signature;
  out += "    <signatureBlock>\n";
  AppendElement(out, "      ", "name", s.name);
  AppendElement(out, "      ", "title", s.title);
  AppendElement(out, "      ", "phone", s.phone);
  AppendElement(out, "      ", "signature", s.name);
  AppendElement(out, "      ", "city", s.city);
  AppendElement(out, "      ", "stateOrCountry", s.stateOrCountry);
  AppendElement(out, "      ", "signatureDate", EdgarDate(signatureDate));
  out += "    </signatureBlock>\n";
}

void AppendSummaryPage(std::string& out, const FilingDetails& details, const TableFigures& table) {
  out += "    <summaryPage>\n";
  AppendElement(out, "      ", "otherIncludedManagersCount", std::to_string(details.includedManagers.size()));
  AppendElement(out, "      ", "tableEntryTotal", std::to_string(table.entries));
  AppendElement(out, "      ", "tableValueTotal", std::to_string(table.valueTotal));
  out += "      <isConfidentialOmitted>false</isConfidentialOmitted>\n";
  if (!details.includedManagers.empty()) {
    std::vector<OtherManagerDetails> managers = details.includedManagers;
    std::sort(
        managers.begin(), managers.end(),
        [](const OtherManagerDetails& a, const OtherManagerDetails& b) { return a.sequence < b.sequence; });
    out += "      <otherManagers2Info>\n";
    for (const OtherManagerDetails& other : managers) {
      out += "        <otherManager2>\n";
      AppendElement(out, "          ", "sequenceNumber", std::to_string(other.sequence));
      AppendOtherManager(out, "          ", other);
      out += "        </otherManager2>\n";
    }
    out += "      </otherManagers2Info>\n";
  }
  out += "    </summaryPage>\n";
}

}  // namespace

SubmissionFindings CheckSubmission(const FilingDetails& details, const TableFigures& table,
                                   const std::string& today) {
  SubmissionFindings found;
  CheckReportType(details, table, found);
  if (details.type != ReportType::kNotice) CheckManagers(details, table, found);
  CheckDeadline(details, today, found);
  if (details.amendment > 0 && details.amendmentType == AmendmentType::kNewHoldings && table.entries > 0)
    found.notes.push_back("Amendment " + std::to_string(details.amendment) +
                          " adds new holdings: its table's " + GroupThousands(std::to_string(table.entries)) +
                          " entries, $" + GroupThousands(std::to_string(table.valueTotal)) +
                          ", are added to those already reported for " + details.period +
                          "; it does not restate them.");
  return found;
}

std::string KeptSubmissionName(const FilingDetails& details) {
  const int month = std::stoi(details.period.substr(5, 2));
  return std::string(details.type == ReportType::kNotice ? "13f-nt-" : "13f-hr-") +
         (details.amendment > 0 ? "a" + std::to_string(details.amendment) + "-" : "") +
         details.period.substr(0, 4) + "q" + std::to_string((month + 2) / 3) + ".xml";
}

std::vector<std::string> PreviousFilingCandidates(std::vector<FolderFile> files, const std::string& period) {
  FilingDetails last;
  last.period = LastQuarterEnd(period);
  if (last.period.empty()) return {};
  const std::string kept = KeptSubmissionName(last);
  const auto endsWith = [](const std::string& name, const std::string& end) {
    return name.size() >= end.size() && name.compare(name.size() - end.size(), end.size(), end) == 0;
  };
  std::vector<std::string> candidates;
  files.erase(std::remove_if(files.begin(), files.end(),
                             [&](const FolderFile& file) {
                               return !endsWith(file.name, ".xml") || file.name == kDocumentFileName ||
                                      endsWith(file.name, "-to-transmit.xml") ||
                                      (file.name.rfind("13f-", 0) == 0 && file.name != kept);
                             }),
              files.end());
  std::stable_sort(files.begin(), files.end(), [&](const FolderFile& a, const FolderFile& b) {
    return (a.name == kept) != (b.name == kept) ? a.name == kept : a.modified > b.modified;
  });
  for (const FolderFile& file : files) candidates.push_back(file.name);
  return candidates;
}

Refusal CheckCcc(std::string_view ccc) {
  const bool digit = std::any_of(ccc.begin(), ccc.end(), [](char c) { return c >= '0' && c <= '9'; });
  const bool mark = ccc.find_first_of("@#*$") != std::string_view::npos;
  const bool plain = std::all_of(ccc.begin(), ccc.end(), [](char c) { return c > ' ' && c < 0x7F; });
  if (ccc.size() != 8 || !digit || !mark || !plain)
    return std::string(
        "The CCC is not of EDGAR's form: 8 characters, at least one of them a digit and one of "
        "@ # * $");
  return std::nullopt;
}

std::string SubmissionHead(const FilingDetails& details, const TableFigures& table, std::string_view ccc,
                           const std::string& signatureDate) {
  std::string out =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<edgarSubmission xmlns=\"http://www.sec.gov/edgar/thirteenffiler\" "
      "xmlns:com=\"http://www.sec.gov/edgar/common\">\n";
  AppendHeader(out, details, ccc);
  out += "  <formData>\n";
  AppendCoverPage(out, details);
  AppendSignature(out, details, signatureDate);
  if (details.type != ReportType::kNotice) AppendSummaryPage(out, details, table);
  out += "  </formData>\n";
  if (details.type == ReportType::kNotice) return out;
  out += "  <documents>\n    <document>\n      <conformedName>";
  out += kAttachedTableName;
  out +=
      "</conformedName>\n      <conformedDocumentType>INFORMATION TABLE</conformedDocumentType>\n"
      "      <description>Information Table</description>\n      <contents>";
  return out;
}

std::string SubmissionEnd(const FilingDetails& details) {
  if (details.type == ReportType::kNotice) return "</edgarSubmission>\n";
  // Nothing but base64 lines between the tags, for the strictest decoder.
  return "</contents>\n    </document>\n  </documents>\n</edgarSubmission>\n";
}

FileFailure WriteSubmissionFromMemory(const std::string& path, const std::string& head,
                                      std::string_view document, const std::string& end) {
  FileReplacement file;
  if (FileFailure failure = file.Open(path, FileUse::kOwnerOnly)) return failure;
  if (FileFailure failure = file.Write(head)) return failure;
  // The base64 is made in pieces of whole lines on every core and written
  // in order, so that the attachment costs little more than its writing.
  constexpr size_t kPiece = kBase64LineBytes * 16384;
  const size_t pieces = (document.size() + kPiece - 1) / kPiece;
  const unsigned threads = ThreadsFor(pieces, 0);
  std::vector<std::string> slots(2 * threads);
  FileFailure failure;
  MakeBlocksInOrder(
      pieces, threads, slots.size(),
      [&](size_t piece, size_t slot) {
        slots[slot].clear();
        AppendBase64(slots[slot], document.substr(piece * kPiece, kPiece));
      },
      [&](size_t, size_t slot) {
        failure = file.Write(slots[slot]);
        file.SyncSoFar();  // the disk at work meanwhile, not all at the end
        return !failure;
      });
  if (failure) return failure;
  if (FileFailure failure = file.Write(end)) return failure;
  return file.Commit();
}

FileFailure WriteSubmission(const std::string& path, const std::string& head, const std::string& documentPath,
                            const std::string& end) {
  if (documentPath.empty()) return WriteSubmissionFromMemory(path, head, "", end);
  const int document = open(documentPath.c_str(), O_RDONLY | O_CLOEXEC);
  if (document < 0) return errno;
  struct stat info;
  if (fstat(document, &info) != 0) {
    const int cause = errno;
    close(document);
    return cause;
  }
  const size_t size = static_cast<size_t>(info.st_size);
  void* mapped = size > 0 ? mmap(nullptr, size, PROT_READ, MAP_PRIVATE, document, 0) : nullptr;
  const int mapCause = errno;
  close(document);
  if (mapped == MAP_FAILED) return mapCause;
  const FileFailure failure =
      WriteSubmissionFromMemory(path, head, std::string_view(static_cast<const char*>(mapped), size), end);
  if (mapped) munmap(mapped, size);
  return failure;
}
