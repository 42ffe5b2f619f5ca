// This quarter's table against last quarter's filing: the holdings that
// changed in a table sorted by any column (by change in value at first), new
// and closed ones marked, each leading to its row in the preview; above it,
// a chart of the largest changes in value.
#pragma once

#include <QDialog>
#include <functional>
#include <memory>
#include <string>

#include "infotable/quarter_comparison.h"

class QTableWidget;

constexpr const char* kComparisonTitle = "Form 13-F Trellan: against last quarter";

class ComparisonWindow : public QDialog {
  Q_OBJECT

 public:
  // `goToEntry` shows an entry of this quarter's table in the preview.
  ComparisonWindow(QWidget* over, std::shared_ptr<const QuarterComparison> comparison,
                   const std::string& comparedWith, std::function<void(uint32_t entry)> goToEntry);

  // The table's columns, in order.
  enum Column {
    kStatus,
    kEntry,
    kName,
    kCusip,
    kValueBefore,
    kValue,
    kValueChange,
    kSharesBefore,
    kShares,
    kSharesChange,
    kColumns
  };

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;  // Enter goes to the row

 private:
  void GoToCurrentRow();

  std::shared_ptr<const QuarterComparison> comparison_;
  std::function<void(uint32_t)> goToEntry_;
  QTableWidget* table_;
};
