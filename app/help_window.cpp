#include "app/help_window.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QShortcut>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <algorithm>

namespace {

constexpr int kWidth = 620, kHeight = 560;

}  // namespace

HelpWindow::HelpWindow(QWidget* over, const std::string& html) : QDialog(over) {
  setWindowTitle(kHelpTitle);
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowMinMaxButtonsHint);
  setAttribute(Qt::WA_DeleteOnClose);
  find_ = new QLineEdit(this);
  find_->setPlaceholderText("Find in the help (Ctrl+F)");
  find_->setClearButtonEnabled(true);
  notFound_ = new QLabel(this);
  text_ = new QTextBrowser(this);
  text_->setObjectName("helpText");
  text_->setOpenExternalLinks(false);
  text_->setHtml(QString::fromStdString(html));
  auto* findRow = new QHBoxLayout;
  findRow->addWidget(find_, 1);
  findRow->addWidget(notFound_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(findRow);
  layout->addWidget(text_, 1);
  connect(find_, &QLineEdit::returnPressed, this, [this] { Find(find_->text()); });
  connect(find_, &QLineEdit::textChanged, notFound_, &QLabel::clear);
  connect(new QShortcut(QKeySequence::Find, this), &QShortcut::activated, this, [this] {
    find_->setFocus();
    find_->selectAll();
  });
  // Within the screen it opens on, whatever its scale.
  const QRect screen = (over && over->screen() ? over->screen() : QGuiApplication::primaryScreen())->availableGeometry();
  resize(std::min(kWidth, screen.width() - 40), std::min(kHeight, screen.height() - 80));
  text_->setFocus();
}

bool HelpWindow::Find(const QString& text) {
  if (text.isEmpty()) return false;
  if (text_->find(text)) {
    notFound_->clear();
    return true;
  }
  text_->moveCursor(QTextCursor::Start);
  if (text_->find(text)) {
    notFound_->setText("From the top again.");
    return true;
  }
  notFound_->setText("Not in the help.");
  return false;
}
