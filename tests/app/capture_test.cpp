// Capture in the whole program: the clipboard read, the document written, the
// outcome, the lines and the preview on the page.
#include "tests/support/allocation_limit.h"
#include "form/page.h"
#include "tests/support/program_fixture.h"

namespace {

// 3,000 good rows but row 2,500, whose CUSIP has a wrong check digit.
std::string MistypedAt2500() {
  std::string table;
  for (int i = 1; i <= 3000; ++i)
    table += i == 2500
                 ? SheetLine({"MISTYPED", "COM", "023135107", "5", "1", "SH", "", "SOLE", "", "1", "0", "0"})
                 : HoldingLine("ISSUER " + std::to_string(i), "5");
  return table;
}

// A runner needs no main window: a page, a state and a way to renew the page.
using CaptureAlone = PageFixture;

TEST_F(CaptureAlone, ARunnerWritesTheDocumentAndSetsTheCountsOnAnyPage) {
  Show(BuildMainPage());
  TempDir folder;
  CaptureState state;
  state.filingFolder = folder.path() + "/";
  PreviewSender preview(host());
  int renewed = 0;
  CaptureRunner runner(host(), state, preview, [&] { return ++renewed > 0; });
  PutClipboardText(HoldingLine("ALPHA", "5") + HoldingLine("BETA", "6"));
  bool shown = false;
  runner.Start([&] { shown = true; });
  ASSERT_TRUE(WaitUntil([&] { return shown; }, 60000));
  EXPECT_EQ(state.entryCount, 2u);
  EXPECT_EQ(state.valueTotal, 11u);
  EXPECT_NE(ReadFile(folder.File("tev_13f.xml")).find("<nameOfIssuer>BETA</nameOfIssuer>"), std::string::npos);
  EXPECT_EQ(renewed, 0) << "a small preview after none needs no page of its own";

  WriteFile(folder.File("tev_13f.xml"), "damaged");
  PutClipboardText("");
  shown = false;
  runner.Start([&] { shown = true; });
  EXPECT_TRUE(shown) << "an empty clipboard is said at once";
  EXPECT_EQ(Js("document.getElementById('idMsg').textContent").toString().toStdString().rfind(
                kClipboardEmptyMessage, 0),
            0u);
  EXPECT_FALSE(state.countsKnown) << "the counts are read again from the kept document";
}

TEST_F(Program, CaptureWritesTheDocumentAndShowsTheResults) {
  CaptureClipboard(HoldingLine("ALPHA", "1,000") + SheetLine({"x", "y"}) + HoldingLine("BETA", "$2,500.75"));
  const std::string xml = ReadFile(OutputPath());
  EXPECT_EQ(xml.rfind("<?xml version='1.0' encoding='UTF-8'?>\r\n", 0), 0u);
  EXPECT_NE(xml.find("<nameOfIssuer>BETA</nameOfIssuer>"), std::string::npos);
  EXPECT_EQ(Text("idNe"), "2");
  EXPECT_EQ(Text("idTot"), "3,501");
  const std::string preview = Html("idMsg");
  EXPECT_NE(preview.find("Error(s):"), std::string::npos);
  EXPECT_NE(preview.find("Invalid field(s) in row 2:</b> x\ty"), std::string::npos);
  EXPECT_EQ(Js("document.querySelectorAll('#idMsg tr:not([style])').length").toInt(), 3)
      << "head row and two rows; the others are collapsed, for the columns' widths";

  Click("idTot");
  std::string copied;
  ASSERT_TRUE(WaitUntil([&] { return (copied = ClipboardText().value_or("")) == "3501"; })) << copied;
  Click("idNe");
  ASSERT_TRUE(WaitUntil([&] { return (copied = ClipboardText().value_or("")) == "2"; })) << copied;
}

TEST_F(Program, SpreadsheetClipboardsAreCapturedAsTheConverterReadsThem) {
  if (!std::filesystem::exists(FORM13F_SHEETS_DIR)) GTEST_SKIP() << "no shared spreadsheet clipboards";
  const struct {
    const char* sheet;
    const char* entries;
    const char* total;
  } cases[] = {
      {"sec-12-columns-heading-blank-cells.tsv", "10", "161,413,764"},
      {"figi-13-columns-heading.tsv", "10", "161,413,764"},
      {"dollars-cents-blank-voting.tsv", "6", "113,081,843"},
  };
  TempDir expected;
  for (const auto& c : cases) {
    const std::string table = ReadFile(std::string(FORM13F_SHEETS_DIR) + "/" + c.sheet);
    CaptureClipboard(table);
    EXPECT_NE(Text("idMsg").find(kUncheckedClean), std::string::npos) << c.sheet;
    EXPECT_EQ(Text("idNe"), c.entries) << c.sheet;
    EXPECT_EQ(Text("idTot"), c.total) << c.sheet;
    ConvertInfoTable(table, expected.File("tev_13f.xml"));
    EXPECT_EQ(ReadFile(OutputPath()), ReadFile(expected.File("tev_13f.xml"))) << c.sheet;
  }
  EXPECT_NE(Html("idMsg").find("<b>Market<br>Value<br>($)</b>"), std::string::npos);
}

TEST_F(Program, ChecksBeforeFilingStandApartAndNeverReadNoErrors) {
  if (!std::filesystem::exists(FORM13F_SHEETS_DIR)) GTEST_SKIP() << "no shared spreadsheet clipboards";
  std::string table = ReadFile(std::string(FORM13F_SHEETS_DIR) + "/sec-12-columns-heading-blank-cells.tsv");
  CaptureClipboard(table);
  EXPECT_NE(
      Text("idMsg").find(kUncheckedClean + "Other included managers named: 1, 2 (2 for the summary page's count)."),
      std::string::npos)
      << Text("idMsg");
  table.replace(table.find("023135106"), 9, "023135107");
  const size_t microsoft = table.find("MICROSOFT");
  table += table.substr(microsoft, table.find('\n', microsoft) + 1 - microsoft);
  CaptureClipboard(table);
  const std::string status = Text("idMsg");
  EXPECT_EQ(status.find("No errors"), std::string::npos);
  EXPECT_EQ(status.find("Error(s):"), std::string::npos);
  EXPECT_NE(status.find("Check before filing: written, but they look wrong or were changed to fit the document."),
            std::string::npos);
  EXPECT_NE(
      status.find("Check before filing in row 4: CUSIP \"023135107\" does not end with its check digit"),
      std::string::npos)
      << status;
  EXPECT_NE(status.find("Check before filing in row 12: the same holding as row 3"), std::string::npos)
      << status;
  EXPECT_EQ(Text("idNe"), "11") << "written as they stand";
}

TEST_F(Program, ALineThatNamesAWrittenRowLeadsToItByMouseAndKeys) {
  CaptureClipboard(MistypedAt2500());
  const QString line = "document.querySelector('span[data-entry=\"2500\"]')";
  ASSERT_TRUE(Js("!!" + line).toBool()) << Text("idMsg");
  // The marked row: its entry, and where it stands in the view and under the headings.
  const QString marked =
      "(function(){var r=document.querySelector('tr.f13Marked');if(!r)return '';var "
      "b=r.getBoundingClientRect();"
      "var h=document.getElementById('idPh').getBoundingClientRect().bottom;"
      "return r.cells[0].textContent+(b.top>=h-1&&b.bottom<=window.innerHeight?' in view':' out of "
      "view');})()";
  const auto leadsToTheRow = [&](const char* how) {
    EXPECT_TRUE(WaitUntil([&] { return Js(marked).toString() == "2500 in view"; }, 10000))
        << how << ": " << Js(marked).toString().toStdString();
  };
  ASSERT_TRUE(WaitUntil([this] { return !window()->preview.Filling(); }, 20000));
  const QPoint at(Js(line + ".getBoundingClientRect().left+3").toInt(),
                  Js(line + ".getBoundingClientRect().top+3").toInt());
  QTest::mouseClick(input(), Qt::LeftButton, {}, at);
  leadsToTheRow("a click");
  for (Qt::Key key : {Qt::Key_Space, Qt::Key_Return}) {
    Js("window.scrollTo(0,0);document.querySelector('tr.f13Marked').classList.remove('f13Marked');" + line +
       ".focus();0");
    EXPECT_EQ(Js(line + "===document.activeElement").toBool(), true);
    QTest::keyClick(input(), key);
    leadsToTheRow(key == Qt::Key_Space ? "Space" : "Enter");
  }
  EXPECT_EQ(Js("document.querySelector('tr.f13Marked').cells[2].textContent").toString(), "MISTYPED");
}

TEST_F(Program, WithRealInputAFilerJumpsFollowsALineAndCopies) {
  if (!HaveXdotool()) GTEST_SKIP() << "xdotool is not installed";
  CaptureClipboard(MistypedAt2500());
  ASSERT_TRUE(WaitUntil([this] { return !window()->preview.Filling(); }, 20000));
  window()->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window()));
  // The scroll bar's thumb, at the top, dragged to the middle of its track.
  QWidget* view = window()->browser;
  const int bar = view->width() - 7;
  ASSERT_EQ(Js("window.scrollY").toInt(), 0);
  // The pointer rests on the thumb before it is pressed, and the page takes
  // each move before the next, as a hand would give them.
  Xdotool(MoveTo(view->mapToGlobal(QPoint(bar, 19))));
  WaitForFrame(window()->Page());
  Xdotool("mousedown 1");
  WaitForFrame(window()->Page());
  for (int step = 1; step <= 4; ++step) {
    Xdotool(MoveTo(view->mapToGlobal(QPoint(bar, 19 + step * (view->height() / 2 - 19) / 4))));
    WaitForFrame(window()->Page());
  }
  Xdotool("mouseup 1");
  const QString entryInMiddle =
      "(function(){var r=document.elementFromPoint(20,window.innerHeight/2);"
      "r=r&&r.closest('#idPb tr');return r?Number(r.cells[0].textContent):0;})()";
  ASSERT_TRUE(WaitUntil([&] { return Js(entryInMiddle).toInt() > 0; }, 5000)) << "rows drawn where it landed";
  EXPECT_GT(Js(entryInMiddle).toInt(), 1000)
      << "the pointer was at " << QCursor::pos().x() << "," << QCursor::pos().y();
  EXPECT_LT(Js(entryInMiddle).toInt(), 2000);
  EXPECT_EQ(Js("document.getElementById('idPh').getBoundingClientRect().top").toInt(),
            Js("document.getElementById('idCtl').getBoundingClientRect().bottom").toInt())
      << "the headings are on screen, under the controls";
  EXPECT_EQ(Js("document.getElementById('idCtl').getBoundingClientRect().top").toInt(), 0)
      << "Capture, Submit and the counts stay in view";

  // The line that names entry 2500, clicked, brings its row under the headings.
  Js("window.scrollTo(0,0);0");
  WaitForFrame(window()->Page());
  const QString line = "document.querySelector('span[data-entry=\"2500\"]')";
  Xdotool(MoveTo(view->mapToGlobal(QPoint(Js(line + ".getBoundingClientRect().left+3").toInt(),
                                          Js(line + ".getBoundingClientRect().top+3").toInt()))) +
          " click 1");
  EXPECT_TRUE(WaitUntil(
      [&] {
        return Js("(function(){var r=document.querySelector('tr.f13Marked');if(!r)return false;"
                  "var b=r.getBoundingClientRect();return r.cells[2].textContent=='MISTYPED'&&"
                  "b.top>=document.getElementById('idPh').getBoundingClientRect().bottom-1&&"
                  "b.bottom<=window.innerHeight;})()")
            .toBool();
      },
      5000))
      << "the row is marked and in view";

  // Tab reaches the file path, and Enter copies it.
  Js("document.getElementById('btSubmit').focus()");
  Xdotool("key Tab");
  ASSERT_TRUE(WaitUntil([&] { return Js("document.activeElement.id").toString() == "idFf"; }, 2000));
  PutClipboardText("nothing copied yet");
  Xdotool("key Return");
  std::string copied;
  EXPECT_TRUE(WaitUntil([&] { return (copied = ClipboardText().value_or("")) == OutputPath(); })) << copied;
}

