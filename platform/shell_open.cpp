#include "platform/shell_open.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

ShellOpenResult ShellOpen(const std::string& pathOrUrl) {
  const QString text = QString::fromStdString(pathOrUrl);
  const QUrl given(text);
  QUrl url;
  if (given.isValid() && given.scheme().size() > 1) {
    url = given;
  } else {
    const QFileInfo file(text);
    if (!file.exists()) return ShellOpenResult::FileNotFound;
    url = QUrl::fromLocalFile(file.absoluteFilePath());
  }
  return QDesktopServices::openUrl(url) ? ShellOpenResult::Opened : ShellOpenResult::NoApplication;
}
