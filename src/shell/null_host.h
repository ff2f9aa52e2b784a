// A window that shows nothing, for running the game headless. Their frames are
// still composed, so fading blocks count down as they would on screen.
#pragma once
#include "shell/host.h"
#include "shell/window.h"

class NullSurface final : public DrawingSurface {
 public:
  void resize(int32_t, int32_t) override {}
  PixelImage image() override { return {nullptr, 0, 0, 0}; }  // nothing to show, nothing to compare
  void setClip(const Rect&) override {}
  void rectangle(const Rect&, const Pen&, const Brush&) override {}
  void fillRect(const Rect&, const Brush&) override {}
  void ellipse(const Rect&, const Pen&, const Brush&) override {}
  void drawText(const Rect&, std::string_view, TextAlign, const Font&, Color) override {}
};

class NullHost : public WindowHost {
 public:
  Rect clientRect() override { return {0, 0, clientWidth, clientHeight}; }
  DrawingSurface& surface() override { return surface_; }
  void present(const Rect&) override {}
  void setCursor(CursorShape) override {}
  void setMenuCheck(Command, bool) override {}
  void setTitle(const char*) override {}
  void postClose() override {}
  void showAbout() override {}
  void openHelp(const char*) override {}
  void warpCursor(int32_t, int32_t) override {}
  void captureMouse(bool) override {}
  bool isMinimised() override { return false; }
  bool mousePresent() override { return true; }
  void showCursor(bool) override {}
  void takeFocus() override {}
  void showNotice(const char*) override {}

 private:
  NullSurface surface_;
};
