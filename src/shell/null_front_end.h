// The mid-end's front end with no window: it shows nothing and asks nothing
// of a player. vantrel-sim is one; so are the benchmarks' and tests' own.
#pragma once
#include "shell/front_end.h"

class NullFrontEnd : public FrontEnd {
 public:
  void showPixels(const Rect&, const Rect&) override {}
  void setCursor(CursorShape) override {}
  void setMenuCheck(Command, bool) override {}
  void setTitle(const char*) override {}
  void postClose() override {}
  void endProgram() override {}
  bool showAbout() override { return false; }
  void openHelp(const char*) override {}
  void toggleFullScreen() override {}
  void warpCursor(Point) override {}
  void captureMouse(bool) override {}
  bool isMinimised() override { return false; }
  bool mousePresent() override { return true; }
  void showCursor(bool) override {}
  void takeFocus() override {}
  void showNotice(const char*) override {}
  void tell(const std::string&, bool) override {}
};
