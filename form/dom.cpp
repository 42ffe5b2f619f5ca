#include "form/dom.h"

#include <QEventLoop>
#include <QPointer>
#include <QTimer>
#include <QVariant>
#include <QWebEnginePage>
#include <memory>
#include <optional>

namespace {

// Scripts awaited in nested event loops: the one thread's, for every window
// alike, since a second wait inside a first would never see its answer.
int waitDepth = 0;

constexpr int kScriptTimeoutMs = 10000;
// Writing a large preview parses megabytes of HTML in one script.
constexpr int kLargeScriptTimeoutMs = 120000;

QString Literal(const std::string& text) { return QString::fromStdString(ScriptLiteral(text)); }

struct ScriptState {
  bool done = false;
  QVariant result;
  QEventLoop* loop = nullptr;
};

// Runs a script and waits for its result without taking user input. A script
// answers with an array holding its result, or null when it failed; nothing
// when it failed or could not be run.
std::optional<QVariant> TryScript(PageHost& window, const QString& script, int timeoutMs) {
  QPointer<QWebEnginePage> page = window.Page();
  if (!page || waitDepth > 0 || window.navigationPending) return std::nullopt;
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
  if (!state->done || state->result.typeId() != QMetaType::QVariantList) return std::nullopt;
  const QVariantList list = state->result.toList();
  if (list.isEmpty()) return std::nullopt;
  return list.front();
}

QVariant RunScript(PageHost& window, const QString& script, int timeoutMs = kScriptTimeoutMs) {
  std::optional<QVariant> result = TryScript(window, script, timeoutMs);
  if (!result) throw PageOperationFailed();
  return *result;
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

// Runs `body` with `e` bound to the element of `id`. The body returns [result].
QVariant OnElement(PageHost& window, const std::string& id, const QString& body,
                   int timeoutMs = kScriptTimeoutMs) {
  return RunScript(window,
                   "(function(){var e=document.getElementById(" + Literal(id) + ");if(!e)return null;" + body +
                       "})()",
                   timeoutMs);
}

std::string Text(const QVariant& value) { return value.toString().toStdString(); }

}  // namespace

bool ScriptWaitActive() { return waitDepth > 0; }

std::string GetElementText(PageHost& window, const std::string& id, const std::string& leaveOut) {
  // Hidden for the reading, within the one script: nothing is drawn meanwhile.
  return Text(OnElement(window, id,
                        "var o=document.getElementById(" + Literal(leaveOut) +
                            "),d=o&&e.contains(o)?o.style.display:null;if(d!==null)o.style.display='none';"
                            "var t=e.innerText;if(d!==null)o.style.display=d;return [t];"));
}

void ReplaceElementContent(PageHost& window, const std::string& id, const std::string& html) {
  OnElement(window, id,
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

void RunPageScriptForNumber(PageHost& window, const std::string& script,
                            std::function<void(std::optional<long long>)> done) {
  RunScriptLater(window, QString::fromStdString(script), [done](const QVariant& result) {
    bool number = false;
    const long long value = result.toLongLong(&number);
    if (done) done(number ? std::optional<long long>(value) : std::nullopt);
  });
}

void RestrictSelection(PageHost& window) {
  // A selection inside a text field is the field's own; elsewhere it is the document's.
  RunScriptLater(window,
                 "(function(){var s=window.getSelection();if(!s||s.type!='Range')return [true];"
                 "var a=document.activeElement;if(a&&(a.tagName=='INPUT'||a.tagName=='TEXTAREA'))return [true];"
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

