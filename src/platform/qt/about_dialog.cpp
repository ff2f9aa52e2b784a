#include "platform/qt/about_dialog.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>

#include "platform/qt/fonts.h"
#include "shell/tables.h"

namespace {

// The box is laid out in dialog units: a quarter of the font's average
// character width across, an eighth of its height down.
struct DialogUnits {
  int baseX, baseY;
  QRect toPixels(int x, int y, int w, int h) const {
    return QRect(x * baseX / 4, y * baseY / 8, w * baseX / 4, h * baseY / 8);
  }
};

DialogUnits unitsOf(const QFont& font) {
  const QFontMetrics metrics(font);
  const QString alphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  return {(metrics.horizontalAdvance(alphabet) / 26 + 1) / 2, metrics.height()};
}

}  // namespace

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
  const AboutTexts& texts = aboutTexts();
  setWindowTitle(QString::fromLatin1(texts.caption));
  setModal(true);
  setFont(dialogFont("Verdana", 10));
  const DialogUnits units = unitsOf(font());
  const int lineTops[] = {9, 25, 40, 50, 60};
  for (int i = 0; i < 5; ++i) {
    auto* line = new QLabel(QString::fromLatin1(texts.lines[i]), this);
    line->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    line->setGeometry(units.toPixels(0, lineTops[i], 191, 8));
  }
  auto* ok = new QPushButton(QString::fromLatin1(texts.button), this);
  ok->setDefault(true);
  ok->setGeometry(units.toPixels(79, 73, 32, 14));
  connect(ok, &QPushButton::clicked, this, [this] { done(1); });
  setFixedSize(units.toPixels(0, 0, 191, 91).size());
}
