#include "app/secret_store.h"

#include <qt6keychain/keychain.h>

namespace {

constexpr const char* kService = "Form 13-F Trellan";

QString KeyFor(const std::string& cik) { return QString::fromStdString("CCC of CIK " + cik); }

}  // namespace

void ReadKeptCcc(const std::string& cik, std::function<void(std::optional<std::string>)> done) {
  auto* job = new QKeychain::ReadPasswordJob(kService);
  job->setInsecureFallback(false);
  job->setKey(KeyFor(cik));
  QObject::connect(job, &QKeychain::Job::finished, [done](QKeychain::Job* finished) {
    auto* read = static_cast<QKeychain::ReadPasswordJob*>(finished);
    if (read->error() == QKeychain::NoError && !read->textData().isEmpty())
      done(read->textData().toStdString());
    else
      done(std::nullopt);
  });
  job->start();
}

void KeepCcc(const std::string& cik, const std::string& ccc, std::function<void(const std::string&)> done) {
  auto* job = new QKeychain::WritePasswordJob(kService);
  job->setInsecureFallback(false);
  job->setKey(KeyFor(cik));
  job->setTextData(QString::fromStdString(ccc));
  QObject::connect(job, &QKeychain::Job::finished, [done](QKeychain::Job* finished) {
    done(finished->error() == QKeychain::NoError ? "" : finished->errorString().toStdString());
  });
  job->start();
}

void ForgetCcc(const std::string& cik) {
  auto* job = new QKeychain::DeletePasswordJob(kService);
  job->setInsecureFallback(false);
  job->setKey(KeyFor(cik));
  job->start();
}
