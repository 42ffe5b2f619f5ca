// Controls on a compiled page mirror application variables. The application
// supplies the binding table (control id and variable, ended by an entry with
// an empty id); the control's type code, the first two letters of its id,
// decides the variable's layout and the element it is read from.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <variant>

// A zero-terminated text of fixed size owned by the application.
struct CharBuffer {
  char* data = nullptr;
  size_t size = 0;  // bytes, the terminating zero included
};

// "ck", "rb", "sl": a byte; "tx", "ta", "st", "mt": a string; "tc", "sc": a buffer.
using BoundVariable = std::variant<std::monostate, uint8_t*, std::string*, CharBuffer>;

struct ControlBinding {
  std::string id;  // empty: the end of the table
  BoundVariable variable;
};

// Installs the application's table; null stands for an empty one.
void SetControlBindings(const ControlBinding* table);
// The binding of a control id (first exact match), or null.
const ControlBinding* FindBinding(const std::string& id);

// Writes every bound variable into its control on the main page; a control
// that cannot be written (its id is not on the page) is skipped.
void ApplyBindings();
// The value of a "tx", "tc" or "ta" control after its trim rule; a trimmed
// value is written back so that the page shows it.
std::string ReadTextControl(const std::string& id);
// Selects exactly the options named in "|a|b|"; a leading "-" inverts the set.
void SetMultiSelection(const std::string& id, const std::string& valueSet);
// The set of a multiple-selection list's selected options, as "|a|b|".
std::string ReadMultiSelection(const std::string& id);
bool IsControlDisabled(const std::string& id);
// Focuses a control; a text control's whole text is selected.
void FocusControl(const std::string& id);
// Tells every other radio button of the group (same "name") that it is no
// longer selected: one nested call of the main window's event handler each.
void NotifyRadioGroup(const std::string& id);

// Stores a text into a string or buffer variable.
void StoreText(const BoundVariable& variable, const std::string& text);
// The text a string or buffer variable holds.
std::string LoadText(const BoundVariable& variable);
