// The whole Form 13F as one EDGAR submission (edgarSubmission, as EDGAR's
// Form 13F XML technical specification defines it): the header with the
// filer's credentials, the cover page, the signature, the summary page made
// from the information table's own figures, and the table attached in
// base64. What ties the details to the table is checked first.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "infotable/filing_details.h"
#include "infotable/refusal.h"
#include "storage/failure_reason.h"

// What the summary page takes from the information table.
struct TableFigures {
  uint32_t entries = 0;
  uint64_t valueTotal = 0;
  std::vector<unsigned long> managersUsed;  // the other managers' numbers its rows name
};

struct SubmissionFindings {
  std::vector<std::string> refusals;  // the submission would be refused or wrong: nothing is written
  std::vector<std::string> checks;    // written, but they look wrong
  std::vector<std::string> notes;     // what the filer should know: the deadline, what an amendment adds
};

// Checks the details against the table and `today` (YYYY-MM-DD).
SubmissionFindings CheckSubmission(const FilingDetails& details, const TableFigures& table,
                                   const std::string& today);

// EDGAR's rule for a CCC: 8 characters, at least one a digit and one of @ # * $.
Refusal CheckCcc(std::string_view ccc);

// The name a submission is kept by in the filing folder, by its kind and
// quarter: "13f-hr-2026q3.xml", "13f-hr-a1-2026q3.xml" for amendment 1,
// "13f-nt-2026q3.xml" for a notice.
std::string KeptSubmissionName(const FilingDetails& details);

// A file of the filing folder, as the search for last quarter's filing sees it.
struct FolderFile {
  std::string name;
  int64_t modified = 0;  // any clock, the same for every file
};

// The filing folder's files that may be last quarter's filing, the likeliest
// first: the holdings report kept for the quarter before `period`, then the
// other XML files, newest first. The document itself, the ones saved to be
// transmitted (they hold the CCC) and the other kept submissions (of other
// quarters, amendments, notices) are left out.
std::vector<std::string> PreviousFilingCandidates(std::vector<FolderFile> files, const std::string& period);

// What the kept copy holds in the CCC's place: it is never kept.
constexpr const char* kCccLeftOut = "********";

// The attached table's name in the submission.
constexpr const char* kAttachedTableName = "infotable.xml";

// The submission's text up to the attached table's contents, which follow
// it in base64; the table is left out of a notice. `signatureDate` is
// YYYY-MM-DD.
std::string SubmissionHead(const FilingDetails& details, const TableFigures& table, std::string_view ccc,
                           const std::string& signatureDate);
// What follows the contents (or the form, for a notice).
std::string SubmissionEnd(const FilingDetails& details);

// Writes the submission to `path` in place of what it holds, readable by
// its owner alone, as the CCC is in it: the head, the bytes of `document`
// in base64 and the end.
FileFailure WriteSubmissionFromMemory(const std::string& path, const std::string& head,
                                      std::string_view document, const std::string& end);
// The same with the document the file at `documentPath` holds (none when empty).
FileFailure WriteSubmission(const std::string& path, const std::string& head, const std::string& documentPath,
                            const std::string& end);