TEST_F(Program, RefusedRowsAndAJumpIntoALargePreviewAsAFilerSeesThem) {
  if (!std::filesystem::exists(FORM13F_SHEETS_DIR)) GTEST_SKIP() << "no shared spreadsheet clipboards";
  std::string table = ReadFile(std::string(FORM13F_SHEETS_DIR) + "/sec-12-columns-heading-blank-cells.tsv");
  table.replace(table.find("\tSH\t", table.find("MICROSOFT")), 4, "\tStock\t");
  table.replace(table.find("DFND", table.find("AMAZON")), 4, "joint");
  CaptureClipboard(table);
  const std::string errors = Text("idMsg");
  EXPECT_NE(errors.find("Invalid field(s) in row 3:"), std::string::npos) << errors;
  EXPECT_NE(errors.find("SH/PRN \"Stock\" is not SH or PRN"), std::string::npos) << errors;
  EXPECT_NE(errors.find("Invalid field(s) in row 4:"), std::string::npos) << errors;
  EXPECT_EQ(Text("idNe"), "8");
  EXPECT_EQ(Text("idTot"), "101,433,999");
  KeepScreenshot("capture-with-errors.png");

  CaptureClipboard(Issuers(20000));
  ASSERT_TRUE(WaitUntil([this] { return !window()->preview.Filling(); }, 20000));
  Js("window.scrollTo(0,document.body.scrollHeight/2);0");
  const QString firstShown =
      "(function(){var r=document.elementFromPoint(20,window.innerHeight/2);"
      "r=r&&r.closest('tr');return r?r.cells[0].textContent:'';})()";
  ASSERT_TRUE(WaitUntil([&] { return !Js(firstShown).toString().isEmpty(); }, 5000)) << "rows appear";
  const int entry = Js(firstShown).toString().toInt();
  EXPECT_GT(entry, 9000);
  EXPECT_LT(entry, 11000);
  EXPECT_EQ(Js("[].some.call(document.querySelectorAll('#idMsg td'),function(d){return "
               "d.cellIndex==2&&d.textContent=='ISSUER " +
               QString::number(entry - 1) + "';})")
                .toBool(),
            true)
      << "the row's name is its entry's";
  KeepScreenshot("large-preview.png");
}

