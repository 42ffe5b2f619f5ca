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

// The page's side. The head is a table of its own, kept in view while the
// rows scroll. Every block of rows is a table of its own too that also holds,
// collapsed (they take no room and show nothing), the head and the rows with
// the widest cells of each column: they give every block the column widths of
// the single table, while each block's layout is its own rows' only. A block after the first stays
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
    var collapse = function(rows) { return rows.replace(/<TR[^>]*>/g, "<TR style='visibility:collapse'>"); };
    var widestCollapsed = collapse(widest);
    this.widths = collapse(head) + widestCollapsed;
    this.tableStart = tableStart;
    var message = document.getElementById('idMsg');
    // The head is a table of its own that stays at the top of the view while
    // the rows scroll under it; on the page's colour it looks like the
    // single table's first row.
    message.innerHTML = status + '<div id=idPv>' +
        '<div id=idPh style="position:sticky;top:0;z-index:1;background:#f8f8f0">' +
        this.table('border-bottom:0') + head + widestCollapsed +
        '</TABLE></div><div style="margin-top:-1px">' + this.table('border-top:0' + (whole ? '' : ';border-bottom:0')) +
        this.widths + rows + '</TABLE></div></div>';
    this.received = count;
    this.marked = null;
    this.leadToRows(message);
    if (whole || count == 0) return [true];
    var table = document.getElementById('idPv').lastChild.firstChild;
    var last = table.rows[table.rows.length - 1], before = table.rows[table.rows.length - count - 1];
    this.rowHeight = (last.getBoundingClientRect().bottom - before.getBoundingClientRect().bottom) / count;
    return [true];
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
  // Scrolls to an entry's row and marks it: its block is found by the entry
  // number, scrolled to, drawn as it comes into view, and the row brought
  // under the headings. An entry still on its way is waited for.
  go: function(entry) {
    var self = this, generation = this.generation, preview = document.getElementById('idPv');
    if (!preview) return;
    var index = entry - 1, holder = preview.children[1 + Math.floor(index / this.blockRows)];
    if (!holder) { setTimeout(function() { if (generation == self.generation) self.go(entry); }, 50); return; }
    var headings = document.getElementById('idPh').getBoundingClientRect().height;
    var find = function() {
      var table = holder.firstChild;
      return table && table.rows && [].find.call(table.rows, function(row) {
        return !row.style.visibility && row.cells[0].textContent == String(entry);
      });
    };
    var row = holder.f13Html ? null : find();
    if (!row) window.scrollTo(0, holder.getBoundingClientRect().top + window.scrollY - headings +
                                 (index % this.blockRows) * (this.rowHeight || 0));
    (function mark() {
      if (generation != self.generation) return;
      row = row || (holder.f13Html ? null : find());
      if (!row) { requestAnimationFrame(mark); return; }
      if (self.marked) self.marked.classList.remove('f13Marked');
      row.classList.add('f13Marked');
      self.marked = row;
      window.scrollTo(0, row.getBoundingClientRect().top + window.scrollY - headings);
    })();
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

// How wide a cell's text is drawn: a character reference as its character.
size_t TextWidth(std::string_view html) {
  size_t width = 0;
  for (size_t at = 0; at < html.size(); ++at) {
    char c = html[at];
    if (c == '&') {
      const size_t end = html.find(';', at);
      if (end != std::string_view::npos) {
        c = html.compare(at, end - at, "&lt") == 0 ? '<' : html.compare(at, end - at, "&gt") == 0 ? '>' : '&';
        at = end;
      }
    }
    width += c >= ' ' && c <= '~' ? kArialWidths[c - ' '] : 556;
  }
  return width;
}

// How wide each cell of the row that starts at `row` is drawn, in column order.
void MeasureCells(const std::string& table, size_t row, size_t end, std::vector<size_t>& widths) {
  widths.clear();
  for (size_t at = table.find("<TD", row); at < end; at = table.find("<TD", at)) {
    const size_t open = table.find('>', at) + 1, close = table.find("</TD>", open);
    widths.push_back(TextWidth(std::string_view(table).substr(open, close - open)));
    at = close;
  }
}

// The rows that hold the widest text of any column: laid out together with
// the head, they give the column widths of the whole table.
std::string WidestRows(const std::string& table, const std::vector<size_t>& rowStarts) {
  constexpr size_t kPerColumn = 3;
  std::vector<std::array<std::pair<size_t, size_t>, kPerColumn>> widest;  // (width, row) per column
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
  RunPageScript(*host, std::string(kPreviewScript) +
                           "f13Preview.blockRows=" + std::to_string(kPreviewBlockRows) +
                           ";f13Preview.begin(" + std::to_string(sending.generation) + "," +
                           ScriptLiteral(status) + "," + ScriptLiteral(shared->substr(0, headStart)) + "," +
                           ScriptLiteral(shared->substr(headStart, headEnd - headStart)) + "," +
                           ScriptLiteral(rows) + "," + std::to_string(firstRows) + "," +
                           ScriptLiteral(WidestRows(*shared, sending.rowStarts)) + "," +
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
