#include "app/save_filing_window.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "infotable/submission.h"

SaveFilingWindow::SaveFilingWindow(QWidget* over, const std::string& suggestedPath,
                                   std::function<std::string(const std::string&, const std::string&)> save)
    : QDialog(over), save_(std::move(save)) {
  setWindowTitle(kSaveFilingTitle);
  setAttribute(Qt::WA_DeleteOnClose);
  path_ = new QLineEdit(QString::fromStdString(suggestedPath), this);
  path_->setObjectName("savePath");
  ccc_ = new QLineEdit(this);
  ccc_->setObjectName("saveCcc");
  ccc_->setEchoMode(QLineEdit::Password);
  auto* note = new QLabel(
      "The submission holds your CCC, as EDGAR asks: it is written readable by you alone, and the CCC is not kept "
      "anywhere else.",
      this);
  note->setWordWrap(true);
  problem_ = new QLabel(this);
  problem_->setObjectName("saveProblem");
  problem_->setWordWrap(true);
  auto* form = new QFormLayout;
  form->addRow("Save as:", path_);
  form->addRow("CCC:", ccc_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &SaveFilingWindow::Save);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(note);
  layout->addWidget(problem_);
  layout->addWidget(buttons);
  ccc_->setFocus();
  resize(560, sizeHint().height());
}

void SaveFilingWindow::Save() {
  const std::string ccc = ccc_->text().toStdString();
  if (const Refusal refusal = CheckCcc(ccc)) {
    problem_->setText(QString::fromStdString(*refusal + "."));
    return;
  }
  const std::string problem = save_(path_->text().toStdString(), ccc);
  if (!problem.empty()) {
    problem_->setText(QString::fromStdString(problem));
    return;
  }
  ccc_->clear();
  accept();
}
