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

void GdiSurface::resize(int32_t width, int32_t height) {
  if (std::max(width, 1) == width_ && std::max(height, 1) == height_) {
    std::memset(bits_, 0, sizeof(uint32_t) * width_ * height_);  // black
    return;
  }
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

void GdiSurface::copy(HDC window, const Rect& imageArea, const Rect& windowArea) {
  GdiFlush();  // GDI may still hold drawing calls back from the bits
  const Rect& i = imageArea;
  const Rect& w = windowArea;
  StretchBlt(window, w.left, w.top, w.right - w.left, w.bottom - w.top, dc_, i.left, i.top, i.right - i.left,
             i.bottom - i.top, SRCCOPY);
}

PixelImage GdiSurface::image() {
  GdiFlush();
  return {bits_, width_, height_, width_};
}
