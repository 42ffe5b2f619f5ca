#include "app/page_scripts.h"

#include <QFile>
#include <map>

const std::string& PageScript(const char* name) {
  // Read once: the preview's script goes with every capture.
  static std::map<std::string, std::string> scripts;
  auto [at, added] = scripts.try_emplace(name);
  if (added) {
    QFile file(QString(":/scripts/") + name);
    if (file.open(QIODevice::ReadOnly)) at->second = file.readAll().toStdString();
  }
  return at->second;
}
