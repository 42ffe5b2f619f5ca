// form13f: the window program.
#include <unistd.h>

#include <QApplication>
#include <QIcon>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/program_lifetime.h"

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("form13f %s\n", FORM13F_VERSION);
      return 0;
    }
  }
  // Chromium refuses to start as root with its sandbox on.
  if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX")) {
    std::fputs("form13f: running as root, so the browser's sandbox is switched off\n", stderr);
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
  }
  QApplication application(argc, argv);
  application.setApplicationName("form13f");
  application.setApplicationDisplayName("Form 13-F Trellan");
  application.setDesktopFileName("com.trellan.form13f");
  application.setWindowIcon(QIcon(":/icon.png"));
  if (StartProgram()) application.exec();
  return EndProgram();
}
