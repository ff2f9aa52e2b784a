#include "render/software_surface.h"

#include <algorithm>
#include <cmath>

namespace {

uint32_t word(Color c) { return uint32_t{c.r} << 16 | uint32_t{c.g} << 8 | c.b; }

Rect intersection(const Rect& a, const Rect& b) {
  return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
}

bool isEmpty(const Rect& r) { return r.left >= r.right || r.top >= r.bottom; }

// The pixel nearest to a point of the rim, halves rounded up.
int32_t nearest(double v) { return static_cast<int32_t>(std::floor(v + 0.5)); }

}  // namespace

void SoftwareSurface::resize(int32_t width, int32_t height) {
  width_ = std::max(width, 1);
  height_ = std::max(height, 1);
  pixels_.assign(static_cast<size_t>(width_) * height_, 0);
  clip_ = {0, 0, width_, height_};
}

void SoftwareSurface::setClip(const Rect& clip) { clip_ = intersection(clip, {0, 0, width_, height_}); }

void SoftwareSurface::rectangle(const Rect& r, const Pen& pen, const Brush& brush) {
  if (isEmpty(r)) return;
  fill({r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}, brush.color);
  fill({r.left, r.top, r.right, r.top + 1}, pen.color);
  fill({r.left, r.bottom - 1, r.right, r.bottom}, pen.color);
  fill({r.left, r.top, r.left + 1, r.bottom}, pen.color);
  fill({r.right - 1, r.top, r.right, r.bottom}, pen.color);
}

void SoftwareSurface::fillRect(const Rect& r, const Brush& brush) { fill(r, brush.color); }

// The rim runs through the centres of the box's outermost pixels. Each
// column gets the rim pixels nearest to the curve above and below its
// centre, each row those left and right of it, so the rim has no gaps at
// any slope; the brush fills each row between its outermost rim pixels.
void SoftwareSurface::ellipse(const Rect& r, const Pen& pen, const Brush& brush) {
  const int32_t w = r.right - r.left, h = r.bottom - r.top;
  if (w < 2 || h < 2) return;
  const double a = (w - 1) / 2.0, b = (h - 1) / 2.0;
  std::vector<bool> rim(static_cast<size_t>(w) * h);
  const auto mark = [&](int32_t x, int32_t y) { rim[static_cast<size_t>(y) * w + x] = true; };
  for (int32_t x = 0; x < w; ++x) {
    const double d = (x - a) / a, t = b * std::sqrt(std::max(0.0, 1.0 - d * d));
    mark(x, nearest(b - t));
    mark(x, nearest(b + t));
  }
  for (int32_t y = 0; y < h; ++y) {
    const double d = (y - b) / b, t = a * std::sqrt(std::max(0.0, 1.0 - d * d));
    mark(nearest(a - t), y);
    mark(nearest(a + t), y);
  }
  for (int32_t y = 0; y < h; ++y) {
    int32_t first = w, last = -1;
    for (int32_t x = 0; x < w; ++x)
      if (rim[static_cast<size_t>(y) * w + x]) first = std::min(first, x), last = x;
    for (int32_t x = first; x <= last; ++x)
      plot(r.left + x, r.top + y, rim[static_cast<size_t>(y) * w + x] ? pen.color : brush.color);
  }
}

void SoftwareSurface::drawText(const Rect& r, std::string_view text, TextAlign align, const Font& font, Color color) {
  const Rect visible = intersection(r, clip_);
  if (isEmpty(visible)) return;
  painter_(pixels_.data(), width_, height_, visible, r, text, align, font, color);
}

void SoftwareSurface::fill(const Rect& r, Color color) {
  const Rect area = intersection(r, clip_);
  if (isEmpty(area)) return;
  for (int32_t y = area.top; y < area.bottom; ++y)
    std::fill_n(pixels_.begin() + static_cast<ptrdiff_t>(y) * width_ + area.left, area.right - area.left, word(color));
}

void SoftwareSurface::plot(int32_t x, int32_t y, Color color) {
  if (x >= clip_.left && x < clip_.right && y >= clip_.top && y < clip_.bottom)
    pixels_[static_cast<size_t>(y) * width_ + x] = word(color);
}
