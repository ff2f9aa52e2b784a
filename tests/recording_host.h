// A window host that records what the game asks of the window, and a
// surface that records the drawing operations of each frame.
#pragma once
#include <string>
#include <vector>

#include "shell/host.h"
#include "shell/window.h"

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

  void resize(int32_t, int32_t) override {}
  PixelImage image() override { return {nullptr, 0, 0, 0}; }
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
};

class RecordingHost final : public WindowHost {
 public:
  RecordingSurface drawing;
  std::vector<Rect> presented;
  std::vector<CursorShape> cursors;
  std::vector<std::pair<Command, bool>> menuChecks;
  std::vector<std::pair<int32_t, int32_t>> warps;
  std::string title;
  std::vector<std::string> notices;
  int closes = 0, abouts = 0, helps = 0, captures = 0, releases = 0, focuses = 0;
  bool minimised = false, mouse = true, cursorShown = true;

  Rect clientRect() override { return {0, 0, clientWidth, clientHeight}; }
  DrawingSurface& surface() override { return drawing; }
  void present(const Rect& r) override { presented.push_back(r); }
  void setCursor(CursorShape shape) override { cursors.push_back(shape); }
  void setMenuCheck(Command command, bool checked) override { menuChecks.emplace_back(command, checked); }
  void setTitle(const char* t) override { title = t; }
  void postClose() override { ++closes; }
  void showAbout() override { ++abouts; }
  void openHelp(const char*) override { ++helps; }
  void warpCursor(int32_t x, int32_t y) override { warps.emplace_back(x, y); }
  void captureMouse(bool on) override { ++(on ? captures : releases); }
  bool isMinimised() override { return minimised; }
  bool mousePresent() override { return mouse; }
  void showCursor(bool shown) override { cursorShown = shown; }
  void takeFocus() override { ++focuses; }
  void showNotice(const char* text) override { notices.push_back(text); }
};
