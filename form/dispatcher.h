// The event dispatcher: the page-side work of every event (bound variables,
// label clicks, access keys, link highlighting, help popups, the cursor flag)
// before the application acts on it.
#pragma once

#include <optional>
#include <string>

#include "form/event_text.h"

struct HelpText {
  std::string id;    // empty: the end of the table
  std::string text;  // HTML, or "|width|" followed by HTML
};

// Installs the application's help texts; null stands for an empty table.
void SetHelpTexts(const HelpText* table);
// The help popup of an element (first exact match of its id), or nothing.
std::optional<HelpPopup> FindHelpText(const std::string& id);

// The head of every help popup page.
extern const char* const kPopupPageHead;

// Does the page-side work of an event on the main window's page and gives its
// subject: the id it concerns, "!" and the id for a disabled control, or empty
// when the event was consumed. A failed page operation throws CVexc.
std::string DispatchEvent(const std::string& eventText);