TEST_F(Program, AltCCapturesToo) {
  CaptureClipboard(HoldingLine("ALPHA", "99999999999"), true);
  EXPECT_EQ(Text("idTot"), "99,999,999,999");
  EXPECT_NE(ReadFile(OutputPath()).find("<value>99999999999</value>"), std::string::npos);
  EXPECT_NE(Text("idMsg").find(kUncheckedClean), std::string::npos);
}

TEST_F(Program, FailedCapturesKeepThePreviousResults) {
  CaptureClipboard(HoldingLine("ALPHA", "5") + HoldingLine("BETA", "6"));
  const std::string document = ReadFile(OutputPath());
  // Every message for a capture that wrote nothing says what is kept.
  const std::string kept = "The previous tev_13f.xml is kept: 2 entries, a total of 11, written ";
  QImage image(4, 4, QImage::Format_RGB32);
  image.fill(Qt::red);
  const struct {
    std::string clipboard;
    const char* message;
    bool image;
  } cases[] = {
      {"", "The clipboard is empty.", false},
      {"", "The clipboard holds no text (an image or other data). Copy the table's rows and capture again.",
       true},
      {SheetLine({"a", "b", "c", "d", "e", "f", "g", "h", "i"}) + SheetLine({"k"}),
       "The clipboard does not contain valid data.", false},
      {"C:\\Users\\filer\\Documents\\tev_13f.xml",
       "The clipboard does not contain valid data. It holds one line of text, not a table: "
       "\"C:\\Users\\filer\\Documents\\tev_13f.xml\". Copy the table's rows and capture again.",
       false},
  };
  for (const auto& c : cases) {
    const int sounds = ExclamationsPlayed();
    if (c.image) {
      QGuiApplication::clipboard()->setImage(image);
      Js("document.getElementById('idMsg').innerHTML='waiting'");
      Click("btCapture");
      WaitForCapture();
    } else {
      CaptureClipboard(c.clipboard);
    }
    EXPECT_EQ(Html("idMsg").rfind(std::string("<font color=\"red\">") + c.message + "</font><br>" + kept, 0),
              0u)
        << Html("idMsg");
    EXPECT_EQ(ExclamationsPlayed(), sounds + 1);
    EXPECT_EQ(Text("idNe"), "2");
    EXPECT_EQ(Text("idTot"), "11");
    EXPECT_EQ(ReadFile(OutputPath()), document);
  }
  // Where and why a document could not be made, in plain words.
  const std::string folder = home_.File("Documents") + "/";
  chmod(OutputPath().c_str(), 0444);
  CaptureClipboard(HoldingLine("GAMMA", "7"));
  EXPECT_EQ(Html("idMsg").rfind("<font color=\"red\">Could not create file in the filing folder.<br>" +
                                    folder + ": the folder or tev_13f.xml is read-only.</font><br>" + kept,
                                0),
            0u);
  EXPECT_EQ(Text("idNe"), "2");
  EXPECT_EQ(ReadFile(OutputPath()), document);
  chmod(OutputPath().c_str(), 0644);
  std::filesystem::rename(home_.File("Documents"), home_.File("Moved"));
  CaptureClipboard(HoldingLine("GAMMA", "7"));
  EXPECT_EQ(Html("idMsg"),
            "<font color=\"red\">Could not create file in the filing folder.<br>" + folder +
                ": the folder does not exist.</font><br>There is no previous tev_13f.xml in the "
                "filing folder.");
}

