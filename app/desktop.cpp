#include "app/desktop.h"

#include <canberra.h>

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QMimeData>
#include <QStandardPaths>

#include "form/dom.h"

namespace {

int exclamations = 0;

bool PlayEventSound(const char* eventId) {
  static ca_context* context = nullptr;
  if (!context && ca_context_create(&context) != CA_SUCCESS) {
    context = nullptr;
    return false;
  }
  return ca_context_play(context, 0, CA_PROP_EVENT_ID, eventId, nullptr) == CA_SUCCESS;
}

bool IsFolder(const QString& path) { return !path.isEmpty() && QFileInfo(path).isDir(); }

}  // namespace

void ShowMessage(PageHost& window, const std::string& text, const std::string& note) {
  ReplaceElementContent(window, "idMsg", "<font color=red>" + text + "</font>" + (note.empty() ? "" : "<br>" + note));
  PlayExclamation();
}

void ShowOutOfMemory() { QMessageBox::critical(QApplication::activeWindow(), "Error", kOutOfMemoryMessage); }

void PlayExclamation() {
  ++exclamations;
  if (!PlayEventSound("dialog-warning")) QApplication::beep();
}

int ExclamationsPlayed() { return exclamations; }

std::optional<QByteArray> ClipboardBytes() {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  if (!data || !data->hasText()) return std::nullopt;
  return data->text().toUtf8();
}

std::optional<std::string> ClipboardText() {
  const std::optional<QByteArray> utf8 = ClipboardBytes();
  if (!utf8) return std::nullopt;
  return std::string(utf8->constData(), static_cast<size_t>(utf8->size()));
}

bool ClipboardHoldsData() {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  return data && !data->formats().isEmpty();
}

void PutClipboardText(const std::string& text) { QGuiApplication::clipboard()->setText(QString::fromStdString(text)); }

std::string DocumentsFolder() {
  for (const QString& folder :
       {QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation), qEnvironmentVariable("HOME")})
    if (IsFolder(folder)) return QDir::cleanPath(folder).toStdString();
  return "/";
}

std::string FilingDetailsPath() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation).toStdString() +
         "/form13f/filing.toml";
}

void OpenWithDesktop(const std::string& target, const std::string& folder,
                     std::function<void(const std::string& reason)> failed) {
  auto* opener = new QProcess;
  const QString working = QString::fromStdString(folder);
  opener->setWorkingDirectory(QFileInfo(working).isDir() ? working : QDir::homePath());
  QObject::connect(opener, &QProcess::finished, [opener, failed](int code, QProcess::ExitStatus status) {
    // xdg-open's own statuses: 3, no program for it; 4, that program failed.
    if (status != QProcess::NormalExit)
      failed("the desktop's opener, xdg-open, stopped");
    else if (code == 3)
      failed("no program to open it is installed");
    else if (code != 0)
      failed("the program that opens it failed (xdg-open gave status " + std::to_string(code) + ")");
    opener->deleteLater();
  });
  QObject::connect(opener, &QProcess::errorOccurred, [opener, failed](QProcess::ProcessError error) {
    if (error != QProcess::FailedToStart) return;
    failed("the desktop's opener, xdg-open, is not installed");
    opener->deleteLater();
  });
  opener->start("xdg-open", {QString::fromStdString(target)});
}
