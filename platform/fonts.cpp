#include "platform/fonts.h"

#include <QFontDatabase>
#include <QStringList>

#ifndef CORVANE_FIXED_PITCH_FONT_FILE
#error "the build names the fixed-pitch font file"
#endif

QString FixedPitchFamily() {
  static const QString family = [] {
    const int id = QFontDatabase::addApplicationFont(QStringLiteral(CORVANE_FIXED_PITCH_FONT_FILE));
    const QStringList families = id < 0 ? QStringList() : QFontDatabase::applicationFontFamilies(id);
    if (families.isEmpty()) {
      qWarning("Cannot load the fixed-pitch font %s", CORVANE_FIXED_PITCH_FONT_FILE);
      return QString();
    }
    return families.front();
  }();
  return family;
}

QFont FaceFont(const QString& face) {
  const QString name = face.trimmed();
  const bool courier =
      name.compare("Courier New", Qt::CaseInsensitive) == 0 || name.compare("Courier", Qt::CaseInsensitive) == 0;
  if (!courier) return QFont(face);
  QFont font(FixedPitchFamily());
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  return font;
}
