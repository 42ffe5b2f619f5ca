// Asks what a submission needs each time it is saved: where to save it, and
// the CCC, in a password field. The CCC is kept only in the desktop's secret
// store, and only when the filer ticks the box for it; one kept there is
// filled in.
#pragma once

#include <QDialog>
#include <functional>
#include <string>

class QCheckBox;
class QLabel;
class QLineEdit;

constexpr const char* kSaveFilingTitle = "Form 13-F Trellan: save filing";

class SaveFilingWindow : public QDialog {
  Q_OBJECT

 public:
  // `save(path, ccc, keep)` writes the submission (`keep`: the filer asks
  // for the CCC to be kept in the secret store); it gives why it could not,
  // or empty, and the window closes. `cik` names the filer's CCC there.
  SaveFilingWindow(QWidget* over, const std::string& suggestedPath, const std::string& cik,
                   std::function<std::string(const std::string& path, const std::string& ccc, bool keep)> save);

 private:
  void Save();

  std::function<std::string(const std::string&, const std::string&, bool)> save_;
  QLineEdit* path_;
  QCheckBox* keep_;
  QLineEdit* ccc_;
  QLabel* problem_;
};
