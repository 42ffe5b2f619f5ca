#include "app/preview.h"

#include <QApplication>
#include <algorithm>
#include <array>
#include <memory>
#include <utility>
#include <vector>

#include "form/dom.h"
#include "form/page_host.h"

namespace {

// The page's side. A table of one block is shown as it is. Otherwise every
// block is a table of its own that also holds, collapsed (they take no room
// and show nothing), the head and the rows with the widest cells of each
// column: they give every block the column widths of the single table, while
// each block's layout is its own rows' only. A block after the first stays
// text, its height guessed from the first block's, until it comes near the
// screen. The blocks' borders overlap by one pixel and only the table's own
// edges are blue, as in the single table. `received` counts the rows sent.
// The host counts a block's rows: a regular expression over a string the
// size of a block made the page stop for a second and more now and then.
const char* const kPreviewScript = R"(
window.f13Preview = window.f13Preview || {
  generation: 0,
  // The table's start tag, with `style` after its own style so that it wins.
  table: function(style) {
    return style ? this.tableStart.replace(/style='([^']*)'/, "style='$1;" + style + "'") : this.tableStart;
  },
  begin: function(generation, status, tableStart, head, rows, count, widest, whole) {
    this.generation = generation;
    // Rows that take no room but give their widths to the columns.
    this.widths = (head + widest).replace(/<TR[^>]*>/g, "<TR style='visibility:collapse'>");
    this.tableStart = tableStart;
    var message = document.getElementById('idMsg');
    message.innerHTML = status + '<div id=idPv>' + this.table(whole ? '' : 'border-bottom:0') +
        head + rows + (whole ? '' : this.widths) + '</TABLE></div>';
    this.received = count;
    if (whole) return [true];
    var table = document.getElementById('idPv').firstChild;
    this.rowHeight = (table.rows[count].getBoundingClientRect().bottom - table.rows[0].getBoundingClientRect().bottom) / count;
    return [true];
  },
  add: function(generation, rows, count, last) {
    if (generation != this.generation) return [false];
    var preview = document.getElementById('idPv');
    if (!preview) return [false];
    // A block is kept as its text until it comes near the screen, and is
    // drawn only while it is there: rows that were never looked at cost the
    // page no elements, and no layout.
    if (!this.observer || this.observed !== preview) {
      this.observed = preview;
      this.observer = new IntersectionObserver(function(entries) {
        entries.forEach(function(entry) {
          var block = entry.target;
          if (entry.isIntersecting && block.f13Html) {
            var self = window.f13Preview;
            block.innerHTML = self.table('border-top:0' + (block.f13Last ? '' : ';border-bottom:0')) +
                self.widths + block.f13Html + '</TABLE>';
            block.f13Html = null;
          }
          // Undrawn, a block keeps the exact height it had, so that the rows
          // below stand where they stand in the single table.
          if (!entry.isIntersecting && !block.f13Html && block.style.contentVisibility == 'visible')
            block.style.containIntrinsicSize = 'auto ' + block.getBoundingClientRect().height + 'px';
          block.style.contentVisibility = entry.isIntersecting ? 'visible' : 'hidden';
        });
      }, {rootMargin: '25% 0px'});
    }
    var block = document.createElement('div');
    block.style.cssText = 'margin-top:-1px;content-visibility:hidden;contain-intrinsic-size:auto ' +
        Math.round(this.rowHeight * count) + 'px';
    block.f13Html = rows;
    block.f13Last = last;
    this.observer.observe(block);
    preview.appendChild(block);
    this.received += count;
    return [true];
  }
};
)";

struct Sending {
  int generation = 0;
  std::shared_ptr<const std::string> table;  // the preview being sent
  std::vector<size_t> rowStarts;             // where each row begins in it, and its end
  size_t nextRow = 0;
};

Sending sending;
bool filling = false;

// The text length of each cell of the row that starts at `row`, in column order.
void MeasureCells(const std::string& table, size_t row, size_t end, std::vector<size_t>& lengths) {
  lengths.clear();
  for (size_t at = table.find("<TD", row); at < end; at = table.find("<TD", at)) {
    const size_t open = table.find('>', at) + 1, close = table.find("</TD>", open);
    lengths.push_back(close - open);
    at = close;
  }
}

