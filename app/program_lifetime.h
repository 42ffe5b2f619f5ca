// The program brought up in a fixed order and down again: one copy at a
// time, its main window shown with the filing folder's document.
#pragma once

class MainWindow;

constexpr const char* kStartFailedMessage =
    "The window could not be shown: its page did not load. Form 13-F Trellan ends.";

// True when the program is to run its event loop; false when another copy
// runs (its window comes to the front) or the window could not be shown
// (the filer is told so).
bool StartProgram();
// Waits for a conversion under way, so that its document is complete or
// never begun, and closes the window. Always 0, the exit code.
int EndProgram();
// The main window while the program runs, else null.
MainWindow* ProgramWindow();
