// Captures generated information tables through the real window, from the
// clipboard to the preview laid out on the page, and reports the time split
// into conversion, page update and layout.
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QWebEnginePage>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "app/cadlg.h"
#include "app/capture.h"
#include "app/ctheapp.h"
#include "app/desktop.h"
#include "bench/generated_table.h"
#include "form/dom.h"
#include "infotable/conversion.h"

namespace {

// Runs a script and waits for its result in a running event loop.
QVariant Evaluate(QWebEnginePage* page, const QString& script) {
  auto result = std::make_shared<std::pair<bool, QVariant>>();
  QEventLoop loop;
  page->runJavaScript(script, [result, &loop](const QVariant& value) {
    *result = {true, value};
    loop.quit();
  });
  if (!result->first) loop.exec();
  return result->second;
}

void Measure(int rows) {
  const std::string table = GenerateTable(rows);
  PutClipboardText(table);
  CaptureState& state = Capture();
  QElapsedTimer clock;
  clock.start();
  GetClipboardText(state.clipboardText);
  const Conversion conversion = ConvertInfoTable(state.clipboardText, state.filingFolder + kOutputFileName);
  const qint64 converted = clock.elapsed();
  state.entryCount = conversion.entryCount;
  ShowPreview(conversion.previewStatus, conversion.previewTable);
  const qint64 updated = clock.elapsed();
  Evaluate(MainWindow()->Page(), "document.body.offsetHeight");
  const qint64 firstScreen = clock.elapsed();
  const QString allRows = QString("document.querySelectorAll('#idMsg tr').length==%1").arg(rows + 1);
  while (!Evaluate(MainWindow()->Page(), allRows).toBool()) {
    QEventLoop pause;
    QTimer::singleShot(20, &pause, &QEventLoop::quit);
    pause.exec();
  }
  Evaluate(MainWindow()->Page(), "document.body.offsetHeight");
  const qint64 laidOut = clock.elapsed();
  std::printf(
      "%6d rows: conversion %5lld ms, page update %5lld ms, first screen laid out %5lld ms, "
      "every row laid out %6lld ms (%zu bytes of HTML)\n",
      rows, converted, updated - converted, firstScreen, laidOut, conversion.previewTable.size());
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string home = (std::filesystem::temp_directory_path() / "form13f-bench-home").string();
  std::filesystem::create_directories(home + "/Documents");
  setenv("HOME", home.c_str(), 1);
  setenv("XDG_CONFIG_HOME", (home + "/.config").c_str(), 1);
  setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 0);
  QApplication application(argc, argv);
  CTheApp theApp;
  if (!theApp.InitInstance()) return 1;
  QTimer::singleShot(500, [] {
    for (int rows : {2000, 20000}) Measure(rows);
    QApplication::quit();
  });
  application.exec();
  theApp.ExitInstance();
  std::filesystem::remove_all(home);
  return 0;
}
