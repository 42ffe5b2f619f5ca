#include "app/capture.h"

#include <utility>

#include "app/desktop.h"
#include "app/preview.h"
#include "form/dom.h"
#include "infotable/conversion.h"

CaptureState& Capture() {
  static CaptureState state;
  return state;
}

void CaptureInfoTable() {
  CaptureState& state = Capture();
  try {
    GetClipboardText(state.clipboardText);
    if (state.clipboardText.empty()) {
      ShowMessage(kClipboardEmptyMessage);
      return;
    }
    const std::string path = state.filingFolder.empty() ? "" : state.filingFolder + kDocumentFileName;
    Conversion conversion = ConvertInfoTable(state.clipboardText, path);
    // The text is not needed again, and a large one is better given back now.
    std::string().swap(state.clipboardText);
    switch (conversion.outcome) {
      case ConversionOutcome::kNotWritten: ShowMessage(conversion.failureMessage); return;
      case ConversionOutcome::kWriteFailed:
        state.entryCount = 0;
        state.valueTotal = 0;
        ShowMessage(conversion.failureMessage);
        return;
      case ConversionOutcome::kOutOfMemory:
        state.entryCount = 0;
        state.valueTotal = 0;
        ReplaceElementContent("idMsg", std::string("<font color=red>") + kOutOfMemoryMessage + "</font>");
        ShowOutOfMemory();
        return;
      case ConversionOutcome::kNothingToFile:
        // The previous document stays, and so do the counts that describe it.
        ShowPreview(conversion.previewStatus, std::move(conversion.previewTable));
        PlayExclamation();
        return;
      case ConversionOutcome::kWritten:
        state.entryCount = conversion.entryCount;
        state.valueTotal = conversion.valueTotal;
        ShowPreview(conversion.previewStatus, std::move(conversion.previewTable));
        return;
    }
  } catch (const std::bad_alloc&) {
    // Past the conversion the document is complete and the counts are its
    // own; only the page could not be shown.
    std::string().swap(state.clipboardText);
    ShowOutOfMemory();
  }
}
