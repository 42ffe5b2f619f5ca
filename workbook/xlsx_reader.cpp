#include "workbook/xlsx_reader.h"

#include <atomic>
#include <charconv>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <map>
#include <mutex>
#include <system_error>
#include <thread>

#include "workbook/xml_events.h"

namespace {

std::string Value(std::optional<std::string_view> value) {
  return value ? std::string(*value) : std::string();
}

uint32_t Whole(std::optional<std::string_view> value, uint32_t otherwise = 0) {
  uint32_t number = 0;
  if (!value || std::from_chars(value->data(), value->data() + value->size(), number).ec != std::errc())
    return otherwise;
  return number;
}

bool True(std::optional<std::string_view> value) { return value && (*value == "1" || *value == "true"); }

// A part named by a relationship's target, from the folder of the part that
// names it.
std::string PartPath(const std::string& folder, const std::string& target) {
  if (!target.empty() && target[0] == '/') return target.substr(1);
  std::string path = folder;  // empty, or ending in "/"
  std::string_view rest = target;
  for (; rest.substr(0, 3) == "../"; rest.remove_prefix(3)) {
    const size_t up = path.size() < 2 ? std::string::npos : path.rfind('/', path.size() - 2);
    path.erase(up == std::string::npos ? 0 : up + 1);
  }
  return path + std::string(rest);
}

// A relationships part: each id's target, and the targets by type.
struct Relationships : XmlHandler {
  std::map<std::string, std::string> byId;
  std::map<std::string, std::string> byType;  // the type's last word: "officeDocument", "styles"
  void Start(std::string_view name, const XmlAttributes& attributes) override {
    if (name != "Relationship") return;
    const std::string type = Value(attributes.Get("Type")), target = Value(attributes.Get("Target"));
    byId[Value(attributes.Get("Id"))] = target;
    byType.emplace(type.substr(type.rfind('/') + 1), target);
  }
  void End(std::string_view) override {}
  void Text(std::string_view) override {}
};

struct SheetList : XmlHandler {
  struct Entry {
    std::string name, id;
    bool hidden;
  };
  std::vector<Entry> sheets;
  bool date1904 = false;
  void Start(std::string_view name, const XmlAttributes& attributes) override {
    if (name == "sheet") {
      const std::string state = Value(attributes.Get("state"));
      sheets.push_back(
          {Value(attributes.Get("name")), Value(attributes.Get("id")), !state.empty() && state != "visible"});
    } else if (name == "workbookPr") {
      date1904 = True(attributes.Get("date1904"));
    }
  }
  void End(std::string_view) override {}
  void Text(std::string_view) override {}
};

// Whether a number format shows a date or a time: Excel's built-in ones by
// number, the others by a day, month, year, hour or second in the code
// outside its quoted text, its brackets and its escaped characters.
bool IsDateFormat(uint32_t id, const std::string& code) {
  if ((id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47) || (id >= 50 && id <= 58))
    return true;
  for (size_t i = 0; i < code.size(); ++i) {
    const char c = code[i];
    if (c == '"') {
      i = code.find('"', i + 1);
      if (i == std::string::npos) return false;
    } else if (c == '\\' || c == '_' || c == '*') {
      ++i;
    } else if (c == '[') {
      const size_t end = code.find(']', i);
      if (end == std::string::npos) return false;
      const std::string inside = code.substr(i + 1, end - i - 1);
      if (inside == "h" || inside == "hh" || inside == "m" || inside == "mm" || inside == "s" ||
          inside == "ss")
        return true;
      i = end;
    } else if (std::string_view("dDmMyYhHsS").find(c) != std::string_view::npos) {
      return true;
    }
  }
  return false;
}

struct Styles : XmlHandler {
  std::map<uint32_t, std::string> codes;
  std::vector<bool> dateStyles;  // by cell style index
  bool inCellStyles = false;
  void Start(std::string_view name, const XmlAttributes& attributes) override {
    if (name == "numFmt") {
      codes[Whole(attributes.Get("numFmtId"))] = Value(attributes.Get("formatCode"));
    } else if (name == "cellXfs") {
      inCellStyles = true;
    } else if (name == "xf" && inCellStyles) {
      const uint32_t id = Whole(attributes.Get("numFmtId"));
      const auto code = codes.find(id);
      dateStyles.push_back(IsDateFormat(id, code == codes.end() ? "" : code->second));
    }
  }
  void End(std::string_view name) override {
    if (name == "cellXfs") inCellStyles = false;
  }
  void Text(std::string_view) override {}
};

// The text of `<si>` and `<is>`: its runs' `<t>`, not the phonetic ones.
struct RichText {
  std::string text;
  bool inText = false, inPhonetic = false;
  void Start(std::string_view name) {
    if (name == "t" && !inPhonetic) inText = true;
    if (name == "rPh") inPhonetic = true;
  }
  void End(std::string_view name) {
    if (name == "t") inText = false;
    if (name == "rPh") inPhonetic = false;
  }
  void Add(std::string_view piece) {
    if (inText) AppendCellText(text, piece);
  }
};

struct SharedStrings : XmlHandler {
  std::vector<std::string> strings;
  RichText item;
  void Start(std::string_view name, const XmlAttributes&) override {
    if (name == "si") item = RichText();
    item.Start(name);
  }
  void End(std::string_view name) override {
    item.End(name);
    if (name == "si") strings.push_back(std::move(item.text));
  }
  void Text(std::string_view text) override { item.Add(text); }
};

// Excel's day number as YYYY-MM-DD: days from 1899-12-30 (the day 1900-02-29
// that never was counted in), or from 1904-01-01.
std::string SerialDateText(std::string_view held, bool date1904) {
  double serial = 0;
  if (std::from_chars(held.data(), held.data() + held.size(), serial).ec != std::errc() ||
      !std::isfinite(serial) || serial < 0 || serial > 3e6)
    return std::string(held);
  long days = static_cast<long>(std::floor(serial)) + (date1904 ? 1462 : 0);
  if (!date1904 && days < 61) days += 1;
  // Days from 1970-01-01, then the civil date.
  long z = days - 25569 + 719468;
  const long era = z / 146097, doe = z - era * 146097;
  const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long mp = (5 * doy + 2) / 153, day = doy - (153 * mp + 2) / 5 + 1, month = mp < 10 ? mp + 3 : mp - 9;
  char text[80];
  std::snprintf(text, sizeof text, "%04ld-%02ld-%02ld", yoe + era * 400 + (month <= 2), month, day);
  return text;
}

// A cell as the worksheet holds it, before it is written into the text.
struct HeldCell {
  uint32_t row = 0, column = 0;
  bool rowHidden = false;
  std::string type;  // "s", "inlineStr", "str", "b", "e", "d", or a number's ""
  uint32_t style = 0;
  std::string value;  // <v>, or the inline string
};

// Writes held cells into the sheet's text.
struct CellWriter {
  CellWriter(SheetText& sheet, const SharedStrings& strings, const Styles& styles, bool date1904)
      : sheet(sheet), writer(sheet), strings(strings), styles(styles), date1904(date1904) {}
  SheetText& sheet;
  SheetTextWriter writer;
  const SharedStrings& strings;
  const Styles& styles;
  const bool date1904;

