// The filing's details as their TOML file holds them, to edit in the window:
// Save checks them as EDGAR would and writes the file in place of the old
// one only when every value is good; each problem is named with its line
// and key, and a file that fails to read is never overwritten by it.
#pragma once

#include <QDialog>
#include <string>

class QLabel;
class QPlainTextEdit;

constexpr const char* kFilingDetailsTitle = "Form 13-F Trellan: filing details";

class FilingDetailsWindow : public QDialog {
  Q_OBJECT

 public:
  // Shows the file at `path`, or a template to fill in when there is none.
  FilingDetailsWindow(QWidget* over, const std::string& path);

  // Checks the text and writes it; false, with the problems shown, when it
  // would be refused or could not be written.
  bool Save();

 signals:
  void Saved();

 private:
  std::string path_;
  QPlainTextEdit* text_;
  QLabel* problems_;
};
