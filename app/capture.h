// The capture driver behind the Capture button: the clipboard's information
// table becomes tev_13f.xml in the filing folder and the preview on the page.
// Its state lives for the whole run.
#pragma once

#include <cstdint>
#include <string>

#include "infotable/edgar_limits.h"

constexpr const char* kClipboardEmptyMessage = "The clipboard is empty.";
constexpr const char* kClipboardNoTextMessage =
    "The clipboard holds no text (an image or other data). Copy the table's rows and capture again.";

struct CaptureState {
  std::string clipboardText;  // the last capture's text
  std::string filingFolder;   // ends in "/"; empty until set at start-up
  uint32_t entryCount = 0;    // of the last capture that wrote its document
  uint64_t valueTotal = 0;
};

CaptureState& Capture();

// Runs one capture. A capture that stops before the file is created shows its
// message and leaves the previous file, entry count and value total alone.
void CaptureInfoTable();
