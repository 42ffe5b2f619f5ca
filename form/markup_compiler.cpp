#include "form/markup_compiler.h"

#include <vector>

#include "form/page_event.h"

// Delimiters are found with plain byte searches: the page is UTF-8, in which
// no byte of a multibyte character can be a backquote, "|" or "!".

namespace {

std::vector<std::string> SplitItem(const std::string& item) {
  std::vector<std::string> fields;
  size_t start = 0;
  for (size_t bar; (bar = item.find('|', start)) != std::string::npos; start = bar + 1)
    fields.push_back(item.substr(start, bar - start));
  fields.push_back(item.substr(start));
  while (fields.size() < 3) fields.emplace_back();
  return fields;
}

bool IsButtonItem(const std::string& id) {
  return id.size() > 2 && ReadPageEvent(id).event == PageEvent::kButton;
}

std::string BuildButton(const std::vector<std::string>& fields) {
  const std::string& id = fields[0];
  std::string attributes = fields[1];
  std::string label = fields[2];
  const size_t firstMark = label.find('!');
  if (firstMark != std::string::npos && firstMark + 1 < label.size()) {
    const size_t secondMark = label.find('!', firstMark + 1);
    if (secondMark != std::string::npos) {
      const std::string key = label.substr(firstMark + 1, secondMark - firstMark - 1);
      attributes += " accesskey=" + key;
      label = label.substr(0, firstMark) + "<span class=ak>" + key + "</span>" + label.substr(secondMark + 1);
    }
  }
  // An attribute cannot hold "|", the item's separator: "!" stands for it.
  for (char& c : attributes)
    if (c == '!') c = '|';
  if (!attributes.empty() && attributes[0] != ' ') attributes.insert(0, " ");
  return "<BUTTON ID=" + id + " onclick=location='|" + id + "'" + attributes + ">" + label + "</BUTTON>";
}

}  // namespace

void CompileFormMarkup(std::string& page) {
  size_t position = 0;
  for (;;) {
    const size_t open = page.find('`', position);
    if (open == std::string::npos || open + 1 == page.size()) return;
    const size_t close = page.find('`', open + 1);
    if (close == std::string::npos) return;
    const std::vector<std::string> fields = SplitItem(page.substr(open + 1, close - open - 1));
    if (!IsButtonItem(fields[0])) {
      position = close + 1;
      continue;
    }
    const std::string html = BuildButton(fields);
    page.replace(open, close - open + 1, html);
    position = open + html.size();
  }
}
