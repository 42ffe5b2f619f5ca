// The page access layer: every read and write of a page goes through these
// operations. Each one runs as one synchronous script on the page and throws
// PageOperationFailed when the page has no document or no element has the
// id. Texts are UTF-8 on this side.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "form/page_host.h"

// The element's text as it shows, line breaks where the page breaks lines;
// the text of the element `leaveOut` inside it, if any, is left out.
std::string GetElementText(PageHost& window, const std::string& id, const std::string& leaveOut = "");

// Replaces everything between the element's opening and closing tags; the
// element keeps its opening tag, id and attributes.
void ReplaceElementContent(PageHost& window, const std::string& id, const std::string& html);

// A UTF-8 text as a JavaScript string literal, in UTF-8.
std::string ScriptLiteral(std::string_view text);
// Runs a script that ends in an array holding its result, and waits for it.
// Throws PageOperationFailed when it fails or gives no array.
void RunPageScript(PageHost& window, const std::string& script);
// Sends a script without waiting; `done` learns later whether it gave a result.
void RunPageScriptLater(PageHost& window, const std::string& script, std::function<void(bool)> done);
// Sends a script that ends in an array holding a number, without waiting;
// `done` receives the number later, or none when the script gave no number.
void RunPageScriptForNumber(PageHost& window, const std::string& script,
                            std::function<void(std::optional<long long>)> done);

// Operations of the host's input filter. Input must never wait for the page,
// so these send their script and return at once; a callback, when given,
// receives the outcome later from the event loop.
// Empties the document's selection unless it lies in a text field.
void RestrictSelection(PageHost& window);
// Underlines and colours the access-key letters (the first rule of the first
// style sheet); `done` learns whether that rule could be reached.
void SetAccessKeyHighlight(PageHost& window, bool on, std::function<void(bool)> done);

// True while an operation waits for its script; a second wait then would
// never see its result, so callers that may run meanwhile must not start one.
bool ScriptWaitActive();
