// The game's drawing operations with GDI on a 32-bit DIB section selected into
// a memory DC: the client image that frames are composed in and copied to the
// window from.
#pragma once
#include <windows.h>

#include <cstdint>
#include <map>
#include <vector>

#include "render/surface.h"
#include "shell/screenshot.h"

class GdiSurface final : public DrawingSurface {
 public:
  // Makes the pens, brushes and font of the game's drawing objects, once.
  GdiSurface();
  // Deletes them, and the image.
  ~GdiSurface() override;
  GdiSurface(const GdiSurface&) = delete;
  GdiSurface& operator=(const GdiSurface&) = delete;

  // A new black image of the size, when it is not that size already.
  void resize(int width, int height);
  int width() const { return width_; }
  int height() const { return height_; }

  void setClip(const Rect& clip) override;
  void rectangle(const Rect& r, const Pen& pen, const Brush& brush) override;
  void fillRect(const Rect& r, const Brush& brush) override;
  void ellipse(const Rect& r, const Pen& pen, const Brush& brush) override;
  void drawText(const Rect& r, std::string_view text, TextAlign align, const Font& font, Color color) override;

  // Copies to the window the pixels inside the area that changed since they
  // were last shown, each game pixel as scale by scale window pixels.
  void present(HDC window, const Rect& area, int scale);
  // Copies the part of the image under a window rectangle, changed or not (a
  // paint message: the window lost what it showed there).
  void show(HDC window, const RECT& windowArea, int scale);
  PixelImage image();

 private:
  HPEN pen(Color color);
  HBRUSH brush(Color color);
  void copy(HDC window, const RECT& gameArea, int scale);

  HDC dc_;
  HBITMAP bitmap_ = nullptr, firstBitmap_ = nullptr;
  uint32_t* bits_ = nullptr;
  int width_ = 0, height_ = 0;
  std::vector<uint32_t> shown_;  // the pixels as the window shows them
  std::map<COLORREF, HPEN> pens_;
  std::map<COLORREF, HBRUSH> brushes_;
  std::vector<HGDIOBJ> created_;  // deleted at the end; stock objects are not
  HFONT font_ = nullptr;
};
