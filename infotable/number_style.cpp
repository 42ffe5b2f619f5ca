#include "infotable/number_style.h"

#include "infotable/text_forms.h"

namespace {

AmountShape ShapeOf(std::string_view cell) {
  AmountShape shape;
  bool seenMark = false;
  size_t runStart = 0;
  for (size_t i = 0; i < cell.size(); ++i) {
    const char c = cell[i];
    if (IsDigit(c)) {
      ++shape.digitsAfterLast;
      if (!seenMark) ++shape.digitsBeforeFirst;
    } else if (c == '.' || c == ',') {
      if (!seenMark) shape.leadingZeroOnly = cell.substr(runStart, i - runStart) == "0";
      seenMark = true;
      (c == '.' ? shape.periods : shape.commas) += 1;
      shape.last = c;
      shape.digitsAfterLast = 0;
    } else if (c == '\'' || c == ' ' || static_cast<unsigned char>(c) >= 0x80) {
      if (!seenMark && i > 0 && IsDigit(cell[i - 1])) shape.otherGroups = true;
    } else {
      runStart = i + 1;
    }
  }
  return shape;
}

}  // namespace

DecimalMark DecimalMarkOf(const AmountShape& shape) {
  const auto mark = [](char c) { return c == '.' ? DecimalMark::kPeriod : DecimalMark::kComma; };
  const auto other = [](char c) { return c == '.' ? DecimalMark::kComma : DecimalMark::kPeriod; };
  if (shape.periods > 0 && shape.commas > 0) return mark(shape.last);  // the last one is the decimal mark
  const int count = shape.periods + shape.commas;
  if (count == 0) return DecimalMark::kUnknown;
  if (count > 1) return other(shape.last);  // a mark used twice groups thousands
  // One mark: a decimal unless it stands where a thousands mark would.
  const bool couldGroup = shape.digitsAfterLast == 3 && shape.digitsBeforeFirst >= 1 &&
                          shape.digitsBeforeFirst <= 3 && !shape.leadingZeroOnly && !shape.otherGroups;
  return couldGroup ? DecimalMark::kUnknown : mark(shape.last);
}

DecimalMark DecimalMarkOf(std::string_view cell) { return DecimalMarkOf(ShapeOf(cell)); }

void NumberStyleReader::See(std::string_view cell) {
  switch (DecimalMarkOf(cell)) {
    case DecimalMark::kPeriod: ++periods_; break;
    case DecimalMark::kComma: ++commas_; break;
    case DecimalMark::kUnknown: break;
  }
}

DecimalMark NumberStyleReader::Mark() const {
  if (periods_ == commas_) return DecimalMark::kUnknown;
  return periods_ > commas_ ? DecimalMark::kPeriod : DecimalMark::kComma;
}
