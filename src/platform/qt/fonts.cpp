#include "platform/qt/fonts.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QHash>

namespace {

constexpr const char* standInName = "DejaVu Sans";
constexpr const char* standInFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

// The stand-in as installed; only where the system does not list it is the
// file read and added, which costs a scan of the whole font.
QString standInFamily(const QStringList& installed) {
  static const QString family = [&installed] {
    if (installed.contains(QLatin1String(standInName), Qt::CaseInsensitive)) return QString::fromLatin1(standInName);
    const int id = QFontDatabase::addApplicationFont(QString::fromLatin1(standInFile));
    const QStringList families = QFontDatabase::applicationFontFamilies(id);
    return families.isEmpty() ? QString() : families.first();
  }();
  return family;
}

}  // namespace

QString resolvedFamily(const char* face) {
  const QString wanted = QString::fromLatin1(face);
  const QStringList installed = QFontDatabase::families();
  if (installed.contains(wanted, Qt::CaseInsensitive)) return wanted;
  const QString standIn = standInFamily(installed);
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
