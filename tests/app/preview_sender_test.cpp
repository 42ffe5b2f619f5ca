// Large previews drawn where the filer looks: they must look exactly like the single table.
#include "app/preview_sender.h"

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
    ASSERT_TRUE(WaitUntil([&] { return Js("window.innerWidth").toInt() == host().browser->width(); }));
  }
  // The page as it shows, scroll bars and all.
  QImage Screen() {
    WaitForFrame(page());
    return host().browser->grab().toImage();
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
      WaitForFrame(page());
    }
    Js("window.scrollTo(0," + find + ".getBoundingClientRect().top+window.scrollY);0");
    // Rows reach the bottom of the view once they are drawn.
    ASSERT_TRUE(WaitUntil([&] {
      return Js("!!document.elementFromPoint(20,document.body.clientHeight-3).closest('td')").toBool();
    }));
    WaitForFrame(page());
  }
};

TEST_F(Preview, DrawnRowsLookLikeTheSingleTableUnderHeadingsThatStayInView) {
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
  // What a filer sees: the first screen; a screen in the middle and the last
  // one, under the headings, which stay in view; where a row's cells stand;
  // and how high the page is, which sizes the scroll bar.
  struct Look {
    QImage first, middle, last;
    std::string cells;
    int height = 0;
  };
  int below = 0;  // the headings' bottom, where the rows begin in the view
  const auto look = [&] {
    Look seen;
    seen.first = Screen();
    ScrollToEntry(590);
    if (below == 0) {
      EXPECT_EQ(Js("document.getElementById('idPh').getBoundingClientRect().top").toInt(), 0)
          << "headings in view";
      below = Js("Math.ceil(document.getElementById('idPh').getBoundingClientRect().bottom)").toInt();
    }
    const QImage middle = Screen();
    seen.middle = middle.copy(0, below, middle.width(), middle.height() - below);
    seen.cells =
        Js("(function(){var c=[].find.call(document.querySelectorAll('#idMsg td.itbl'),function(td){return "
           "td.textContent=='600'&&td.cellIndex==0;});return "
           "[].map.call(c.parentElement.cells,function(d){var "
           "r=d.getBoundingClientRect();return r.left+':'+r.width;}).join(' ');})()")
            .toString()
            .toStdString();
    Js("window.scrollTo(0,document.body.scrollHeight);0");
    const QImage last = Screen();
    seen.last = last.copy(0, below, last.width(), last.height() - below);
    seen.height = Js("document.body.scrollHeight").toInt();
    Js("window.scrollTo(0,0)");
    return seen;
  };
  PreviewSender preview(host());
  preview.Show(conversion.previewStatus, conversion.previewTable);
  ASSERT_TRUE(WaitUntil([&] { return !preview.Filling(); }, 20000));
  const Look drawn = look();
  Js(QString::fromStdString(
      "document.getElementById('idMsg').innerHTML=" + ScriptLiteral(PreviewHtml(conversion)) + ";1"));
  const Look single = look();
  EXPECT_EQ(Difference(drawn.first, single.first), "") << "the first screen";
  EXPECT_EQ(Difference(drawn.middle, single.middle), "") << "a screen in the middle";
  EXPECT_EQ(Difference(drawn.last, single.last), "") << "the last screen";
  EXPECT_FALSE(single.cells.empty());
  EXPECT_EQ(drawn.cells, single.cells);
  EXPECT_EQ(drawn.height, single.height) << "the scroll bar is sized for every row";
}

}  // namespace
