// Captures generated information tables through the real window, from the
// clipboard to the preview laid out on the page: the time to the first
// screen and to every row, the slowest answer of the page meanwhile, and a
// jump with the scroll bar; the preview in blocks beside the single table
// inserted at once, in the same run.
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QWebEnginePage>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "app/cadlg.h"
#include "app/capture.h"
#include "app/ctheapp.h"
#include "app/desktop.h"
#include "app/preview.h"
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

// Waits in a running event loop.
void Pause(int ms) {
  QEventLoop pause;
  QTimer::singleShot(ms, &pause, &QEventLoop::quit);
  pause.exec();
}

// The slowest answer of the page to a trivial script, sent every 20 ms while
// `busy` holds: how long a click or a key would have waited.
qint64 WorstAnswer(const std::function<bool()>& busy) {
  qint64 worst = 0;
  while (busy()) {
    QElapsedTimer answer;
    answer.start();
    Evaluate(MainWindow()->Page(), "0");
    worst = std::max(worst, answer.elapsed());
    Pause(20);
  }
  return worst;
}

// Scrolls to a fraction of the table's height and gives the time until the
// rows fill the view and are laid out: what a jump with the scroll bar costs.
qint64 ScrollJump(double fraction) {
  QWebEnginePage* page = MainWindow()->Page();
  Evaluate(page, QString("window.f13Jump=0;var t0=performance.now();"
                         "window.scrollTo(0,document.body.scrollHeight*%1);"
                         "requestAnimationFrame(function shown(){"
                         "var at=document.elementFromPoint(20,window.innerHeight-3);"  // lays the page out
                         "if(at&&at.closest('td'))window.f13Jump=performance.now()-t0;"
                         "else requestAnimationFrame(shown);});0")
                     .arg(fraction));
  double jump = 0;
  while ((jump = Evaluate(page, "window.f13Jump").toDouble()) == 0) Pause(5);
  return static_cast<qint64>(jump);
}

// One capture of `rows` generated rows, shown in blocks or, as the baseline,
// as the single table in one insert.
void Measure(int rows, bool blocks) {
  QWebEnginePage* page = MainWindow()->Page();
  Evaluate(page, "window.scrollTo(0,0);document.getElementById('idMsg').innerHTML='';0");
  const std::string table = GenerateTable(rows);
  PutClipboardText(table);
  CaptureState& state = Capture();
  QElapsedTimer clock;
  clock.start();
  GetClipboardText(state.clipboardText);
  Conversion conversion = ConvertInfoTable(state.clipboardText, state.filingFolder + kDocumentFileName);
  const qint64 converted = clock.elapsed();
  const QString allRows = QString("document.querySelectorAll('#idMsg tr').length>=%1").arg(rows + 1);
  // Blocks are made as they come near the screen: a jump lands on rows never shown.
  if (blocks) {
    ShowPreview(conversion.previewStatus, std::move(conversion.previewTable));
  } else {
    page->runJavaScript(QString::fromStdString(
        "document.getElementById('idMsg').innerHTML=" + ScriptLiteral(PreviewHtml(conversion)) + ";0"));
  }
  Evaluate(page, "document.body.offsetHeight");
  const qint64 firstScreen = clock.elapsed();
  const qint64 worst =
      WorstAnswer([&] { return blocks ? PreviewFilling() : !Evaluate(page, allRows).toBool(); });
  Evaluate(page, "document.body.offsetHeight");
  const qint64 everyRow = clock.elapsed();
  Pause(300);
  // The first jump lands where nothing was drawn yet; later ones on other such places.
  const qint64 firstJump = ScrollJump(0.5);
  qint64 laterJump = 0;
  for (double fraction : {0.25, 0.75, 0.1, 0.9}) laterJump = std::max(laterJump, ScrollJump(fraction));
  std::printf(
      "%6d rows, %-12s: conversion %4lld ms, first screen %5lld ms, every row %6lld ms, "
      "slowest answer %5lld ms, scroll jump %4lld ms first, %4lld ms at most later\n",
      rows, blocks ? "blocks" : "single table", converted, firstScreen, everyRow, worst, firstJump,
      laterJump);
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
    // The blocks first: collecting the elements of a 20,000-row single table
    // stops the page for more than a second, which would fall on the next run.
    for (bool blocks : {true, false})
      for (int rows : {2000, 20000}) Measure(rows, blocks);
    QApplication::quit();
  });
  application.exec();
  theApp.ExitInstance();
  std::filesystem::remove_all(home);
  return 0;
}
