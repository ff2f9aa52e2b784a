// The game's drawing operations on an off-screen QImage, with the pixel rules
// of the original drawing calls: right and bottom edges exclusive, a one-pixel
// outline on the outermost pixels, no antialiasing of shapes.
#pragma once
#include <QImage>
#include <QRect>
#include <vector>

#include "render/surface.h"

class ImageSurface final : public DrawingSurface {
 public:
  explicit ImageSurface(QImage& image) : image_(image) {}

  void setClip(const Rect& clip) override;
  void rectangle(const Rect& r, const Pen& pen, const Brush& brush) override;
  void fillRect(const Rect& r, const Brush& brush) override;
  void ellipse(const Rect& r, const Pen& pen, const Brush& brush) override;
  void drawText(const Rect& r, std::string_view text, TextAlign align, const Font& font, Color color) override;

  // The part of the area where pixels were written since it was last taken:
  // nothing outside it can have changed.
  QRect takeWritten(const QRect& area);

 private:
  void fill(const QRect& area, Color color);

  QImage& image_;
  QRect clip_;
  QRect written_;
  std::vector<QRgb> solidRow_;  // one row of the fill colour
};
