// The main window in the whole program: the copy fields, Submit, the actions
// line, the page's input and its restart.
#include "tests/support/program_fixture.h"

#include <QCheckBox>
#include <QPlainTextEdit>

#include "app/filing_details_window.h"
#include "app/save_filing_window.h"
#include "tests/support/filing.h"

namespace {

TEST_F(Program, StartsWithTheFilePathAndZeroCounts) {
  EXPECT_EQ(Text("idFf"), OutputPath());
  EXPECT_EQ(window()->windowTitle(), "Form 13-F Trellan");
  EXPECT_TRUE(window()->isVisible());
  // The count fields are empty until the first capture, so they are clicked by script.
  Js("document.getElementById('idNe').click()");
  ASSERT_TRUE(WaitUntil([] {
    std::string text;
    return (text = ClipboardText().value_or("")) == "0";
  }));
  Click("idFf");
  std::string text;
  ASSERT_TRUE(WaitUntil([&] { return (text = ClipboardText().value_or("")) == OutputPath(); }));
}

TEST_F(Program, TabReachesTheCopyFieldsAndEnterOrSpaceCopiesThem) {
  CaptureClipboard(HoldingLine("ALPHA", "5") + HoldingLine("BETA", "6"));
  PutClipboardText("nothing copied yet");
  Js("document.activeElement&&document.activeElement.blur();document.getElementById('btSubmit').focus()");
  const struct {
    const char* id;
    Qt::Key key;
    std::string copied;
  } fields[] = {
      {"idFf", Qt::Key_Return, OutputPath()}, {"idNe", Qt::Key_Space, "2"}, {"idTot", Qt::Key_Return, "11"}};
  for (const auto& field : fields) {
    QTest::keyClick(input(), Qt::Key_Tab);
    ASSERT_TRUE(WaitUntil([&] { return Js("document.activeElement.id").toString() == field.id; }, 2000))
        << field.id << " has the focus, not " << Js("document.activeElement.id").toString().toStdString();
    EXPECT_EQ(Js("getComputedStyle(document.activeElement).outlineStyle").toString(), "dotted") << "seen";
    QTest::keyClick(input(), field.key);
    std::string text;
    EXPECT_TRUE(WaitUntil([&] { return (text = ClipboardText().value_or("")) == field.copied; }))
        << field.id << ": " << text;
  }
  EXPECT_EQ(
      Js("getComputedStyle(document.querySelector('#btCapture span.ak')).textDecorationLine").toString(),
      "underline")
      << "the buttons show their Alt keys";
}

TEST_F(Program, SubmitOpensTheFilerLoginInTheFilingFolder) {
  TempDir bin;
  const std::string record = bin.File("record.txt");
  StubOpener(bin, "echo \"$@\" > " + record + "\npwd >> " + record);
  Click("btSubmit");
  // No document yet: Submit says so first, and opens the site when pressed again.
  ASSERT_TRUE(WaitUntil([&] { return Text("idSub").find("There is no tev_13f.xml") != std::string::npos; }));
  EXPECT_FALSE(std::filesystem::exists(record));
  Click("btSubmit");
  ASSERT_TRUE(WaitUntil([&] { return ReadFile(record).find('\n') != ReadFile(record).rfind('\n'); }));
  EXPECT_EQ(Text("idSub"), "");
  EXPECT_EQ(ReadFile(record), std::string(kFilerLoginUrl) + "\n" + home_.File("Documents") + "\n");

  // No opener, an opener that finds no browser (xdg-open's status 3): one
  // message that says why, one sound each.
  std::filesystem::create_directory(bin.File("failing"));
  WriteFile(bin.File("failing/xdg-open"), "#!/bin/sh\nexit 3\n");
  chmod(bin.File("failing/xdg-open").c_str(), 0755);
  const std::pair<std::string, std::string> failures[] = {
      {bin.File("nowhere"), "The desktop's opener, xdg-open, is not installed."},
      {bin.File("failing"), "No program to open it is installed."}};
  for (const auto& [path, reason] : failures) {
    qputenv("PATH", path.c_str());
    const int sounds = ExclamationsPlayed();
    Click("btSubmit");  // the notice of no document
    ASSERT_TRUE(WaitUntil([&] { return ExclamationsPlayed() == sounds + 1; })) << path;
    Click("btSubmit");
    ASSERT_TRUE(WaitUntil([&] { return ExclamationsPlayed() == sounds + 2; })) << path;
    EXPECT_EQ(Text("idSub"), "There was an error going to the SEC Filer Login Page. " + reason +
                                 " Open https://www.edgarfiling.sec.gov/ in your web browser (click it to copy it).");
    // The address is a copy field.
    Click("idUrl");
    ASSERT_TRUE(WaitUntil([&] {
      std::string copied;
      return (copied = ClipboardText().value_or("")) == kFilerLoginUrl;
    }));
    // An opener that failed gives one answer: it ends, or it never starts.
    WaitForEarlierEvents();
    EXPECT_EQ(ExclamationsPlayed(), sounds + 2);
  }

  // With the documents folder gone, the home folder is the working folder.
  qputenv("PATH", (bin.path() + ":" + savedPath_.toStdString()).c_str());
  std::filesystem::remove_all(home_.File("Documents"));
  std::filesystem::remove(record);
  Click("btSubmit");
  Click("btSubmit");
  ASSERT_TRUE(WaitUntil([&] { return ReadFile(record).find('\n') != ReadFile(record).rfind('\n'); }));
  EXPECT_EQ(ReadFile(record), std::string(kFilerLoginUrl) + "\n" + home_.path() + "\n");
}

TEST_F(Program, RealRightClicksAndKeysBehaveAsADialogsDo) {
  if (!HaveXdotool()) GTEST_SKIP() << "xdotool is not installed";
  window()->activateWindow();
  Xdotool(MoveTo(window()->browser->mapToGlobal(Centre("idFf"))));
  int sounds = ExclamationsPlayed();
  Xdotool("click 3");
  // A left click on the copy field after it, through the same X server,
  // comes once the right press and its context menu request have had their
  // answers; its copy is the mark.
  PutClipboardText("");
  Xdotool("click 1");
  ASSERT_TRUE(WaitUntil([&] {
    std::string copied;
    return (copied = ClipboardText().value_or("")) == OutputPath();
  }));
  EXPECT_EQ(ExclamationsPlayed(), sounds + 1) << "one sound for a right click where there is no help";

  Xdotool("keydown ctrl click 4 click 4 keyup ctrl");
  WaitForFrame(window()->Page());
  EXPECT_EQ(window()->Page()->zoomFactor(), 1.0) << "Ctrl and the wheel do not zoom";
  Xdotool("key ctrl+plus ctrl+plus");
  ASSERT_TRUE(WaitUntil([this] { return window()->Page()->zoomFactor() > 1.15; })) << "Ctrl++ does";
  Xdotool("key ctrl+minus");
  ASSERT_TRUE(WaitUntil([this] { return window()->Page()->zoomFactor() < 1.15; }));
  Xdotool("key ctrl+0");
  ASSERT_TRUE(WaitUntil([this] { return window()->Page()->zoomFactor() == 1.0; }));

  Xdotool("key Escape");
  WaitForEarlierEvents();
  EXPECT_TRUE(window()->isVisible()) << "Escape does not close the main window";
}

TEST_F(Program, ButtonLabelsFitAndACopySaysSo) {
  for (const char* id : {"btCapture", "btSubmit"}) {
    const QString fits =
        QString(
            "(function(){var b=document.getElementById('%1'),r=document.createRange();"
            "r.selectNodeContents(b);return r.getBoundingClientRect().width<=b.clientWidth;})()")
            .arg(id);
    EXPECT_TRUE(Js(fits).toBool()) << id;
  }
  CaptureClipboard(HoldingLine("ALPHA", "5"));
  Click("idTot");
  ASSERT_TRUE(WaitUntil([] { return QToolTip::isVisible(); }, 2000));
  EXPECT_EQ(QToolTip::text(), "Copied");
}

TEST_F(Program, ThePageSurvivesItsProcessEndingAndTheCountsStay) {
  CaptureClipboard(HoldingLine("ALPHA", "5") + HoldingLine("BETA", "6"));
  const std::string document = ReadFile(OutputPath());
  const int sounds = ExclamationsPlayed();
  kill(static_cast<pid_t>(window()->Page()->renderProcessPid()), SIGKILL);
  ASSERT_TRUE(WaitUntil([&] { return ExclamationsPlayed() > sounds; }, 20000));
  EXPECT_NE(Html("idMsg").find(kPageRestartedMessage), std::string::npos);
  EXPECT_EQ(Text("idNe"), "2");
  EXPECT_EQ(Text("idTot"), "11");
  EXPECT_EQ(Text("idFf"), OutputPath());
  EXPECT_EQ(ReadFile(OutputPath()), document);
  CaptureClipboard(HoldingLine("GAMMA", "7"));
  EXPECT_EQ(Text("idNe"), "1") << "and it captures again";
}

TEST_F(Program, NothingDroppedOnThePageIsFollowed) {
  TempDir bin;
  const std::string record = bin.File("record.txt");
  StubOpener(bin, "echo opened > " + record);
  QMimeData data;
  data.setUrls({QUrl("javascript:location='|btSubmit'")});
  data.setText("javascript:location='|btSubmit'");
  const QPoint at = Centre("idMsg");
  QDragEnterEvent enter(at, Qt::CopyAction | Qt::LinkAction, &data, Qt::LeftButton, {});
  QDragMoveEvent move(at, Qt::CopyAction | Qt::LinkAction, &data, Qt::LeftButton, {});
  QDropEvent drop(at, Qt::CopyAction | Qt::LinkAction, &data, Qt::LeftButton, {});
  for (QEvent* event : std::initializer_list<QEvent*>{&enter, &move, &drop}) {
    QApplication::sendEvent(input(), event);
    EXPECT_FALSE(event->isAccepted());
  }
  // With no document, a Submit the drop raised would have said so in its notice.
  WaitForEarlierEvents();
  EXPECT_EQ(Text("idSub"), "") << "Submit was not pressed";
  EXPECT_FALSE(std::filesystem::exists(record));
}

TEST_F(Program, EventsBeforeThePageIsReadyAreIgnored) {
  window()->pageReady = false;
  PutClipboardText(HoldingLine("A", "1"));
  window()->eventHandler("btCapture", *window());
  window()->pageReady = true;
  EXPECT_FALSE(std::filesystem::exists(OutputPath()));
  EXPECT_EQ(Text("idNe"), "0") << "as at start-up: no document";
}

TEST_F(Program, WindowKeepsAMinimumSizeAndItsViewFillsIt) {
  window()->resize(50, 20);
  EXPECT_GE(window()->width(), 200);
  EXPECT_GE(window()->height(), 100);
  window()->resize(700, 500);
  ASSERT_TRUE(WaitUntil([this] { return window()->browser->geometry() == QRect(0, 0, 700, 500); }));
  EXPECT_EQ(window()->browser->geometry(), QRect(0, 0, 700, 500));
  // Its size and place come back at the next start, and never larger than the screen.
  window()->move(60, 40);
  ASSERT_TRUE(WaitUntil([this] { return window()->pos() == QPoint(60, 40); }));
  EndProgram();
  ASSERT_TRUE(StartProgram());
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window()));
  EXPECT_EQ(window()->size(), QSize(700, 500));
  EXPECT_EQ(window()->pos(), QPoint(60, 40));
  window()->resize(5000, 4000);
  EndProgram();
  ASSERT_TRUE(StartProgram());
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window()));
  EXPECT_TRUE(window()->screen()->availableGeometry().contains(window()->geometry())) << "within the screen";
}

