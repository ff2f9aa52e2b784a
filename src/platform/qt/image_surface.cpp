#include "platform/qt/image_surface.h"

#include <QPainter>

#include "platform/qt/fonts.h"

namespace {

QRect toQRect(const Rect& r) { return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top); }
QColor toQColor(Color c) { return QColor(c.r, c.g, c.b); }

}  // namespace

void ImageSurface::setClip(const Rect& clip) { clip_ = toQRect(clip); }

// Fills go straight to the pixels: no painter needed, and the clip is a plain intersection.
void ImageSurface::fill(const QRect& area, Color color) {
  const QRect target = area.intersected(clip_).intersected(image_.rect());
  if (target.isEmpty()) return;
  const QRgb pixel = qRgb(color.r, color.g, color.b);
  for (int y = target.top(); y <= target.bottom(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image_.scanLine(y));
    std::fill(line + target.left(), line + target.right() + 1, pixel);
  }
}

void ImageSurface::rectangle(const Rect& r, const Pen& pen, const Brush& brush) {
  const QRect area = toQRect(r);
  if (area.isEmpty()) return;
  fill(area, brush.color);
  fill(QRect(area.left(), area.top(), area.width(), 1), pen.color);
  fill(QRect(area.left(), area.bottom(), area.width(), 1), pen.color);
  fill(QRect(area.left(), area.top(), 1, area.height()), pen.color);
  fill(QRect(area.right(), area.top(), 1, area.height()), pen.color);
}

void ImageSurface::fillRect(const Rect& r, const Brush& brush) { fill(toQRect(r), brush.color); }

void ImageSurface::ellipse(const Rect& r, const Pen& pen, const Brush& brush) {
  const QRect area = toQRect(r);
  if (area.width() < 2 || area.height() < 2) return;
  QPainter painter(&image_);
  painter.setClipRect(clip_);
  painter.setPen(QPen(toQColor(pen.color), 0));  // cosmetic: exactly one pixel
  painter.setBrush(toQColor(brush.color));
  // With a one-pixel pen the outline spans one pixel more than the rectangle
  // given, so this covers exactly left..right-1 and top..bottom-1.
  painter.drawEllipse(area.adjusted(0, 0, -1, -1));
}

void ImageSurface::drawText(const Rect& r, std::string_view text, TextAlign align, const Font& font, Color color) {
  const QRect area = toQRect(r);
  QPainter painter(&image_);
  painter.setClipRect(area.intersected(clip_));
  painter.setFont(gameFont(font));
  painter.setPen(toQColor(color));
  const Qt::Alignment horizontal = align == AlignCenter ? Qt::AlignHCenter : align == AlignRight ? Qt::AlignRight : Qt::AlignLeft;
  painter.drawText(area, int(Qt::AlignTop | horizontal | Qt::TextSingleLine),
                   QString::fromLatin1(text.data(), qsizetype(text.size())));
}
