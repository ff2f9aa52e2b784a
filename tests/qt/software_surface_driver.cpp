// The software surface, which the web page draws with, under the surface
// contract, with Qt drawing its text as the Qt window does; and its ball
// against the Qt window's own surface.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "contract/contract.h"
#include "platform/qt/fonts.h"
#include "platform/qt/image_surface.h"
#include "render/software_surface.h"

namespace {

QRect toQRect(const Rect& r) { return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top); }

void qtText(uint32_t* pixels, int32_t width, int32_t height, const Rect& clip, const Rect& r, std::string_view text,
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

// The field's one ellipse is the ball, 15 pixels each way.
TEST(SoftwareSurface, DrawsTheBallAsTheQtWindowDoes) {
  SoftwareSurface software(qtText);
  ImageSurface qt;
  for (DrawingSurface* s : {static_cast<DrawingSurface*>(&software), static_cast<DrawingSurface*>(&qt)}) {
    s->resize(40, 40);
    s->ellipse({3, 5, 18, 20}, Pen{{255, 255, 255}}, Brush{{0, 0, 255}});
  }
  for (int32_t y = 0; y < 40; ++y)
    for (int32_t x = 0; x < 40; ++x) ASSERT_EQ(software.image().at(x, y), qt.image().at(x, y)) << x << "," << y;
}

}  // namespace

std::unique_ptr<DrawingSurface> makeSurface() { return std::make_unique<SoftwareSurface>(qtText); }
