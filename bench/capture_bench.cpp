// Captures generated information tables through the real window, from the
// clipboard to the preview laid out on the page: the time to the first
// screen and to every row, the slowest answer of the page meanwhile and its
// tasks over 50 ms (what a click or a key waits behind), a jump
// with the scroll bar, and the page's peak memory (its renderer process's);
// the preview as the window draws it beside the single table inserted at
// once, in the same run. Row counts on the command line, 20,000 and 250,000
// when none are given; the single table only up to 20,000 rows, since it
// takes minutes beyond.
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QWebEnginePage>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "app/capture.h"
#include "app/desktop.h"
#include "app/main_window.h"
#include "app/preview_sender.h"
#include "app/program_lifetime.h"
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
    Evaluate(ProgramWindow()->Page(), "0");
    worst = std::max(worst, answer.elapsed());
    Pause(20);
  }
  return worst;
}

// Watches the page's long tasks (Chromium's Long Tasks API: every task over
// 50 ms) from now on; LongTasks() gives their count and the longest.
void WatchLongTasks(QWebEnginePage* page) {
  Evaluate(page,
           "window.f13Long=[];if(!window.f13LongObserver){window.f13LongObserver=new PerformanceObserver("
           "function(list){list.getEntries().forEach(function(e){window.f13Long.push(e.duration);});});"
           "window.f13LongObserver.observe({entryTypes:['longtask']});}0");
}
std::pair<int, double> LongTasks(QWebEnginePage* page) {
  const QVariantList lengths = Evaluate(page, "window.f13Long||[]").toList();
  double longest = 0;
  for (const QVariant& length : lengths) longest = std::max(longest, length.toDouble());
  return {static_cast<int>(lengths.size()), longest};
}

// Scrolls to a fraction of the table's height and gives the time until the
// rows fill the view and are laid out: what a jump with the scroll bar costs.
qint64 ScrollJump(double fraction) {
  QWebEnginePage* page = ProgramWindow()->Page();
  Evaluate(page,
           QString("window.f13Jump=0;var t0=performance.now();"
                   "window.scrollTo(0,document.body.scrollHeight*%1);"
                   "requestAnimationFrame(function shown(){"
                   "var at=document.elementFromPoint(20,document.body.clientHeight-3);"  // lays the page out
                   "if(at&&at.closest('td'))window.f13Jump=performance.now()-t0;"
                   "else requestAnimationFrame(shown);});0")
               .arg(fraction));
  double jump = 0;
  while ((jump = Evaluate(page, "window.f13Jump").toDouble()) == 0) Pause(5);
  return static_cast<qint64>(jump);
}

// The page's processes: the QtWebEngineProcess children of the zygotes that
// this process starts (a renderer forked by a zygote keeps its command line).
std::vector<int> RendererProcesses() {
  const auto parentOf = [](int pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(stat, line);
    const size_t close = line.rfind(')');
    if (close == std::string::npos) return 0;
    std::istringstream fields(line.substr(close + 2));
    char state;
    int parent = 0;
    fields >> state >> parent;
    return parent;
  };
  std::vector<int> renderers;
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    const std::string name = entry.path().filename().string();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    std::ifstream cmdline(entry.path() / "cmdline");
    std::string arguments((std::istreambuf_iterator<char>(cmdline)), std::istreambuf_iterator<char>());
    if (arguments.find("QtWebEngineProcess") == std::string::npos) continue;
    const int pid = std::stoi(name), parent = parentOf(pid);
    if (parent != getpid() && parentOf(parent) == getpid()) renderers.push_back(pid);
  }
  return renderers;
}

// The renderers' peak resident memory since the last reset, in MB; resets it.
double RendererPeakMegabytes(bool reset) {
  double peak = 0;
  for (int pid : RendererProcesses()) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
      if (line.rfind("VmHWM:", 0) == 0) peak += std::stod(line.substr(6)) / 1024;
    if (reset) std::ofstream("/proc/" + std::to_string(pid) + "/clear_refs") << "5";
  }
  return peak;
}

// The renderers' resident memory now, in MB.
double RendererMegabytes() {
  double resident = 0;
  for (int pid : RendererProcesses()) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
      if (line.rfind("VmRSS:", 0) == 0) resident += std::stod(line.substr(6)) / 1024;
  }
  return resident;
}