  Refusal Typed(const HeldCell& cell, TypedCell::Kind kind, const std::string& shown) {
    if (sheet.typed.size() == kTypedCellLimit) return TooManyTypedCells(sheet.name);
    sheet.typed.push_back({kind, cell.row, cell.column, shown});
    return Write(cell, shown);
  }
  Refusal Write(const HeldCell& cell, std::string_view text) {
    if (text.empty()) return std::nullopt;
    if (cell.rowHidden && (sheet.hiddenRows.empty() || sheet.hiddenRows.back() != cell.row))
      sheet.hiddenRows.push_back(cell.row);
    return writer.Cell(cell.row, cell.column, text);
  }
  Refusal Damaged(const HeldCell& cell, const std::string& what) {
    return "is damaged: cell " + CellName(cell.row, cell.column) + " of sheet \"" + sheet.name + "\" " + what;
  }
  Refusal WriteCell(const HeldCell& cell) {
    const std::string& type = cell.type;
    const std::string& value = cell.value;
    if (cell.column == 0)
      return "is damaged: its sheet \"" + sheet.name + "\" names a cell of no column in row " +
             std::to_string(cell.row);
    if (type == "s") {
      const uint32_t index = Whole(value, UINT32_MAX);
      if (index >= strings.strings.size()) return Damaged(cell, "names no shared string");
      return Write(cell, strings.strings[index]);
    }
    if (type == "inlineStr" || type == "str") return Write(cell, value);
    if (value.empty()) return std::nullopt;
    if (type == "b") return Typed(cell, TypedCell::kBoolean, value == "1" ? "TRUE" : "FALSE");
    if (type == "e") return Typed(cell, TypedCell::kError, value);
    if (type == "d") return Typed(cell, TypedCell::kDate, value.substr(0, value.find('T')));
    if (cell.style < styles.dateStyles.size() && styles.dateStyles[cell.style])
      return Typed(cell, TypedCell::kDate, SerialDateText(value, date1904));
    const std::string number = NumberText(value);
    if (number.empty()) return Damaged(cell, "holds \"" + value.substr(0, 40) + "\" as a number");
    return Write(cell, number);
  }
};

// Batches of held cells written on a thread of their own while the parse
// goes on: parsing and writing a large sheet take about as long as each other.
class CellHandOff {
 public:
  static constexpr size_t kBatch = 8192, kBatchesAhead = 4;

