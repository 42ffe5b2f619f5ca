// Asks what a submission needs each time it is saved: where to save it, and
// the CCC, in a password field (it is never kept by this program).
#pragma once

#include <QDialog>
#include <functional>
#include <string>

class QLabel;
class QLineEdit;

constexpr const char* kSaveFilingTitle = "Form 13-F Trellan: save filing";

class SaveFilingWindow : public QDialog {
  Q_OBJECT

 public:
  // `save(path, ccc)` writes the submission; it gives why it could not, or
  // empty, and the window closes.
  SaveFilingWindow(QWidget* over, const std::string& suggestedPath,
                   std::function<std::string(const std::string& path, const std::string& ccc)> save);

 private:
  void Save();

  std::function<std::string(const std::string&, const std::string&)> save_;
  QLineEdit* path_;
  QLineEdit* ccc_;
  QLabel* problem_;
};
