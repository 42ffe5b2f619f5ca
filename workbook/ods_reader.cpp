#include "workbook/ods_reader.h"

#include <charconv>
#include <memory>
#include <set>

#include "workbook/xml_events.h"

namespace {

// Rows and columns no sheet goes past: a repeat beyond them is the file's
// way of saying "to the end".
constexpr uint32_t kLastRow = 1048576, kLastColumn = 16384;

uint32_t Repeats(std::optional<std::string_view> value) {
  uint32_t count = 1;
  if (value) std::from_chars(value->data(), value->data() + value->size(), count);
  return count == 0 ? 1 : count;
}

bool Hidden(std::optional<std::string_view> visibility) {
  return visibility && (*visibility == "collapse" || *visibility == "filter");
}

// A formula's result that is one of the spreadsheet's errors, as a program
// that writes no error type writes it.
bool IsErrorValue(const std::string& text) {
  static const std::set<std::string> kErrors = {"#NULL!", "#DIV/0!", "#VALUE!", "#REF!",
                                                "#NAME?", "#NUM!",   "#N/A",    "#N/A!"};
  return kErrors.count(text) > 0 || (text.rfind("Err:", 0) == 0 && text.size() == 7);
}

// content.xml: the hidden tables' styles, then each table's rows and cells.
struct Content : XmlHandler {
  explicit Content(std::vector<SheetText>& sheets) : sheets(sheets) {}
  std::vector<SheetText>& sheets;
  std::set<std::string> hiddenTableStyles;
  std::string styleName;  // of the style:style being read

  SheetText* sheet = nullptr;
  std::unique_ptr<SheetTextWriter> writer;
  uint32_t row = 0, column = 0, column_ = 0;  // the next row and cell; the columns declared
  uint32_t rowRepeats = 1, cellRepeats = 1;
  bool rowHidden = false;
  // The cell being read.
  std::string type, value, text;
  bool error = false, formula = false, inCell = false;
  int paragraphs = 0, annotation = 0;
  std::vector<std::string> rowCells;  // the row's cells, for a row repeated
  std::vector<uint32_t> rowColumns;

  void Start(std::string_view name, const XmlAttributes& attributes) override {
    if (name == "style" && attributes.Get("family") == std::optional<std::string_view>("table")) {
      styleName = std::string(attributes.Get("name").value_or(""));
    } else if (name == "table-properties" &&
               attributes.Get("display") == std::optional<std::string_view>("false")) {
      hiddenTableStyles.insert(styleName);
    } else if (name == "table" && !inCell) {
      sheets.emplace_back();
      sheet = &sheets.back();
      sheet->name = std::string(attributes.Get("name").value_or(""));
      sheet->hidden = hiddenTableStyles.count(std::string(attributes.Get("style-name").value_or(""))) > 0;
      writer = std::make_unique<SheetTextWriter>(*sheet);
      row = 1;
      column_ = 1;
    } else if (!sheet) {
      return;
    } else if (name == "table-column") {
      const uint32_t repeats = std::min(Repeats(attributes.Get("number-columns-repeated")), kLastColumn);
      if (Hidden(attributes.Get("visibility")))
        for (uint32_t c = column_; c < column_ + repeats && c <= 1024; ++c) sheet->hiddenColumns.push_back(c);
      column_ += repeats;
    } else if (name == "table-row") {
      rowRepeats = Repeats(attributes.Get("number-rows-repeated"));
      rowHidden = Hidden(attributes.Get("visibility"));
      column = 1;
      rowCells.clear();
      rowColumns.clear();
    } else if (name == "table-cell" || name == "covered-table-cell") {
      cellRepeats = Repeats(attributes.Get("number-columns-repeated"));
      type = std::string(attributes.Get("value-type", "office").value_or(""));
      error = attributes.Get("value-type", "calcext") == std::optional<std::string_view>("error");
      value = std::string(attributes
                              .Get(type == "date"      ? "date-value"
                                   : type == "time"    ? "time-value"
                                   : type == "boolean" ? "boolean-value"
                                                       : "value",
                                   "office")
                              .value_or(""));
      formula = attributes.Get("formula").has_value();
      text.clear();
      paragraphs = 0;
      inCell = true;
    } else if (name == "annotation") {
      ++annotation;
    } else if (annotation > 0) {
      return;
    } else if (name == "p" && inCell) {
      if (paragraphs++ > 0) AppendCellText(text, "\n");
    } else if (name == "s" && inCell) {
      AppendCellText(text, std::string(std::min<uint32_t>(Repeats(attributes.Get("c")), 1000), ' '));
    } else if (name == "tab" && inCell) {
      AppendCellText(text, "\t");
    } else if (name == "line-break" && inCell) {
      AppendCellText(text, "\n");
    }
  }

