#include "app/single_instance.h"

#include <unistd.h>

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QPointer>
#include <QStandardPaths>
#include <QWidget>
#include <memory>

namespace {

std::unique_ptr<QLockFile> lock;
std::unique_ptr<QLocalServer> server;
QPointer<QWidget> raised;

QString Name() { return "com.trellan.form13f-" + QString::number(getuid()); }

}  // namespace

bool ClaimSingleInstance() {
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  QDir().mkpath(folder);
  auto claimed = std::make_unique<QLockFile>(folder + "/" + Name() + ".lock");
  claimed->setStaleLockTime(0);  // a lock whose holder has died is taken over
  if (!claimed->tryLock(100)) {
    QLocalSocket running;
    running.connectToServer(Name());
    if (running.waitForConnected(1000)) {
      running.write("raise\n");
      running.waitForBytesWritten(1000);
    }
    return false;
  }
  lock = std::move(claimed);
  QLocalServer::removeServer(Name());  // a socket left by a copy that died
  server = std::make_unique<QLocalServer>();
  QObject::connect(server.get(), &QLocalServer::newConnection, [] {
    while (QLocalSocket* later = server->nextPendingConnection()) {
      QObject::connect(later, &QLocalSocket::disconnected, later, &QObject::deleteLater);
      if (!raised) continue;
      raised->showNormal();
      raised->raise();
      raised->activateWindow();
    }
  });
  server->listen(Name());
  return true;
}

void RaiseOnLaterStarts(QWidget* window) { raised = window; }

void ReleaseSingleInstance() {
  server.reset();
  lock.reset();
}
