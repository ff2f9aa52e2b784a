// A front end that records what the mid-end asks of the window, and a
// surface that records the drawing operations reaching it.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "shell/front_end.h"

struct DrawOp {
  enum Kind { Clip, Rectangle, Fill, Ellipse, Text } kind;
  Rect rect;
  Color pen;   // Rectangle and Ellipse
  Color fill;  // Rectangle, Fill and Ellipse; the text colour for Text
  std::string text;
  TextAlign align;
};

class RecordingSurface final : public DrawingSurface {
 public:
  std::vector<DrawOp> ops;

  void resize(int32_t width, int32_t height) override { width_ = width, height_ = height; }
  PixelImage image() override { return {nullptr, width_, height_, width_}; }  // its size, no pixels
  void setClip(const Rect& r) override { ops.push_back({DrawOp::Clip, r, {}, {}, {}, AlignLeft}); }
  void rectangle(const Rect& r, const Pen& pen, const Brush& brush) override {
    ops.push_back({DrawOp::Rectangle, r, pen.color, brush.color, {}, AlignLeft});
  }
  void fillRect(const Rect& r, const Brush& brush) override {
    ops.push_back({DrawOp::Fill, r, {}, brush.color, {}, AlignLeft});
  }
  void ellipse(const Rect& r, const Pen& pen, const Brush& brush) override {
    ops.push_back({DrawOp::Ellipse, r, pen.color, brush.color, {}, AlignLeft});
  }
  void drawText(const Rect& r, std::string_view text, TextAlign align, const Font&, Color color) override {
    ops.push_back({DrawOp::Text, r, {}, color, std::string(text), align});
  }

 private:
  int32_t width_ = 0, height_ = 0;
};

class RecordingFrontEnd final : public FrontEnd {
 public:
  std::vector<std::pair<Rect, Rect>> shown;  // image area, window area
  std::vector<CursorShape> cursors;
  std::vector<std::pair<Command, bool>> menuChecks;
  std::vector<Point> warps;
  std::vector<std::string> notices;
  std::string title, told;
  int closes = 0, ended = 0, abouts = 0, helps = 0, fullScreens = 0, captures = 0, releases = 0, focuses = 0;
  bool minimised = false, mouse = true, cursorShown = true;
  bool staysUp = false;  // the About box lets the game go on, as the page's does
  std::function<void()> duringAbout;

  void showPixels(const Rect& imageArea, const Rect& windowArea) override { shown.emplace_back(imageArea, windowArea); }
  void setTitle(const char* text) override { title = text; }
  void postClose() override { ++closes; }
  void endProgram() override { ++ended; }
  void tell(const std::string& text, bool) override { told += text; }
  void setCursor(CursorShape shape) override { cursors.push_back(shape); }
  void setMenuCheck(Command command, bool checked) override { menuChecks.emplace_back(command, checked); }
  bool showAbout() override {
    ++abouts;
    if (duringAbout) duringAbout();
    return staysUp;
  }
  void openHelp(const char*) override { ++helps; }
  void toggleFullScreen() override { ++fullScreens; }
  void warpCursor(Point p) override { warps.push_back(p); }
  void captureMouse(bool on) override { ++(on ? captures : releases); }
  bool isMinimised() override { return minimised; }
  bool mousePresent() override { return mouse; }
  void showCursor(bool shown) override { cursorShown = shown; }
  void takeFocus() override { ++focuses; }
  void showNotice(const char* text) override { notices.push_back(text); }
};
