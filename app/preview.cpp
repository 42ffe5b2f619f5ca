#include "app/preview.h"

#include <QApplication>
#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "form/dom.h"
#include "form/page_host.h"

namespace {

// The page's side. It keeps the rows as data, one string each with its cells
// split by tabs, and draws only the rows near the view into a table between
// two empty blocks that stand for the rows above and below it, so that the
// page is as high as the single table from the start. Every row is as high as
// every other (no cell breaks its line), so where a row stands is its index
// times the row height. The head is a table of its own, kept in view while the
// rows scroll; it also holds, collapsed (they take no room and show nothing),
// the rows with the widest cells of each column, so that its columns are as
// wide as the single table's, and the drawn table takes its column widths
// from it. The drawn table's top border is left out and it overlaps the head
// by one pixel, and its bottom border is drawn only with the last row, as in
// the single table.
const char* const kPreviewScript = R"(
window.f13Preview = window.f13Preview || {
  generation: 0,
  begin: function(generation, status, tableStart, headStart, headCells, alignments, widest, count, rows) {
    this.generation = generation;
    this.count = count;
    this.rows = [];
    this.marked = 0;
    this.rowHeight = 0;
    this.drawn = {first: 0, last: 0, wanted: 0};
    this.cellStarts = alignments.map(function(alignment) { return '<TD class=itbl align=' + alignment + '>'; });
    var self = this, collapsed = "<TR style='visibility:collapse'>";
    var widestRows = widest.split('\n').filter(String).map(function(row) {
      return self.rowHtml(row, collapsed);
    }).join('');
    var message = document.getElementById('idMsg');
    message.innerHTML = status + '<div id=idPv>' +
        '<div id=idPh style="position:sticky;top:0;z-index:1;background:#f8f8f0">' + tableStart + headStart +
        headCells + '</TR>' + widestRows + '</TABLE></div>' +
        '<div id=idPb style="margin-top:-1px;overflow-anchor:none"><div></div>' + tableStart +
        '</TABLE><div></div></div></div>';
    this.head = document.getElementById('idPh');
    this.head.firstChild.style.borderBottom = '0';
    this.body = document.getElementById('idPb');
    this.table = this.body.children[1];
    this.table.style.borderTop = '0';
    this.border = this.table.style.borderBottom;
    // The drawn table takes the columns' widths from the head's table, which
    // lays them out as the single table does: a table of fixed layout never
    // measures its cells, and is laid out far sooner.
    var headTable = this.head.firstChild;
    this.table.style.tableLayout = 'fixed';
    this.table.style.width = headTable.getBoundingClientRect().width + 'px';
    this.widths = '<COLGROUP>' + [].map.call(headTable.rows[0].cells, function(cell) {
      return '<COL style="width:' + cell.getBoundingClientRect().width + 'px">';
    }).join('') + '</COLGROUP>';
    if (!this.listening) {
      this.listening = true;
      window.addEventListener('scroll', function() { window.f13Preview.draw(false); });
      window.addEventListener('resize', function() { window.f13Preview.draw(false); });
    }
    this.leadToRows(message);
    if (count > 0 && this.bottomBorder === undefined) this.measureBottomBorder(tableStart, rows.split('\n')[0]);
    this.add(generation, rows);
    return [true];
  },
  rowHtml: function(row, start) {
    var cells = row.split('\t'), html = start;
    for (var i = 0; i < cells.length; ++i) html += this.cellStarts[i] + cells[i] + '</TD>';
    return html + '</TR>';
  },
  // Draws the rows in view and a quarter of a screen above and below them,
  // unless those are drawn already: a table's layout costs in proportion to
  // its rows, so the fewer drawn, the sooner a jump shows.
  draw: function(again) {
    if (!this.body || !this.body.isConnected) return;
    // Until a row is laid out its height is unknown: rows are at least 10 pixels high.
    var first = 0, last = Math.min(this.count, Math.ceil(window.innerHeight / 10)), height = this.rowHeight;
    if (height) {
      var top = this.body.getBoundingClientRect().top;
      first = Math.max(0, Math.min(this.count, Math.floor(-top / height)));
      last = Math.max(0, Math.min(this.count, Math.ceil((window.innerHeight - top) / height)));
      if (!again && first >= this.drawn.first && last <= this.drawn.wanted) return;
      var margin = Math.ceil((last - first) / 4);
      first = Math.max(0, first - margin);
      last = Math.min(this.count, last + margin);
    }
    var end = Math.min(last, this.rows.length), html = this.widths;
    for (var i = first; i < end; ++i)
      html += this.rowHtml(this.rows[i], i + 1 == this.marked ? '<TR class=f13Marked>' : '<TR>');
    this.table.innerHTML = html;
    this.table.style.borderBottom = end == this.count ? this.border : '0';
    this.drawn = {first: first, last: end, wanted: last};
    if (!height && end > 0) {
      var drawn = this.table.rows, top = drawn[drawn.length - end].getBoundingClientRect().top;
      this.rowHeight = end > 1 ? (drawn[drawn.length - 1].getBoundingClientRect().top - top) / (end - 1)
                               : drawn[drawn.length - 1].getBoundingClientRect().height;
    }
    this.body.firstChild.style.height = first * this.rowHeight + 'px';
    this.body.lastChild.style.height =
        (end == this.count ? 0 : (this.count - end) * this.rowHeight + this.bottomBorder) + 'px';
    if (!height && end > 0) this.draw(false);
  },
  // What the table's bottom border adds to its height, which the empty block
  // below stands in for while the last row is not drawn; measured on a table
  // of one row.
  measureBottomBorder: function(tableStart, row) {
    var probe = document.createElement('div');
    probe.style.cssText = 'position:absolute;top:0;visibility:hidden';
    probe.innerHTML = tableStart + this.rowHtml(row, '<TR>') + '</TABLE>';
    document.body.appendChild(probe);
    var table = probe.firstChild, withBorder = table.getBoundingClientRect().height;
    table.style.borderBottom = '0';
    this.bottomBorder = withBorder - table.getBoundingClientRect().height;
    probe.remove();
  },
  // Lines of the status paragraph that name a written row lead to it.
  leadToRows: function(message) {
    if (!document.getElementById('f13Style')) {
      var style = document.createElement('style');
      style.id = 'f13Style';
      style.textContent = 'span[data-entry] {cursor:pointer;text-decoration:underline} ' +
          'span[data-entry]:focus {outline:1px dotted #000080} tr.f13Marked td.itbl {background:#ffff80}';
      document.head.appendChild(style);
    }
    [].forEach.call(message.querySelectorAll('span[data-entry]'), function(line) {
      line.tabIndex = 0;
      line.setAttribute('onclick', 'f13Preview.go(' + Number(line.getAttribute('data-entry')) + ')');
    });
  },
  // Scrolls an entry's row to just under the headings and marks it; a row
  // still on its way is drawn marked when it comes.
  go: function(entry) {
    if (!this.body || !this.body.isConnected || entry < 1 || entry > this.count) return;
    this.marked = entry;
    window.scrollTo(0, this.body.getBoundingClientRect().top + window.scrollY +
                           (entry - 1) * this.rowHeight - this.head.getBoundingClientRect().height);
    this.draw(true);
  },
  add: function(generation, rows) {
    if (generation != this.generation || !this.body || !this.body.isConnected) return [false];
    var parts = rows.split('\n');
    parts.pop();
    for (var i = 0; i < parts.length; ++i) this.rows.push(parts[i]);
    if (this.drawn.last < this.drawn.wanted || !this.rowHeight) this.draw(true);
    return [true];
  }
};
)";

