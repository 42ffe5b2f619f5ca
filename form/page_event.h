// The events a page raises, one table for every layer: the compiler wires
// buttons to them, the page's scripts raise them by their codes, the window
// raises help, and the main window acts on them. An event is a navigation to
// the page's base URL followed by "|" and its text: a two-letter code, then
// the event's subject, after a "|" where the subject is an element id.
// Portable: no page needed.
#pragma once

#include <string>
#include <string_view>

enum class PageEvent {
  kUnknown,
  kButton,            // "btCapture": a button pressed; the subject is the rest of its id
  kCopyField,         // "csFf": a copy field clicked; the subject names the field (Ff, Ne, Tot, Url)
  kEnter,             // "ek|idFf": Enter pressed on the focused element, whose id follows
  kHelp,              // "hh|idHelp": the help asked for, by F1 or its link
  kCopyAllMessages,   // "cm|idCopyAll"
  kOpenFilingFolder,  // "of|idOpen"
  kUndoCapture,       // "uc|idUndo": the document the last capture replaced put back
  kFilingDetails,     // "fd|idDetails": the filing's details shown to edit
  kSaveFiling,        // "sf|idSave": the whole filing saved as one submission
  kLastQuarter,       // "lq|idCompare": the table against last quarter's filing shown
  kOpenSpreadsheet,   // "os|idOpenBook": a workbook's table converted, by Ctrl+O or its link
  kShowGroup,         // "sa|3": every line of a group of the status paragraph shown
};

// The two letters that begin an event's text.
std::string_view PageEventCode(PageEvent event);

struct PageEventText {
  PageEvent event = PageEvent::kUnknown;
  std::string subject;
};

// What an event text says; kUnknown for a code not in the table.
PageEventText ReadPageEvent(std::string_view text);

// The text of `event` about `subject`, as the page raises it.
std::string PageEventTextOf(PageEvent event, std::string_view subject);
