// Information table rows: the clipboard text cut into lines of cells, the
// heading that names a table's columns, and the reading of one line into the
// final fields of an infoTable entry. A cell is read where it stands, and a
// cell that can't be read rejects its row with the column and the reason:
// nothing is guessed. Texts are UTF-8.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The final fields of an accepted row, markup-escaped, at these positions.
using InfoTableRow = std::vector<std::string>;

enum InfoTableField : size_t {
  kNameOfIssuer = 0,
  kTitleOfClass = 1,
  kCusip = 2,
  kValue = 3,
  kSshPrnamt = 4,
  kSshPrnamtType = 5,
  kPutCall = 6,
  kInvestmentDiscretion = 7,
  kOtherManager = 8,
  kSole = 9,
  kShared = 10,
  kNone = 11,
  kFigi = 12,  // optional; empty when the table has none
  kInfoTableFieldCount = 13
};

bool IsNumericField(size_t position);

// The caption a filer knows a field by, as error lines name it.
const char* FieldCaption(size_t position);

// The clipboard's non-blank lines. A line that needed no cleaning is a view
// of the clipboard text itself, the others are views of `cleaned`.
struct NormalizedText {
  std::vector<std::string_view> lines;
  std::vector<char> cleaned;  // moves keep its bytes where the views see them
  size_t width = 0;           // cells of the widest line
};

// Keeps every cell where it stands: a line's cells are separated by one tab
// each, empty cells included, each cell's end blanks removed and inner runs of
// blanks made one. Columns at the left or right edge that are empty on every
// line are dropped. The lines view `clipboard`, which must outlive them.
NormalizedText NormalizeClipboardText(std::string_view clipboard);

using Cells = std::vector<std::string_view>;

// Cuts at every separator; the text after the last one is always a cell.
Cells SplitFields(std::string_view line, char separator);
// SplitFields into `cells`, whose room is kept from line to line.
void SplitFields(std::string_view line, char separator, Cells& cells);

// A line's cells as an error line shows them: tab-separated, an empty cell as
// "(blank)", at most 500 characters and then an ellipsis.
std::string ShowCells(std::string_view line);

constexpr int kNoColumn = -1;

// Where each field stands among a line's cells.
struct ColumnLayout {
  std::array<int, kInfoTableFieldCount> cell;
  // One voting amount at cell[kSole] and the word naming its kind at cell[kShared].
  bool votingKindWord = false;
  ColumnLayout() { cell.fill(kNoColumn); }
};

// The layout of a table without a heading, by its width: 12 columns in field
// order, 13 with the FIGI after the CUSIP, 11 with the voting amount and its
// kind word. False for another width.
bool LayoutForWidth(size_t width, ColumnLayout& layout);

// A heading names the columns: a line with a "CUSIP" cell whose captions
// (with those of `below` when they name the voting amounts that it leaves
// out) name every field a row needs. Gives the lines it takes, 1 or 2; 0 when
// `cells` is no heading.
size_t ReadHeading(const Cells& cells, std::string_view lineBelow, ColumnLayout& layout);

// Whether a value column's caption gives the values in thousands, as the
// SEC's old "VALUE (x$1000)" did; EDGAR now takes whole dollars.
bool IsThousandsCaption(std::string_view caption);

// Whether a line holds only captions that stand above a heading's columns,
// such as "VOTING AUTHORITY" or "COLUMN 4".
bool IsCaptionLine(const Cells& cells);

// Reads one line's cells by the layout into `row`, whose strings keep their room. Gives the reasons the row
// is refused, naming each column and what it holds; empty when accepted.
std::string ReadRow(const Cells& cells, const ColumnLayout& layout, InfoTableRow& row);

// Reads a line that has no layout of its own the old way: empty cells are left
// out and the 11 or 12 filled cells are read in field order.
std::string ReadFilledCells(std::string_view line, InfoTableRow& row);

// "n/a" in any letter case: a cell that holds nothing.
bool IsNotApplicable(std::string_view cell);

// The invalid characters of a line: every non-ASCII character (a byte outside
// valid UTF-8 counts as one character), every "+", and every control
// character other than tab.
size_t CountInvalidCharacters(std::string_view line);

// The line without the characters that an XML 1.0 document cannot hold:
// control characters other than tab, bytes outside valid UTF-8, U+FFFE, U+FFFF.
std::string LeaveOutNonXmlCharacters(std::string_view line);

// The line in plain ASCII: typographic quotes, dashes, non-breaking spaces
// and accented Latin letters as their ASCII forms; what has none, control
// characters other than tab and stray bytes left out. Cells are cleaned again.
std::string PlainAsciiLine(std::string_view line);

// "&", "<" and ">" as character references, ampersand first.
std::string EscapeMarkup(std::string_view text);
// EscapeMarkup appended to `out`.
void AppendEscaped(std::string& out, std::string_view text);

// Whether a line has a cell that could read "CUSIP": the test before a line
// is asked whether it is a heading.
bool MayBeHeading(std::string_view line);

// An amount cell as whole digits: "$1,234.50" gives "1235" (half up),
// "-" and "$ -" give "0". False for anything that is not such an amount.
bool ReadAmount(std::string_view cell, std::string& digits);

// Length of the valid UTF-8 sequence at `position`, or 0 when the byte there
// does not start one. ASCII gives 1.
size_t Utf8SequenceLength(std::string_view text, size_t position);
