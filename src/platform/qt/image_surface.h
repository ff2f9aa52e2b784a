// The game's drawing operations on an off-screen QImage, with the pixel rules
// every window's surface keeps: right and bottom edges exclusive, a one-pixel
// outline on the outermost pixels, no antialiasing of shapes.
//
// A frame (the operations after one setClip) is carried out when the next
// frame starts or its pixels are asked for. The game redraws the whole field
// every 20 ms although only the ball, the bat and a block or two have moved:
// the frame is compared with the last one drawn under the same clip, and only
// the places where an operation differs are drawn again, by every operation
// of the frame in its order. The pixels come out as a whole redraw would make
// them, at a small part of the cost.
#pragma once
#include <QImage>
#include <QRect>
#include <string>
#include <utility>
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

  // Carries out the frame so far: the image then shows everything drawn.
  void flush();
  // The places in the area where pixels were drawn since they were last
  // taken: nothing outside them can have changed.
  std::vector<QRect> takeWritten(const QRect& area);

 private:
  struct Operation {
    enum Kind { Fill, Ellipse, Text } kind;
    QRect rect;
    QRgb colour, rim;  // rim: the ellipse's outline
    std::string text;
    TextAlign align;
    Font font;
    bool operator==(const Operation& o) const;
  };

  void record(Operation operation);
  void draw(const Operation& operation, const QRect& area);
  void fill(const QRect& area, QRgb colour);

  QImage& image_;
  QRect clip_;
  std::vector<Operation> frame_;
  // The last frame carried out under each clip, while the image still holds it.
  std::vector<std::pair<QRect, std::vector<Operation>>> drawn_;
  qint64 imageKey_ = 0;  // the image as the last frame left it
  std::vector<QRect> written_;
};
