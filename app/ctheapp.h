// The application: brings the program up in a fixed order and down again.
#pragma once

class CADlg;

constexpr const char* kStartFailedMessage = "OLE Init Failed";

class CTheApp {
 public:
  // True when the program is to run its event loop.
  bool InitInstance();
  // The exit code, always 0.
  int ExitInstance();
};
