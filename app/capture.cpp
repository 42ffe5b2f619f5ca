#include "app/capture.h"

#include <utility>

#include "app/desktop.h"
#include "app/preview.h"
#include "form/dom.h"
#include "infotable/conversion.h"
#include "infotable/text_forms.h"

CaptureState& Capture() {
  static CaptureState state;
  return state;
}

void CaptureInfoTable() {
  CaptureState& state = Capture();
  try {
    if (!GetClipboardText(state.clipboardText) && ClipboardHoldsData()) {
      ShowMessage(kClipboardNoTextMessage);
      return;
    }
    if (state.clipboardText.empty()) {
      ShowMessage(kClipboardEmptyMessage);
      return;
    }
    const std::string path = state.filingFolder.empty() ? "" : state.filingFolder + kDocumentFileName;
    Conversion conversion = ConvertInfoTable(state.clipboardText, path);
    // The text is not needed again, and a large one is better given back now.
    std::string().swap(state.clipboardText);
    // The message first, then where and why: the folder and the reason.
    const std::string message =
        EscapeMarkup(conversion.failureMessage) +
        (conversion.failureCause == 0
             ? ""
             : "<br>" + EscapeMarkup(state.filingFolder + ": " + PlainFailureReason(conversion.failureCause) +
                                     "."));
    switch (conversion.outcome) {
      case ConversionOutcome::kNotWritten: ShowMessage(message); return;
      case ConversionOutcome::kWriteFailed:
        state.entryCount = 0;
        state.valueTotal = 0;
        ShowMessage(message);
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
