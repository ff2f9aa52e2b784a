// The game's drawing operations with GDI on a 32-bit DIB section selected into
// a memory DC: the client image that frames are composed in and copied to the
// window from.
#pragma once
#include <windows.h>

#include <cstdint>
#include <map>
#include <vector>

#include "render/surface.h"

class GdiSurface final : public DrawingSurface {
 public:
  // Makes the pens, brushes and font of the game's drawing objects, once.
  GdiSurface();
  // Deletes them, and the image.
  ~GdiSurface() override;
  GdiSurface(const GdiSurface&) = delete;
  GdiSurface& operator=(const GdiSurface&) = delete;

  // A black image of the size; the old one stays when no new one can be made.
  void resize(int32_t width, int32_t height) override;
  PixelImage image() override;

  void setClip(const Rect& clip) override;
  void rectangle(const Rect& r, const Pen& pen, const Brush& brush) override;
  void fillRect(const Rect& r, const Brush& brush) override;
  void ellipse(const Rect& r, const Pen& pen, const Brush& brush) override;
  void drawText(const Rect& r, std::string_view text, TextAlign align, const Font& font, Color color) override;

  // Copies the image's pixels inside imageArea to windowArea of the window.
  void copy(HDC window, const Rect& imageArea, const Rect& windowArea);

 private:
  HPEN pen(Color color);
  HBRUSH brush(Color color);

  HDC dc_;
  HBITMAP bitmap_ = nullptr, firstBitmap_ = nullptr;
  uint32_t* bits_ = nullptr;
  int width_ = 0, height_ = 0;
  std::map<COLORREF, HPEN> pens_;
  std::map<COLORREF, HBRUSH> brushes_;
  std::vector<HGDIOBJ> created_;  // deleted at the end; stock objects are not
  HFONT font_ = nullptr;
};
