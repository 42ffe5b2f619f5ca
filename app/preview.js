// The preview on the main page. It keeps the rows as data, one string each
// with its cells split by tabs, and draws only the rows near the view into a
// table between two empty blocks that stand for the rows above and below it,
// so that the page is as high as the single table from the start. Every row
// is as high as every other (no cell breaks its line), so where a row stands
// is its index times the row height. The head is a table of its own, kept in
// view while the rows scroll; it also holds, collapsed (they take no room and
// show nothing), the rows with the widest cells of each column, so that its
// columns are as wide as the single table's, and the drawn table takes its
// column widths from it. The drawn table's top border is left out and it
// overlaps the head by one pixel, and its bottom border is drawn only with the
// last row, as in the single table. The host gives the markup of the table's
// start, its head and each column's cell start tag, so that a drawn row is
// made as the single table's rows are.
window.f13Preview = window.f13Preview || {
  generation: 0,
  begin: function(generation, status, tableStart, headStart, headCells, cellStarts, widest, count, rows) {
    this.generation = generation;
    this.count = count;
    this.rows = [];
    this.marked = 0;
    this.groups = {};  // a group's lines belong to the preview they came with
    this.rowHeight = 0;
    this.drawn = {first: 0, last: 0, wanted: 0};
    this.cellStarts = cellStarts;
    var self = this, collapsed = "<TR style='visibility:collapse'>";
    var widestRows = widest.split('\n').filter(String).map(function(row) {
      return self.rowHtml(row, collapsed);
    }).join('');
    var message = document.getElementById('idMsg');
    message.innerHTML = status + '<div id=idPv>' +
        '<div id=idPh style="position:sticky;top:' + this.controlsHeight() + 'px;z-index:1;background:#f8f8f0">' +
        tableStart + headStart +
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
      window.addEventListener('resize', function() {
        var self = window.f13Preview;
        self.draw(false);
        // A group's lines wrap anew at the box's new width.
        Object.keys(self.groups || {}).forEach(function(group) {
          self.groups[group].measured = 0;
          self.measureGroup(self.groups[group]);
          self.drawGroup(group);
        });
      });
    }
    this.leadToRows(message);
    if (count > 0 && this.bottomBorder === undefined) this.measureBottomBorder(tableStart, rows.split('\n')[0]);
    // The first rows are kept now, in order before any that follow, and
    // drawn in a task of their own: the status and the head are laid out in
    // this one, and together the two would hold the page past 50 ms.
    this.keep(rows);
    setTimeout(function() {
      if (self.generation == generation) self.draw(true);
    }, 0);
    return [true];
  },
  // The window's controls stay in view above the messages; the headings
  // stand under them.
  controlsHeight: function() {
    var controls = document.getElementById('idCtl');
    return controls ? controls.getBoundingClientRect().height : 0;
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
          'span[data-entry]:focus {outline:1px dotted #000080} tr.f13Marked td.itbl {background:#ffff80} ' +
          // "show all" is a link, apart from the sentence before it.
          'span[data-group] {color:#0000a0;cursor:pointer;text-decoration:underline;margin-left:6px} ' +
          'span[data-group]:focus {outline:1px dotted #000080}';
      document.head.appendChild(style);
    }
    [].forEach.call(message.querySelectorAll('span[data-entry]'), function(line) {
      line.tabIndex = 0;
      line.setAttribute('onclick', 'f13Preview.go(' + Number(line.getAttribute('data-entry')) + ')');
    });
    // A group's "show all" asks the host for its lines.
    [].forEach.call(message.querySelectorAll('span[data-group]'), function(all) {
      all.tabIndex = 0;
      all.setAttribute('onclick', "location='|sa|" + Number(all.getAttribute('data-group')) + "'");
    });
  },
  // A group's lines, in a box under its line that draws only the lines in
  // its view: a group may hold a line for every row of the table.
  lineHeight: 14,
  showGroup: function(generation, group, count) {
    if (generation != this.generation) return;
    var all = document.querySelector('span[data-group="' + group + '"]');
    if (!all || document.getElementById('f13Group' + group)) return;
    this.groups = this.groups || {};
    var box = document.createElement('div');
    box.id = 'f13Group' + group;
    box.style.cssText = 'max-height:' + 12 * this.lineHeight + 'px;overflow:auto;position:relative;' +
        'border:1px solid #e0e0e0;margin:2px 0 2px 16px;background:#ffffff';
    box.innerHTML = '<div style="height:' + count * this.lineHeight + 'px"></div><div></div>';
    all.parentNode.insertBefore(box, all.nextSibling);
    all.textContent = '';
    var self = this;
    this.groups[group] = {box: box, lines: [], count: count};
    box.addEventListener('scroll', function() { self.drawGroup(group); });
    box.addEventListener('click', function(e) {
      var line = e.target.closest('span[data-entry]');
      if (line) self.go(Number(line.getAttribute('data-entry')));
    });
  },
  addGroupLines: function(generation, group, text) {
    var shown = this.groups && this.groups[group];
    if (generation != this.generation || !shown) return [false];
    var parts = text.split('\n');
    parts.pop();
    for (var i = 0; i < parts.length; ++i) {
      if (!shown.longest || parts[i].length > shown.lines[shown.longest - 1].length) shown.longest = shown.lines.length + 1;
      shown.lines.push(parts[i]);
    }
    this.measureGroup(shown);
    this.drawGroup(group);
    return [true];
  },
  groupLineHtml: function(line, top) {
    var cells = line.split('\t'), row = 'Row ' + cells[1];
    return '<div style="position:absolute;left:2px;right:2px;top:' + top + 'px">' +
        (cells[0] != '0' ? '<span data-entry=' + cells[0] + ' tabindex=0>' + row + '</span>' : row) + ': ' +
        cells[2] + '</div>';
  },
  // Lines wrap at the box's width; each stands in a slot as high as the
  // longest of them wraps, so that where a line stands is still its index
  // times one height.
  measureGroup: function(shown) {
    if (!shown.longest || shown.measured == shown.longest) return;
    shown.measured = shown.longest;
    var probe = document.createElement('div');
    probe.style.visibility = 'hidden';
    probe.innerHTML = this.groupLineHtml(shown.lines[shown.longest - 1], 0);
    shown.box.appendChild(probe);
    shown.slot = Math.max(this.lineHeight, Math.ceil(probe.firstChild.getBoundingClientRect().height));
    probe.remove();
    shown.box.firstChild.style.height = shown.count * shown.slot + 'px';
  },
  drawGroup: function(group) {
    var shown = this.groups[group], height = shown.slot || this.lineHeight;
    var first = Math.floor(shown.box.scrollTop / height);
    var last = Math.min(shown.lines.length, first + Math.ceil(shown.box.clientHeight / height) + 2);
    var html = '';
    for (var i = first; i < last; ++i) html += this.groupLineHtml(shown.lines[i], i * height);
    shown.box.lastChild.innerHTML = html;
  },
  // Finds the next row after the marked one (before it, `backwards`) that
  // holds `text` (markup-escaped), in any case, on from the other end, and
  // leads to it; gives its entry, or 0. The rows are searched as data, as
  // most of them are not drawn.
  find: function(text, backwards) {
    var count = this.rows ? this.rows.length : 0, wanted = text.toLowerCase();
    if (!count || !wanted || !this.body || !this.body.isConnected) return [0];
    var from = this.marked > 0 && this.marked <= count ? this.marked - 1 : (backwards ? 0 : count - 1);
    for (var step = 1; step <= count; ++step) {
      var i = ((from + (backwards ? -step : step)) % count + count) % count;
      if (this.rows[i].toLowerCase().indexOf(wanted) >= 0) {
        this.go(i + 1);
        return [i + 1];
      }
    }
    return [0];
  },
  // Scrolls an entry's row to just under the headings and marks it; a row
  // still on its way is drawn marked when it comes.
  go: function(entry) {
    if (!this.body || !this.body.isConnected || entry < 1 || entry > this.count) return;
    this.marked = entry;
    window.scrollTo(0, this.body.getBoundingClientRect().top + window.scrollY +
                           (entry - 1) * this.rowHeight - this.head.getBoundingClientRect().height -
                           this.controlsHeight());
    this.draw(true);
  },
  keep: function(rows) {
    var parts = rows.split('\n');
    parts.pop();
    for (var i = 0; i < parts.length; ++i) this.rows.push(parts[i]);
  },
  add: function(generation, rows) {
    if (generation != this.generation || !this.body || !this.body.isConnected) return [false];
    this.keep(rows);
    if (this.drawn.last < this.drawn.wanted || !this.rowHeight) this.draw(true);
    return [true];
  }
};