TEST_F(Program, F1AndTheActionsLineHelpCopyAndOpen) {
  if (!HaveXdotool()) GTEST_SKIP() << "xdotool is not installed";
  window()->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window()));
  Xdotool("key F1");
  ASSERT_TRUE(WaitUntil([] { return OpenHelp() != nullptr; }));
  HelpWindow* help = OpenHelp();
  auto* text = help->findChild<QTextBrowser*>("helpText");
  ASSERT_NE(text, nullptr);
  EXPECT_NE(text->toPlainText().toStdString().find(std::string("Form 13-F Trellan ") + FORM13F_VERSION),
            std::string::npos);
  // A window of its own, within the screen, that scrolls what it can't show.
  const QRect screen = help->screen()->availableGeometry();
  EXPECT_TRUE(screen.contains(help->frameGeometry())) << "within the screen";
  EXPECT_GE(help->width(), 400);
  ASSERT_TRUE(QTest::qWaitForWindowActive(help));
  help->resize(help->width(), 200);
  ASSERT_TRUE(WaitUntil([&] { return text->verticalScrollBar()->maximum() > 0; })) << "it scrolls";
  // Ctrl+F and a word find it in the help, and scroll to it.
  Xdotool("key ctrl+f");
  ASSERT_TRUE(WaitUntil([] { return qobject_cast<QLineEdit*>(QApplication::focusWidget()) != nullptr; }));
  Xdotool("type 'Check before filing'");
  Xdotool("key Return");
  ASSERT_TRUE(WaitUntil([&] { return text->textCursor().selectedText() == "Check before filing"; }));
  EXPECT_GT(text->verticalScrollBar()->value(), 0) << "scrolled to what it found";
  EXPECT_FALSE(help->Find("no such words at all"));
  Xdotool("key Escape");
  ASSERT_TRUE(WaitUntil([] { return OpenHelp() == nullptr; })) << "Escape closes it";
  RealClick(window(), "idHelp");
  ASSERT_TRUE(WaitUntil([] { return OpenHelp() != nullptr; })) << "so does the Help action open it";
  OpenHelp()->close();

  CaptureClipboard(HoldingLine("ALPHA", "5") + SheetLine({"x", "y"}));
  RealClick(window(), "idCopyAll");
  ASSERT_TRUE(WaitUntil([&] {
    std::string copied;
    return (copied = ClipboardText().value_or("")).find("Invalid field(s) in row 2") != std::string::npos;
  }));
  EXPECT_EQ(ClipboardText().value_or("").find("ALPHA"), std::string::npos) << "the messages, not the preview";

  TempDir bin;
  const std::string record = bin.File("record.txt");
  StubOpener(bin, "echo \"$@\" > " + record);
  RealClick(window(), "idOpen");
  ASSERT_TRUE(WaitUntil([&] { return ReadFile(record).find("Documents") != std::string::npos; }));
  // No file manager: it says so, and where the folder is.
  qputenv("PATH", bin.File("nowhere").c_str());
  Click("idOpen");
  ASSERT_TRUE(WaitUntil([&] { return Text("idSub").find("could not be opened") != std::string::npos; }));
  EXPECT_EQ(Text("idSub"), "The filing folder could not be opened: the desktop's opener, xdg-open, is not installed. It is " +
                               home_.File("Documents") + "/.");
}

