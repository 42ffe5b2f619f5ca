// The program brought up and down: one copy at a time, a clean exit, and a
// document whole when the window closes mid-capture.
#include "tests/support/program_fixture.h"

namespace {

TEST_F(Program, ASecondStartRaisesTheRunningWindowAndEnds) {
  window()->showMinimized();
  ASSERT_TRUE(WaitUntil([this] { return window()->isMinimized(); }));
  QProcess second;
  second.start(FORM13F_BIN_DIR "/form13f", {});
  ASSERT_TRUE(WaitUntil([&] { return second.state() == QProcess::NotRunning; }, 20000));
  EXPECT_EQ(second.exitCode(), 0);
  EXPECT_TRUE(WaitUntil([&] { return !window()->isMinimized(); }, 2000)) << "the running window came back";
}

TEST_F(Program, CloseBoxEndsTheProgramWithExitCodeZero) {
  QTimer::singleShot(100, window(), [this] { window()->close(); });
  EXPECT_EQ(QApplication::exec(), 0);
  EXPECT_EQ(EndProgram(), 0);
  EXPECT_EQ(ProgramWindow(), nullptr);
}

TEST_F(Program, ClosingDuringACaptureEndsTheProgramWithTheDocumentWhole) {
  CaptureClipboard(HoldingLine("OLD", "1"));
  const std::string old = ReadFile(OutputPath());
  const std::string table = Issuers(100000);
  PutClipboardText(table);
  Click("btCapture");
  ASSERT_TRUE(WaitUntil([this] { return window()->capture.Running(); }));
  QTimer::singleShot(0, window(), [this] { window()->close(); });
  EXPECT_EQ(QApplication::exec(), 0);
  EXPECT_EQ(EndProgram(), 0);
  const std::string document = ReadFile(OutputPath());
  EXPECT_TRUE(document == old || document.size() > 40'000'000) << "the old document or the whole new one";
  EXPECT_EQ(document.substr(document.size() - 21), "</informationTable>\r\n");
}

}  // namespace
