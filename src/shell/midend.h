// The mid-end: the one owner of a run of the game, whatever window shows it.
// A front end turns its platform's events into the calls below and shows
// the pixels it is told changed. The mid-end does the rest: the timer tick,
// live and played input, the About and help requests, the close and the
// exit code, the script, the recording, the screenshot, where the picture
// sits in the window and at which scale, holding the game while the player
// is away (on request), and which pixels changed since they were last shown
// (see kept_frames.h).
#pragma once
#include <memory>
#include <string>

#include "shell/front_end.h"
#include "shell/host.h"
#include "shell/kept_frames.h"
#include "shell/options.h"
#include "shell/playback.h"
#include "shell/window_procedure.h"

class MidEnd final : private WindowHost {
 public:
  // The program's name opens every message the mid-end tells.
  explicit MidEnd(std::string programName = "vantrel", int32_t scale = 1);
  ~MidEnd() override;

  // Before the window is made: the script of --play, the high-score file and
  // the recording of --record. False, with the reason in error, when any of
  // them cannot be had.
  bool prepare(const Options& options, std::string& error);
  // Plays the script instead of live input. When it ends, play goes on live;
  // with a screenshot path, the image is saved there and the program ends.
  void play(std::unique_ptr<ScriptPlayback> script, const std::string& screenshotPath);
  bool playing() const { return script_ && !closed_; }

  // The picture is the game's client image, clientWidth by clientHeight game
  // pixels, shown at the largest whole scale the window's client area holds
  // (at least 1), centred; the rest of the client area is black.
  int32_t scale() const { return scale_; }
  // Where the picture lies in the client area, in window pixels.
  Rect pictureArea() const;
  // The client image with everything drawn so far.
  PixelImage image() { return frames_->image(); }
  // The client area a window opens with, in window pixels: the picture at the
  // scale asked for (--scale).
  Point openingClientSize() const { return {clientWidth * openingScale_, clientHeight * openingScale_}; }
  // Once the window is made, before it is shown at openingClientSize: room is
  // the largest client area the screen allows. A scale too large for it is
  // lowered to the largest that fits, and the player told so in one line.
  void fitScreen(Point room);

  // The window exists, with its client size in window pixels: the game
  // starts in name entry and draws its first frames.
  void create(FrontEnd& frontEnd, DrawingSurface& surface, Point clientSize);
  // One timer expiry: a tick of the game, or of the played script.
  void tick();
  // For a front end whose clock is the display's frames, not a timer (the
  // web page): a frame at nowMs of a steady clock. The ticks the time since
  // the last frame holds run one by one; a gap longer than lateGapMs (a
  // hidden page, a stalled machine) is dropped, not made up. See Ticks from
  // a display's frames in docs/behaviour.md.
  static constexpr double lateGapMs = 250;
  void framePassed(double nowMs);
  // The player's input, at window points.
  void pointerMoved(Point windowPoint);
  void buttonPressed();
  void buttonReleased(Point windowPoint);
  void keyPressed(int32_t virtualKey);
  // Full Screen is the window's own: it reaches the front end during play too.
  void commandChosen(Command command);
  void activated(bool active);
  // The About box that let the game go on has gone (see FrontEnd::showAbout).
  void aboutClosed();
  // The client area has a new size, in window pixels: the picture's scale and
  // place follow it; the platform's paint follows.
  void resized(Point clientSize);
  // The paint handler: the platform lost what the window showed. Lays out
  // and draws background, field and panel, and shows every pixel again.
  void exposed();
  // The window is going, however it was closed: the exit code.
  int closed();
  int exitCode() const { return exitCode_; }
  // After the loop, the window gone: saves the high scores once more when a
  // score of the run may be missing from the file, and ends the recording.
  // False, with the reason in error, when not all of it reached its file.
  bool finish(std::string& error);

 private:
  // What the game's window logic asks, answered for the front end.
  Rect clientRect() override;
  DrawingSurface& surface() override { return *drawing_; }
  void present(const Rect& area) override;
  void setTitle(const char* title) override;
  void postClose() override;
  void showAbout() override;
  void warpCursor(int32_t x, int32_t y) override;
  FrontEnd& frontEnd() override { return *frontEnd_; }

  void input(const WindowMessage& message);
  void showBatMove(const Rect& ballBefore, const Rect& batBefore);
  bool holding();
  void showTitle();
  void endPlayback(ScriptPlayback::Outcome outcome);
  void tell(const std::string& message);
  Point gamePoint(Point windowPoint) const;
  Rect windowArea(const Rect& imageArea) const;

  std::string programName_;
  int32_t openingScale_;
  int32_t scale_ = 1;
  Point offset_{0, 0};  // the picture's top left corner in the client area
  FrontEnd* frontEnd_ = nullptr;
  std::unique_ptr<KeptFrames> frames_;  // in front of the window's surface
  DrawingSurface* drawing_ = nullptr;   // what the game draws on: the kept frames, or an image of no pixels
  // --pause-when-inactive: ticks are held while the window is inactive or
  // minimised or the About box is up.
  bool pauseWhenInactive_ = false;
  bool active_ = true, aboutUp_ = false, held_ = false;
  std::string title_;                     // as the game set it, without "Paused"
  double lastFrameMs_ = -1, owedMs_ = 0;  // framePassed's clock; no frame yet
  std::unique_ptr<ScriptPlayback> script_;
  std::string screenshotPath_;
  int exitCode_ = 0;
  bool closed_ = false;
};

// A script's message given to the mid-end as a window gives live input, at
// scale 1: the tools and tests that play the game a message at a time.
void giveMessage(MidEnd& midEnd, const WindowMessage& message);