TEST_F(Program, StartUpShowsTheDocumentInTheFolderReadFromIt) {
  CaptureClipboard(HoldingLine("ALPHA", "5") + HoldingLine("BETA", "6"));
  EndProgram();
  ASSERT_TRUE(StartProgram());
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window()));
  EXPECT_EQ(Text("idNe"), "2") << "from the document, after a restart";
  EXPECT_EQ(Text("idTot"), "11");
  EXPECT_EQ(
      Text("idMsg").rfind("tev_13f.xml in the filing folder holds 2 entries, a total of 11, written ", 0), 0u)
      << Text("idMsg");
  // A capture that writes nothing keeps it, and the counts say so.
  CaptureClipboard(
      SheetLine({"NAME OF ISSUER", "TITLE OF CLASS", "CUSIP", "VALUE", "SHRS OR PRN AMT", "SH/PRN",
                 "PUT/CALL", "INVESTMENT DISCRETION", "OTHER MANAGER", "SOLE", "SHARED", "NONE"}));
  EXPECT_EQ(Text("idNe"), "2");

  // A document that can't be read is named, and its counts are unknown.
  EndProgram();
  WriteFile(OutputPath(), "<html>not a filing</html>");
  ASSERT_TRUE(StartProgram());
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window()));
  EXPECT_EQ(Text("idNe"), "(unknown)");
  EXPECT_NE(Text("idMsg").find("is no complete information table document"), std::string::npos);
}

