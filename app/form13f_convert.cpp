// form13f-convert: the capture's conversion for filers who automate. Reads an
// information table as tab-separated text and writes the XML document.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>

#include "form/page.h"
#include "infotable/conversion.h"

namespace {

enum ExitStatus { kClean = 0, kRowErrors = 1, kNotWritten = 2 };

const char kUsage[] =
    "Usage: form13f-convert [-o OUTPUT] [--preview HTMLFILE] [INPUT]\n"
    "\n"
    "Converts a Form 13F information table, copied from a spreadsheet as\n"
    "tab-separated text with one row per line, into the EDGAR information table\n"
    "XML document.\n"
    "\n"
    "  INPUT               the table text; '-' or none reads standard input\n"
    "  -o OUTPUT           the XML document to write (default: tev_13f.xml)\n"
    "  --preview HTMLFILE  also write an HTML page with the errors and the rows\n"
    "  --help              show this text\n"
    "  --version           show the version\n"
    "\n"
    "Standard output gets two lines, the number of information table entries and\n"
    "the information table total (bare digits). Each row error is one line on\n"
    "standard error.\n"
    "\n"
    "Exit status: 0 the document was written and no row had an error; 1 it was\n"
    "written but some rows had errors; 2 no document was written (or the preview\n"
    "could not be written), with the reason on standard error.\n";

bool ReadAll(std::istream& in, std::string& text) {
  std::ostringstream buffer;
  buffer << in.rdbuf();
  text = buffer.str();
  return !in.bad();
}

int Fail(const std::string& message) {
  std::cerr << "form13f-convert: " << message << "\n";
  return kNotWritten;
}

}  // namespace

int main(int argc, char** argv) {
  std::string output = "tev_13f.xml", previewPath, input = "-";
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
    if (argument == "-o" || argument == "--preview") {
      if (i + 1 == argc) return Fail(argument + " needs a file name\n\n" + kUsage);
      (argument == "-o" ? output : previewPath) = argv[++i];
    } else if (argument.size() > 1 && argument[0] == '-') {
      return Fail("unknown option " + argument + "\n\n" + kUsage);
    } else if (inputGiven) {
      return Fail(std::string("only one INPUT may be given\n\n") + kUsage);
    } else {
      input = argument;
      inputGiven = true;
    }
  }

  std::string text;
  if (input == "-") {
    if (!ReadAll(std::cin, text)) return Fail("could not read standard input");
  } else {
    std::ifstream file(input, std::ios::binary);
    if (!file || !ReadAll(file, text)) return Fail("could not read " + input + ": " + std::strerror(errno));
  }

  const Conversion conversion = ConvertInfoTable(text, output);
  if (conversion.outcome != ConversionOutcome::kWritten) return Fail(conversion.failureMessage);

  std::cout << "No. of information table entries: " << conversion.entryCount << "\n"
            << "Information table total: " << conversion.valueTotal << "\n";
  for (const RowError& error : conversion.errors)
    std::cerr << RowErrorLead(error.kind) << ' ' << error.row << ": " << RowErrorText(error) << "\n";
  if (conversion.refusedRows > 0)
    std::cerr << "form13f-convert: " << RefusedRowsText(conversion.refusedRows) << "\n";

  if (!previewPath.empty()) {
    std::ofstream page(previewPath, std::ios::binary | std::ios::trunc);
    page << "<meta charset='utf-8'>\n" << PageStyleSheet() << conversion.preview << "\n";
    page.close();
    if (!page) return Fail("could not write the preview to " + previewPath);
  }
  return conversion.errors.empty() ? kClean : kRowErrors;
}
