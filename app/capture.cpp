#include "app/capture.h"

#include "app/desktop.h"
#include "form/dom.h"
#include "infotable/conversion.h"

namespace {

// Rows shown at once; the rest follow once the page has painted them, since
// laying out a large table takes the browser seconds.
constexpr int kFirstScreenRows = 100;

}  // namespace

void ShowPreview(const std::string& status, const std::string& table) {
  static const std::string kRowStart = "<TR><TD", kTableEnd = "</TABLE>";
  size_t cut = 0;
  for (int row = 0; row <= kFirstScreenRows && cut != std::string::npos; ++row)
    cut = table.find(kRowStart, cut + 1);
  if (cut == std::string::npos) {
    ReplaceElementContent("idMsg", status + table);
    return;
  }
  ReplaceElementContent("idMsg", status + table.substr(0, cut) + kTableEnd);
  AppendTableRowsLater("idMsg", table.substr(cut, table.size() - cut - kTableEnd.size()));
}

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
    const std::string path = state.filingFolder.empty() ? "" : state.filingFolder + kOutputFileName;
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
      case ConversionOutcome::kWritten:
        state.entryCount = conversion.entryCount;
        state.valueTotal = conversion.valueTotal;
        ShowPreview(conversion.previewStatus, conversion.previewTable);
        return;
    }
  } catch (const std::bad_alloc&) {
    // Past the conversion the document is complete and the counts are its
    // own; only the page could not be shown.
    std::string().swap(state.clipboardText);
    ShowOutOfMemory();
  }
}