TEST_F(Program, LargeTablesShowEveryRowInOrderAsAReaderScrolls) {
  std::string table;
  for (int i = 1; i <= 450; ++i) table += HoldingLine("ISSUER " + std::to_string(i), std::to_string(i));
  CaptureClipboard(table);
  ASSERT_TRUE(WaitUntil([this] { return !window()->preview.Filling(); }));
  // The collapsed rows that give the columns their widths carry a style.
  const QString drawn =
      "Array.from(document.querySelectorAll('#idPb tr:not([style])')).map(r=>r.cells[0].textContent+'|'+"
      "r.cells[1].textContent+'|'+r.cells[2].textContent).join(',')";
  std::map<int, std::string> seen;
  size_t mostDrawn = 0;
  for (int screen = 0; screen < 40; ++screen) {
    const QStringList rows = Js(drawn).toString().split(',');
    mostDrawn = std::max(mostDrawn, static_cast<size_t>(rows.size()));
    for (const QString& row : rows) seen[row.section('|', 0, 0).toInt()] = row.toStdString();
    Js("window.scrollBy(0,window.innerHeight);0");
    WaitForFrame(window()->Page());
  }
  ASSERT_EQ(seen.size(), 450u);
  for (const auto& [entry, row] : seen)
    EXPECT_EQ(row, std::to_string(entry) + "|" + std::to_string(entry) + "|ISSUER " + std::to_string(entry));
  EXPECT_LT(mostDrawn, 450u) << "only the rows near the view are drawn";
  EXPECT_EQ(Text("idNe"), "450");
  EXPECT_EQ(Text("idTot"), "101,475");
}

TEST_F(Program, EdgarsLargestTableLeavesThePageAnswering) {
  const std::string table = Issuers(250000);
  CaptureClipboard(table);
  EXPECT_EQ(Text("idNe"), "250,000") << "grouped as every number on screen";
  // How fast it answers is the capture benchmark's to measure; here, that
  // it answers at all while the rows are sent.
  ASSERT_TRUE(WaitUntil(
      [&] {
        EXPECT_EQ(Js("1+1").toInt(), 2);
        return !window()->preview.Filling();
      },
      240000));
  EXPECT_EQ(Js("f13Preview.rows.length").toInt(), 250000);
  Js("window.scrollTo(0,document.body.scrollHeight/2);0");
  WaitForFrame(window()->Page());
  EXPECT_EQ(
      Js("document.elementFromPoint(20,document.body.clientHeight-3).closest('tr').cells[0].textContent")
          .toString()
          .isEmpty(),
      false)
      << "rows in the middle are shown";
  EXPECT_EQ(Js("1+1").toInt(), 2) << "the page answers";
}

