#include "form/dom.h"

#include <QEventLoop>
#include <QPointer>
#include <QTimer>
#include <QVariant>
#include <QWebEnginePage>
#include <memory>

namespace {

// The main window, which the design makes reachable from everywhere.
PageHost* mainHost = nullptr;
// Scripts awaited in nested event loops: the one thread's, for every window
// alike, since a second wait inside a first would never see its answer.
int waitDepth = 0;

constexpr int kScriptTimeoutMs = 10000;
// Writing a large preview parses megabytes of HTML in one script.
constexpr int kLargeScriptTimeoutMs = 120000;

QString Literal(const std::string& text) { return QString::fromStdString(ScriptLiteral(text)); }
QString Literal(const char* text) { return Literal(std::string(text)); }

struct ScriptState {
  bool done = false;
  QVariant result;
  QEventLoop* loop = nullptr;
};

// Runs a script and waits for its result without taking user input. A script
// answers with an array holding its result, or null when it failed.
QVariant RunScript(PageHost& window, const QString& script, int timeoutMs = kScriptTimeoutMs) {
  QPointer<QWebEnginePage> page = window.Page();
  if (!page || waitDepth > 0 || window.navigationPending) throw CVexc();
  auto state = std::make_shared<ScriptState>();
  page->runJavaScript(script, [state](const QVariant& result) {
    state->result = result;
    state->done = true;
    if (state->loop) state->loop->quit();
  });
  if (!state->done) {
    QEventLoop loop;
    QTimer timeout;
    timeout.setSingleShot(true);
    QObject::connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);
    timeout.start(timeoutMs);
    state->loop = &loop;
    ++waitDepth;
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    --waitDepth;
    state->loop = nullptr;
  }
  if (!state->done || state->result.typeId() != QMetaType::QVariantList) throw CVexc();
  const QVariantList list = state->result.toList();
  if (list.isEmpty()) throw CVexc();
  return list.front();
}

// Sends a script without waiting; `done` gets its result, or an invalid
// value when it failed.
void RunScriptLater(PageHost& window, const QString& script, std::function<void(const QVariant&)> done) {
  QWebEnginePage* page = window.Page();
  if (!page) {
    if (done) done(QVariant());
    return;
  }
  page->runJavaScript(script, [done](const QVariant& result) {
    if (!done) return;
    const QVariantList list = result.toList();
    done(result.typeId() == QMetaType::QVariantList && !list.isEmpty() ? list.front() : QVariant());
  });
}

const char* TagOf(ElementKind kind) {
  switch (kind) {
    case ElementKind::kInput: return "INPUT";
    case ElementKind::kTextArea: return "TEXTAREA";
    case ElementKind::kSelect: return "SELECT";
    case ElementKind::kButton: return "BUTTON";
  }
  return "";
}

// Runs `body` with `e` bound to the element of `id`, which must have `tag`
// (any element when tag is null). The body returns [result].
QVariant OnElement(PageHost& window, const std::string& id, const char* tag, const QString& body,
                   int timeoutMs = kScriptTimeoutMs) {
  QString script = "(function(){var e=document.getElementById(" + Literal(id) + ");if(!e)return null;";
  if (tag) script += "if(e.tagName!=" + Literal(tag) + ")return null;";
  return RunScript(window, script + body + "})()", timeoutMs);
}

QVariant OnElement(PageHost& window, const std::string& id, ElementKind kind, const QString& body) {
  return OnElement(window, id, TagOf(kind), body);
}

std::string Text(const QVariant& value) { return value.toString().toStdString(); }

template <typename Operation>
auto Optional(Operation operation) -> std::optional<decltype(operation())> {
  try {
    return operation();
  } catch (const CException&) {
    return std::nullopt;
  }
}

}  // namespace

PageHost* MainPageHost() { return mainHost; }
void SetMainPageHost(PageHost* host) { mainHost = host; }
bool ScriptWaitActive() { return waitDepth > 0; }

bool GetAttributeText(PageHost& window, const std::string& id, const std::string& name, std::string* text) {
  const QVariant value = OnElement(
      window, id, nullptr, "var v=e.getAttribute(" + Literal(name) + ");return [typeof v=='string'?[v]:[]];");
  const QVariantList found = value.toList();
  if (found.isEmpty()) return false;
  if (text) *text = Text(found.front());
  return true;
}

std::string GetElementAttribute(PageHost& window, const std::string& id, const std::string& name) {
  std::string text;
  GetAttributeText(window, id, name, &text);
  return text;
}

std::string GetElementText(PageHost& window, const std::string& id) {
  return Text(OnElement(window, id, nullptr, "return [e.innerText];"));
}

