#include "platform/qt/text_painter.h"

#include <QImage>
#include <QPainter>

#include "platform/qt/fonts.h"

namespace {

QRect toQRect(const Rect& r) { return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top); }

}  // namespace

void paintText(uint32_t* pixels, int32_t width, int32_t height, const Rect& clip, const Rect& r, std::string_view text,
               TextAlign align, const Font& font, Color color) {
  QImage image(reinterpret_cast<uchar*>(pixels), width, height, width * 4, QImage::Format_RGB32);
  QPainter painter(&image);
  painter.setClipRect(toQRect(clip));
  painter.setFont(gameFont(font));
  painter.setPen(QColor(color.r, color.g, color.b));
  const Qt::Alignment horizontal = align == AlignCenter  ? Qt::AlignHCenter
                                   : align == AlignRight ? Qt::AlignRight
                                                         : Qt::AlignLeft;
  painter.drawText(toQRect(r), int(Qt::AlignTop | horizontal | Qt::TextSingleLine),
                   QString::fromLatin1(text.data(), qsizetype(text.size())));
}
