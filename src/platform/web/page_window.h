// The page's window: the canvas, run by page.js, which turns the browser's
// events into the calls page_window.cpp exports. The mid-end's front end and
// the program's platform, in the page's terms.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "render/software_surface.h"
#include "shell/front_end.h"
#include "shell/midend.h"

// Its loop is the browser's, going on after main has returned; the exported
// calls reach the mid-end it was opened on.
class PageWindow final : public FrontEnd, public Platform {
 public:
  PageWindow();
  bool openWindow(MidEnd& midEnd) override;
  void runLoop() override {}
  MidEnd* midEnd() { return midEnd_; }

  void showPixels(const Rect& area, const Rect& windowArea) override;
  void setCursor(CursorShape shape) override;
  void setMenuCheck(Command command, bool checked) override;
  void setTitle(const char* title) override;
  void postClose() override;
  void endProgram() override;
  bool showAbout() override;
  void openHelp(const char* helpFile) override;
  void toggleFullScreen() override;
  // No warpCursor: a page cannot move the pointer (see docs/behaviour.md).
  void captureMouse(bool captured) override;
  bool isMinimised() override;
  void showCursor(bool shown) override;
  void takeFocus() override;
  void showNotice(const char* text) override;
  void tell(const std::string& text, bool error) override;

 private:
  MidEnd* midEnd_ = nullptr;
  SoftwareSurface surface_;
  std::vector<uint8_t> rgba_;
};

// The page's one window.
PageWindow& pageWindow();

// The game's text in the browser's rasteriser (page.js), drawn into the
// software surface's pixels.
void paintText(uint32_t* pixels, int32_t width, int32_t height, const Rect& clip, const Rect& r, std::string_view text,
               TextAlign align, const Font& font, Color color);
