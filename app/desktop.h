// The small services through which the program talks to the user and the
// desktop: the message line with its exclamation sound, plain text on the
// clipboard, and the user's documents folder. Texts are UTF-8.
#pragma once

#include <QByteArray>
#include <functional>
#include <optional>
#include <string>

#include "form/page_host.h"

// Shows `text` (HTML, not escaped) in red on the window's message line,
// and `note` (HTML) under it in the page's own colour, and plays the
// exclamation sound. A page failure (PageOperationFailed) passes to the caller.
void ShowMessage(PageHost& window, const std::string& text, const std::string& note = "");

constexpr const char* kOutOfMemoryMessage = "Out of Memory!";

// The message box "Out of Memory!", titled "Error". The program goes on.
void ShowOutOfMemory();

// The desktop's "dialog-warning" sound, or its beep when that cannot be played.
void PlayExclamation();
// How many exclamation sounds the program has played.
int ExclamationsPlayed();

// The clipboard's plain text; nothing when it holds no text.
std::optional<std::string> ClipboardText();
// The same as UTF-8 in the converter's own buffer: a copy of a large table is
// converted once and not copied again.
std::optional<QByteArray> ClipboardBytes();
void PutClipboardText(const std::string& text);
// Whether the clipboard holds anything at all, text or not.
bool ClipboardHoldsData();

// Opens `target` (an address or a folder) with the desktop's opener,
// xdg-open, working in `folder` (the home folder when that is gone). Its
// answer comes later: `failed` is then told why it could not, in words for
// the filer. The opener is never ended by this program, which may end
// first, so it has no parent.
void OpenWithDesktop(const std::string& target, const std::string& folder,
                     std::function<void(const std::string& reason)> failed);

// The user's documents folder: the XDG documents folder, else the home folder,
// each only when it exists; else "/".
std::string DocumentsFolder();

// Where the filing's details are kept: form13f/filing.toml in the user's
// configuration folder (XDG_CONFIG_HOME, else ~/.config).
std::string FilingDetailsPath();
