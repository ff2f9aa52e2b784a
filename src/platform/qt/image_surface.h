// The game's drawing operations on an off-screen QImage, the client image of
// the Qt window, with the pixel rules every window's surface keeps: right
// and bottom edges exclusive, a one-pixel outline on the outermost pixels,
// no antialiasing of shapes.
#pragma once
#include <QImage>
#include <QRect>

#include "render/surface.h"

class ImageSurface final : public DrawingSurface {
 public:
  void resize(int32_t width, int32_t height) override;
  PixelImage image() override;
  const QImage& qImage() const { return image_; }

  void setClip(const Rect& clip) override;
  void rectangle(const Rect& r, const Pen& pen, const Brush& brush) override;
  void fillRect(const Rect& r, const Brush& brush) override;
  void ellipse(const Rect& r, const Pen& pen, const Brush& brush) override;
  void drawText(const Rect& r, std::string_view text, TextAlign align, const Font& font, Color color) override;

 private:
  void fill(const QRect& area, QRgb colour);

  QImage image_{1, 1, QImage::Format_RGB32};
  QRect clip_;
};
