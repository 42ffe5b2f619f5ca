// The whole program in its window, as the window tests drive it: the real
// page, the real clipboard, real clicks and keys, and the document in a
// documents folder of its own.
#pragma once

#include <sys/stat.h>

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QCursor>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QProcess>
#include <QScreen>
#include <QScrollBar>
#include <QTextBrowser>
#include <QTimer>
#include <QToolTip>
#include <csignal>
#include <filesystem>
#include <map>

#include "app/capture.h"
#include "app/desktop.h"
#include "app/help_window.h"
#include "app/main_window.h"
#include "app/preview_sender.h"
#include "app/program_lifetime.h"
#include "form/dom.h"
#include "infotable/conversion.h"
#include "infotable/text_forms.h"
#include "tests/support/holdings.h"
#include "tests/support/page_fixture.h"
#include "tests/support/securities_list.h"
#include "tests/support/temp_dir.h"

// The headline of a capture without errors when no list of 13(f)
// securities was found: the test's folders hold none.
const std::string kUncheckedClean =
    "No errors in the rows as read, but they were not checked against the SEC's list of 13(f) securities.";

// A table of `rows` good rows, "ISSUER 0" on, each worth 1.
inline std::string Issuers(int rows) {
  std::string table;
  for (int i = 0; i < rows; ++i) table += HoldingLine("ISSUER " + std::to_string(i), "1");
  return table;
}

// The shown window of class `Window`, if one is.
template <typename Window>
Window* Shown() {
  for (QWidget* widget : QApplication::topLevelWidgets())
    if (auto* window = qobject_cast<Window*>(widget); window && window->isVisible()) return window;
  return nullptr;
}

class Program : public ::testing::Test {
 protected:
  void SetUp() override {
    savedHome_ = qgetenv("HOME");
    savedPath_ = qgetenv("PATH");
    qputenv("HOME", home_.path().c_str());
    qputenv("XDG_CONFIG_HOME", (home_.path() + "/.config").c_str());
    std::filesystem::create_directory(home_.File("Documents"));
    ASSERT_TRUE(StartProgram());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window()));
    WaitForFrame(window()->Page());
  }
  void TearDown() override {
    EndProgram();
    qputenv("HOME", savedHome_);
    qputenv("PATH", savedPath_);
  }

  MainWindow* window() { return ProgramWindow(); }
  QWidget* input() { return window()->browser->focusProxy(); }
  QVariant Js(const QString& script) { return Evaluate(window()->Page(), script); }
  std::string Html(const char* id) {
    return Js(QString("document.getElementById('%1').innerHTML").arg(id)).toString().toStdString();
  }
  std::string Text(const char* id) {
    return Js(QString("document.getElementById('%1').textContent").arg(id)).toString().toStdString();
  }
  QPoint Centre(const char* id) { return ElementCentre(window()->Page(), id); }
  void Click(const char* id) { QTest::mouseClick(input(), Qt::LeftButton, {}, Centre(id)); }

  // Presses Capture and waits until the message line has changed.
  void CaptureClipboard(const std::string& text, bool byAccessKey = false) {
    PutClipboardText(text);
    Js("document.getElementById('idMsg').innerHTML='waiting'");
    if (byAccessKey)
      QTest::keyClick(input(), Qt::Key_C, Qt::AltModifier);
    else
      Click("btCapture");
    WaitForCapture();
  }

  // Waits until a capture's outcome is shown: the message line has changed
  // and says no more that it converts; the counts follow it in the same
  // handling, which is over once no conversion runs and no script is awaited.
  void WaitForCapture() {
    ASSERT_TRUE(WaitUntil(
        [&] {
          const std::string message = Html("idMsg");
          return message != "waiting" && message.find("Converting") == std::string::npos;
        },
        60000));
    ASSERT_TRUE(WaitUntil([this] { return !window()->capture.Running() && !ScriptWaitActive(); }));
    WaitForFrame(window()->Page());
  }

  // Waits until the window has handled every event the page raised so far:
  // it handles them in order, so once "copy all messages", raised now, has
  // put the messages on the clipboard, the earlier ones are done.
  void WaitForEarlierEvents() {
    PutClipboardText("");
    Js("location='|cm|idCopyAll';0");
    ASSERT_TRUE(WaitUntil([] { return !ClipboardText().value_or("").empty(); }));
  }

  // The help window, once one is open.
  static HelpWindow* OpenHelp() { return Shown<HelpWindow>(); }

  std::string OutputPath() { return home_.File("Documents/tev_13f.xml"); }

  // The window as a filer sees it, kept for the README when FORM13F_SCREENSHOTS
  // names a folder.
  void KeepScreenshot(const char* name) {
    const QByteArray folder = qgetenv("FORM13F_SCREENSHOTS");
    if (folder.isEmpty()) return;
    WaitForFrame(window()->Page());
    window()->grab().save(QString(folder) + "/" + name);
  }

  // Puts an xdg-open first on the PATH that runs `body` (a shell script's
  // lines) instead of opening anything.
  void StubOpener(const TempDir& bin, const std::string& body) {
    WriteFile(bin.File("xdg-open"), "#!/bin/sh\n" + body + "\n");
    chmod(bin.File("xdg-open").c_str(), 0755);
    qputenv("PATH", (bin.path() + ":" + savedPath_.toStdString()).c_str());
  }

  TempDir home_;
  QByteArray savedHome_, savedPath_;
};

// Real X input on an element of the main page.
inline void RealClick(MainWindow* window, const char* id) {
  Xdotool(MoveTo(window->browser->mapToGlobal(ElementCentre(window->Page(), id))) + " click 1");
}
