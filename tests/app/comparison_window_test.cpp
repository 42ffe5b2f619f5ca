// The table against last quarter's filing in the window: the filing found in
// the filing folder and named, its lines leading to their rows, and the
// comparison view sorted and leading to rows, all by real X input.
#include "app/comparison_window.h"

#include <QHeaderView>
#include <QTableWidget>

#include "tests/support/program_fixture.h"

namespace {

std::string Holding(const std::string& name, const std::string& value, const std::string& shares) {
  return SheetLine(
      {name, "COM", CusipFor(name), value, shares, "SH", "n/a", "SOLE", "n/a", shares, "0", "0"});
}

TEST_F(Program, LastQuartersFilingIsFoundNamedAndLeadsToTheRowsThatChanged) {
  if (!HaveXdotool()) GTEST_SKIP() << "xdotool is not installed";
  // This quarter: issuer 2 left in thousands, issuer 5 sold, NEWCO bought.
  std::string last, now;
  for (int i = 0; i < 6; ++i) {
    const std::string name = "ISSUER " + std::to_string(i);
    last += Holding(name, "150000", "1000");
    if (i != 5)
      now += Holding(name, i == 2 ? "150" : std::to_string(150000 + i * 1000), std::to_string(1000 + i));
  }
  now += Holding("NEWCO", "90000", "500");
  ASSERT_EQ(ConvertInfoTable(last, home_.File("Documents/last-quarter.xml")).outcome,
            ConversionOutcome::kWritten);
  window()->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window()));
  CaptureClipboard(now);
  const std::string status = Html("idMsg");
  EXPECT_NE(status.find("Compared with last quarter's filing, last-quarter.xml: 1 new holding, 1 closed."),
            std::string::npos)
      << status;
  EXPECT_NE(status.find("value per share $0.1497 now, $150.00 last quarter"), std::string::npos) << status;

  // The line leads to ISSUER 2's row.
  const QString line = "document.querySelector('span[data-entry=\"3\"]')";
  ASSERT_TRUE(Js("!!" + line).toBool()) << status;
  ASSERT_TRUE(WaitUntil([this] { return !window()->preview.Filling(); }, 20000));
  const QString marked =
      "(function(){var r=document.querySelector('tr.f13Marked');return r?r.cells[2].textContent:'';})()";
  Xdotool(
      MoveTo(window()->browser->mapToGlobal(QPoint(Js(line + ".getBoundingClientRect().left+3").toInt(),
                                                   Js(line + ".getBoundingClientRect().top+3").toInt()))) +
      " click 1");
  ASSERT_TRUE(WaitUntil([&] { return Js(marked).toString() == "ISSUER 2"; }))
      << Js(marked).toString().toStdString();

  RealClick(window(), "idCompare");
  ASSERT_TRUE(WaitUntil([] { return Shown<ComparisonWindow>() != nullptr; }));
  ComparisonWindow* view = Shown<ComparisonWindow>();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(view));
  auto* table = view->findChild<QTableWidget*>("comparisonTable");
  ASSERT_EQ(table->rowCount(), 6) << "4 changed, 1 new, 1 closed";
  const auto cell = [&](int row, int column) { return table->item(row, column)->text().toStdString(); };
  EXPECT_EQ(cell(0, ComparisonWindow::kName) + " " + cell(0, ComparisonWindow::kStatus), "NEWCO new")
      << "the largest gain in value first";
  EXPECT_EQ(cell(5, ComparisonWindow::kName) + " " + cell(5, ComparisonWindow::kStatus), "ISSUER 5 closed");

  // A click on a heading sorts by it.
  QHeaderView* header = table->horizontalHeader();
  ASSERT_TRUE(QTest::qWaitForWindowActive(view));
  table->scrollToItem(table->item(0, ComparisonWindow::kSharesChange));
  QApplication::processEvents();
  const QPoint heading(header->sectionViewportPosition(ComparisonWindow::kSharesChange) + 10,
                       header->height() / 2);
  Xdotool(MoveTo(header->viewport()->mapToGlobal(heading)) + " click 1");
  ASSERT_TRUE(WaitUntil([&] { return header->sortIndicatorSection() == ComparisonWindow::kSharesChange; }));
  for (int row = 1; row < table->rowCount(); ++row)
    EXPECT_EQ(header->sortIndicatorOrder() == Qt::AscendingOrder,
              table->item(row - 1, ComparisonWindow::kSharesChange)->data(Qt::DisplayRole).toLongLong() <=
                  table->item(row, ComparisonWindow::kSharesChange)->data(Qt::DisplayRole).toLongLong())
        << "row " << row;

  // A double-click on NEWCO shows its row in the preview.
  int newco = 0;
  while (cell(newco, ComparisonWindow::kName) != "NEWCO") ++newco;
  const QRect rect = table->visualRect(table->model()->index(newco, ComparisonWindow::kName));
  Xdotool(MoveTo(table->viewport()->mapToGlobal(rect.center())) + " click --repeat 2 --delay 80 1");
  ASSERT_TRUE(WaitUntil([&] { return Js(marked).toString() == "NEWCO"; }))
      << Js(marked).toString().toStdString();
  view->close();
}

}  // namespace