TEST_F(Program, TheWindowAnswersWhileATableConvertsAndASecondCaptureFollows) {
  CaptureClipboard(HoldingLine("ALPHA", "5"));
  PutClipboardText(Issuers(250000));
  Click("btCapture");
  // The press has been handled and the table converts on: the conversion
  // does not hold the window.
  ASSERT_TRUE(WaitUntil([this] { return window()->capture.Running(); }, 5000));
  EXPECT_EQ(Js("1+1").toInt(), 2) << "the page answers";
  // Pressed again with other rows copied: that capture follows the first.
  PutClipboardText(HoldingLine("BETA", "6") + HoldingLine("GAMMA", "7"));
  Click("btCapture");
  ASSERT_TRUE(WaitUntil([&] { return !window()->capture.Running() && Text("idNe") == "2"; }, 60000))
      << Text("idNe");
  EXPECT_EQ(Text("idTot"), "13");
  const std::string document = ReadFile(OutputPath());
  EXPECT_NE(document.find("GAMMA"), std::string::npos);
  EXPECT_EQ(document.find("ISSUER 1"), std::string::npos);
}

TEST_F(Program, NothingToFileKeepsThePreviousDocumentAndSaysWhy) {
  CaptureClipboard(HoldingLine("ALPHA", "5") + HoldingLine("BETA", "6"));
  const std::string previous = ReadFile(OutputPath());
  const std::string heading =
      SheetLine({"NAME OF ISSUER", "TITLE OF CLASS", "CUSIP", "VALUE", "SHRS OR PRN AMT", "SH/PRN",
                 "PUT/CALL", "INVESTMENT DISCRETION", "OTHER MANAGER", "SOLE", "SHARED", "NONE"});
  const struct {
    std::string clipboard;
    const char* why;
  } cases[] = {
      {heading, "the copy holds only a heading"},
      {heading + SheetLine({"x", "y"}) + HoldingLine("GAMMA", "n/a"), "every row was refused"},
  };
  for (const auto& c : cases) {
    const int sounds = ExclamationsPlayed();
    CaptureClipboard(c.clipboard);
    EXPECT_NE(Text("idMsg").find(std::string("Nothing was written: ") + c.why +
                                 ", so the previous tev_13f.xml is kept as it was."),
              std::string::npos)
        << Text("idMsg");
    EXPECT_EQ(ReadFile(OutputPath()), previous);
    EXPECT_EQ(Text("idNe"), "2") << "the counts of the document that is kept";
    EXPECT_EQ(Text("idTot"), "11");
    EXPECT_EQ(ExclamationsPlayed(), sounds + 1);
  }
}

TEST_F(Program, ClipboardsOfOtherProgramsAreReadAsTheyOfferThem) {
  if (std::system("xclip -version >/dev/null 2>&1") != 0) GTEST_SKIP() << "xclip is not installed";
  const std::string data = FORM13F_TEST_DATA_DIR;
  TempDir expected;
  ConvertInfoTable(ReadFile(data + "/gnumeric-clipboard.tsv"), expected.File("tev_13f.xml"));
  const std::string document = ReadFile(expected.File("tev_13f.xml"));
  std::string excelWithLf = ReadFile(data + "/excel-form-clipboard.tsv");
  for (size_t at; (at = excelWithLf.find("\r\n")) != std::string::npos;) excelWithLf.erase(at, 1);
  WriteFile(expected.File("excel-lf.tsv"), excelWithLf);
  // Each is offered by xclip as the only text target, as another program offers it.
  for (const std::string& file : {data + "/gnumeric-clipboard.tsv", data + "/excel-form-clipboard.tsv",
                                  expected.File("excel-lf.tsv")}) {
    PutClipboardText("ours until xclip takes it");
    QProcess owner;
    owner.start("xclip", {"-quiet", "-selection", "clipboard", "-t", "UTF8_STRING", "-i",
                          QString::fromStdString(file)});
    ASSERT_TRUE(WaitUntil([] { return !QGuiApplication::clipboard()->ownsClipboard(); })) << file;
    Js("document.getElementById('idMsg').innerHTML='waiting'");
    Click("btCapture");
    WaitForCapture();
    owner.kill();
    owner.waitForFinished();
    EXPECT_EQ(Text("idNe"), "10") << file << ": " << Text("idMsg");
    EXPECT_EQ(ReadFile(OutputPath()), document) << file;
  }
}

