#include "app/program_lifetime.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QSettings>
#include <algorithm>

#include "app/main_window.h"
#include "app/single_instance.h"
#include "form/page.h"

namespace {

MainWindow* programWindow = nullptr;

constexpr const char* kGeometryKey = "window/geometry";

// The size and place the window had when the program last ended, kept to
// the screen it is on now: a screen that is gone or scaled since leaves a
// window that fits.
void RestoreGeometry(MainWindow& window) {
  const QByteArray saved = QSettings("form13f", "form13f").value(kGeometryKey).toByteArray();
  if (!saved.isEmpty()) window.restoreGeometry(saved);
  const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect room = screen->availableGeometry();
  const QSize frame = window.frameGeometry().size() - window.geometry().size();
  window.resize(std::min(window.width(), room.width() - frame.width()),
                std::min(window.height(), room.height() - frame.height()));
  const QRect frameRect = window.frameGeometry();
  window.move(std::clamp(frameRect.x(), room.left(), std::max(room.left(), room.right() + 1 - frameRect.width())),
              std::clamp(frameRect.y(), room.top(), std::max(room.top(), room.bottom() + 1 - frameRect.height())));
}

}  // namespace

bool StartProgram() {
  if (!ClaimSingleInstance()) return false;
  auto* window = new MainWindow(BuildMainPage());
  if (!window->PageLoaded()) {
    delete window;
    QMessageBox::critical(nullptr, QString(), kStartFailedMessage);
    return false;
  }
  RaiseOnLaterStarts(window);
  RestoreGeometry(*window);
  programWindow = window;
  try {
    window->SetUpPage();
    window->ShowDocumentInFolder();
  } catch (const PageOperationFailed&) {
    // The page stopped as it was set up: its restart sets it up again.
  }
  window->show();
  return true;
}

int EndProgram() {
  if (programWindow) programWindow->capture.Finish();
  ReleaseSingleInstance();
  if (MainWindow* window = programWindow) {
    QSettings("form13f", "form13f").setValue(kGeometryKey, window->saveGeometry());
    window->pageReady = false;
    programWindow = nullptr;
    delete window;
  }
  return 0;
}

MainWindow* ProgramWindow() { return programWindow; }
