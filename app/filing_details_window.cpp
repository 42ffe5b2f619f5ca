#include "app/filing_details_window.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include "app/page_scripts.h"
#include "infotable/filing_details.h"
#include "storage/failure_reason.h"
#include "storage/file_replacement.h"

FilingDetailsWindow::FilingDetailsWindow(QWidget* over, const std::string& path) : QDialog(over), path_(path) {
  setWindowTitle(kFilingDetailsTitle);
  setAttribute(Qt::WA_DeleteOnClose);
  auto* where = new QLabel(QString::fromStdString("Kept in " + path + ", read by form13f-convert --filing too."), this);
  where->setWordWrap(true);
  text_ = new QPlainTextEdit(this);
  text_->setObjectName("filingDetailsText");
  text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  problems_ = new QLabel(this);
  problems_->setObjectName("filingDetailsProblems");
  problems_->setWordWrap(true);
  problems_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Close, this);
  QFile file(QString::fromStdString(path));
  if (file.open(QIODevice::ReadOnly)) {
    text_->setPlainText(QString::fromUtf8(file.readAll()));
  } else if (file.exists()) {
    // A file that is there but can't be read is never replaced by a template.
    problems_->setText("The details can't be read (" + file.errorString() +
                       "): mend the file's permissions and open this window again.");
    text_->setReadOnly(true);
    buttons->button(QDialogButtonBox::Save)->setEnabled(false);
  } else {
    text_->setPlainText(QString::fromStdString(PageScript("filing_template.toml")));
  }
  buttons->button(QDialogButtonBox::Save)->setText("&Save (Ctrl+S)");
  connect(buttons->button(QDialogButtonBox::Save), &QPushButton::clicked, this, [this] { Save(); });
  connect(new QShortcut(QKeySequence::Save, this), &QShortcut::activated, this, [this] { Save(); });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(where);
  layout->addWidget(text_, 1);
  layout->addWidget(problems_);
  layout->addWidget(buttons);
  resize(640, 640);
}

bool FilingDetailsWindow::Save() {
  if (text_->isReadOnly()) return false;
  const std::string text = text_->toPlainText().toStdString();
  FilingDetails details;
  const std::vector<std::string> problems = ReadFilingDetails(text, Today(), details);
  if (!problems.empty()) {
    QString list = "Not saved: EDGAR would refuse these values.";
    for (const std::string& problem : problems) list += "\n" + QString::fromStdString(problem);
    problems_->setText(list);
    return false;
  }
  QDir().mkpath(QFileInfo(QString::fromStdString(path_)).absolutePath());
  FileReplacement file;
  FileFailure failure = file.Open(path_);
  if (!failure) failure = file.Write(text);
  if (!failure) failure = file.Commit();
  if (failure) {
    problems_->setText(QString::fromStdString("Not saved: " + FailureReason(*failure, "filing.toml") + "."));
    return false;
  }
  problems_->setText("Saved.");
  emit Saved();
  return true;
}
