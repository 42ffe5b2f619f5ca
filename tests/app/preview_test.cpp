// Large previews in blocks: they must look exactly like the single table.
#include "app/preview.h"

#include <QImage>

#include "bench/generated_table.h"
#include "form/dom.h"
#include "form/page.h"
#include "infotable/conversion.h"
#include "tests/support/page_fixture.h"
#include "tests/support/temp_dir.h"

namespace {

// Where two screens differ, as a filer would look for it: the rectangle
// around every pixel that differs, or an empty text when none does.
std::string Difference(const QImage& a, const QImage& b) {
  if (a.size() != b.size()) return "sizes differ";
  QRect box;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x)
      if (a.pixel(x, y) != b.pixel(x, y)) box |= QRect(x, y, 1, 1);
  if (box.isNull()) return "";
  return "pixels differ in " + std::to_string(box.width()) + "x" + std::to_string(box.height()) + " at " +
         std::to_string(box.x()) + "," + std::to_string(box.y());
}

class Preview : public PageFixture {
 protected:
  void SetUp() override {
    Show(BuildMainPage());
    host().resize(872, 634);
    Pause(50);
  }
  // The page as it shows, without the scroll bar: until a block has been on
  // screen its height is a guess, so the bar may differ from the single table's.
  QImage Screen() {
    Js("document.body.offsetHeight");  // lays out what is still pending
    Pause(100);                        // and lets it be painted
    const QImage view = host().browser->grab().toImage();
    const int bar = Js("window.innerWidth-document.documentElement.clientWidth").toInt();
    return view.copy(0, 0, view.width() - bar, view.height());
  }
  // Scrolls down a screen at a time, as a reader does, until the row whose
  // number is `entry` is on the page, then brings it to the top of the view.
  void ScrollToEntry(int entry) {
    const QString find = QString(
                             "[].find.call(document.querySelectorAll('#idMsg td.itbl'),"
                             "function(td){return td.textContent=='%1'&&td.cellIndex==0;})")
                             .arg(entry);
    for (int screen = 0; screen < 200 && !Js("!!" + find).toBool(); ++screen) {
      Js("window.scrollBy(0,window.innerHeight);0");
      Pause(50);
    }
    Js("window.scrollTo(0," + find + ".getBoundingClientRect().top+window.scrollY);0");
    // Rows reach the bottom of the view once the blocks there are drawn.
    ASSERT_TRUE(WaitUntil(
        [&] { return Js("!!document.elementFromPoint(20,window.innerHeight-3).closest('td')").toBool(); }));
    Pause(200);
  }
};

TEST_F(Preview, BlocksLookLikeTheSingleTableUnderHeadingsThatStayInView) {
  TempDir dir;
  std::string table;
  for (int i = 0; i < 1000; ++i)  // names of many widths, one far wider than the rest;
    table +=
        (i == 617 ? std::string("A VERY LONG ISSUER NAME THAT SETS THE WIDTH OF ITS COLUMN FOR EVERY BLOCK")
                  : "ISSUER " + std::string(static_cast<size_t>(i % 23), 'W')) +
        // a CUSIP of as many characters as the others, but of wide ones
        "\tCOM\t" + (i == 333 ? std::string("WW1234567") : std::to_string(100000000 + i)) + "\t" +
        std::to_string(i * 997) + "\t" + std::to_string(i) + "\tSH\tn/a\tSOLE\tn/a\t" + std::to_string(i) +
        "\t0\t0\n";
  const Conversion conversion = ConvertInfoTable(table, dir.File("tev_13f.xml"));
  ShowPreview(conversion.previewStatus, conversion.previewTable);
  ASSERT_TRUE(WaitUntil([] { return !PreviewFilling(); }, 20000));
  Pause(300);
  const QImage blocksFirst = Screen();
  ScrollToEntry(590);
  // The column headings stay at the top of the view; below them the rows
  // must look as the single table's do.
  EXPECT_EQ(Js("document.getElementById('idPh').getBoundingClientRect().top").toInt(), 0)
      << "headings in view";
  const int below = Js("Math.ceil(document.getElementById('idPh').getBoundingClientRect().bottom)").toInt();
  const auto underHeadings = [below](const QImage& screen) {
    return screen.copy(0, below, screen.width(), screen.height() - below);
  };
  const QImage blocksMiddle = underHeadings(Screen());
  const QString cellsOf500 =
      "(function(){var c=[].find.call(document.querySelectorAll('#idMsg td.itbl'),function(td){return "
      "td.textContent=='500'&&td.cellIndex==0;});return [].map.call(c.parentElement.cells,function(d){var "
      "r=d.getBoundingClientRect();return r.left+':'+r.width;}).join(' ');})()";
  const std::string blockCells = Js(cellsOf500).toString().toStdString();

  Js("window.scrollTo(0,0)");
  Js(QString::fromStdString(
      "document.getElementById('idMsg').innerHTML=" + ScriptLiteral(PreviewHtml(conversion)) + ";1"));
  Pause(300);
  EXPECT_EQ(Difference(Screen(), blocksFirst), "") << "the first screen";
  ScrollToEntry(590);
  EXPECT_EQ(Difference(underHeadings(Screen()), blocksMiddle), "")
      << "a screen in the middle, across two blocks";

  EXPECT_EQ(Js(cellsOf500).toString().toStdString(), blockCells);
}

}  // namespace