TEST_F(Program, RealGnumericCopiesAreCapturedWholeAndInUtf8) {
  if (std::system("gnumeric --version >/dev/null 2>&1") != 0 || !HaveXdotool())
    GTEST_SKIP() << "Gnumeric or xdotool is not installed";
  TempDir sheet;
  // The window title names the file: one of this test's own, on this display.
  std::filesystem::copy_file(FORM13F_TEST_DATA_DIR "/gnumeric-holdings.gnumeric",
                             sheet.File("f13holdings.gnumeric"));
  QProcess copier;
  copier.start(FORM13F_TEST_SUPPORT_DIR "/capture-gnumeric-clipboard.sh",
               {QString::fromStdString(sheet.File("f13holdings.gnumeric")), "--hold"});
  ASSERT_TRUE(copier.waitForFinished(60000));
  const QString gnumeric = QString(copier.readAllStandardOutput()).trimmed();
  ASSERT_EQ(copier.exitCode(), 0) << copier.readAllStandardError().toStdString();
  window()->activateWindow();
  Js("document.getElementById('idMsg').innerHTML='waiting'");
  Click("btCapture");
  WaitForCapture();
  QProcess::execute("kill", {gnumeric});
  EXPECT_EQ(Text("idNe"), "10") << Text("idMsg");
  EXPECT_EQ(Text("idTot"), "161,413,764");
  const std::string xml = ReadFile(OutputPath());
  EXPECT_NE(xml.find("<nameOfIssuer>MCDONALD'S CORP</nameOfIssuer>"), std::string::npos)
      << "the UTF-8 text, never Latin-1's \\u2019";
  EXPECT_NE(xml.find("<titleOfClass>CAP STK CL A</titleOfClass>"), std::string::npos);
  const std::string status = Text("idMsg");
  EXPECT_LT(status.find("Check before filing:"), status.find("Invalid character in row 11:"))
      << "a row written with a changed character is checked, not refused: " << status;
}

TEST_F(Program, CellsThatHoldMarkupStayTextAndRunNothing) {
  TempDir bin;
  const std::string record = bin.File("record.txt");
  StubOpener(bin, "echo opened > " + record);
  CaptureClipboard(HoldingLine("<img src=x onerror=\"location='|btSubmit'\">", "1") +
                   HoldingLine("<script>location='|btSubmit'</script>", "1") +
                   HoldingLine("&amp; |btSubmit", "1") +
                   SheetLine({"<b onmouseover=\"location='|csTot'\">|btSubmit</b>", "x"}));
  // The rows had lines, so a Submit the cells raised would have spoken in
  // its notice before opening anything.
  WaitForEarlierEvents();
  EXPECT_EQ(Text("idSub"), "") << "nothing in the cells pressed Submit";
  EXPECT_FALSE(std::filesystem::exists(record));
  EXPECT_EQ(Js("document.querySelectorAll('#idMsg img,#idMsg script,#idMsg b b').length").toInt(), 0);
  const std::string text = Text("idMsg");
  EXPECT_NE(text.find("<img src=x onerror="), std::string::npos);
  EXPECT_NE(text.find("<script>location='|btSubmit'</script>"), std::string::npos);
  EXPECT_NE(text.find("&amp; |btSubmit"), std::string::npos);
}

TEST_F(Program, OutOfMemoryIsAMessageAndTheProgramGoesOn) {
  CaptureClipboard(HoldingLine("ALPHA", "5"));
  const std::string document = ReadFile(OutputPath());
  const std::string table = Issuers(150000);
  PutClipboardText(table);
  std::string box;
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [&] {
    if (auto* shown = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      box = (shown->windowTitle() + ": " + shown->text()).toStdString();
      shown->close();
    }
  });
  closer.start(20);
  {
    // A copy of the text fits, the preview of this table needs more in one piece.
    AllocationLimit limit(table.size() + table.size() / 7);
    Click("btCapture");
    ASSERT_TRUE(WaitUntil([&] { return !box.empty(); }, 20000));
  }
  EXPECT_EQ(box, "Error: Out of Memory!");
  EXPECT_EQ(ReadFile(OutputPath()), document);
  CaptureClipboard(HoldingLine("BETA", "6"));
  EXPECT_EQ(Text("idTot"), "6") << "the program went on";
}

TEST_F(Program, ConvertingIsSaidAtOnceAndNothingActsOnTheScreenItClears) {
  if (!HaveXdotool()) GTEST_SKIP() << "xdotool is not installed";
  window()->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window()));
  CaptureClipboard(HoldingLine("ALPHA", "5") + SheetLine({"x", "y"}));
  ASSERT_NE(Text("idMsg").find("Invalid field(s) in row 2"), std::string::npos);
  PutClipboardText(Issuers(250000));
  RealClick(window(), "btCapture");
  ASSERT_TRUE(WaitUntil([this] { return Text("idMsg").find("Converting") != std::string::npos; }));
  EXPECT_EQ(Text("idMsg").find("Invalid field(s)"), std::string::npos) << "the previous lines are cleared";
  ASSERT_TRUE(window()->capture.Running()) << "said before the conversion ends";
  // The count, copied now, would describe a document about to be replaced.
  const int sounds = ExclamationsPlayed();
  RealClick(window(), "idNe");
  ASSERT_TRUE(WaitUntil([&] { return ExclamationsPlayed() > sounds; }));
  std::string copied;
  EXPECT_TRUE((copied = ClipboardText().value_or("")).size() > 1000) << "the copied table is still there";
  ASSERT_TRUE(WaitUntil([this] { return Text("idNe") == "250,000"; }, 60000));
}

