#include "app/desktop.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QMimeData>

#include "tests/support/page_fixture.h"
#include "tests/support/temp_dir.h"

namespace {

using Desktop = PageFixture;

TEST_F(Desktop, ShowMessageWritesRedHtmlAndSounds) {
  Show("<div id=idMsg>old</div>");
  const int sounds = ExclamationsPlayed();
  ShowMessage(host(), "Plain and <b>bold</b>");
  EXPECT_EQ(Js("document.getElementById('idMsg').innerHTML").toString(),
            "<font color=\"red\">Plain and <b>bold</b></font>");
  EXPECT_EQ(ExclamationsPlayed(), sounds + 1);
}

TEST_F(Desktop, ShowMessageWithoutAMessageLineRaisesAndStaysSilent) {
  Show("<div>no message line</div>");
  const int sounds = ExclamationsPlayed();
  EXPECT_THROW(ShowMessage(host(), "x"), PageOperationFailed);
  EXPECT_EQ(ExclamationsPlayed(), sounds);
}

TEST(Clipboard, PlainTextRoundTripsIncludingEmptyText) {
  for (const std::string& value : {std::string("A\tB\r\nc\xC3\xA9"), std::string()}) {
    PutClipboardText(value);
    EXPECT_EQ(ClipboardText(), value);
  }
  auto* image = new QMimeData;
  image->setImageData(QImage(2, 2, QImage::Format_RGB32));
  QGuiApplication::clipboard()->setMimeData(image);
  EXPECT_EQ(ClipboardText(), std::nullopt);
}

TEST(DocumentsFolder, DocumentsThenHomeThenRoot) {
  TempDir home;
  const QByteArray savedHome = qgetenv("HOME"), savedConfig = qgetenv("XDG_CONFIG_HOME");
  qputenv("HOME", home.path().c_str());
  qputenv("XDG_CONFIG_HOME", (home.path() + "/.config").c_str());
  EXPECT_EQ(DocumentsFolder(), home.path()) << "no Documents folder: the home folder";
  QDir(QString::fromStdString(home.path())).mkdir("Documents");
  EXPECT_EQ(DocumentsFolder(), home.path() + "/Documents");
  qputenv("HOME", (home.path() + "/missing").c_str());
  qputenv("XDG_CONFIG_HOME", (home.path() + "/missing/.config").c_str());
  EXPECT_EQ(DocumentsFolder(), "/");
  qputenv("HOME", savedHome);
  qputenv("XDG_CONFIG_HOME", savedConfig);
}

}  // namespace
