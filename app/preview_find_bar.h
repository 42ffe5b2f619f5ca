// The bar under the main page that finds rows in the preview (Ctrl+F): Enter
// leads to the next row that holds the text, Shift+Enter to the one before,
// Esc closes the bar. The rows are found in the preview's data, so a row not
// drawn yet is found as well.
#pragma once

#include <QWidget>

class PageHost;
class QLabel;
class QLineEdit;

constexpr const char* kNotInPreviewText = "Not in the preview";

class PreviewFindBar : public QWidget {
  Q_OBJECT

 public:
  PreviewFindBar(PageHost& page, QWidget* parent);

  // Shows the bar with its text selected, the focus in it.
  void Open();
  // Leads to the next (or previous) row that holds the bar's text.
  void FindNext(bool backwards);

 signals:
  void Closed();

 private:
  PageHost& page_;
  QLineEdit* text_;
  QLabel* note_;
};