// One capture of `rows` generated rows, shown as the window shows it or, as
// the baseline, as the single table in one insert.
void Measure(int rows, bool drawn, bool checkLines = false) {
  QWebEnginePage* page = ProgramWindow()->Page();
  Evaluate(page, "window.scrollTo(0,0);document.getElementById('idMsg').innerHTML='';0");
  const std::string table = GenerateTable(rows, checkLines);
  PutClipboardText(table);
  Pause(500);
  const std::string path = ProgramWindow()->captureState.filingFolder + kDocumentFileName;
  const QString allRows = drawn ? QString("f13Preview.rows.length>=%1").arg(rows)
                                : QString("document.querySelectorAll('#idMsg tr').length>=%1").arg(rows + 1);
  // The conversion alone, for reference.
  QElapsedTimer clock;
  clock.start();
  ConvertInfoTable(table, path);
  const qint64 converted = clock.elapsed();
  RendererPeakMegabytes(true);
  WatchLongTasks(page);
  clock.start();
  qint64 firstScreen = 0, worst = 0;
  if (drawn) {
    // As Capture does it: the conversion on its thread, the window answering.
    ProgramWindow()->capture.Start([&] { firstScreen = clock.elapsed(); });
    worst = WorstAnswer([&] { return firstScreen == 0 && clock.elapsed() < 60000; });
  } else {
    const std::string text = ClipboardText().value_or("");
    const Conversion conversion = ConvertInfoTable(text, path);
    page->runJavaScript(QString::fromStdString(
        "document.getElementById('idMsg').innerHTML=" + ScriptLiteral(PreviewHtml(conversion)) + ";0"));
    Evaluate(page, "document.body.offsetHeight");
    firstScreen = clock.elapsed();
  }
  worst =
      std::max(worst, WorstAnswer([&] {
                 return (drawn && ProgramWindow()->preview.Filling()) || !Evaluate(page, allRows).toBool();
               }));
  Evaluate(page, "document.body.offsetHeight");
  const qint64 everyRow = clock.elapsed();
  Pause(300);
  // The page a capture left may be a new one: its tasks are its own.
  const std::pair<int, double> longTasks = LongTasks(ProgramWindow()->Page());
  // The first jump lands where nothing was drawn yet; later ones on other such places.
  const qint64 firstJump = ScrollJump(0.5);
  qint64 laterJump = 0;
  for (double fraction : {0.25, 0.75, 0.1, 0.9}) laterJump = std::max(laterJump, ScrollJump(fraction));
  std::printf(
      "%6d rows, %-13s: conversion %4lld ms, first screen %5lld ms, every row %6lld ms, "
      "slowest answer %5lld ms, page tasks over 50 ms: %3d, the longest %4.0f ms, scroll jump %4lld ms "
      "first, %4lld ms at most later, page peak %4.0f MB\n",
      rows, drawn ? (checkLines ? "drawn, checks" : "drawn") : "single table", converted, firstScreen,
      everyRow, worst, longTasks.first, longTasks.second, firstJump, laterJump, RendererPeakMegabytes(false));
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
  if (!StartProgram()) return 1;
  std::vector<int> sizes;
  for (int i = 1; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
  if (sizes.empty()) sizes = {20000, 250000};
  // Closing while a capture converts: the program waits for the conversion,
  // so that its document is whole; beside it, the conversion alone.
  constexpr int kClosingRows = 100000;
  QElapsedTimer closing;
  qint64 conversionAlone = 0;
  QTimer::singleShot(500, [&] {
    const double fresh = RendererMegabytes();
    // Each size clean, then with every row earning a check line; then what a
    // small capture leaves of the largest.
    for (int rows : sizes) Measure(rows, true);
    for (int rows : sizes) Measure(rows, true, true);
    bool shown = false;
    PutClipboardText(GenerateTable(20));
    Pause(500);
    ProgramWindow()->capture.Start([&] { shown = true; });
    while (!shown) Pause(50);
    Pause(2000);  // the page collects what the large preview left
    std::printf("page memory after a 20-row capture: %.0f MB, a fresh window's: %.0f MB\n",
                RendererMegabytes(), fresh);
    // The single tables last: collecting the elements of a 20,000-row single
    // table stops the page for more than a second, which would fall on the next run.
    for (int rows : sizes)
      if (rows <= 20000) Measure(rows, false);
    const std::string table = GenerateTable(kClosingRows);
    QElapsedTimer clock;
    clock.start();
    ConvertInfoTable(table, ProgramWindow()->captureState.filingFolder + kDocumentFileName);
    conversionAlone = clock.elapsed();
    PutClipboardText(table);
    Pause(500);
    ProgramWindow()->capture.Start(nullptr);
    closing.start();
    ProgramWindow()->close();
  });
  application.exec();
  EndProgram();
  std::printf("closing during a %d-row capture: %lld ms to the end, the conversion alone %lld ms\n",
              kClosingRows, closing.elapsed(), conversionAlone);
  std::filesystem::remove_all(home);
  return 0;
}
