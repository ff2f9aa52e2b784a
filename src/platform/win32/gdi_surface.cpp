#include "platform/win32/gdi_surface.h"

#include <algorithm>
#include <cstring>

#include "render/drawing_objects.h"

namespace {

COLORREF colorRef(Color c) { return RGB(c.r, c.g, c.b); }

}  // namespace

GdiSurface::GdiSurface() : dc_(CreateCompatibleDC(nullptr)) {
  SetBkMode(dc_, TRANSPARENT);
  brushes_[colorRef(whiteBrush.color)] = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  brushes_[colorRef(blackBrush.color)] = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  for (const Brush* b : {&greenBrush, &redBrush, &blueBrush, &zoneBrush}) brush(b->color);
  for (const Brush& b : fadeBrushes) brush(b.color);
  pen(blackPen.color);
  pen(whitePen.color);
  font_ = CreateFontA(panelFont.height, 0, 0, 0, panelFont.weight, FALSE, FALSE, FALSE, ANSI_CHARSET, 0, 0, 0, 0,
                      panelFont.face);
  created_.push_back(font_);
}

GdiSurface::~GdiSurface() {
  // Nothing of ours may stay selected while it is deleted.
  SelectObject(dc_, GetStockObject(BLACK_PEN));
  SelectObject(dc_, GetStockObject(WHITE_BRUSH));
  SelectObject(dc_, GetStockObject(SYSTEM_FONT));
  if (firstBitmap_) SelectObject(dc_, firstBitmap_);
  if (bitmap_) DeleteObject(bitmap_);
  for (HGDIOBJ object : created_) DeleteObject(object);
  DeleteDC(dc_);
}

HPEN GdiSurface::pen(Color color) {
  HPEN& p = pens_[colorRef(color)];
  if (!p) created_.push_back(p = CreatePen(PS_SOLID, 1, colorRef(color)));
  return p;
}

HBRUSH GdiSurface::brush(Color color) {
  HBRUSH& b = brushes_[colorRef(color)];
  if (!b) created_.push_back(b = CreateSolidBrush(colorRef(color)));
  return b;
}

void GdiSurface::resize(int width, int height) {
  if (width == width_ && height == height_ && bitmap_) return;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = std::max(width, 1);
  info.bmiHeader.biHeight = -std::max(height, 1);  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap) return;  // keep drawing into the old image
  const HGDIOBJ former = SelectObject(dc_, bitmap);
  if (bitmap_) {
    DeleteObject(bitmap_);
  } else {
    firstBitmap_ = static_cast<HBITMAP>(former);
  }
  bitmap_ = bitmap;
  bits_ = static_cast<uint32_t*>(bits);
  width_ = std::max(width, 1);
  height_ = std::max(height, 1);
  std::memset(bits_, 0, sizeof(uint32_t) * width_ * height_);  // black
  // Unknown to the window: the first present copies every pixel of its area.
  shown_.assign(static_cast<size_t>(width_) * height_, 0xFFFFFFFFu);
}

void GdiSurface::setClip(const Rect& clip) {
  HRGN region = CreateRectRgn(clip.left, clip.top, clip.right, clip.bottom);
  SelectClipRgn(dc_, region);
  DeleteObject(region);  // the DC keeps its own copy
}

void GdiSurface::rectangle(const Rect& r, const Pen& pen, const Brush& brush) {
  SelectObject(dc_, this->pen(pen.color));
  SelectObject(dc_, this->brush(brush.color));
  Rectangle(dc_, r.left, r.top, r.right, r.bottom);
}

void GdiSurface::fillRect(const Rect& r, const Brush& brush) {
  SelectObject(dc_, this->brush(brush.color));
  PatBlt(dc_, r.left, r.top, r.right - r.left, r.bottom - r.top, PATCOPY);
}

void GdiSurface::ellipse(const Rect& r, const Pen& pen, const Brush& brush) {
  SelectObject(dc_, this->pen(pen.color));
  SelectObject(dc_, this->brush(brush.color));
  Ellipse(dc_, r.left, r.top, r.right, r.bottom);
}

void GdiSurface::drawText(const Rect& r, std::string_view text, TextAlign align, const Font&, Color color) {
  SelectObject(dc_, font_);
  SetTextColor(dc_, colorRef(color));
  RECT area{r.left, r.top, r.right, r.bottom};
  const UINT format = align == AlignCenter ? DT_CENTER : align == AlignRight ? DT_RIGHT : DT_LEFT;
  DrawTextA(dc_, text.data(), static_cast<int>(text.size()), &area, format);
}

// A field frame redraws 400 by 400 pixels of which the moving ball and bat
// change a few hundred: only the box around the changed ones is copied.
void GdiSurface::present(HDC window, const Rect& area, int scale) {
  GdiFlush();  // GDI may still hold drawing calls back from the bits
  const int left = std::max(area.left, 0), right = std::min(area.right, width_);
  const int top = std::max(area.top, 0), bottom = std::min(area.bottom, height_);
  // A client narrower or lower than the area (the panel of a small window)
  // leaves nothing of it to show.
  if (left >= right || top >= bottom) return;
  RECT changed{right, bottom, left, top};
  for (int y = top; y < bottom; ++y) {
    const uint32_t* now = bits_ + static_cast<size_t>(y) * width_;
    uint32_t* before = shown_.data() + static_cast<size_t>(y) * width_;
    if (std::memcmp(now + left, before + left, sizeof(uint32_t) * (right - left)) == 0) continue;
    int l = left, r = right - 1;
    while (now[l] == before[l]) ++l;
    while (now[r] == before[r]) --r;
    std::copy(now + l, now + r + 1, before + l);
    changed = {std::min<LONG>(changed.left, l), std::min<LONG>(changed.top, y), std::max<LONG>(changed.right, r + 1),
               y + 1};
  }
  if (changed.left < changed.right) copy(window, changed, scale);
}

void GdiSurface::show(HDC window, const RECT& windowArea, int scale) {
  GdiFlush();
  RECT game{windowArea.left / scale, windowArea.top / scale, (windowArea.right + scale - 1) / scale,
            (windowArea.bottom + scale - 1) / scale};
  game.right = std::min<LONG>(game.right, width_);
  game.bottom = std::min<LONG>(game.bottom, height_);
  if (game.left >= game.right || game.top >= game.bottom) return;
  for (LONG y = game.top; y < game.bottom; ++y) {
    const size_t row = static_cast<size_t>(y) * width_;
    std::copy(bits_ + row + game.left, bits_ + row + game.right, shown_.data() + row + game.left);
  }
  copy(window, game, scale);
}

void GdiSurface::copy(HDC window, const RECT& a, int scale) {
  const int w = a.right - a.left, h = a.bottom - a.top;
  if (scale == 1) {
    BitBlt(window, a.left, a.top, w, h, dc_, a.left, a.top, SRCCOPY);
  } else {
    StretchBlt(window, a.left * scale, a.top * scale, w * scale, h * scale, dc_, a.left, a.top, w, h, SRCCOPY);
  }
}

PixelImage GdiSurface::image() {
  GdiFlush();
  return {reinterpret_cast<const uint8_t*>(bits_), width_, height_, width_ * 4};
}
