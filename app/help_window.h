// The help as a window of its own: readable at the desktop's size,
// scrollable, resizable and searchable; Esc closes it.
#pragma once

#include <QDialog>
#include <string>

class QLabel;
class QLineEdit;
class QTextBrowser;

constexpr const char* kHelpTitle = "Form 13-F Trellan Help";

class HelpWindow : public QDialog {
  Q_OBJECT

 public:
  // `html`: the help, in the rich text Qt shows.
  HelpWindow(QWidget* over, const std::string& html);

  // Finds `text` after the selection, from the top again at the end; false,
  // and said under the field, when the help does not hold it.
  bool Find(const QString& text);

 private:
  QLineEdit* find_;
  QLabel* notFound_;
  QTextBrowser* text_;
};
