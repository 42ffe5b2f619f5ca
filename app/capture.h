// The capture driver behind the Capture button: the clipboard's information
// table becomes tev_13f.xml in the filing folder and the preview on the page.
// The conversion runs on a thread of its own, so that the window answers
// while a large table converts. Its state lives for the whole run.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "infotable/edgar_limits.h"

constexpr const char* kClipboardEmptyMessage = "The clipboard is empty.";
constexpr const char* kClipboardNoTextMessage =
    "The clipboard holds no text (an image or other data). Copy the table's rows and capture again.";

struct CaptureState {
  std::string clipboardText;  // the text of a capture being read
  std::string filingFolder;   // ends in "/"; empty until set at start-up
  uint32_t entryCount = 0;    // of the last capture that wrote its document
  uint64_t valueTotal = 0;
};

CaptureState& Capture();

// Starts one capture; `shown` runs once its outcome is on the page. A capture
// that stops before the file is created shows its message and leaves the
// previous file, entry count and value total alone. Asked for while one runs,
// the capture follows when that one is shown, with the clipboard as it is then.
void CaptureInfoTable(std::function<void()> shown);

// Whether a conversion is running.
bool CaptureRunning();

// Waits for a running conversion to finish, as the program ends: its
// document is then complete or never begun.
void FinishCapture();