struct Sending {
  int generation = 0;
  std::shared_ptr<const PreviewTable> table;  // the preview being sent
  size_t nextRow = 0;
};

Sending sending;
bool filling = false;

// Widths of Arial's printable ASCII characters, in thousandths of its size
// (Liberation Sans, which stands in for Arial here, has the same). A cell's
// count of characters does not rank it: "WWW" is far wider than "III".
constexpr uint16_t kArialWidths[95] = {
    278,  278, 355, 556, 556, 889, 667, 191, 333, 333, 389, 584, 278, 333, 278, 278,  // space to /
    556,  556, 556, 556, 556, 556, 556, 556, 556, 556, 278, 278, 584, 584, 584, 556,  // 0 to ?
    1015, 667, 667, 722, 722, 667, 611, 778, 722, 278, 500, 667, 556, 833, 722, 778,  // @ to O
    667,  778, 722, 667, 611, 722, 667, 944, 667, 667, 611, 278, 278, 278, 469, 556,  // P to _
    333,  556, 556, 500, 556, 556, 278, 556, 556, 222, 222, 500, 222, 833, 556, 556,  // ` to o
    556,  556, 333, 500, 278, 556, 500, 722, 500, 500, 500, 334, 260, 334, 584};      // p to ~

// The rows that hold the widest text of any column, each with its line end:
// laid out together with the head, they give the column widths of the whole
// table. A character reference is measured as its character.
std::string WidestRows(const PreviewTable& table) {
  constexpr size_t kPerColumn = 3;
  std::array<uint16_t, 256> widths;
  widths.fill(556);
  for (int c = ' '; c <= '~'; ++c) widths[static_cast<size_t>(c)] = kArialWidths[c - ' '];
  std::vector<std::array<std::pair<size_t, size_t>, kPerColumn>> widest;  // (width, row) per column
  const std::string& cells = table.cells;
  size_t row = 0, column = 0, width = 0;
  for (size_t at = 0; at < cells.size(); ++at) {
    const char c = cells[at];
    if (c == '\t' || c == '\n') {
      if (widest.size() <= column) widest.resize(column + 1, {});
      auto& best = widest[column];
      if (width > best.back().first) {
        best.back() = {width, row};
        std::sort(best.begin(), best.end(), std::greater<>());
      }
      width = 0;
      column = c == '\t' ? column + 1 : 0;
      row += c == '\n';
    } else if (c == '&') {
      const std::string_view rest = std::string_view(cells).substr(at, 5);
      const char shown = rest.compare(0, 4, "&lt;") == 0 ? '<' : rest.compare(0, 4, "&gt;") == 0 ? '>' : '&';
      width += widths[static_cast<unsigned char>(shown)];
      at += shown != '&' ? 3 : rest == "&amp;" ? 4 : 0;
    } else {
      width += widths[static_cast<unsigned char>(c)];
    }
  }
  std::vector<size_t> rows;
  for (const auto& best : widest)
    for (const auto& [length, at] : best)
      if (length > 0) rows.push_back(at);
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  std::string text;
  for (size_t at : rows) text += table.Rows(at, at + 1);
  return text;
}