// The rows that hold the longest text of any column: laid out together with
// the head, they give the column widths of the whole table.
std::string WidestRows(const std::string& table, const std::vector<size_t>& rowStarts) {
  constexpr size_t kPerColumn = 3;
  std::vector<std::array<std::pair<size_t, size_t>, kPerColumn>> widest;  // (length, row) per column
  std::vector<size_t> lengths;
  for (size_t row = 0; row + 1 < rowStarts.size(); ++row) {
    MeasureCells(table, rowStarts[row], rowStarts[row + 1], lengths);
    if (widest.size() < lengths.size()) widest.resize(lengths.size(), {});
    for (size_t column = 0; column < lengths.size(); ++column) {
      auto& best = widest[column];
      if (lengths[column] <= best.back().first) continue;
      best.back() = {lengths[column], row};
      std::sort(best.begin(), best.end(), std::greater<>());
    }
  }
  std::vector<size_t> rows;
  for (const auto& best : widest)
    for (const auto& [length, row] : best)
      if (length > 0) rows.push_back(row);
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  std::string html;
  for (size_t row : rows) html.append(table, rowStarts[row], rowStarts[row + 1] - rowStarts[row]);
  return html;
}

std::string Rows(size_t first, size_t last) {
  const std::string& table = *sending.table;
  return table.substr(sending.rowStarts[first], sending.rowStarts[last] - sending.rowStarts[first]);
}

void Finish() {
  if (!filling) return;
  filling = false;
  QApplication::restoreOverrideCursor();
}

// Sends the next few blocks in one script: small blocks keep a jump's drawing
// short, and several to a round trip keep the filling quick.
void SendNextBlocks() {
  constexpr size_t kBlocksPerScript = 4;
  PageHost* host = MainPageHost();
  const size_t rows = sending.rowStarts.size() - 1;
  if (!host || sending.nextRow >= rows) {
    sending.table.reset();
    Finish();
    return;
  }
  const int generation = sending.generation;
  std::string script;
  for (size_t block = 0; block < kBlocksPerScript && sending.nextRow < rows; ++block) {
    const size_t first = sending.nextRow, last = std::min(rows, first + kPreviewBlockRows);
    sending.nextRow = last;
    script += "f13Preview.add(" + std::to_string(generation) + "," + ScriptLiteral(Rows(first, last)) + "," +
              std::to_string(last - first) + "," + (last == rows ? "true" : "false") + ");";
  }
  RunPageScriptLater(*host, script, [generation](bool) {
    if (generation == sending.generation) SendNextBlocks();
  });
}

}  // namespace

void ShowPreview(const std::string& status, std::string table) {
  PageHost* host = MainPageHost();
  if (!host) throw CVexc();
  ++sending.generation;
  Finish();
  auto shared = std::make_shared<const std::string>(std::move(table));
  const size_t headStart = shared->find("<TR");
  const size_t headEnd = shared->find("</TR>", headStart) + 5;
  const size_t tableEnd = shared->size() - std::string("</TABLE>").size();
  std::vector<size_t> rowStarts;
  for (size_t at = shared->find("<TR>", headEnd); at < tableEnd; at = shared->find("<TR>", at + 4))
    rowStarts.push_back(at);
  rowStarts.push_back(tableEnd);

  const size_t firstRows = std::min(rowStarts.size() - 1, static_cast<size_t>(kPreviewBlockRows));
  sending = {sending.generation, shared, std::move(rowStarts), firstRows};
  const std::string rows = Rows(0, firstRows);
  const bool whole = firstRows + 1 == sending.rowStarts.size();
  RunPageScript(*host, std::string(kPreviewScript) + "f13Preview.begin(" +
                           std::to_string(sending.generation) + "," + ScriptLiteral(status) + "," +
                           ScriptLiteral(shared->substr(0, headStart)) + "," +
                           ScriptLiteral(shared->substr(headStart, headEnd - headStart)) + "," +
                           ScriptLiteral(rows) + "," + std::to_string(firstRows) + "," +
                           ScriptLiteral(whole ? "" : WidestRows(*shared, sending.rowStarts)) + "," +
                           (whole ? "true" : "false") + ")");
  if (!whole) {
    filling = true;
    QApplication::setOverrideCursor(Qt::BusyCursor);
    SendNextBlocks();
  } else {
    sending.table.reset();
  }
}

bool PreviewFilling() { return filling; }
