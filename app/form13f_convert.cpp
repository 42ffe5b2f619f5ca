// form13f-convert: the capture's conversion for filers who automate. Reads an
// information table as tab-separated text and writes the XML document.
#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <string_view>

#include "infotable/conversion.h"
#include "infotable/csv_text.h"
#include "infotable/edgar_limits.h"
#include "infotable/error_list.h"
#include "infotable/filing_details.h"
#include "infotable/heading.h"
#include "infotable/large_buffer.h"
#include "infotable/preview.h"
#include "infotable/quarter_comparison.h"
#include "infotable/securities_list.h"
#include "infotable/submission.h"
#include "storage/failure_reason.h"
#include "storage/file_replacement.h"
#include "storage/scratch_folder.h"
#include "workbook/workbook.h"
#include "workbook/workbook_table.h"

namespace {

enum ExitStatus { kClean = 0, kRowErrors = 1, kNotWritten = 2 };

const std::string kUsage =
    "Usage: form13f-convert [-o OUTPUT] [--preview HTMLFILE] [--csv] [--sheet NAME]\n"
    "                       [--securities-list FILE] [--threads N] [INPUT]\n"
    "       form13f-convert --filing DETAILS.toml [--period YYYY-MM-DD] -o SUBMISSION [options] [INPUT]\n"
    "\n"
    "Converts a Form 13F information table, copied from a spreadsheet as\n"
    "tab-separated text with one row per line, exported as CSV, or in the\n"
    "workbook itself (.xlsx or .ods), into the EDGAR information table XML\n"
    "document.\n"
    "\n"
    "  INPUT               the table text or workbook; '-' or none reads standard input\n"
    "  --csv               INPUT is CSV (RFC 4180), as it is when its name ends in .csv\n"
    "  --sheet NAME        the workbook's sheet to read, when more than one holds a table\n"
    "  -o OUTPUT           the XML document to write (default: " +
    std::string(kDocumentFileName) +
    ");\n"
    "                      '-' writes it to standard output\n"
    "  --preview HTMLFILE  also write an HTML page with the errors and the rows\n"
    "  --securities-list FILE\n"
    "                      check every row against the SEC's Official List of\n"
    "                      Section 13(f) Securities, its text file (13flist2026q2.txt)\n"
    "  --threads N         convert on N threads (default: one per core); the\n"
    "                      document is the same for any N\n"
    "  --filing DETAILS.toml\n"
    "                      write the whole Form 13F as one EDGAR submission to\n"
    "                      OUTPUT: the cover page, signature and other managers\n"
    "                      from DETAILS.toml, the summary page from the table, and\n"
    "                      the table attached; a notice takes no INPUT. The CCC is\n"
    "                      read from FORM13F_CCC, else from a line of standard\n"
    "                      input; OUTPUT is readable by its owner alone\n"
    "  --period YYYY-MM-DD the period of report, in place of the details' own\n"
    "  --previous FILE     compare the table with last quarter's filing: its\n"
    "                      information table XML (values in thousands before\n"
    "                      2023) or a submission with the table attached\n"
    "  --comparison CSV    with --previous, write every holding that changed,\n"
    "                      new or closed to CSV\n"
    "  --help              show this text\n"
    "  --version           show the version\n"
    "\n"
    "Standard output gets \"No. of information table entries: N\" and\n"
    "\"Information table total: N\" (N in bare digits), then a line naming the\n"
    "other managers the table uses, if any, and with --securities-list a line of\n"
    "what the list found; with -o - they go to standard error. Each row error is\n"
    "one line on standard error.\n"
    "\n"
    "The document is replaced only by a complete new one: after any failure the\n"
    "old one is as it was.\n"
    "\n"
    "Exit status: 0 the document was written and no row had an error or a check;\n"
    "1 it was written but some rows had errors or checks; 2 no document was\n"
    "written (OUTPUT is then as it was), or it was written but the preview or\n"
    "the counts could not be; the reason is on standard error. With --filing, 2\n"
    "also when the details, the CCC or what ties them to the table would be\n"
    "refused (each problem a line), and 1 when the submission was written with\n"
    "checks.\n";

constexpr const char* kOutOfMemory = "out of memory: nothing was written";

int Fail(const std::string& message) {
  std::cerr << "form13f-convert: " << message << "\n";
  return kNotWritten;
}

// The input's bytes, read straight into memory that is neither zeroed
// first nor copied as it grows, when a file's size is known.
struct InputText {
  std::unique_ptr<char[]> bytes;
  size_t size = 0, room = 0;

