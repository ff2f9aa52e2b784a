// What the game's window logic asks of its window: the mid-end answers,
// with the front end's help.
#pragma once
#include <cstdint>

#include "core/world.h"
#include "render/surface.h"
#include "shell/tables.h"

enum CursorShape : int32_t { CursorNone = -1, CursorArrow = 0, CursorField = 1, CursorBatZone = 2 };

class WindowHost {
 public:
  virtual ~WindowHost() = default;
  virtual Rect clientRect() = 0;
  // The off-screen image of the client area that frames are drawn into.
  virtual DrawingSurface& surface() = 0;
  // Shows the part of the off-screen image inside the rectangle.
  virtual void present(const Rect& area) = 0;
  virtual void setCursor(CursorShape shape) = 0;
  virtual void setMenuCheck(Command command, bool checked) = 0;
  virtual void setTitle(const char* title) = 0;
  virtual void postClose() = 0;
  virtual void showAbout() = 0;
  virtual void openHelp(const char* helpFile) = 0;
  // Moves the system cursor to a client point.
  virtual void warpCursor(int32_t x, int32_t y) = 0;
  virtual void captureMouse(bool captured) = 0;
  virtual bool isMinimised() = 0;
  virtual bool mousePresent() = 0;
  virtual void showCursor(bool shown) = 0;
  virtual void takeFocus() = 0;
  // Tells the player something without holding up the game.
  virtual void showNotice(const char* text) = 0;
};