  explicit CellHandOff(CellWriter& writer) : writer_(writer) {
    try {
      thread_ = std::thread([this] { WriteAll(); });
    } catch (const std::system_error&) {
      inline_ = true;  // no thread to be had: each batch is written as it is handed over
    }
  }
  ~CellHandOff() { Finish(); }

  // False once the writer has refused a cell: the parse may stop.
  bool Hand(std::vector<HeldCell>& batch) {
    if (inline_) {
      Write(batch);
      batch.clear();
      return !refused_;
    }
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return batches_.size() < kBatchesAhead || refused_; });
    if (refused_) return false;
    batches_.push_back(std::move(batch));
    batch.clear();
    changed_.notify_all();
    return true;
  }
  // Writes what is left and ends the thread; why the writer refused, if it did.
  Refusal Finish() {
    if (thread_.joinable()) {
      {
        std::lock_guard<std::mutex> lock(mutex_);
        done_ = true;
      }
      changed_.notify_all();
      thread_.join();
    }
    return refusal_;
  }

 private:
  void Write(const std::vector<HeldCell>& batch) {
    for (const HeldCell& cell : batch) {
      if (refused_) return;
      if ((refusal_ = writer_.WriteCell(cell))) refused_ = true;
    }
  }
  void WriteAll() {
    for (;;) {
      std::vector<HeldCell> batch;
      {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [&] { return !batches_.empty() || done_; });
        if (batches_.empty()) return;
        batch = std::move(batches_.front());
        batches_.pop_front();
      }
      changed_.notify_all();
      Write(batch);
      if (refused_) {
        std::lock_guard<std::mutex> lock(mutex_);
        changed_.notify_all();
      }
    }
  }

  CellWriter& writer_;
  std::thread thread_;
  bool inline_ = false;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::vector<HeldCell>> batches_;
  bool done_ = false;
  std::atomic<bool> refused_{false};
  Refusal refusal_;
};

// A worksheet's cells as it holds them, handed over in batches.
struct Worksheet : XmlHandler {
  Worksheet(SheetText& sheet, CellHandOff& handOff) : sheet(sheet), handOff(handOff) {}
  SheetText& sheet;
  CellHandOff& handOff;
  std::vector<HeldCell> batch;
  HeldCell row;           // the row's number and whether it is hidden
  HeldCell* cell = &row;  // the cell being read, the last of the batch
  bool inValue = false, inInline = false;
  RichText inlineText;

