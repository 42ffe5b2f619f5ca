#include "app/desktop.h"

#include <canberra.h>

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
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

void ShowMessage(const std::string& text, const std::string& note) {
  ReplaceElementContent("idMsg", "<font color=red>" + text + "</font>" + (note.empty() ? "" : "<br>" + note));
  PlayExclamation();
}

void ShowOutOfMemory() { QMessageBox::critical(QApplication::activeWindow(), "Error", kOutOfMemoryMessage); }

void PlayExclamation() {
  ++exclamations;
  if (!PlayEventSound("dialog-warning")) QApplication::beep();
}

int ExclamationsPlayed() { return exclamations; }

bool GetClipboardText(QByteArray& text) {
  text.clear();
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  if (!data || !data->hasText()) return false;
  text = data->text().toUtf8();
  return true;
}

bool GetClipboardText(std::string& text) {
  QByteArray utf8;
  const bool hasText = GetClipboardText(utf8);
  text.assign(utf8.constData(), static_cast<size_t>(utf8.size()));
  return hasText;
}

bool ClipboardHoldsData() {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  return data && !data->formats().isEmpty();
}

bool PutClipboardText(const std::string& text) {
  QGuiApplication::clipboard()->setText(QString::fromStdString(text));
  return true;
}

bool GetDocumentsFolder(std::string& path) {
  for (const QString& folder :
       {QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation), qEnvironmentVariable("HOME")}) {
    if (IsFolder(folder)) {
      path = QDir::cleanPath(folder).toStdString();
      return true;
    }
  }
  path = "/";
  return false;
}