TEST_F(Program, SubmitWithChecksOpenSaysSoAndKeepsThem) {
  if (!HaveXdotool()) GTEST_SKIP() << "xdotool is not installed";
  TempDir bin;
  const std::string record = bin.File("record.txt");
  StubOpener(bin, "echo opened > " + record);
  window()->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window()));
  CaptureClipboard(
      SheetLine({"MISTYPED", "COM", "023135107", "5", "1", "SH", "", "SOLE", "", "1", "0", "0"}));
  const std::string checks = Text("idMsg");
  ASSERT_NE(checks.find("Check before filing"), std::string::npos);
  Xdotool("key --clearmodifiers alt+s");
  ASSERT_TRUE(WaitUntil([&] { return Text("idSub").find("named errors or checks") != std::string::npos; }));
  EXPECT_FALSE(std::filesystem::exists(record));
  EXPECT_EQ(Text("idMsg"), checks) << "the checks stay in place";
  RealClick(window(), "btSubmit");
  ASSERT_TRUE(WaitUntil([&] { return std::filesystem::exists(record); }));
  EXPECT_EQ(Text("idMsg"), checks);
}

}  // namespace

namespace {

TEST_F(Program, EveryCaptureClearsWhatSubmitSaidAndShowsItsCountsPending) {
  TempDir bin;
  const std::string record = bin.File("record.txt");
  StubOpener(bin, "echo opened > " + record);
  Click("btSubmit");
  ASSERT_TRUE(WaitUntil([&] { return Text("idSub").find("There is no tev_13f.xml") != std::string::npos; }));
  CaptureClipboard(HoldingLine("ALPHA", "5") + SheetLine({"x", "y"}));
  EXPECT_EQ(Text("idSub"), "") << "the notice was of the capture before";
  Click("btSubmit");
  ASSERT_TRUE(WaitUntil([&] { return Text("idSub").find("The last capture named errors") != std::string::npos; }))
      << "warned afresh, not opened on the earlier press";
  WaitForEarlierEvents();
  EXPECT_FALSE(std::filesystem::exists(record));

  PutClipboardText(Issuers(250000));
  Click("btCapture");
  ASSERT_TRUE(WaitUntil([this] { return window()->capture.Running(); }, 5000));
  EXPECT_EQ(Text("idNe"), "(converting)");
  EXPECT_EQ(Text("idTot"), "(converting)");
  EXPECT_EQ(Text("idSub"), "");
  WaitForCapture();
  EXPECT_EQ(Text("idNe"), "250,000");
}

}  // namespace

