#include "app/save_filing_window.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/secret_store.h"
#include "infotable/submission.h"

SaveFilingWindow::SaveFilingWindow(QWidget* over, const std::string& suggestedPath, const std::string& cik,
                                   std::function<std::string(const std::string&, const std::string&, bool)> save)
    : QDialog(over), save_(std::move(save)) {
  setWindowTitle(kSaveFilingTitle);
  setAttribute(Qt::WA_DeleteOnClose);
  path_ = new QLineEdit(QString::fromStdString(suggestedPath), this);
  path_->setObjectName("savePath");
  ccc_ = new QLineEdit(this);
  ccc_->setObjectName("saveCcc");
  ccc_->setEchoMode(QLineEdit::Password);
  keep_ = new QCheckBox("Keep the CCC in the desktop's secret store (GNOME Keyring, KWallet)", this);
  keep_->setObjectName("saveKeepCcc");
  auto* note = new QLabel(
      "The submission holds your CCC, as EDGAR asks: it is written readable by you alone, and the CCC is kept "
      "nowhere else unless you tick the box.",
      this);
  note->setWordWrap(true);
  problem_ = new QLabel(this);
  problem_->setObjectName("saveProblem");
  problem_->setWordWrap(true);
  auto* form = new QFormLayout;
  form->addRow("Save as:", path_);
  form->addRow("CCC:", ccc_);
  form->addRow("", keep_);
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
  QPointer<SaveFilingWindow> self(this);
  ReadKeptCcc(cik, [self](std::optional<std::string> ccc) {
    if (!self || !ccc || !self->ccc_->text().isEmpty()) return;
    self->ccc_->setText(QString::fromStdString(*ccc));
    self->keep_->setChecked(true);
    self->problem_->setText("The CCC was filled in from the desktop's secret store.");
  });
}

void SaveFilingWindow::Save() {
  const std::string ccc = ccc_->text().toStdString();
  if (const Refusal refusal = CheckCcc(ccc)) {
    problem_->setText(QString::fromStdString(*refusal + "."));
    return;
  }
  const std::string problem = save_(path_->text().toStdString(), ccc, keep_->isChecked());
  if (!problem.empty()) {
    problem_->setText(QString::fromStdString(problem));
    return;
  }
  ccc_->clear();
  accept();
}
