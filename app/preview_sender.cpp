#include "app/preview_sender.h"

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

// Sends the next rows a script at a time, a few on their way at once so
// that the page never waits for the next: each takes the page well under
// 50 ms (capture_bench counts the tasks over it: pieces of 5,000 rows, each
// with a check's note, took 64 ms), so that it answers clicks and keys all
// the while. Pieces go by their bytes, since a row with a note is twice as
// long as one without.
void PreviewSender::SendNextRows() {
  constexpr size_t kBytesPerScript = 384 << 10, kScriptsAhead = 4;
  while (table_ && scriptsOnTheirWay_ < kScriptsAhead && nextRow_ < table_->RowCount()) {
    const int generation = generation_;
    const std::vector<size_t>& starts = table_->rowStarts;
    const size_t first = nextRow_;
    const size_t last =
        std::max(first + 1, static_cast<size_t>(std::upper_bound(starts.begin() + first, starts.end(),
                                                                 starts[first] + kBytesPerScript) -
                                                starts.begin() - 1));
    nextRow_ = last;
    ++scriptsOnTheirWay_;
    RunPageScriptLater(host_,
                       "f13Preview.add(" + std::to_string(generation) + "," +
                           ScriptLiteral(table_->Rows(first, last)) + ");",
                       [alive = std::weak_ptr<PreviewSender*>(self_), generation](bool) {
                         // The page may answer after the sender is gone, or after a later preview began.
                         if (const auto self = alive.lock(); self && generation == (*self)->generation_) {
                           --(*self)->scriptsOnTheirWay_;
                           (*self)->SendNextRows();
                         }
                       });
  }
  if (table_ && nextRow_ >= table_->RowCount() && scriptsOnTheirWay_ == 0) {
    table_.reset();
    Finish();
  }
}

void PreviewSender::ShowGroup(size_t group) {
  if (!groups_ || group >= groups_->size()) return;
  const std::string& lines = (*groups_)[group];
  RunPageScript(host_, "f13Preview.showGroup(" + std::to_string(generation_) + "," + std::to_string(group) +
                           "," + std::to_string(std::count(lines.begin(), lines.end(), '\n')) + ");[true]");
  SendGroupLines(group, 0);
}

// Sends a group's lines a few thousand to a script, as the rows are sent.
void PreviewSender::SendGroupLines(size_t group, size_t from) {
  constexpr size_t kBytesPerScript = 1 << 20;
  const std::string& lines = (*groups_)[group];
  if (from >= lines.size()) return;
  size_t to = std::min(lines.size(), from + kBytesPerScript);
  to = lines.find('\n', to - 1);
  to = to == std::string::npos ? lines.size() : to + 1;
  const int generation = generation_;
  RunPageScriptLater(host_,
                     "f13Preview.addGroupLines(" + std::to_string(generation) + "," + std::to_string(group) +
                         "," + ScriptLiteral(std::string_view(lines).substr(from, to - from)) + ");",
                     [alive = std::weak_ptr<PreviewSender*>(self_), generation, group, to](bool) {
                       if (const auto self = alive.lock(); self && generation == (*self)->generation_)
                         (*self)->SendGroupLines(group, to);
                     });
}

void PreviewSender::Show(const std::string& status, PreviewTable table, std::vector<std::string> groups) {
  groups_ = std::make_shared<const std::vector<std::string>>(std::move(groups));
  // The first screen's rows, and two more screens' on a tall one.
  constexpr size_t kFirstRows = 300;
  ++generation_;
  Finish();
  table_ = std::make_shared<const PreviewTable>(std::move(table));
  scriptsOnTheirWay_ = 0;
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
  lastRows_ = rows;
  if (firstRows < rows) {
    filling_ = true;
    QApplication::setOverrideCursor(Qt::BusyCursor);
    SendNextRows();
  } else {
    table_.reset();
  }
}