std::vector<std::optional<std::string>> GetNamedElements(PageHost& window, const std::string& name) {
  const QVariant value = RunScript(
      window, "(function(){var r=[];var l=document.getElementsByName(" + Literal(name) +
                  ");for(var i=0;i<l.length;i++){var e=l[i];var id=e.nodeType==1?e.getAttribute('id'):null;"
                  "r.push(typeof id=='string'?[id]:[]);}return [r];})()");
  std::vector<std::optional<std::string>> ids;
  for (const QVariant& item : value.toList()) {
    const QVariantList id = item.toList();
    ids.push_back(id.isEmpty() ? std::nullopt : std::optional<std::string>(Text(id.front())));
  }
  return ids;
}

void ReplaceElementContent(const std::string& id, const std::string& html) {
  if (!mainHost) throw CVexc();
  OnElement(*mainHost, id, nullptr,
            "var o=e.outerHTML;if(typeof o!='string')return null;"
            "var a=o.indexOf('>');var open=a<0?'':o.substring(0,a+1);"
            "var b=o.lastIndexOf('<');var close=b<0?o:o.substring(b);"
            "try{e.outerHTML=open+" +
                Literal(html) + "+close;}catch(x){}return [true];",
            kLargeScriptTimeoutMs);
}

std::string ScriptLiteral(std::string_view text) {
  static const char kHex[] = "0123456789abcdef";
  std::string literal;
  literal.reserve(text.size() + text.size() / 8 + 2);
  literal += '"';
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '"' || c == '\\') {
      literal += '\\';
      literal += static_cast<char>(c);
    } else if (c == '\t' || c == '\n' || c == '\r') {
      // Short forms: the preview's rows are full of tabs and line ends.
      literal += '\\';
      literal += c == '\t' ? 't' : c == '\n' ? 'n' : 'r';
    } else if (c < 0x20) {
      literal += "\\u00";
      literal += kHex[c >> 4];
      literal += kHex[c & 15];
    } else if (c == 0xE2 && i + 2 < text.size() && static_cast<unsigned char>(text[i + 1]) == 0x80 &&
               (static_cast<unsigned char>(text[i + 2]) | 1) == 0xA9) {
      // U+2028 and U+2029 end a line inside a JavaScript string.
      literal += static_cast<unsigned char>(text[i + 2]) == 0xA8 ? "\\u2028" : "\\u2029";
      i += 2;
    } else {
      literal += static_cast<char>(c);
    }
  }
  literal += '"';
  return literal;
}

void RunPageScript(PageHost& window, const std::string& script) {
  RunScript(window, QString::fromStdString(script), kLargeScriptTimeoutMs);
}

void RunPageScriptLater(PageHost& window, const std::string& script, std::function<void(bool)> done) {
  RunScriptLater(window, QString::fromStdString(script), [done](const QVariant& result) {
    if (done) done(result.isValid());
  });
}

void SetStyleProperty(PageHost& window, const std::string& id, const std::string& property,
                      const std::string& value) {
  OnElement(window, id, nullptr,
            "try{e.style[" + Literal(property) + "]=" + Literal(value) + ";}catch(x){}return [true];");
}

void ClearBackgroundColor(PageHost& window, const std::string& id) {
  OnElement(window, id, nullptr, "e.style.removeProperty('background-color');return [true];");
}

void FocusElement(PageHost& window, const std::string& id) {
  OnElement(window, id, nullptr, "if(e.focus)e.focus();return [true];");
}

void ClickElement(PageHost& window, const std::string& id) {
  OnElement(window, id, nullptr, "if(e.click)e.click();return [true];");
}

void SelectInputText(PageHost& window, const std::string& id) {
  OnElement(window, id, ElementKind::kInput, "try{e.select();}catch(x){}return [true];");
}

void SelectTextAreaText(PageHost& window, const std::string& id) {
  OnElement(window, id, ElementKind::kTextArea, "e.select();return [true];");
}

bool GetChecked(PageHost& window, const std::string& id) {
  return OnElement(window, id, ElementKind::kInput, "return [e.checked===true];").toBool();
}

void SetChecked(PageHost& window, const std::string& id, bool checked) {
  OnElement(window, id, ElementKind::kInput,
            QString("e.checked=") + (checked ? "true" : "false") + ";return [true];");
}

std::string GetInputValue(PageHost& window, const std::string& id) {
  return Text(OnElement(window, id, ElementKind::kInput, "return [String(e.value)];"));
}

