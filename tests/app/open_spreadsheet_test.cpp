// Workbooks in the window: opened by Ctrl+O and its file dialog, dropped on
// the page, the sheet asked for when two hold a table, a bad file named, all
// by real X input but the drop.
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QUrl>

#include "tests/support/program_fixture.h"

namespace {

std::string Workbook(const std::string& name) { return std::string(FORM13F_WORKBOOK_DATA_DIR) + "/" + name; }

TEST_F(Program, WorkbooksOpenedOrDroppedAreCapturedFromTheirTablesSheet) {
  if (!HaveXdotool()) GTEST_SKIP() << "xdotool is not installed";
  window()->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window()));
  Js("document.getElementById('idMsg').innerHTML='waiting'");
  Xdotool(MoveTo(window()->browser->mapToGlobal(Centre("idMsg"))) + " click 1 key ctrl+o");
  ASSERT_TRUE(WaitUntil([] { return Shown<QFileDialog>() != nullptr; }));
  ASSERT_TRUE(QTest::qWaitForWindowActive(Shown<QFileDialog>()));
  // A click gives the name field the X server's focus too, which a dialog
  // just shown may not have yet.
  auto* name = Shown<QFileDialog>()->findChild<QLineEdit*>("fileNameEdit");
  ASSERT_NE(name, nullptr);
  Xdotool(MoveTo(name->mapToGlobal(QPoint(10, name->height() / 2))) + " click 1");
  Xdotool("type --delay 5 '" + Workbook("gnumeric-holdings.xlsx") + "'");
  ASSERT_TRUE(WaitUntil([&] { return name->text().toStdString() == Workbook("gnumeric-holdings.xlsx"); }))
      << name->text().toStdString();
  Xdotool("key Return");
  WaitForCapture();
  EXPECT_NE(
      Text("idMsg").find("Read sheet \"Holdings\" of gnumeric-holdings.xlsx. Rows 1–3, above the table, "
                         "are not holdings: left out."),
      std::string::npos)
      << Text("idMsg");
  EXPECT_EQ(Text("idNe"), "7");
  const std::string written = ReadFile(OutputPath());
  EXPECT_NE(written.find("<cusip>037833100</cusip>"), std::string::npos);

  // Dropped: a workbook whose table is on two sheets asks which.
  const auto drop = [&](const std::string& path) {
    Js("document.getElementById('idMsg').innerHTML='waiting'");
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
    const QPoint at = Centre("idMsg");
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(input(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(input(), &dropped);
  };
  drop(Workbook("calc-two-tables.ods"));
  WaitForCapture();
  EXPECT_NE(Text("idMsg").find("calc-two-tables.ods holds a table on 2 sheets"), std::string::npos)
      << Text("idMsg");
  ASSERT_TRUE(WaitUntil([] { return Shown<QInputDialog>() != nullptr; }));
  QInputDialog* ask = Shown<QInputDialog>();
  ASSERT_TRUE(QTest::qWaitForWindowActive(ask));
  Js("document.getElementById('idMsg').innerHTML='waiting'");
  // A click on the dialog's text gives it the X server's focus; the list keeps Qt's.
  auto* label = ask->findChild<QLabel*>();
  ASSERT_NE(label, nullptr);
  Xdotool(MoveTo(label->mapToGlobal(QPoint(5, label->height() / 2))) + " click 1 key Down");
  ASSERT_TRUE(WaitUntil([] { return Shown<QInputDialog>()->textValue() == "2026Q3"; }));
  Xdotool("key Return");
  WaitForCapture();
  EXPECT_NE(Text("idMsg").find("Read sheet \"2026Q3\" of calc-two-tables.ods."), std::string::npos)
      << Text("idMsg");

  // A file that is no workbook is named, and the document stays.
  const std::string kept = ReadFile(OutputPath());
  WriteFile(home_.File("holdings.xlsx"), "%PDF-1.7\n");
  drop(home_.File("holdings.xlsx"));
  WaitForCapture();
  EXPECT_NE(Text("idMsg").find("holdings.xlsx is a PDF document, not a workbook"), std::string::npos)
      << Text("idMsg");
  EXPECT_EQ(ReadFile(OutputPath()), kept);
  EXPECT_EQ(Text("idNe"), "7");
}

}  // namespace
