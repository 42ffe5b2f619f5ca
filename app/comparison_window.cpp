#include "app/comparison_window.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <vector>

#include "infotable/text_forms.h"

namespace {

QString Utf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A number cell that sorts as a number; empty where there is none.
QTableWidgetItem* NumberItem(long double number, bool shown) {
  auto* item = new QTableWidgetItem;
  if (shown) item->setData(Qt::DisplayRole, static_cast<qlonglong>(number));
  item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
  return item;
}

long double ValueChange(const HoldingChange& change) {
  return static_cast<long double>(change.value) - static_cast<long double>(change.valueBefore);
}

// The largest changes in value as bars, gains to the right in green and
// losses to the left in red, each with its issuer's name.
class ChangeChart : public QWidget {
 public:
  static constexpr int kBars = 10;

  ChangeChart(const QuarterComparison& comparison, QWidget* parent)
      : QWidget(parent), comparison_(comparison) {
    for (const HoldingChange& change : comparison.changes) largest_.push_back(&change);
    const auto size = [](const HoldingChange* c) { return std::abs(static_cast<double>(ValueChange(*c))); };
    const size_t shown = std::min<size_t>(kBars, largest_.size());
    std::partial_sort(largest_.begin(), largest_.begin() + static_cast<long>(shown), largest_.end(),
                      [&](const HoldingChange* a, const HoldingChange* b) { return size(a) > size(b); });
    largest_.resize(shown);
    setMinimumHeight(static_cast<int>(shown) * (fontMetrics().height() + 2) + 4);
    setObjectName("comparisonChart");
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    const int line = fontMetrics().height() + 2;
    const int nameWidth = std::min(width() / 3, 260);
    const int middle = nameWidth + (width() - nameWidth) / 2;
    const int half = (width() - nameWidth) / 2 - 4;
    double widest = 1;
    for (const HoldingChange* change : largest_)
      widest = std::max(widest, std::abs(static_cast<double>(ValueChange(*change))));
    int y = 2;
    for (const HoldingChange* change : largest_) {
      const double amount = static_cast<double>(ValueChange(*change));
      const int length = std::max(1, static_cast<int>(half * std::abs(amount) / widest));
      painter.setPen(palette().color(QPalette::WindowText));
      painter.drawText(
          QRect(0, y, nameWidth - 4, line), Qt::AlignRight | Qt::AlignVCenter,
          fontMetrics().elidedText(Utf8(comparison_.NameOf(*change)), Qt::ElideRight, nameWidth - 4));
      const QRect bar = amount >= 0 ? QRect(middle, y + 2, length, line - 4)
                                    : QRect(middle - length, y + 2, length, line - 4);
      painter.fillRect(bar, amount >= 0 ? QColor(0x30, 0xa0, 0x30) : QColor(0xd0, 0x30, 0x30));
      y += line;
    }
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawLine(middle, 0, middle, height());
  }

 private:
  const QuarterComparison& comparison_;
  std::vector<const HoldingChange*> largest_;
};

}  // namespace

ComparisonWindow::ComparisonWindow(QWidget* over, std::shared_ptr<const QuarterComparison> comparison,
                                   const std::string& comparedWith, std::function<void(uint32_t)> goToEntry)
    : QDialog(over), comparison_(std::move(comparison)), goToEntry_(std::move(goToEntry)) {
  setWindowTitle(kComparisonTitle);
  setAttribute(Qt::WA_DeleteOnClose);
  auto* heading = new QLabel(
      QString::fromStdString("Against " + comparedWith + ": " + NewAndClosedText(*comparison_) + "; " +
                             GroupThousands(std::to_string(comparison_->changes.size() - comparison_->added -
                                                           comparison_->closed)) +
                             " changed. Double-click a holding, or press Enter, to see its row."),
      this);
  heading->setWordWrap(true);
  table_ = new QTableWidget(static_cast<int>(comparison_->changes.size()), kColumns, this);
  table_->setObjectName("comparisonTable");
  table_->setHorizontalHeaderLabels({"Status", "Entry", "Name of issuer", "CUSIP", "Value last quarter",
                                     "Value", "Change in value", "Shares last quarter", "Shares",
                                     "Change in shares"});
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->verticalHeader()->hide();
  static const char* const kKinds[] = {"changed", "new", "closed"};
  for (size_t i = 0; i < comparison_->changes.size(); ++i) {
    const HoldingChange& change = comparison_->changes[i];
    const int row = static_cast<int>(i);
    const bool added = change.kind == HoldingChange::kNew, closed = change.kind == HoldingChange::kClosed;
    auto* status = new QTableWidgetItem(kKinds[change.kind]);
    status->setData(Qt::UserRole, static_cast<uint>(change.entry));
    if (added || closed) status->setForeground(added ? QColor(0x00, 0x80, 0x00) : QColor(0xc0, 0x00, 0x00));
    table_->setItem(row, kStatus, status);
    table_->setItem(row, kEntry, NumberItem(change.entry, !closed));
    table_->setItem(row, kName, new QTableWidgetItem(Utf8(comparison_->NameOf(change))));
    table_->setItem(row, kCusip, new QTableWidgetItem(Utf8(comparison_->CusipOf(change))));
    table_->setItem(row, kValueBefore, NumberItem(change.valueBefore, !added));
    table_->setItem(row, kValue, NumberItem(change.value, !closed));
    table_->setItem(row, kValueChange, NumberItem(ValueChange(change), true));
    table_->setItem(row, kSharesBefore, NumberItem(change.sharesBefore, !added));
    table_->setItem(row, kShares, NumberItem(change.shares, !closed));
    table_->setItem(row, kSharesChange,
                    NumberItem(static_cast<long double>(change.shares) - change.sharesBefore, true));
  }
  table_->setSortingEnabled(true);
  table_->sortByColumn(kValueChange, Qt::DescendingOrder);
  table_->resizeColumnsToContents();
  connect(table_, &QTableWidget::cellDoubleClicked, this, [this] { GoToCurrentRow(); });
  table_->installEventFilter(this);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(heading);
  layout->addWidget(new ChangeChart(*comparison_, this));
  layout->addWidget(table_, 1);
  resize(900, 600);
}

bool ComparisonWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == table_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      GoToCurrentRow();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void ComparisonWindow::GoToCurrentRow() {
  const int row = table_->currentRow();
  if (row < 0) return;
  const uint32_t entry = table_->item(row, kStatus)->data(Qt::UserRole).toUInt();
  if (entry > 0) goToEntry_(entry);  // a closed holding has no row this quarter
}
