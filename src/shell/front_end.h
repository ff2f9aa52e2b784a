// What a window does for the mid-end, in its platform's terms, and the
// program around the window, the same on every platform.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "core/world.h"
#include "shell/options.h"
#include "shell/tables.h"

class MidEnd;

enum CursorShape : int32_t { CursorNone = -1, CursorArrow = 0, CursorField = 1, CursorBatZone = 2 };

// A window's side of the run: everything here is the platform's own work.
// Points and window areas are in window pixels, a game pixel being scale by
// scale of them inside the mid-end's pictureArea. What a window without the
// thing does (no menu, no pointer of its own, no help) has a body here that
// does nothing, so a window says only what it does.
class FrontEnd {
 public:
  virtual ~FrontEnd() = default;
  // Puts the image's pixels inside imageArea on the screen, where they cover
  // windowArea (the same place, scaled).
  virtual void showPixels(const Rect& imageArea, const Rect& windowArea) = 0;
  virtual void setTitle(const char* title) = 0;
  // Closes the window as its close box would, once the handler that asked
  // has returned; the close comes back to the mid-end as closed().
  virtual void postClose() = 0;
  // Closes the window at once (it still calls closed()) and ends the loop.
  virtual void endProgram() = 0;
  // A whole message for the player ("vantrel: ..."): on standard output or
  // error where there is one, else in a box.
  virtual void tell(const std::string& text, bool error) = 0;

  virtual void setCursor(CursorShape) {}
  virtual void setMenuCheck(Command, bool) {}
  // The About box. A modal box returns once the player has closed it: false.
  // A box that lets its caller go on (the page's) returns true at once, and
  // the front end calls MidEnd::aboutClosed when it goes.
  virtual bool showAbout() { return false; }
  virtual void openHelp(const char*) {}
  // Full screen, or back to the window as it was.
  virtual void toggleFullScreen() {}
  virtual void warpCursor(Point) {}
  virtual void captureMouse(bool) {}
  virtual bool isMinimised() { return false; }
  virtual bool mousePresent() { return true; }
  virtual void showCursor(bool) {}
  virtual void takeFocus() {}
  // Tells the player something without holding up the game: the notice
  // waits for nobody, and the timer keeps running.
  virtual void showNotice(const char*) {}
};

// The program's side of a platform: its window and its message loop.
class Platform {
 public:
  virtual ~Platform() = default;
  virtual void tell(const std::string& text, bool error) = 0;
  // Makes and shows the window on the mid-end; false, having told the
  // player why, when it cannot be made.
  virtual bool openWindow(MidEnd& midEnd) = 0;
  // Runs the message loop until the window has gone.
  virtual void runLoop() = 0;
};

// The whole program once its command line is parsed: answers help, version
// and bad options, prepares the run (script, high-score file, recording),
// opens the window, runs the loop and ends the run. The exit code.
int runProgram(const CommandLine& parsed, Platform& platform);

// The same in two halves, for a platform whose loop is not the program's
// own (the web page's is the browser's). startProgram runs up to the loop
// on midEnd, made with the options' scale: the exit code when the program
// ends there, else none and the window is open. finishProgram, once the
// window has gone, saves what the run may not have saved and ends the
// recording: the exit code.
std::optional<int> startProgram(const CommandLine& parsed, Platform& platform, MidEnd& midEnd);
int finishProgram(MidEnd& midEnd, Platform& platform);
