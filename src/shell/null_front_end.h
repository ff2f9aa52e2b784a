// The mid-end's front end with no window, and the surface it draws on: the
// game runs headless, its frames still composed so that fading blocks count
// down as they would on screen. vantrel-sim, the autoplayer, the fuzz targets,
// the soak test and the benchmarks run the game through a mid-end with it.
#pragma once
#include "render/surface.h"
#include "shell/front_end.h"

// An image of no pixels: the kept frames in front of it find nothing to draw.
class NullSurface final : public DrawingSurface {
 public:
  void resize(int32_t, int32_t) override {}
  PixelImage image() override { return {nullptr, 0, 0, 0}; }
  void setClip(const Rect&) override {}
  void rectangle(const Rect&, const Pen&, const Brush&) override {}
  void fillRect(const Rect&, const Brush&) override {}
  void ellipse(const Rect&, const Pen&, const Brush&) override {}
  void drawText(const Rect&, std::string_view, TextAlign, const Font&, Color) override {}
};

class NullFrontEnd : public FrontEnd {
 public:
  void showPixels(const Rect&, const Rect&) override {}
  void setTitle(const char*) override {}
  void postClose() override {}
  void endProgram() override {}
  void tell(const std::string&, bool) override {}
};