TEST_F(Program, GroupedCheckLinesShowAllTheirRowsAndLeadToThem) {
  if (!HaveXdotool()) GTEST_SKIP() << "xdotool is not installed";
  window()->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window()));
  std::string table;
  for (int i = 0; i < 3000; ++i) table += HoldingLine("SAME", "1");
  CaptureClipboard(table);
  ASSERT_NE(Text("idMsg").find("Check before filing in 2,999 rows"), std::string::npos)
      << Text("idMsg").substr(0, 300);
  Xdotool(MoveTo(window()->browser->mapToGlobal(QPoint(
              Js("document.querySelector('span[data-group]').getBoundingClientRect().left+4").toInt(),
              Js("document.querySelector('span[data-group]').getBoundingClientRect().top+4").toInt()))) +
          " click 1");
  ASSERT_TRUE(WaitUntil([&] { return Js("!!document.getElementById('f13Group0')").toBool(); }));
  ASSERT_TRUE(WaitUntil([&] { return Js("f13Preview.groups[0].lines.length").toInt() == 2999; }));
  EXPECT_LT(Js("document.getElementById('f13Group0').lastChild.children.length").toInt(), 30)
      << "only the lines in the box's view are drawn";
  // In a narrow window the lines wrap, each in a slot of one height.
  const int slot = Js("f13Preview.groups[0].slot").toInt();
  window()->resize(260, window()->height());
  ASSERT_TRUE(WaitUntil([&] { return Js("f13Preview.groups[0].slot").toInt() > slot; })) << "lines wrap";
  EXPECT_LE(Js("document.getElementById('f13Group0').scrollWidth").toInt(),
            Js("document.getElementById('f13Group0').clientWidth").toInt())
      << "nothing cut at the right";
  window()->resize(900, window()->height());
  // The box scrolled to its end shows the last row's line.
  const QString box = "document.getElementById('f13Group0')";
  const QPoint inBox(Js(box + ".getBoundingClientRect().left+40").toInt(),
                     Js(box + ".getBoundingClientRect().top+20").toInt());
  Xdotool(MoveTo(window()->browser->mapToGlobal(inBox)));
  Js(box + ".scrollTop=" + box + ".scrollHeight;0");
  WaitForFrame(window()->Page());
  ASSERT_NE(Js(box + ".lastChild.textContent").toString().indexOf("Row 3000: the same holding as row 1"), -1)
      << Js(box + ".lastChild.textContent").toString().toStdString();
  // A line leads to its row.
  const QString last = box + ".lastChild.lastChild.firstChild";
  Xdotool(
      MoveTo(window()->browser->mapToGlobal(QPoint(Js(last + ".getBoundingClientRect().left+3").toInt(),
                                                   Js(last + ".getBoundingClientRect().top+3").toInt()))) +
      " click 1");
  ASSERT_TRUE(WaitUntil([&] { return Js("f13Preview.marked").toInt() == 3000; }));
}

// Ctrl+F finds rows in the preview's data, drawn or not, in any case, on
// from the row last led to; Esc gives the focus back to the page.
TEST_F(Program, CtrlFFindsRowsThePreviewHasNotDrawnAndLeadsToThem) {
  if (!HaveXdotool()) GTEST_SKIP() << "xdotool is not installed";
  window()->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window()));
  CaptureClipboard(Issuers(3000));
  ASSERT_LT(Js("document.querySelectorAll('#idPb tr').length").toInt(), 500) << "most rows are not drawn";
  RealClick(window(), "idNe");
  Xdotool("key ctrl+f");
  ASSERT_TRUE(WaitUntil([] {
    return QApplication::focusWidget() && QApplication::focusWidget()->objectName() == "previewFind";
  }));
  auto* note = window()->findChild<QLabel*>("previewFindNote");
  ASSERT_NE(note, nullptr);
  const struct {
    const char* keys;
    int entry;  // 0: not found, said under the field
  } steps[] = {
      {"type 'issuer 2500'", 0},  {"key Return", 2501},  // ISSUER 0 is entry 1
      {"key ctrl+a BackSpace", 0}, {"type 'ISSUER 1'", 0}, {"key shift+Return", 2000},  // ISSUER 1999
      {"key Return", 2},          {"key ctrl+a BackSpace", 0}, {"type 'no such issuer'", 0},
      {"key Return", -1},
  };
  for (const auto& step : steps) {
    Xdotool(step.keys);
    if (step.entry > 0) {
      ASSERT_TRUE(WaitUntil([&] { return Js("f13Preview.marked").toInt() == step.entry; }))
          << step.keys << ": " << Js("f13Preview.marked").toInt();
      EXPECT_EQ(note->text().toStdString(), "Entry " + GroupThousands(std::to_string(step.entry)));
      EXPECT_NE(Js("document.querySelector('tr.f13Marked').textContent").toString().indexOf(
                    QString("ISSUER %1").arg(step.entry - 1)),
                -1)
          << "the row is drawn, marked";
    } else if (step.entry < 0) {
      ASSERT_TRUE(WaitUntil([&] { return note->text() == kNotInPreviewText; }));
      EXPECT_EQ(Js("f13Preview.marked").toInt(), 2) << "the row last found stays marked";
    }
  }
  Xdotool("key Escape");
  ASSERT_TRUE(WaitUntil([&] { return QApplication::focusWidget() == window()->browser->focusProxy(); }));
  EXPECT_FALSE(note->isVisible());
}

