// Test main for tests that show real windows with the real Qt WebEngine page.
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // Listing the tests needs no display: the build lists them without one.
  if (::testing::GTEST_FLAG(list_tests)) return RUN_ALL_TESTS();
  // Chromium's sandbox refuses to start as root, and Xvfb has no GPU.
  qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
  if (qEnvironmentVariableIsEmpty("QTWEBENGINE_CHROMIUM_FLAGS"))
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");
  QApplication application(argc, argv);
  return RUN_ALL_TESTS();
}