  std::string_view view() const { return {bytes.get(), size}; }
  void Release() {
    bytes.reset();
    size = room = 0;
  }
  // Makes room for `atLeast` bytes; `filled` when all of them are to be read.
  bool Grow(size_t atLeast, bool filled) {
    const size_t newRoom = std::max(atLeast, 2 * room);
    std::unique_ptr<char[]> larger(new (std::nothrow) char[newRoom]);
    if (!larger) return false;
    PrepareLargeMemory(larger.get(), newRoom, filled);
    if (size > 0) std::memcpy(larger.get(), bytes.get(), size);
    bytes = std::move(larger);
    room = newRoom;
    return true;
  }
};

// Reads a whole file descriptor. False with errno set; ENOMEM when the text
// does not fit in memory.
bool ReadAll(int file, InputText& text) {
  constexpr size_t kChunk = 65536;
  for (;;) {
    if (text.size == text.room && !text.Grow(text.size + kChunk, false)) {
      errno = ENOMEM;
      return false;
    }
    const ssize_t n = read(file, text.bytes.get() + text.size, text.room - text.size);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    text.size += static_cast<size_t>(n);
  }
}

// Reads the text of a path, or says why it cannot be had.
Refusal ReadInput(const std::string& input, InputText& text) {
  const bool standardInput = input == "-";
  const int file = standardInput ? STDIN_FILENO : open(input.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat info;
  bool read = file >= 0;
  const bool known = read && fstat(file, &info) == 0;
  if (known && S_ISDIR(info.st_mode)) {
    errno = EISDIR;
    read = false;
  }
  // A file's size is known: room for all of it, and one byte to see its end.
  if (read && known && S_ISREG(info.st_mode) && info.st_size > 0 &&
      !text.Grow(static_cast<size_t>(info.st_size) + 1, true)) {
    errno = ENOMEM;
    read = false;
  }
  read = read && ReadAll(file, text);
  const int cause = errno;
  if (file >= 0 && !standardInput) close(file);
  if (read) return std::nullopt;
  if (cause == ENOMEM) return kOutOfMemory;
  return "could not read " + (standardInput ? std::string("standard input") : input) + ": " +
         std::strerror(cause);
}

// What a file that is no table text is, and what to do, told by its first
// bytes: a workbook or a PDF is read as neither tabs nor CSV.
Refusal NotATableText(std::string_view bytes, const std::string& source) {
  if (bytes.empty()) return source + " is empty: copy the table's rows, or export the sheet as text or CSV";
  if (bytes.substr(0, 5) == "%PDF-") return source + " is a PDF: convert the spreadsheet the table came from";
  return std::nullopt;
}

// The absolute path of a file that may not exist yet, to compare two names of it.
std::string Canonical(const std::string& path) {
  const size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  char resolved[PATH_MAX];
  if (!realpath(folder.c_str(), resolved)) return path;
  return std::string(resolved) + "/" + (slash == std::string::npos ? path : path.substr(slash + 1));
}

// Why nothing was written, said of the input and the output files.
std::string NotWrittenProblem(const Conversion& conversion, const std::string& input,
                              const std::string& output) {
  const std::string source = input == "-" ? "standard input" : input;
  switch (conversion.outcome) {
    case ConversionOutcome::kNoTable:
      if (!conversion.oneLine.empty())
        return source + " holds one line of text, not a table: \"" + OneLineShown(conversion.oneLine) + "\"";
      return source + " holds no table: no line has " + std::to_string(kNarrowestTable) +
             " or more cells, and none is a heading";
    case ConversionOutcome::kCannotCreate:
      return "could not create " + output + ": " + FailureReason(conversion.failureCause, output);
    case ConversionOutcome::kCannotWrite:
      return "could not write " + output + ": " + FailureReason(conversion.failureCause, output);
    case ConversionOutcome::kOutOfMemory: return kOutOfMemory;
    case ConversionOutcome::kNoOutputPath: return "no output file was given";
    case ConversionOutcome::kWritten:
    case ConversionOutcome::kOnlyHeading:
    case ConversionOutcome::kEveryRowRefused: break;
  }
  return "nothing written";
}

bool EndsWith(const std::string& text, std::string_view end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// Every error and check, a line each, on standard error. Standard error is
// unbuffered: the lines go in blocks, one write each, not a write a piece.
void ReportRows(const Conversion& conversion) {
  constexpr size_t kBlock = 1 << 16;
  std::string lines;
  for (const RowError& error : conversion.errors) {
    lines += ErrorLineHeading(error.kind, error.row) + ": " + RowErrorText(error) + "\n";
    if (lines.size() < kBlock) continue;
    std::cerr.write(lines.data(), static_cast<std::streamsize>(lines.size()));
    lines.clear();
  }
  std::cerr.write(lines.data(), static_cast<std::streamsize>(lines.size()));
  if (conversion.refusedRows > 0)
    std::cerr << "form13f-convert: " << RefusedRowsText(conversion.refusedRows) << "\n";
}

// The preview page at `path`, if one was asked for.
bool WritePreview(const std::string& path, const Conversion& conversion) {
  if (path.empty()) return true;
  std::ofstream page(path, std::ios::binary | std::ios::trunc);
  const PreviewTable& table = conversion.previewTable;
  page << PreviewPageStart() << conversion.previewStatus << PreviewTableHead(table.withFigi);
  // A few thousand rows at a time: the page of a large table is far larger than its rows.
  constexpr size_t kRowsAtATime = 4096;
  std::string rows;
  for (size_t first = 0; first < table.RowCount(); first += kRowsAtATime) {
    rows.clear();
    AppendRowsHtml(rows, table, first, std::min(table.RowCount(), first + kRowsAtATime));
    page << rows;
  }
  page << "</TABLE>\n";
  page.close();
  return static_cast<bool>(page);
}

bool CopyToStandardOutput(const std::string& path) {
  std::ifstream document(path, std::ios::binary);
  std::cout << document.rdbuf();
  std::cout.flush();
  return document && std::cout;
}

// What the command line asks for.
struct Options {
  std::string output = kDocumentFileName, previewPath, input = "-", listPath, filingPath, period,
              previousPath, comparisonPath, sheet;
  bool csv = false;
  bool inputGiven = false;
  unsigned threads = 0;
};

// Reads the command line into `options`; an exit status when the program
// ends here (help, version, or a command line it cannot take).
std::optional<int> ReadOptions(int argc, char** argv, Options& options) {
  bool inputGiven = false;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--help" || argument == "-h") {
      std::cout << kUsage;
      return kClean;
    }
    if (argument == "--version") {
      std::cout << "form13f-convert " << FORM13F_VERSION << "\n";
      return kClean;
    }
    if (argument == "--csv") {
      options.csv = true;
    } else if (argument == "-o" || argument == "--preview" || argument == "--securities-list" ||
               argument == "--filing" || argument == "--period" || argument == "--previous" ||
               argument == "--comparison" || argument == "--sheet") {
      if (i + 1 == argc)
        return Fail(argument +
                    (argument == "--period"  ? " needs a date"
                     : argument == "--sheet" ? " needs a sheet's name"
                                             : " needs a file name") +
                    "\n\n" +
                    kUsage);
      (argument == "-o"                  ? options.output
       : argument == "--preview"         ? options.previewPath
       : argument == "--securities-list" ? options.listPath
       : argument == "--filing"          ? options.filingPath
       : argument == "--previous"        ? options.previousPath
       : argument == "--comparison"      ? options.comparisonPath
       : argument == "--sheet"           ? options.sheet
                                         : options.period) = argv[++i];
    } else if (argument == "--threads") {
      char* end = nullptr;
      const unsigned long count = i + 1 < argc ? std::strtoul(argv[i + 1], &end, 10) : 0;
      if (count == 0 || count > 1024 || *end != '\0')
        return Fail("--threads needs a number of threads from 1 to 1024\n\n" + kUsage);
      options.threads = static_cast<unsigned>(count);
      ++i;
    } else if (argument.size() > 1 && argument[0] == '-') {
      return Fail("unknown option " + argument + "\n\n" + kUsage);
    } else if (inputGiven) {
      return Fail("only one INPUT may be given\n\n" + kUsage);
    } else {
      options.input = argument;
      inputGiven = true;
    }
  }
  options.inputGiven = inputGiven;
  if (!options.period.empty() && options.filingPath.empty())
    return Fail("--period is given with --filing\n\n" + kUsage);
  if (!options.comparisonPath.empty() && options.previousPath.empty())
    return Fail("--comparison is given with --previous\n\n" + kUsage);
  if (!options.period.empty() && !IsQuarterEndDate(options.period))
    return Fail("--period " + options.period +
                " is not a calendar quarter's end (YYYY-03-31, -06-30, -09-30 or -12-31)");
  if (!options.filingPath.empty() && options.output == "-")
    return Fail("the submission holds the CCC: write it to a file, not to standard output");
  const bool toStandardOutput = options.output == "-";
  if (!options.previewPath.empty() && !toStandardOutput &&
      Canonical(options.previewPath) == Canonical(options.output))
    return Fail("the preview cannot be written to the document's own file, " + options.output);
  return std::nullopt;
}

// The counts, the managers used and the list's verdict of a written document.
bool WriteCounts(const Conversion& conversion, const Options& options, const SecuritiesList& list) {
  std::ostream& counts = options.output == "-" ? std::cerr : std::cout;
  counts << "No. of information table entries: " << conversion.entryCount << "\n"
         << "Information table total: " << conversion.valueTotal << "\n";
  if (!conversion.managersUsed.empty()) counts << ManagersUsedText(conversion.managersUsed) << "\n";
  if (!options.listPath.empty())
    counts << ListCheckedText(list, conversion.rowsOnList, conversion.entryCount) << "\n";
  counts.flush();
  return static_cast<bool>(counts);
}

// What became of the conversion, told on the standard streams, and the exit status.
int Report(const Conversion& conversion, const Options& options, const SecuritiesList& list, bool copied) {
  if (NothingToFile(conversion.outcome)) {
    ReportRows(conversion);
    if (!WritePreview(options.previewPath, conversion))
      return Fail("could not write the preview to " + options.previewPath);
    const bool onlyHeading = conversion.outcome == ConversionOutcome::kOnlyHeading;
    return Fail("nothing written: " +
                NothingToFileText(onlyHeading, FileNameOf(options.output), "the table"));
  }
  if (conversion.outcome != ConversionOutcome::kWritten)
    return Fail(NotWrittenProblem(conversion, options.input, options.output));
  if (!copied) return Fail("could not write the document to standard output");
  if (!WriteCounts(conversion, options, list)) return Fail("could not write the counts");
  ReportRows(conversion);
  if (!WritePreview(options.previewPath, conversion))
    return Fail("could not write the preview to " + options.previewPath);
  return conversion.errors.empty() ? kClean : kRowErrors;
}

// The CCC from FORM13F_CCC, or a line of standard input, asked for without
// echo at a terminal. It is never written but into the submission.
Refusal ReadCcc(bool tableOnStandardInput, std::string& ccc) {
  if (const char* given = std::getenv("FORM13F_CCC"); given && *given) {
    ccc = given;
  } else if (tableOnStandardInput) {
    return std::string("the table is read from standard input, so the CCC must be given in FORM13F_CCC");
  } else {
    const bool terminal = isatty(STDIN_FILENO);
    termios saved{};
    if (terminal && tcgetattr(STDIN_FILENO, &saved) == 0) {
      termios quiet = saved;
      quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
      std::cerr << "CCC (EDGAR confirmation code): " << std::flush;
      tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
      std::getline(std::cin, ccc);
      tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
      std::cerr << "\n";
    } else {
      std::getline(std::cin, ccc);
    }
    if (!ccc.empty() && ccc.back() == '\r') ccc.pop_back();
  }
  return CheckCcc(ccc);
}

// Reads the filing's details and the CCC; an exit status when either would
// be refused, each problem told.
std::optional<int> LoadFiling(const Options& options, FilingDetails& details, std::string& ccc) {
  std::ifstream file(options.filingPath, std::ios::binary);
  struct stat info;
  if (stat(options.filingPath.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
    return Fail(options.filingPath + " is a folder, not the filing's details");
  if (!file) return Fail("could not read " + options.filingPath + ": " + std::strerror(errno));
  const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  const std::vector<std::string> problems = ReadFilingDetails(text, Today(), details);
  for (const std::string& problem : problems)
    std::cerr << "form13f-convert: " << options.filingPath << " " << problem << "\n";
  if (!problems.empty()) return Fail("nothing written: the filing's details would be refused");
  if (!options.period.empty()) details.period = options.period;
  const bool tableOnStandardInput =
      options.input == "-" && !(details.type == ReportType::kNotice && !options.inputGiven);
  if (const Refusal refusal = ReadCcc(tableOnStandardInput, ccc)) return Fail(*refusal + ": nothing written");
  return std::nullopt;
}

// Checks the details against the table and writes the submission to the
// output, with the table's document the conversion made in memory attached.
int WriteFiling(const FilingDetails& details, const std::string& ccc, const Conversion& conversion,
                const Options& options, const SecuritiesList& list) {
  TableFigures table{conversion.entryCount, conversion.valueTotal, conversion.managersUsed};
  const SubmissionFindings found = CheckSubmission(details, table, Today());
  for (const std::string& refusal : found.refusals) std::cerr << "Not accepted by EDGAR: " << refusal << "\n";
  if (!found.refusals.empty()) return Fail("nothing written: the submission would be refused");
  const std::string head = SubmissionHead(details, table, ccc, Today());
  if (const FileFailure failure = WriteSubmissionFromMemory(
          options.output, head, details.type == ReportType::kNotice ? "" : conversion.document,
          SubmissionEnd(details)))
    return Fail("could not write " + options.output + ": " + FailureReason(*failure, options.output));
  if (details.type != ReportType::kNotice && !WriteCounts(conversion, options, list))
    return Fail("could not write the counts");
  for (const std::string& note : found.notes) std::cout << note << "\n";
  std::cout << options.output
            << " holds the CCC: it is readable by you alone; transmit it on EDGAR's "
               "\"Transmit XML Submission\" page.\n";
  ReportRows(conversion);
  for (const std::string& check : found.checks) std::cerr << "Check before filing: " << check << "\n";
  return conversion.errors.empty() && found.checks.empty() ? kClean : kRowErrors;
}

// What the comparison with last quarter found: its counts on the counts'
// stream, its checks on standard error, every change in the CSV asked for.
// The exit status, from the conversion's `status`.
int ReportComparison(const QuarterComparison& comparison, const FiledTable& previous, const Options& options,
                     int status) {
  std::ostream& counts = options.output == "-" ? std::cerr : std::cout;
  counts << ComparedText(comparison, previous, options.previousPath) << "\n";
  counts.flush();
  if (!options.comparisonPath.empty()) {
    std::ofstream csv(options.comparisonPath, std::ios::binary | std::ios::trunc);
    csv << ComparisonCsv(comparison);
    csv.close();
    if (!csv) return Fail("could not write the comparison to " + options.comparisonPath);
  }
  return status;
}

// The table of the workbook INPUT, from the sheet asked for.
Refusal ReadWorkbookTable(const Options& options, WorkbookTable& table) {
  Workbook workbook;
  if (Refusal refusal = ReadWorkbook(options.input, workbook)) return options.input + " " + *refusal;
  if (Refusal refusal = FindWorkbookTable(workbook, std::string(FileNameOf(options.input)), options.sheet, table))
    return options.input + " " + *refusal + (table.sheetsWithTables.empty() ? "" : " with --sheet NAME");
  return std::nullopt;
}

// Converts the table and writes what the options ask for; the exit status.
int ConvertTable(std::string_view table, InputText& text, std::string& tabs, const WorkbookTable& workbook,
                 const Options& options, const SecuritiesList& list, const FilingDetails& details,
                 const std::string& ccc, const FiledTable& previous) {
  // The document for standard output is made in a folder of its own first,
  // so that a failure leaves nothing half-written on the pipe. The one a
  // submission attaches is made in memory alone.
  const bool filing = !options.filingPath.empty();
  const bool toStandardOutput = options.output == "-";
  std::string folder, output = options.output;
  if (toStandardOutput) {
    if ((folder = MakeScratchFolder("form13f-convert")).empty())
      return Fail("could not make a temporary folder: " + std::string(std::strerror(errno)));
    output = folder + "/" + kDocumentFileName;
  }
  // A document made in that folder is read back once and removed: never synced.
  ConversionRequest request;
  request.preview = options.previewPath.empty() ? PreviewKind::kNone : PreviewKind::kSingleTable;
  request.list = options.listPath.empty() ? nullptr : &list;
  request.threads = options.threads;
  request.use = folder.empty() ? FileUse::kShared : FileUse::kScratch;
  request.previous = options.previousPath.empty() ? nullptr : &previous;
  request.previousName = options.previousPath;
  request.inMemory = filing;
  request.sourceNote = workbook.note;
  request.sourceRefusals = workbook.refusedRows;
  const Conversion conversion = ConvertInfoTable(table, output, request);
  text.Release();
  tabs = std::string();
  bool copied = true;
  int status = -1;
  if (filing && conversion.outcome == ConversionOutcome::kWritten)
    status = WriteFiling(details, ccc, conversion, options, list);
  if (toStandardOutput && conversion.outcome == ConversionOutcome::kWritten)
    copied = CopyToStandardOutput(output);
  if (!folder.empty()) {
    std::remove(output.c_str());
    rmdir(folder.c_str());
  }
  status = status >= 0 ? status : Report(conversion, options, list, copied);
  if (conversion.comparison && status != kNotWritten)
    status = ReportComparison(*conversion.comparison, previous, options, status);
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (const std::optional<int> status = ReadOptions(argc, argv, options)) return *status;

  // The list first: a file that is no list writes nothing.
  SecuritiesList list;
  if (!options.listPath.empty())
    if (const Refusal refusal = LoadSecuritiesList(options.listPath, list))
      return Fail(options.listPath + " " + *refusal);

  FiledTable previous;
  if (!options.previousPath.empty())
    if (const Refusal refusal = ReadFiledTable(options.previousPath, false, previous))
      return Fail(options.previousPath + " " + *refusal + ": nothing written");

  FilingDetails details;
  std::string ccc;
  const bool filing = !options.filingPath.empty();
  if (filing)
    if (const std::optional<int> status = LoadFiling(options, details, ccc)) return *status;
  if (filing && details.type == ReportType::kNotice && !options.inputGiven)
    return WriteFiling(details, ccc, Conversion(), options, list);

  InputText text;
  if (options.input == "-" && isatty(STDIN_FILENO))
    std::cerr
        << "form13f-convert: reading the table from standard input; end it with Ctrl+D (--help for more)\n";
  if (const Refusal refusal = ReadInput(options.input, text)) return Fail(*refusal);
  std::string_view table = text.view();
  const std::string source = options.input == "-" ? "standard input" : options.input;
  std::string tabs;
  WorkbookTable workbook;
  if (LooksLikeWorkbook(table.substr(0, 8))) {
    if (options.input == "-") return Fail("a workbook can't be read from standard input: give its file name");
    text.Release();
    if (const Refusal refusal = ReadWorkbookTable(options, workbook)) return Fail(*refusal + ": nothing written");
    tabs = std::move(workbook.text);
    table = tabs;
    for (size_t at = 0; at < workbook.note.size();) {
      const size_t end = std::min(workbook.note.find('\n', at), workbook.note.size());
      std::cerr << "form13f-convert: " << workbook.note.substr(at, end - at) << "\n";
      at = end + 1;
    }
  } else if (const Refusal refusal = NotATableText(table, source)) {
    return Fail(*refusal);
  } else if (!options.sheet.empty()) {
    return Fail("--sheet is given with a workbook, and " + source + " is none");
  }
  if (workbook.sheet.empty() &&
      (options.csv || EndsWith(options.input, ".csv") || EndsWith(options.input, ".CSV"))) {
    if (const Refusal refusal = CsvToTabText(table, tabs)) return Fail(options.input + ": " + *refusal);
    text.Release();
    table = tabs;
  }

  return ConvertTable(table, text, tabs, workbook, options, list, details, ccc, previous);
}