#include "app/capture.h"

#include <QApplication>
#include <memory>
#include <new>
#include <string>
#include <system_error>
#include <thread>
#include <utility>

#include "app/desktop.h"
#include "app/preview.h"
#include "form/dom.h"
#include "infotable/conversion.h"
#include "infotable/text_forms.h"

namespace {

std::thread converter;
bool running = false;
bool asked = false;  // Capture was pressed again while a conversion ran
std::function<void()> whenShown;

void ShowOutcome(Conversion& conversion) {
  CaptureState& state = Capture();
  // The message first, then where and why: the folder and the reason.
  const std::string message =
      EscapeMarkup(conversion.failureMessage) +
      (conversion.failureCause == 0
           ? ""
           : "<br>" +
                 EscapeMarkup(state.filingFolder + ": " + PlainFailureReason(conversion.failureCause) + "."));
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
}

// On the window's thread, once the conversion is done.
void Converted(const std::shared_ptr<Conversion>& conversion) {
  FinishCapture();
  QApplication::restoreOverrideCursor();
  const std::function<void()> shown = std::move(whenShown);
  try {
    ShowOutcome(*conversion);
  } catch (const std::bad_alloc&) {
    // The document is complete and the counts are its own; only the page
    // could not be shown.
    ShowOutOfMemory();
  } catch (const CException&) {
    // The page is gone; its restart shows the counts.
    asked = false;
    return;
  }
  if (shown) shown();
  if (asked) {
    asked = false;
    CaptureInfoTable(shown);
  }
}

}  // namespace

CaptureState& Capture() {
  static CaptureState state;
  return state;
}

bool CaptureRunning() { return running; }

void FinishCapture() {
  if (converter.joinable()) converter.join();
  running = false;
}

void CaptureInfoTable(std::function<void()> shown) {
  if (running) {
    asked = true;
    return;
  }
  CaptureState& state = Capture();
  if (!GetClipboardText(state.clipboardText) && ClipboardHoldsData()) {
    ShowMessage(kClipboardNoTextMessage);
    return;
  }
  if (state.clipboardText.empty()) {
    ShowMessage(kClipboardEmptyMessage);
    return;
  }
  const std::string path = state.filingFolder.empty() ? "" : state.filingFolder + kDocumentFileName;
  running = true;
  whenShown = std::move(shown);
  QApplication::setOverrideCursor(Qt::WaitCursor);
  auto convert = [conversion = std::make_shared<Conversion>(), text = std::move(state.clipboardText),
                  path]() mutable {
    // Memory running out is an outcome of its own, never an exception.
    *conversion = ConvertInfoTable(text, path);
    // The text is not needed again, and a large one is better given back now.
    std::string().swap(text);
    QMetaObject::invokeMethod(
        qApp, [conversion] { Converted(conversion); }, Qt::QueuedConnection);
  };
  const auto work = std::make_shared<decltype(convert)>(std::move(convert));
  try {
    converter = std::thread([work] { (*work)(); });
  } catch (const std::system_error&) {
    // No thread to be had: the window waits for the conversion instead.
    (*work)();
  }
  state.clipboardText.clear();
}
