#include "platform/file_dialogs.h"

#include <QFileDialog>
#include <QStringList>

QString ToQtFilter(const std::string& filter) {
  const QStringList parts = QString::fromStdString(filter).split('|');
  QStringList out;
  for (qsizetype i = 0; i < parts.size(); i += 2) {
    const QString description = parts[i].trimmed();
    if (description.isEmpty()) continue;
    // Qt reads the patterns from the brackets of the description; use the pair's own patterns.
    const QString patterns = i + 1 < parts.size() ? QString(parts[i + 1]).replace(';', ' ').trimmed() : QString();
    QString head = description;
    const qsizetype bracket = head.lastIndexOf('(');
    if (bracket > 0 && head.endsWith(')')) head = head.left(bracket).trimmed();
    out << (patterns.isEmpty() ? description : head + " (" + patterns + ")");
  }
  return out.join(";;");
}

std::string AskOpenFileName(QWidget* parent, const std::string& title, const std::string& filter,
                            const std::string& folder) {
  return QFileDialog::getOpenFileName(parent, QString::fromStdString(title), QString::fromStdString(folder),
                                      ToQtFilter(filter))
      .toStdString();
}

std::string AskSaveFileName(QWidget* parent, const std::string& title, const std::string& filter,
                            const std::string& folder, const std::string& initialName,
                            const std::string& defaultExtension) {
  QFileDialog dialog(parent, QString::fromStdString(title), QString::fromStdString(folder));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilters(ToQtFilter(filter).split(";;", Qt::SkipEmptyParts));
  QString suffix = QString::fromStdString(defaultExtension);
  while (suffix.startsWith('*') || suffix.startsWith('.')) suffix.remove(0, 1);
  if (!suffix.isEmpty()) dialog.setDefaultSuffix(suffix);
  if (!initialName.empty()) dialog.selectFile(QString::fromStdString(initialName));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().front().toStdString();
}
