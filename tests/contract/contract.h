// The contracts every platform keeps, written once and run over each: its
// drawing surface, and its window driven as the platform drives it. A
// platform's test program defines the two functions below.
#pragma once
#include <functional>
#include <memory>
#include <string>

#include "render/surface.h"
#include "shell/midend.h"

// A new surface of the platform's, not yet sized.
std::unique_ptr<DrawingSurface> makeSurface();

// One window of the platform, made on the mid-end and shown, with its timer
// stopped: the test gives every expiry.
class WindowDriver {
 public:
  virtual ~WindowDriver() = default;
  virtual void tick() = 0;                   // the timer expires once
  virtual void choose(Command command) = 0;  // the player picks the menu item
  virtual void pressCloseBox() = 0;
  virtual void movePointer(Point windowPoint) = 0;
  virtual void resizeClient(Point size) = 0;  // window pixels
  // The window was uncovered: the platform asks it to paint its whole client.
  virtual void expose() = 0;
  // Handles what was posted (a posted close) until nothing is left.
  virtual void settle() = 0;
  virtual bool isOpen() = 0;
  // The next About box, once shown, runs during inside its loop and is then
  // closed by its button.
  virtual void answerAbout(std::function<void()> during) = 0;
  virtual Point clientSize() = 0;  // window pixels, as the platform has made it
  // The player went to another window, or came back.
  virtual void activate(bool active) = 0;
  virtual void minimise(bool minimised) = 0;
  virtual void pressKey(int32_t virtualKey) = 0;  // a letter, Enter or a function key
  virtual std::string title() = 0;
  virtual bool isChecked(Command command) = 0;  // the menu item's check mark
};

std::unique_ptr<WindowDriver> openWindow(MidEnd& midEnd);