TEST_F(Program, AListOfSecuritiesInTheFilingFolderIsUsedAndNamed) {
  if (!HaveXdotool()) GTEST_SKIP() << "xdotool is not installed";
  window()->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window()));
  const std::string table = HoldingLine("ALPHA", "5") + HoldingLine("BETA", "6");
  PutClipboardText(table);
  Js("document.getElementById('idMsg').innerHTML='waiting'");
  Xdotool("key --clearmodifiers alt+c");
  WaitForCapture();
  const std::string without = Text("idMsg");
  EXPECT_NE(
      without.find("The rows were not checked against the SEC's Official List of Section 13(f) Securities"),
      std::string::npos)
      << without;
  EXPECT_NE(without.find(kUncheckedClean), std::string::npos) << "never a plain \"No errors.\" unchecked";
  EXPECT_EQ(without.find("No errors."), std::string::npos);

  // A list dropped into the filing folder: ALPHA on it, BETA not; an older
  // quarter's in the downloads folder is passed over.
  std::filesystem::create_directory(home_.File("Downloads"));
  WriteFile(home_.File("Downloads/13flist2025q4.txt"),
            ListLine(CusipFor("BETA"), false, "BETA", "COM") + "\n");
  WriteFile(home_.File("Documents/13flist2026q2.txt"),
            ListLine(CusipFor("ALPHA"), false, "ALPHA", "COM") + "\n");
  Js("document.getElementById('idMsg').innerHTML='waiting'");
  Xdotool("key --clearmodifiers alt+c");
  WaitForCapture();
  const std::string with = Text("idMsg");
  EXPECT_NE(
      with.find(
          "Checked against the SEC's list of 13(f) securities, 13flist2026q2.txt (2026 Q2): 1 of 2 rows "
          "are on it."),
      std::string::npos)
      << with;
  EXPECT_NE(with.find("Check before filing in row 2: CUSIP \"" + CusipFor("BETA") +
                      "\" is not on the Official List"),
            std::string::npos)
      << with;

  // A newer list cut short beside it: the good one is still used, the cut
  // one named.
  const std::string line = ListLine(CusipFor("BETA"), false, "BETA", "COM");
  WriteFile(home_.File("Downloads/13flist2026q3.txt"), line + "\n" + line.substr(0, 30));
  Js("document.getElementById('idMsg').innerHTML='waiting'");
  Xdotool("key --clearmodifiers alt+c");
  WaitForCapture();
  const std::string beside = Text("idMsg");
  EXPECT_NE(beside.find("13flist2026q2.txt (2026 Q2): 1 of 2 rows are on it. " + home_.File("Downloads") +
                        "/13flist2026q3.txt ends in the middle of line 2"),
            std::string::npos)
      << beside;
  EXPECT_NE(beside.find("is not on the Official List"), std::string::npos) << "the good list's checks stay";

  // The good one gone, an older good one is used; with only the cut one,
  // nothing says the rows were checked.
  std::filesystem::remove(home_.File("Documents/13flist2026q2.txt"));
  Js("document.getElementById('idMsg').innerHTML='waiting'");
  Xdotool("key --clearmodifiers alt+c");
  WaitForCapture();
  EXPECT_NE(Text("idMsg").find("13flist2025q4.txt (2025 Q4): 1 of 2 rows are on it."), std::string::npos);
  std::filesystem::remove(home_.File("Downloads/13flist2025q4.txt"));
  Js("document.getElementById('idMsg').innerHTML='waiting'");
  Xdotool("key --clearmodifiers alt+c");
  WaitForCapture();
  const std::string cut = Text("idMsg");
  EXPECT_EQ(cut.find("No errors."), std::string::npos) << cut;
  EXPECT_NE(cut.find("not checked against the SEC's list"), std::string::npos) << cut;
  EXPECT_NE(cut.find("13flist2026q3.txt ends in the middle of line 2"), std::string::npos) << cut;
}

// The memory of a large preview goes back with its page: the small capture
// after it has a page of its own, set up as at start-up.

TEST_F(Program, ASmallCaptureAfterALargeOneHasAPageOfItsOwn) {
  CaptureClipboard(Issuers(PreviewSender::kLargePreview + 1));
  ASSERT_TRUE(WaitUntil([this] { return !window()->preview.Filling(); }, 20000));
  QWebEnginePage* large = window()->Page();
  CaptureClipboard(HoldingLine("ALPHA", "5"));
  EXPECT_NE(window()->Page(), large);
  EXPECT_EQ(Text("idNe"), "1");
  EXPECT_EQ(Text("idFf"), OutputPath());
  EXPECT_TRUE(Js("!!document.getElementById('idCtl')").toBool()) << "arranged as at start-up";
  EXPECT_NE(Text("idMsg").find(kUncheckedClean), std::string::npos);
  Click("idNe");
  ASSERT_TRUE(WaitUntil([] {
    std::string copied;
    return (copied = ClipboardText().value_or("")) == "1";
  }));
}

}  // namespace
