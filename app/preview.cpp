#include "app/preview.h"

#include <QApplication>
#include <algorithm>
#include <string_view>
#include <utility>
#include <vector>

#include "app/page_scripts.h"
#include "form/dom.h"

namespace {

// A list of texts as a script's array literal.
std::string ScriptList(const std::vector<std::string>& texts) {
  std::string list = "[";
  for (const std::string& text : texts) list += (list.size() > 1 ? "," : "") + ScriptLiteral(text);
  return list + "]";
}

}  // namespace

void PreviewSender::Finish() {
  if (!filling_) return;
  filling_ = false;
  QApplication::restoreOverrideCursor();
}

// Sends the next rows, one script at a time: each takes the page a few
// milliseconds, so that it answers clicks and keys all the while.
void PreviewSender::SendNextRows() {
  constexpr size_t kRowsPerScript = 10000;
  const PreviewTable& table = *table_;
  if (nextRow_ >= table.RowCount()) {
    table_.reset();
    Finish();
    return;
  }
  const int generation = generation_;
  const size_t first = nextRow_, last = std::min(table.RowCount(), first + kRowsPerScript);
  nextRow_ = last;
  RunPageScriptLater(
      host_,
      "f13Preview.add(" + std::to_string(generation) + "," + ScriptLiteral(table.Rows(first, last)) + ");",
      [alive = std::weak_ptr<PreviewSender*>(self_), generation](bool) {
        // The page may answer after the sender is gone.
        if (const auto self = alive.lock(); self && generation == (*self)->generation_)
          (*self)->SendNextRows();
      });
}

void PreviewSender::Show(const std::string& status, PreviewTable table) {
  // The first screen's rows, and two more screens' on a tall one.
  constexpr size_t kFirstRows = 300;
  ++generation_;
  Finish();
  table_ = std::make_shared<const PreviewTable>(std::move(table));
  const PreviewTable& shown = *table_;
  const size_t rows = shown.RowCount(), firstRows = std::min(rows, kFirstRows);
  nextRow_ = firstRows;
  RunPageScript(host_, PageScript("preview.js") + "f13Preview.begin(" + std::to_string(generation_) + "," +
                           ScriptLiteral(status) + "," + ScriptLiteral(kPreviewTableStart) + "," +
                           ScriptLiteral(kPreviewHeadRowStart) + "," +
                           ScriptLiteral(PreviewHeadCells(shown.withFigi)) + "," +
                           ScriptList(PreviewCellStarts(shown.withFigi)) + "," +
                           ScriptLiteral(shown.WidestRows()) + "," + std::to_string(rows) + "," +
                           ScriptLiteral(shown.Rows(0, firstRows)) + ")");
  if (firstRows < rows) {
    filling_ = true;
    QApplication::setOverrideCursor(Qt::BusyCursor);
    SendNextRows();
  } else {
    table_.reset();
  }
}
