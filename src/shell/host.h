// What the game's window logic asks of the run that shows it: the mid-end
// answers what it decides itself (where the game draws and how that reaches
// the screen, the title, the close, the About box, the cursor's place) and
// hands over the front end for the rest.
#pragma once
#include <cstdint>

#include "core/world.h"
#include "render/surface.h"

class FrontEnd;

class WindowHost {
 public:
  virtual ~WindowHost() = default;
  virtual Rect clientRect() = 0;
  // The off-screen image of the client area that frames are drawn into.
  virtual DrawingSurface& surface() = 0;
  // Shows the part of the off-screen image inside the rectangle.
  virtual void present(const Rect& area) = 0;
  virtual void setTitle(const char* title) = 0;
  virtual void postClose() = 0;
  virtual void showAbout() = 0;
  // Moves the system cursor to a client point.
  virtual void warpCursor(int32_t x, int32_t y) = 0;
  // The window's own work: cursor shapes, check marks, help, capture, focus,
  // the notice.
  virtual FrontEnd& frontEnd() = 0;
};
