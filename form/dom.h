// The DOM access layer: every read and write of a page goes through these
// operations. Each one looks its element up again by id and runs as one
// synchronous script on the page; it throws CVexc when the page has no
// document, no element has the id, or the element is of the wrong kind.
// Texts are UTF-8 on this side.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "form/page_host.h"

enum class ElementKind { kInput, kTextArea, kSelect, kButton };

// Empty when the element has no such attribute.
std::string GetElementAttribute(PageHost& window, const std::string& id, const std::string& name);
// The element's text as it shows, line breaks where the page breaks lines.
std::string GetElementText(PageHost& window, const std::string& id);
// Whether the attribute is present (as a string), and its text.
bool GetAttributeText(PageHost& window, const std::string& id, const std::string& name, std::string* text);
// The ids of the document's elements with that name, in document order; an
// item that is not an element or has no id is nullopt.
std::vector<std::optional<std::string>> GetNamedElements(PageHost& window, const std::string& name);

// Replaces everything between the element's opening and closing tags on the
// main window's page; the element keeps its opening tag, id and attributes.
void ReplaceElementContent(const std::string& id, const std::string& html);

// A UTF-8 text as a JavaScript string literal, in UTF-8.
std::string ScriptLiteral(std::string_view text);
// Runs a script that ends in an array holding its result, and waits for it.
// Throws CVexc when it fails or gives no array.
void RunPageScript(PageHost& window, const std::string& script);
// Sends a script without waiting; `done` learns later whether it gave a result.
void RunPageScriptLater(PageHost& window, const std::string& script, std::function<void(bool)> done);

void SetStyleProperty(PageHost& window, const std::string& id, const std::string& property,
                      const std::string& value);
void ClearBackgroundColor(PageHost& window, const std::string& id);
void FocusElement(PageHost& window, const std::string& id);
void ClickElement(PageHost& window, const std::string& id);
void SelectInputText(PageHost& window, const std::string& id);
void SelectTextAreaText(PageHost& window, const std::string& id);
bool GetChecked(PageHost& window, const std::string& id);
void SetChecked(PageHost& window, const std::string& id, bool checked);
std::string GetInputValue(PageHost& window, const std::string& id);
void SetInputValue(PageHost& window, const std::string& id, const std::string& value);
std::string GetTextAreaValue(PageHost& window, const std::string& id);
void SetTextAreaValue(PageHost& window, const std::string& id, const std::string& value);
void SetSelectValue(PageHost& window, const std::string& id, const std::string& value);
void SetSelectedIndex(PageHost& window, const std::string& id, int index);
int GetOptionCount(PageHost& window, const std::string& id);
// The option's selected state; its value too when `value` is given. Throws
// CVexc when the index has no option.
bool GetOption(PageHost& window, const std::string& id, int index, std::string* value);
void SetOptionSelected(PageHost& window, const std::string& id, int index, bool selected);
bool GetDisabled(PageHost& window, const std::string& id, ElementKind kind);
// The id of the element that has the focus ("" for one without an id).
std::optional<std::string> GetActiveElementId(PageHost& window);

// Operations of the host's input filter. Input must never wait for the page,
// so these send their script and return at once; a callback, when given,
// receives the outcome later from the event loop.
// The "omrd" text of the element at a page point or of its nearest ancestor
// that has one; nullopt when there is none or the page could not be asked.
void FindHelpEventAtPoint(PageHost& window, int x, int y,
                          std::function<void(std::optional<std::string>)> done);
// Empties the document's selection unless it lies in a text control whose id
// starts with one of `keepPrefixes`.
void RestrictSelection(PageHost& window, const std::vector<std::string>& keepPrefixes);
// Underlines and colours the access-key letters (the first rule of the first
// style sheet); `done` learns whether that rule could be reached.
void SetAccessKeyHighlight(PageHost& window, bool on, std::function<void(bool)> done);
std::optional<int> GetBodyScrollHeight(PageHost& window);

// True while an operation waits for its script; a second wait then would
// never see its result, so callers that may run meanwhile must not start one.
bool ScriptWaitActive();
