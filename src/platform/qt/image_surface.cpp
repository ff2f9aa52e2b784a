#include "platform/qt/image_surface.h"

#include <QPainter>
#include <cstring>

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
  const qsizetype stride = image_.bytesPerLine();
  uchar* bits = image_.bits();
  // Most of a frame repaints pixels with the colour they already have;
  // rows that have it already are left alone, which keeps the image's
  // memory clean and tells what has to reach the screen.
  solidRow_.assign(target.width(), pixel);
  const size_t rowBytes = solidRow_.size() * sizeof(QRgb);
  for (int y = target.top(); y <= target.bottom(); ++y) {
    QRgb* line = reinterpret_cast<QRgb*>(bits + y * stride) + target.left();
    if (std::memcmp(line, solidRow_.data(), rowBytes) == 0) continue;
    std::memcpy(line, solidRow_.data(), rowBytes);
    written_ |= QRect(target.left(), y, target.width(), 1);
  }
}

QRect ImageSurface::takeWritten(const QRect& area) {
  const QRect taken = written_.intersected(area);
  if (area.contains(written_)) written_ = QRect();
  return taken;
}

void ImageSurface::rectangle(const Rect& r, const Pen& pen, const Brush& brush) {
  const QRect area = toQRect(r);
  if (area.isEmpty()) return;
  fill(area.adjusted(1, 1, -1, -1), brush.color);  // the outline covers the rest
  fill(QRect(area.left(), area.top(), area.width(), 1), pen.color);
  fill(QRect(area.left(), area.bottom(), area.width(), 1), pen.color);
  fill(QRect(area.left(), area.top(), 1, area.height()), pen.color);
  fill(QRect(area.right(), area.top(), 1, area.height()), pen.color);
}

void ImageSurface::fillRect(const Rect& r, const Brush& brush) { fill(toQRect(r), brush.color); }

void ImageSurface::ellipse(const Rect& r, const Pen& pen, const Brush& brush) {
  const QRect area = toQRect(r);
  if (area.width() < 2 || area.height() < 2) return;
  written_ |= area.intersected(clip_);
  QPainter painter(&image_);
  painter.setClipRect(clip_);
  painter.setPen(QPen(toQColor(pen.color), 0));  // cosmetic: exactly one pixel
  painter.setBrush(toQColor(brush.color));
  // With a one-pixel pen the outline spans one pixel more than the rectangle
  // given, so this covers exactly left..right-1 and top..bottom-1.
  painter.drawEllipse(area.adjusted(0, 0, -1, -1));
}

void ImageSurface::drawText(const Rect& r, std::string_view text, TextAlign align, const Font& font, Color color) {
  const QRect area = toQRect(r).intersected(clip_);
  written_ |= area;
  QPainter painter(&image_);
  painter.setClipRect(area);
  painter.setFont(gameFont(font));
  painter.setPen(toQColor(color));
  const Qt::Alignment horizontal = align == AlignCenter ? Qt::AlignHCenter : align == AlignRight ? Qt::AlignRight : Qt::AlignLeft;
  painter.drawText(toQRect(r), int(Qt::AlignTop | horizontal | Qt::TextSingleLine),
                   QString::fromLatin1(text.data(), qsizetype(text.size())));
}
