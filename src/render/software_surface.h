// The game's drawing operations in plain memory, by the pixel rules every
// window's surface keeps: right and bottom edges exclusive, a one-pixel
// outline on the outermost pixels, no antialiasing of shapes. Shapes are
// drawn here, the same on every platform; text is left to the platform's own
// face and rasteriser, which draws it into the same pixels.
#pragma once
#include <functional>
#include <vector>

#include "render/surface.h"

// Draws one line of text into pixels (width by height, 0x??RRGGBB words),
// changing nothing outside clip, as DrawingSurface::drawText says.
using TextPainter = std::function<void(uint32_t* pixels, int32_t width, int32_t height, const Rect& clip, const Rect& r,
                                       std::string_view text, TextAlign align, const Font& font, Color color)>;

class SoftwareSurface final : public DrawingSurface {
 public:
  explicit SoftwareSurface(TextPainter painter) : painter_(std::move(painter)) {}

  void resize(int32_t width, int32_t height) override;
  PixelImage image() override { return {pixels_.data(), width_, height_, width_}; }
  void setClip(const Rect& clip) override;
  void rectangle(const Rect& r, const Pen& pen, const Brush& brush) override;
  void fillRect(const Rect& r, const Brush& brush) override;
  void ellipse(const Rect& r, const Pen& pen, const Brush& brush) override;
  void drawText(const Rect& r, std::string_view text, TextAlign align, const Font& font, Color color) override;

 private:
  void fill(const Rect& r, Color color);
  void plot(int32_t x, int32_t y, Color color);

  TextPainter painter_;
  std::vector<uint32_t> pixels_ = std::vector<uint32_t>(1);
  int32_t width_ = 1, height_ = 1;
  Rect clip_{0, 0, 1, 1};
};