void SetInputValue(PageHost& window, const std::string& id, const std::string& value) {
  OnElement(window, id, ElementKind::kInput, "try{e.value=" + Literal(value) + ";}catch(x){}return [true];");
}

std::string GetTextAreaValue(PageHost& window, const std::string& id) {
  return Text(OnElement(window, id, ElementKind::kTextArea, "return [String(e.value)];"));
}

void SetTextAreaValue(PageHost& window, const std::string& id, const std::string& value) {
  OnElement(window, id, ElementKind::kTextArea, "e.value=" + Literal(value) + ";return [true];");
}

void SetSelectValue(PageHost& window, const std::string& id, const std::string& value) {
  OnElement(window, id, ElementKind::kSelect, "e.value=" + Literal(value) + ";return [true];");
}

void SetSelectedIndex(PageHost& window, const std::string& id, int index) {
  OnElement(window, id, ElementKind::kSelect,
            "e.selectedIndex=" + QString::number(index) + ";return [true];");
}

int GetOptionCount(PageHost& window, const std::string& id) {
  return OnElement(window, id, ElementKind::kSelect, "return [e.length];").toInt();
}

bool GetOption(PageHost& window, const std::string& id, int index, std::string* value) {
  const QVariantList option = OnElement(window, id, ElementKind::kSelect,
                                        "var o=e.options[" + QString::number(index) +
                                            "];if(!o)return null;return [[o.selected,String(o.value)]];")
                                  .toList();
  if (option.size() != 2) throw CVexc();
  if (value) *value = Text(option[1]);
  return option[0].toBool();
}

void SetOptionSelected(PageHost& window, const std::string& id, int index, bool selected) {
  OnElement(window, id, ElementKind::kSelect,
            "var o=e.options[" + QString::number(index) +
                "];if(!o)return null;o.selected=" + (selected ? "true" : "false") + ";return [true];");
}

bool GetDisabled(PageHost& window, const std::string& id, ElementKind kind) {
  return OnElement(window, id, kind, "return [e.disabled===true];").toBool();
}

std::optional<std::string> GetActiveElementId(PageHost& window) {
  return Optional([&] {
    const QVariant id =
        RunScript(window, "(function(){var e=document.activeElement;return e?[e.id||'']:null;})()");
    return Text(id);
  });
}

void FindHelpEventAtPoint(PageHost& window, int x, int y,
                          std::function<void(std::optional<std::string>)> done) {
  RunScriptLater(window,
                 "(function(){var e=document.elementFromPoint(" + QString::number(x) + "," +
                     QString::number(y) +
                     ");for(;e;e=e.parentElement){var v=e.getAttribute('omrd');"
                     "if(typeof v=='string')return [[v]];}return [[]];})()",
                 [done](const QVariant& result) {
                   const QVariantList found = result.toList();
                   done(found.isEmpty() ? std::nullopt : std::optional<std::string>(Text(found.front())));
                 });
}

void RestrictSelection(PageHost& window, const std::vector<std::string>& keepPrefixes) {
  QString prefixes = "[";
  for (const std::string& prefix : keepPrefixes) prefixes += Literal(prefix) + ",";
  prefixes += "]";
  // A selection inside a text box is the box's own; elsewhere it is the document's.
  RunScriptLater(window,
                 "(function(){var s=window.getSelection();if(!s||s.type!='Range')return [true];"
                 "var a=document.activeElement,p=null;"
                 "if(a&&(a.tagName=='INPUT'||a.tagName=='TEXTAREA'))p=a;"
                 "else if(s.rangeCount)p=s.getRangeAt(0).commonAncestorContainer;"
                 "if(p&&p.nodeType!=1)p=p.parentElement;var id=(p&&p.id)||'';"
                 "var keep=" +
                     prefixes +
                     ";for(var i=0;i<keep.length;i++)"
                     "if(id.substring(0,2)==keep[i])return [true];"
                     "s.removeAllRanges();return [true];})()",
                 nullptr);
}

void SetAccessKeyHighlight(PageHost& window, bool on, std::function<void(bool)> done) {
  RunScriptLater(
      window,
      QString("(function(){try{var st=document.styleSheets[0].cssRules[0].style;st.textDecoration='") +
          (on ? "underline" : "") + "';st.color='" + (on ? "#00b000" : "") +
          "';return [true];}catch(x){return [false];}})()",
      [done](const QVariant& result) {
        if (done) done(result.toBool());
      });
}

std::optional<int> GetBodyScrollHeight(PageHost& window) {
  return Optional([&] {
    return RunScript(window, "(function(){var b=document.body;return b?[b.scrollHeight]:null;})()").toInt();
  });
}