  void Start(std::string_view name, const XmlAttributes& attributes) override {
    if (name == "row") {
      row.row = Whole(attributes.Get("r"), row.row + 1);
      row.column = 0;
      row.rowHidden = True(attributes.Get("hidden"));
    } else if (name == "c") {
      const std::string_view reference = attributes.Get("r").value_or("");
      row.column = reference.empty()
                       ? row.column + 1
                       : ColumnNumber(reference.substr(0, reference.find_first_of("0123456789")));
      if (batch.capacity() < CellHandOff::kBatch) batch.reserve(CellHandOff::kBatch);
      cell = &batch.emplace_back();
      cell->row = row.row;
      cell->column = row.column;
      cell->rowHidden = row.rowHidden;
      cell->type.assign(attributes.Get("t").value_or(""));
      cell->style = Whole(attributes.Get("s"));
      inlineText.text.clear();
      inlineText.inText = inlineText.inPhonetic = false;
    } else if (name == "v") {
      inValue = true;
    } else if (name == "is") {
      inInline = true;
    } else if (inInline) {
      inlineText.Start(name);
    } else if (name == "col" && True(attributes.Get("hidden"))) {
      const uint32_t first = Whole(attributes.Get("min")),
                     last = std::min<uint32_t>(Whole(attributes.Get("max")), 1024);
      for (uint32_t c = first; c >= 1 && c <= last; ++c) sheet.hiddenColumns.push_back(c);
    }
  }
  void End(std::string_view name) override {
    if (name == "v") {
      inValue = false;
    } else if (name == "is") {
      inInline = false;
      cell->value = inlineText.text;
    } else if (inInline) {
      inlineText.End(name);
    } else if (name == "c") {
      cell = &row;
      if (batch.size() == CellHandOff::kBatch && !handOff.Hand(batch)) stop = std::string("stopped");
    }
  }
  void Text(std::string_view text) override {
    if (inValue) AppendCellText(cell->value, text);
    if (inInline) inlineText.Add(text);
  }
};

// Reads one worksheet into `sheet`.
Refusal ReadWorksheet(ZipEntries& entries, const std::string& part, const SharedStrings& strings,
                      const Styles& styles, bool date1904, SheetText& sheet) {
  CellWriter writer(sheet, strings, styles, date1904);
  CellHandOff handOff(writer);
  Worksheet cells(sheet, handOff);
  Refusal refusal = ParseXmlPart(entries, part, cells);
  if (!refusal || *refusal == "stopped") {
    handOff.Hand(cells.batch);
    refusal = handOff.Finish();
  } else {
    handOff.Finish();
  }
  if (!refusal) writer.writer.Finish();
  return refusal;
}

}  // namespace

Refusal ReadXlsx(ZipEntries& entries, std::vector<SheetText>& sheets) {
  Relationships root;
  std::string main = "xl/workbook.xml";
  if (entries.Has("_rels/.rels")) {
    if (Refusal refusal = ParseXmlPart(entries, "_rels/.rels", root)) return refusal;
    if (root.byType.count("officeDocument")) main = PartPath("", root.byType["officeDocument"]);
  }
  const std::string folder = main.substr(0, main.rfind('/') + 1);
  const std::string relsPath = folder + "_rels/" + main.substr(folder.size()) + ".rels";
  SheetList list;
  Relationships rels;
  if (Refusal refusal = ParseXmlPart(entries, main, list)) return refusal;
  if (Refusal refusal = ParseXmlPart(entries, relsPath, rels)) return refusal;
  Styles styles;
  if (rels.byType.count("styles") && entries.Has(PartPath(folder, rels.byType["styles"])))
    if (Refusal refusal = ParseXmlPart(entries, PartPath(folder, rels.byType["styles"]), styles))
      return refusal;
  SharedStrings strings;
  if (rels.byType.count("sharedStrings") && entries.Has(PartPath(folder, rels.byType["sharedStrings"])))
    if (Refusal refusal = ParseXmlPart(entries, PartPath(folder, rels.byType["sharedStrings"]), strings))
      return refusal;
  for (const SheetList::Entry& entry : list.sheets) {
    const auto target = rels.byId.find(entry.id);
    // A chart sheet or a dialog sheet holds no cells.
    if (target == rels.byId.end() || target->second.find("worksheets/") == std::string::npos) continue;
    sheets.emplace_back();
    SheetText& sheet = sheets.back();
    sheet.name = entry.name;
    sheet.hidden = entry.hidden;
    if (Refusal refusal =
            ReadWorksheet(entries, PartPath(folder, target->second), strings, styles, list.date1904, sheet))
      return refusal;
  }
  if (sheets.empty()) return std::string("is a workbook without a worksheet");
  return std::nullopt;
}
