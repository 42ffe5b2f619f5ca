#include "app/preview_find_bar.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QShortcut>

#include "form/dom.h"
#include "infotable/text_forms.h"

PreviewFindBar::PreviewFindBar(PageHost& page, QWidget* parent) : QWidget(parent), page_(page) {
  text_ = new QLineEdit(this);
  text_->setObjectName("previewFind");
  text_->setPlaceholderText("Find in the preview (Enter: next, Shift+Enter: previous, Esc: close)");
  text_->setClearButtonEnabled(true);
  note_ = new QLabel(this);
  note_->setObjectName("previewFindNote");
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(4, 2, 4, 2);
  layout->addWidget(text_, 1);
  layout->addWidget(note_);
  connect(text_, &QLineEdit::textChanged, note_, &QLabel::clear);
  // The window is a dialog that takes Enter and Esc for itself: the field
  // keeps them.
  auto* next = new QShortcut(QKeySequence(Qt::Key_Return), text_, nullptr, nullptr, Qt::WidgetShortcut);
  auto* previous =
      new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_Return), text_, nullptr, nullptr, Qt::WidgetShortcut);
  auto* close = new QShortcut(QKeySequence(Qt::Key_Escape), text_, nullptr, nullptr, Qt::WidgetShortcut);
  connect(next, &QShortcut::activated, this, [this] { FindNext(false); });
  connect(previous, &QShortcut::activated, this, [this] { FindNext(true); });
  connect(close, &QShortcut::activated, this, [this] {
    hide();
    emit Closed();
  });
  hide();
}

void PreviewFindBar::Open() {
  show();
  text_->setFocus();
  text_->selectAll();
}

void PreviewFindBar::FindNext(bool backwards) {
  const std::string text = text_->text().toStdString();
  if (text.empty()) return;
  QPointer<QLabel> note(note_);
  RunPageScriptForNumber(page_,
                         "f13Preview.find(" + ScriptLiteral(EscapeMarkup(text)) + "," +
                             (backwards ? "true" : "false") + ")",
                         [note](std::optional<long long> entry) {
                           if (!note) return;
                           note->setText(entry && *entry > 0
                                             ? "Entry " + QString::fromStdString(GroupThousands(std::to_string(*entry)))
                                             : kNotInPreviewText);
                         });
}