namespace {

// A filer who captures on Monday and files on Tuesday keeps every warning.
TEST_F(Program, WhatACaptureFoundIsShownAgainAtTheNextStartAndSubmitWarnsOnIt) {
  CaptureClipboard(HoldingLine("ALPHA", "5") + SheetLine({"x", "y"}));
  const std::string found = Text("idMsg");
  const auto restart = [this] {
    EndProgram();
    ASSERT_TRUE(StartProgram());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window()));
    WaitForFrame(window()->Page());
  };
  restart();
  const std::string shown = Text("idMsg");
  EXPECT_EQ(shown.rfind("tev_13f.xml in the filing folder holds 1 entry, a total of 5, written ", 0), 0u) << shown;
  EXPECT_NE(shown.find("What the capture that wrote it found:"), std::string::npos) << shown;
  EXPECT_NE(shown.find("Invalid field(s) in row 2"), std::string::npos) << shown;
  EXPECT_NE(shown.find("ALPHA"), std::string::npos) << "its rows too";
  Click("btSubmit");
  ASSERT_TRUE(WaitUntil([&] { return Text("idSub").find("The last capture named errors") != std::string::npos; }));

  // Written by another program, or changed since: it is checked as it
  // stands, and Submit warns on what that finds.
  std::string cusip = CusipFor("BETA");
  cusip.back() = static_cast<char>('0' + (cusip.back() - '0' + 1) % 10);
  ConvertInfoTable(SheetLine({"BETA", "COM", cusip, "6", "1", "SH", "", "SOLE", "", "1", "0", "0"}), OutputPath());
  restart();
  ASSERT_TRUE(WaitUntil([&] { return Text("idMsg").find(kRecheckedText) != std::string::npos; }, 20000))
      << Text("idMsg");
  EXPECT_NE(Text("idMsg").find("Check before filing in row 2: CUSIP \"" + cusip + "\" does not end with its check digit"),
            std::string::npos)
      << Text("idMsg");
  EXPECT_EQ(Text("idNe"), "1");
  Click("btSubmit");
  ASSERT_TRUE(WaitUntil([&] { return Text("idSub").find("The last capture named errors") != std::string::npos; }));
  // A document changed after its findings were kept is checked again.
  CaptureClipboard(HoldingLine("GAMMA", "7"));
  EndProgram();
  WriteFile(OutputPath(), ReadFile(OutputPath()) + "<!-- changed -->");
  ASSERT_TRUE(StartProgram());
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window()));
  ASSERT_TRUE(WaitUntil([&] { return Text("idMsg").find(kRecheckedText) != std::string::npos; }, 20000))
      << "a changed document is checked again";
  CaptureClipboard(HoldingLine("BETA", "6"));
  restart();
  EXPECT_EQ(Text("idMsg").find(kFindingsUnknownText), std::string::npos) << "a capture's own findings again";
  EXPECT_NE(Text("idMsg").find(kUncheckedClean), std::string::npos) << Text("idMsg");
}

}  // namespace

