#include "platform/qt/image_surface.h"

#include <QPainter>
#include <algorithm>

#include "platform/qt/fonts.h"

namespace {

QRect toQRect(const Rect& r) { return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top); }
QRgb toQRgb(Color c) { return qRgb(c.r, c.g, c.b); }

}  // namespace

void ImageSurface::resize(int32_t width, int32_t height) {
  image_ = QImage(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32);
  image_.fill(Qt::black);
  clip_ = image_.rect();
}

PixelImage ImageSurface::image() {
  return {reinterpret_cast<const uint32_t*>(image_.constBits()), image_.width(), image_.height(),
          static_cast<int32_t>(image_.bytesPerLine() / 4)};
}

void ImageSurface::setClip(const Rect& clip) { clip_ = toQRect(clip).intersected(image_.rect()); }

void ImageSurface::rectangle(const Rect& r, const Pen& pen, const Brush& brush) {
  const QRect area = toQRect(r);
  if (area.isEmpty()) return;
  fillRect({r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}, brush);  // the outline covers the rest
  const QRgb outline = toQRgb(pen.color);
  for (const QRect& edge :
       {QRect(area.left(), area.top(), area.width(), 1), QRect(area.left(), area.bottom(), area.width(), 1),
        QRect(area.left(), area.top(), 1, area.height()), QRect(area.right(), area.top(), 1, area.height())})
    fill(edge, outline);
}

void ImageSurface::fillRect(const Rect& r, const Brush& brush) { fill(toQRect(r), toQRgb(brush.color)); }

void ImageSurface::ellipse(const Rect& r, const Pen& pen, const Brush& brush) {
  const QRect area = toQRect(r);
  if (area.width() < 2 || area.height() < 2 || !area.intersects(clip_)) return;
  QPainter painter(&image_);
  painter.setClipRect(clip_);
  painter.setPen(QPen(QColor(toQRgb(pen.color)), 0));  // cosmetic: exactly one pixel
  painter.setBrush(QColor(toQRgb(brush.color)));
  // With a one-pixel pen the outline spans one pixel more than the
  // rectangle given, so this covers exactly left..right-1 and top..bottom-1.
  painter.drawEllipse(area.adjusted(0, 0, -1, -1));
}

void ImageSurface::drawText(const Rect& r, std::string_view text, TextAlign align, const Font& font, Color color) {
  const QRect area = toQRect(r);
  const QRect visible = area.intersected(clip_);
  if (visible.isEmpty()) return;
  QPainter painter(&image_);
  painter.setClipRect(visible);
  painter.setFont(gameFont(font));
  painter.setPen(QColor(toQRgb(color)));
  const Qt::Alignment horizontal = align == AlignCenter  ? Qt::AlignHCenter
                                   : align == AlignRight ? Qt::AlignRight
                                                         : Qt::AlignLeft;
  painter.drawText(area, int(Qt::AlignTop | horizontal | Qt::TextSingleLine),
                   QString::fromLatin1(text.data(), qsizetype(text.size())));
}

// Fills go straight to the pixels: no painter needed.
void ImageSurface::fill(const QRect& r, QRgb colour) {
  const QRect area = r.intersected(clip_);
  if (area.isEmpty()) return;
  const qsizetype stride = image_.bytesPerLine();
  uchar* bits = image_.bits();
  for (int y = area.top(); y <= area.bottom(); ++y) {
    QRgb* line = reinterpret_cast<QRgb*>(bits + y * stride) + area.left();
    std::fill_n(line, area.width(), colour);
  }
}
