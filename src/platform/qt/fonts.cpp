#include "platform/qt/fonts.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QHash>

namespace {

constexpr const char* standInFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

QString standInFamily() {
  static const QString family = [] {
    const int id = QFontDatabase::addApplicationFont(QString::fromLatin1(standInFile));
    const QStringList families = QFontDatabase::applicationFontFamilies(id);
    return families.isEmpty() ? QString() : families.first();
  }();
  return family;
}

}  // namespace

QString resolvedFamily(const char* face) {
  const QString wanted = QString::fromLatin1(face);
  if (QFontDatabase::families().contains(wanted, Qt::CaseInsensitive)) return wanted;
  const QString standIn = standInFamily();
  return standIn.isEmpty() ? wanted : standIn;
}

QFont gameFont(const Font& font) {
  static QHash<QString, QFont> cache;
  const QString key = QStringLiteral("%1/%2/%3").arg(QLatin1String(font.face)).arg(font.height).arg(font.weight);
  if (const auto it = cache.constFind(key); it != cache.constEnd()) return *it;
  QFont f(resolvedFamily(font.face));
  f.setWeight(QFont::Weight(font.weight));
  f.setStyleStrategy(QFont::NoAntialias);  // plain pixels, the same on every machine
  // The largest em size whose cell still fits the asked-for height.
  int pixelSize = font.height;
  for (; pixelSize > 1; --pixelSize) {
    f.setPixelSize(pixelSize);
    if (QFontMetrics(f).height() <= font.height) break;
  }
  f.setPixelSize(pixelSize);
  cache.insert(key, f);
  return f;
}

QFont dialogFont(const char* face, int pointSize) {
  QFont f(resolvedFamily(face));
  f.setPointSize(pointSize);
  return f;
}