namespace {

TEST_F(Program, UndoCapturePutsBackTheDocumentTheLastCaptureReplaced) {
  CaptureClipboard(HoldingLine("ALPHA", "5") + SheetLine({"x", "y"}));
  const std::string first = ReadFile(OutputPath());
  CaptureClipboard(HoldingLine("BETA", "6") + HoldingLine("GAMMA", "7"));
  EXPECT_EQ(Text("idNe"), "2");
  Click("idUndo");
  ASSERT_TRUE(WaitUntil([&] { return Text("idSub").find("The last capture was undone") != std::string::npos; }));
  EXPECT_EQ(ReadFile(OutputPath()), first);
  EXPECT_EQ(Text("idNe"), "1");
  EXPECT_NE(Text("idMsg").find("Invalid field(s) in row 2"), std::string::npos) << "with what was found then";
  Click("idUndo");
  ASSERT_TRUE(WaitUntil([&] { return Text("idSub").find("There is no capture to undo") != std::string::npos; }));
  EXPECT_EQ(ReadFile(OutputPath()), first) << "once only";
  // A capture that writes nothing leaves nothing to undo.
  CaptureClipboard(SheetLine({"NAME OF ISSUER", "TITLE OF CLASS", "CUSIP", "VALUE", "SHRS OR PRN AMT", "SH/PRN",
                              "PUT/CALL", "INVESTMENT DISCRETION", "OTHER MANAGER", "SOLE", "SHARED", "NONE"}));
  Click("idUndo");
  ASSERT_TRUE(WaitUntil([&] { return Text("idSub").find("There is no capture to undo") != std::string::npos; }));
  EXPECT_EQ(ReadFile(OutputPath()), first);
}

// The details entered in the window are checked, kept and read again after
// a restart; the filing is saved with the CCC asked for, which is kept in no
// other file.
TEST_F(Program, FilingDetailsAreKeptAndTheFilingIsSavedWithTheCccAskedFor) {
  if (!HaveXdotool()) GTEST_SKIP() << "xdotool is not installed";
  window()->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window()));
  CaptureClipboard(HoldingLine("ALPHA", "5") +
                   SheetLine({"BETA", "COM", CusipFor("BETA"), "6", "1", "SH", "n/a", "DFND", "1", "0", "1", "0"}));
  RealClick(window(), "idSave");
  ASSERT_TRUE(WaitUntil([] { return Shown<FilingDetailsWindow>() != nullptr; })) << "no details yet: asked for";
  EXPECT_NE(Text("idSub").find("There are no filing details yet"), std::string::npos);
  const std::string detailsPath = home_.File(".config/form13f/filing.toml");
  const auto enter = [&](const std::string& text) {
    FilingDetailsWindow* details = Shown<FilingDetailsWindow>();
    ASSERT_TRUE(QTest::qWaitForWindowActive(details));
    auto* editor = details->findChild<QPlainTextEdit*>("filingDetailsText");
    PutClipboardText(text);
    Xdotool(MoveTo(editor->mapToGlobal(editor->rect().center())) + " click 1 key ctrl+a ctrl+v ctrl+s");
  };
  std::string refused = WithKey(kFilingToml, "[report]", "period = 2026-09-30");
  refused.replace(refused.find("0001234567"), 10, "12345");
  enter(refused);
  auto* problems = Shown<FilingDetailsWindow>()->findChild<QLabel*>("filingDetailsProblems");
  ASSERT_TRUE(WaitUntil([&] { return problems->text().contains("line 2, manager.cik"); }))
      << problems->text().toStdString() << " | "
      << Shown<FilingDetailsWindow>()->findChild<QPlainTextEdit*>("filingDetailsText")->toPlainText().toStdString().substr(0, 200);
  EXPECT_FALSE(std::filesystem::exists(detailsPath)) << "nothing EDGAR would refuse is kept";
  const std::string details = WithKey(kFilingToml, "[report]", "period = 2026-09-30");
  enter(details);
  ASSERT_TRUE(WaitUntil([&] { return std::filesystem::exists(detailsPath); }));
  EXPECT_EQ(ReadFile(detailsPath), details);
  Xdotool("key Escape");
  ASSERT_TRUE(WaitUntil([] { return Shown<FilingDetailsWindow>() == nullptr; }));

  EndProgram();
  ASSERT_TRUE(StartProgram());
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window()));
  WaitForFrame(window()->Page());
  window()->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window()));
  RealClick(window(), "idDetails");
  ASSERT_TRUE(WaitUntil([] { return Shown<FilingDetailsWindow>() != nullptr; }));
  EXPECT_EQ(Shown<FilingDetailsWindow>()->findChild<QPlainTextEdit*>("filingDetailsText")->toPlainText().toStdString(),
            details)
      << "kept across the restart";
  Shown<FilingDetailsWindow>()->close();

  window()->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window()));
  RealClick(window(), "idSave");
  ASSERT_TRUE(WaitUntil([] { return Shown<SaveFilingWindow>() != nullptr; }));
  ASSERT_TRUE(QTest::qWaitForWindowActive(Shown<SaveFilingWindow>()));
  // A click gives the field the X server's focus too, which a window
  // just shown may not have yet.
  auto* cccField = Shown<SaveFilingWindow>()->findChild<QLineEdit*>("saveCcc");
  Xdotool(MoveTo(cccField->mapToGlobal(QPoint(10, 8))) + " click 1");
  Xdotool("type --delay 20 'short#1'");
  ASSERT_TRUE(WaitUntil([&] { return cccField->text() == "short#1"; })) << "typed: " << cccField->text().size();
  Xdotool("key Return");
  auto* problem = Shown<SaveFilingWindow>()->findChild<QLabel*>("saveProblem");
  ASSERT_TRUE(WaitUntil([&] { return problem->text().contains("The CCC is not of EDGAR's form"); }))
      << problem->text().toStdString() << " | focus: " << (QApplication::focusWidget() ? QApplication::focusWidget()->objectName().toStdString() : "none");
  auto* keep = Shown<SaveFilingWindow>()->findChild<QCheckBox*>("saveKeepCcc");
  EXPECT_FALSE(keep->isChecked()) << "kept only when the filer asks";
  Xdotool(MoveTo(keep->mapToGlobal(QPoint(8, keep->height() / 2))) + " click 1");
  ASSERT_TRUE(WaitUntil([&] { return keep->isChecked(); }));
  Xdotool(MoveTo(cccField->mapToGlobal(QPoint(10, 8))) + " click 1 key ctrl+a BackSpace");
  Xdotool("type --delay 20 '" + kMadeUpCcc + "'");
  ASSERT_TRUE(WaitUntil([&] { return cccField->text().toStdString() == kMadeUpCcc; }));
  Xdotool("key Return");
  ASSERT_TRUE(WaitUntil([] { return Shown<SaveFilingWindow>() == nullptr; })) << problem->text().toStdString();
  const std::string saved = home_.File("Documents/13f-hr-2026q3-to-transmit.xml");
  const std::string kept = home_.File("Documents/13f-hr-2026q3.xml");
  ASSERT_NE(ReadFile(saved).find("<ccc>" + kMadeUpCcc + "</ccc>"), std::string::npos);
  EXPECT_NE(ReadFile(saved).find("<otherIncludedManagersCount>1</otherIncludedManagersCount>"), std::string::npos);
  EXPECT_NE(ReadFile(saved).find("<tableValueTotal>11</tableValueTotal>"), std::string::npos);
  struct stat info;
  ASSERT_EQ(stat(saved.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  EXPECT_NE(ReadFile(kept).find("<ccc>********</ccc>"), std::string::npos);
  for (const auto& entry : std::filesystem::recursive_directory_iterator(home_.path())) {
    if (entry.is_regular_file() && entry.path() != saved) {
      EXPECT_EQ(ReadFile(entry.path()).find(kMadeUpCcc), std::string::npos) << entry.path();
    }
  }
  EXPECT_NE(Text("idSub").find("Saved the filing as " + saved), std::string::npos) << Text("idSub");
  EXPECT_NE(Text("idSub").find("Transmit XML Submission"), std::string::npos);
  // Asked to keep it: in the desktop's secret store, or said why not (this
  // display has none); never in a file.
  ASSERT_TRUE(WaitUntil([&] {
    return Text("idSub").find("The CCC is kept in the desktop's secret store") != std::string::npos ||
           Text("idSub").find("The CCC could not be kept in the desktop's secret store") != std::string::npos;
  }, 20000))
      << Text("idSub");
  for (const auto& entry : std::filesystem::recursive_directory_iterator(home_.path())) {
    if (entry.is_regular_file() && entry.path() != saved) {
      EXPECT_EQ(ReadFile(entry.path()).find(kMadeUpCcc), std::string::npos) << entry.path();
    }
  }
}

// Details that are there but can't be read are shown as such, and never
// replaced by the template.
TEST_F(Program, UnreadableDetailsAreNeverReplacedByTheTemplate) {
  const std::string detailsPath = home_.File(".config/form13f/filing.toml");
  std::filesystem::create_directories(detailsPath);  // no file can be read there
  Click("idDetails");
  ASSERT_TRUE(WaitUntil([] { return Shown<FilingDetailsWindow>() != nullptr; }));
  FilingDetailsWindow* details = Shown<FilingDetailsWindow>();
  EXPECT_TRUE(details->findChild<QLabel*>("filingDetailsProblems")->text().contains("The details can't be read"));
  EXPECT_FALSE(details->Save());
  EXPECT_TRUE(std::filesystem::is_directory(detailsPath));
  details->close();
}

}  // namespace