  void End(std::string_view name) override {
    if (name == "annotation") {
      --annotation;
    } else if (!sheet) {
      return;
    } else if (name == "table-cell" || name == "covered-table-cell") {
      inCell = false;
      const std::string shown = CellText();
      for (uint32_t i = 0; i < cellRepeats && column <= kLastColumn; ++i, ++column)
        if (!shown.empty()) {
          rowCells.push_back(shown);
          rowColumns.push_back(column);
        }
    } else if (name == "table-row") {
      WriteRow();
    } else if (name == "table" && !inCell) {
      writer->Finish();
      sheet = nullptr;
    }
  }

  void Text(std::string_view piece) override {
    if (inCell && annotation == 0 && paragraphs > 0) AppendCellText(text, piece);
  }

  // The cell as its row's text holds it; a typed cell is noted.
  std::string CellText() {
    if (error || (formula && type == "string" && IsErrorValue(text))) return Typed(TypedCell::kError, text);
    if (type == "float" || type == "currency" || type == "percentage") {
      const std::string number = NumberText(value);
      if (number.empty() && !value.empty())
        stop = "is damaged: a cell of sheet \"" + sheet->name + "\" in row " + std::to_string(row) +
               " holds \"" + value.substr(0, 40) + "\" as a number";
      return number;
    }
    if (type == "date" || type == "time") return Typed(TypedCell::kDate, text.empty() ? value : text);
    if (type == "boolean") return Typed(TypedCell::kBoolean, value == "true" ? "TRUE" : "FALSE");
    return text;
  }
  std::string Typed(TypedCell::Kind kind, const std::string& shown) {
    for (uint32_t r = 0; r < rowRepeats && row + r <= kLastRow && !stop; ++r)
      for (uint32_t i = 0; i < cellRepeats && column + i <= kLastColumn && !stop; ++i) {
        if (sheet->typed.size() == kTypedCellLimit)
          stop = TooManyTypedCells(sheet->name);
        else
          sheet->typed.push_back({kind, row + r, column + i, shown});
      }
    return shown;
  }

  void WriteRow() {
    if (rowCells.empty()) {
      row = std::min(row + rowRepeats, kLastRow + 1);
      return;
    }
    size_t rowBytes = 1;
    for (const std::string& cell : rowCells) rowBytes += cell.size() + 1;
    const uint64_t repeats = std::min<uint64_t>(rowRepeats, kLastRow + 1 - std::min(row, kLastRow + 1));
    if ((stop =
             writer->Reserve(static_cast<size_t>(std::min<uint64_t>(repeats * rowBytes, SIZE_MAX / 2)), row)))
      return;
    for (uint32_t r = 0; r < rowRepeats && row <= kLastRow && !stop; ++r, ++row) {
      if (rowHidden) sheet->hiddenRows.push_back(row);
      for (size_t i = 0; i < rowCells.size() && !stop; ++i)
        stop = writer->Cell(row, rowColumns[i], rowCells[i]);
    }
  }
};

}  // namespace

Refusal ReadOds(ZipEntries& entries, std::vector<SheetText>& sheets) {
  Content content(sheets);
  if (Refusal refusal = ParseXmlPart(entries, "content.xml", content)) return refusal;
  if (sheets.empty()) return std::string("is an OpenDocument file without a sheet");
  return std::nullopt;
}
