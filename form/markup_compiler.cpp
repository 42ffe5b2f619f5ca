#include "form/markup_compiler.h"

#include <initializer_list>
#include <vector>

#include "form/event_text.h"
#include "form/type_code.h"

// Delimiters are found with plain byte searches: the page is UTF-8, in which
// no byte of a multibyte character can be a backquote, "|", "!" or "~".

namespace {

constexpr const char* kHelpTitle = "title='Hold down the mouse right button for more information.'";

void ReplaceAll(std::string& text, char from, const std::string& to) {
  std::string result;
  for (char c : text) {
    if (c == from)
      result += to;
    else
      result += c;
  }
  text.swap(result);
}

std::vector<std::string> SplitItem(const std::string& item) {
  std::vector<std::string> fields;
  size_t start = 0;
  for (size_t bar; (bar = item.find('|', start)) != std::string::npos; start = bar + 1)
    fields.push_back(item.substr(start, bar - start));
  fields.push_back(item.substr(start));
  while (fields.size() < 3) fields.emplace_back();
  return fields;
}

// Builds the HTML of one control; `latestHelp` carries the help attributes of
// the most recent item that asked for help, for later "lq" items.
std::string BuildControl(const std::vector<std::string>& fields, std::string& latestHelp) {
  const std::string& id = fields[0];
  const ControlKind kind = KindOf(id);
  const std::string name = id.substr(2);
  std::string attributes = fields[1];
  std::string label = fields[2];

  if (kind == ControlKind::kMultipleList) attributes = "multiple " + attributes;

  const size_t firstMark = label.find('!');
  if (firstMark != std::string::npos && firstMark + 1 < label.size()) {
    const size_t secondMark = label.find('!', firstMark + 1);
    if (secondMark != std::string::npos) {
      const std::string key = label.substr(firstMark + 1, secondMark - firstMark - 1);
      attributes += " accesskey=" + key;
      if (kind == ControlKind::kLinkSpan || kind == ControlKind::kClickSpan)
        attributes += " tabindex=-1 onfocus=blur();location='|ak|" + id + "'";
      label = label.substr(0, firstMark) + "<span class=ak>" + key + "</span>" + label.substr(secondMark + 1);
    }
  }

  for (char& c : attributes)
    if (c == '!') c = '|';

  if (!label.empty() && HoldsValue(kind)) {
    std::string span = " id=cp" + name;
    if (label.back() == '~') {
      label.erase(label.find('~'));
      span += kind == ControlKind::kTextBox ? " style=height:14px;margin-right:2px"
                                            : " style=height:15px;margin-right:2px";
    }
    // The backquote holds the place of the help attributes until it is known
    // whether the control has any.
    label = "<SPAN" + span + " tabindex=-1 onclick=location='|cp|" + id + "'`>" + label + "</SPAN>";
  }

  const bool hasHelp = attributes.find('~') != std::string::npos;
  if (hasHelp) {
    latestHelp = HelpAttributes(id);
    ReplaceAll(label, '`', latestHelp);
    ReplaceAll(attributes, '~', latestHelp);
  } else {
    ReplaceAll(label, '`', "");
  }

  if (!attributes.empty() && attributes[0] != ' ') attributes.insert(0, " ");
  const std::string mouseTitle =
      hasHelp ? std::string(" onmousedown=title='' onmouseup=\"") + kHelpTitle + "\"" : "";

  if (kind == ControlKind::kTextBox)
    return label + "<INPUT CLASS=tx TYPE=text ID=" + id + " onblur=location='|" + id + "'" + attributes + ">";
  if (kind == ControlKind::kTextArea)
    return label + "<TEXTAREA ID=" + id + " onblur=location='|" + id + "'" + attributes + ">" +
           (fields.size() >= 4 ? fields[3] : "") + "</TEXTAREA>";
  if (kind == ControlKind::kCheckBox)
    return "<INPUT CLASS=ck TYPE=checkbox ID=" + id + " onclick=location='|" + id + "|'+checked" +
           attributes + ">" + label;
  if (kind == ControlKind::kRadioButton)
    return "<INPUT CLASS=rb TYPE=radio ID=" + id + " onclick=location='|" + id + "'" + attributes + ">" +
           label;
  if (IsList(kind))
    return label + "<SELECT ID=" + id + " onchange=location='|" + id + "|'+value" + attributes + ">";
  if (kind == ControlKind::kButton)
    return "<BUTTON ID=" + id + " onclick=location='|" + id + "'" + attributes + ">" + label + "</BUTTON>";
  if (kind == ControlKind::kTextSpan) return "<SPAN ID=" + id + attributes + ">" + label + "</SPAN>";
  if (kind == ControlKind::kClickSpan)
    return "<SPAN CLASS=sh ID=" + id + mouseTitle + " onclick=location='|cl|" + id + "'" + attributes + ">" +
           label + "</SPAN>";
  if (kind == ControlKind::kLinkSpan)
    return "<SPAN CLASS=sk ID=" + id + " onmouseover=location='|me|" + id + "' onmouseout=location='|mx|" +
           id + "'" + mouseTitle + " onclick=location='|cl|" + id + "'" + attributes + ">" + label +
           "</SPAN>";
  if (kind == ControlKind::kSpacer) return "<span style=width:" + name + "px></span>";
  return latestHelp;  // lq
}

}  // namespace

std::string HelpAttributes(const std::string& id) { return std::string(" ") + kHelpTitle + " omrd=qh|" + id; }

void CompileFormMarkup(std::string& page) {
  std::string latestHelp;
  size_t position = 0;
  for (;;) {
    const size_t open = page.find('`', position);
    if (open == std::string::npos || open + 1 == page.size()) return;
    const size_t close = page.find('`', open + 1);
    if (close == std::string::npos) return;
    const std::vector<std::string> fields = SplitItem(page.substr(open + 1, close - open - 1));
    if (fields[0].size() < 2 || KindOf(fields[0]) == ControlKind::kNone) {
      position = close + 1;
      continue;
    }
    const std::string html = BuildControl(fields, latestHelp);
    page.replace(open, close - open + 1, html);
    position = open + html.size();
  }
}