std::string Alignments(bool withFigi) {
  std::string list = "[";
  for (const char* alignment : PreviewAlignments(withFigi))
    list += std::string(list.size() > 1 ? "," : "") + "'" + alignment + "'";
  return list + "]";
}

void Finish() {
  if (!filling) return;
  filling = false;
  QApplication::restoreOverrideCursor();
}

// Sends the next rows, one script at a time: each takes the page a few
// milliseconds, so that it answers clicks and keys all the while.
void SendNextRows() {
  constexpr size_t kRowsPerScript = 10000;
  PageHost* host = MainPageHost();
  const PreviewTable& table = *sending.table;
  if (!host || sending.nextRow >= table.RowCount()) {
    sending.table.reset();
    Finish();
    return;
  }
  const int generation = sending.generation;
  const size_t first = sending.nextRow, last = std::min(table.RowCount(), first + kRowsPerScript);
  sending.nextRow = last;
  RunPageScriptLater(
      *host,
      "f13Preview.add(" + std::to_string(generation) + "," + ScriptLiteral(table.Rows(first, last)) + ");",
      [generation](bool) {
        if (generation == sending.generation) SendNextRows();
      });
}

}  // namespace

void ShowPreview(const std::string& status, PreviewTable table) {
  // The first screen's rows, and two more screens' on a tall one.
  constexpr size_t kFirstRows = 300;
  PageHost* host = MainPageHost();
  if (!host) throw CVexc();
  ++sending.generation;
  Finish();
  auto shared = std::make_shared<const PreviewTable>(std::move(table));
  const size_t rows = shared->RowCount(), firstRows = std::min(rows, kFirstRows);
  sending = {sending.generation, shared, firstRows};
  RunPageScript(*host, std::string(kPreviewScript) + "f13Preview.begin(" +
                           std::to_string(sending.generation) + "," + ScriptLiteral(status) + "," +
                           ScriptLiteral(kPreviewTableStart) + "," + ScriptLiteral(kPreviewHeadRowStart) +
                           "," + ScriptLiteral(PreviewHeadCells(shared->withFigi)) + "," +
                           Alignments(shared->withFigi) + "," + ScriptLiteral(WidestRows(*shared)) + "," +
                           std::to_string(rows) + "," + ScriptLiteral(shared->Rows(0, firstRows)) + ")");
  if (firstRows < rows) {
    filling = true;
    QApplication::setOverrideCursor(Qt::BusyCursor);
    SendNextRows();
  } else {
    sending.table.reset();
  }
}

bool PreviewFilling() { return filling; }
