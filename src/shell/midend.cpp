#include "shell/midend.h"

#include <algorithm>
#include <optional>

#include "core/keys.h"
#include "core/world.h"
#include "render/field.h"
#include "scores/high_scores.h"
#include "shell/hiscore_place.h"
#include "shell/input.h"
#include "shell/recording.h"
#include "shell/screenshot.h"
#include "shell/script.h"
#include "shell/tables.h"
#include "shell/window_procedure.h"

MidEnd::MidEnd(std::string programName, int32_t scale)
    : programName_(std::move(programName)), openingScale_(scale), title_(loadString(StringTitle)) {}

MidEnd::~MidEnd() = default;

bool MidEnd::prepare(const Options& options, std::string& error) {
  pauseWhenInactive_ = options.pauseWhenInactive;
  if (!options.playPath.empty()) {
    auto script = std::make_unique<ScriptPlayback>();
    if (!script->open(options.playPath)) {
      error = script->error();
      return false;
    }
    play(std::move(script), options.screenshotPath);
  }
  if (!chooseHighScoreFile(options, error)) return false;
  return options.recordPath.empty() || startRecording(options.recordPath, error);
}

void MidEnd::play(std::unique_ptr<ScriptPlayback> script, const std::string& screenshotPath) {
  script_ = std::move(script);
  screenshotPath_ = screenshotPath;
}

void MidEnd::fitScreen(Point room) {
  const int32_t fits = std::max(std::min(room.x / clientWidth, room.y / clientHeight), 1);
  if (openingScale_ <= fits) return;
  tell("--scale " + std::to_string(openingScale_) + " does not fit the screen; the window opens at scale " +
       std::to_string(fits));
  openingScale_ = fits;
}

void MidEnd::create(FrontEnd& frontEnd, DrawingSurface& surface, Point clientSize) {
  frontEnd_ = &frontEnd;
  frames_ = std::make_unique<KeptFrames>(surface);
  frames_->resize(clientWidth, clientHeight);
  // An image of no pixels (the null front end's) has nothing to keep or show:
  // the game draws straight on it, at no more cost than the game alone.
  drawing_ = surface.image().width > 0 ? static_cast<DrawingSurface*>(frames_.get()) : &surface;
  resized(clientSize);
  showTitle();  // every window opens titled as the game is
  onCreate(*this);
}

void MidEnd::tick() {
  if (closed_ || holding()) return;
  if (!script_) return dispatchMessage(*this, {MessageTick, 0, 0});
  // A played About command holds the script until its box is closed; a
  // modal box's loop keeps the timer going, and those expiries are dropped
  // like any late ones.
  if (aboutUp_) return;
  const ScriptPlayback::Outcome outcome = script_->playTick(*this);
  if (outcome != ScriptPlayback::Playing && !closed_) endPlayback(outcome);
}

void MidEnd::framePassed(double nowMs) {
  const double gap = lastFrameMs_ < 0 ? 0 : nowMs - lastFrameMs_;
  lastFrameMs_ = nowMs;
  owedMs_ = gap > lateGapMs ? 0 : owedMs_ + gap;
  for (; owedMs_ >= timerPeriodMs && !closed_; owedMs_ -= timerPeriodMs) tick();
}

// A played script stands for the player, who can still end the program: a
// live Exit closes the window as its close box does.
void MidEnd::input(const WindowMessage& message) {
  if (closed_) return;
  if (!script_) {
    const Rect ball = ballRect(), bat = batRect();
    dispatchMessage(*this, message);
    return showBatMove(ball, bat);
  }
  if (message.kind == MessageCommand && message.x == CommandExit) frontEnd_->postClose();
}

// See The bat is shown where the hand is in docs/behaviour.md: the last field
// frame again, with the bat (and a ball riding on it) where the input put
// them; the game and its next frame are as they would have been.
void MidEnd::showBatMove(const Rect& ballBefore, const Rect& batBefore) {
  if (closed_ || batRect() == batBefore) return;
  const Rect ball = ballRect();
  const std::optional<Rect> ballMoved = ball == ballBefore ? std::nullopt : std::optional<Rect>(ball);
  if (frames_->redrawLastMoved(world.fieldRect, {ballMoved, batRect()})) present(world.fieldRect);
}

void MidEnd::pointerMoved(Point p) {
  const Point game = gamePoint(p);
  input({MessageMove, game.x, game.y});
}

void MidEnd::buttonPressed() { input({MessageDown, 0, 0}); }

void MidEnd::buttonReleased(Point p) {
  const Point game = gamePoint(p);
  input({MessageUp, game.x, game.y});
}

// F11 is the window's own key, as its Full Screen item is: the game never sees it.
void MidEnd::keyPressed(int32_t virtualKey) {
  if (virtualKey == KeyF11) return commandChosen(CommandFullScreen);
  input({MessageKey, virtualKey, 0});
}

void MidEnd::commandChosen(Command command) {
  if (command != CommandFullScreen) return input({MessageCommand, command, 0});
  if (!closed_) frontEnd_->toggleFullScreen();
}

void MidEnd::activated(bool active) {
  active_ = active;
  onActivate(*this, active);
  if (frontEnd_) holding();  // the title says so at once
}

// Whole multiples keep every game pixel square and crisp. A client area
// smaller than the picture (the window refuses to shrink so far, but a
// screen may be smaller) shows its top left part.
void MidEnd::resized(Point clientSize) {
  scale_ = std::max(std::min(clientSize.x / clientWidth, clientSize.y / clientHeight), 1);
  offset_ = {std::max((clientSize.x - clientWidth * scale_) / 2, 0),
             std::max((clientSize.y - clientHeight * scale_) / 2, 0)};
}

Rect MidEnd::pictureArea() const { return windowArea({0, 0, clientWidth, clientHeight}); }

// See Pausing while away in docs/behaviour.md. A played script is never held.
bool MidEnd::holding() {
  const bool hold = pauseWhenInactive_ && !script_ && (!active_ || aboutUp_ || frontEnd_->isMinimised());
  if (hold != held_) {
    held_ = hold;
    showTitle();
  }
  return held_;
}

void MidEnd::setTitle(const char* title) {
  title_ = title;
  showTitle();
}

void MidEnd::showTitle() { frontEnd_->setTitle((held_ ? title_ + " - Paused" : title_).c_str()); }

void MidEnd::exposed() {
  frames_->forget();
  paintWindow(*this);
}

int MidEnd::closed() {
  flushRecord();  // every line recorded so far reaches the file, whatever follows
  if (playing() && !screenshotPath_.empty()) {
    exitCode_ = 1;
    tell("the window was closed before the script ended; no screenshot was written");
  }
  // A played message may still be handled (a modal box's loop saw the
  // close): it is the script's last, and the script stays until it returns.
  if (script_) script_->stop();
  closed_ = true;
  return exitCode_;
}

bool MidEnd::finish(std::string& error) {
  finishHighScores();
  return finishRecording(error);
}

void MidEnd::endPlayback(ScriptPlayback::Outcome outcome) {
  const std::unique_ptr<ScriptPlayback> script = std::move(script_);
  if (outcome == ScriptPlayback::Failed) {
    tell(script->error());
    exitCode_ = 2;
  } else if (!screenshotPath_.empty()) {
    std::string error;
    if (!saveScreenshot(frames_->image(), screenshotPath_, error)) {
      tell(error);
      exitCode_ = 2;
    }
  } else if (outcome == ScriptPlayback::Ended) {
    return;  // play goes on live
  }
  frontEnd_->endProgram();
}

void MidEnd::tell(const std::string& message) { frontEnd_->tell(programName_ + ": " + message + "\n", true); }

Rect MidEnd::clientRect() { return {0, 0, clientWidth, clientHeight}; }

// Posted, as the close message is: the handler that asked returns first. A
// played Exit ends the play instead, and the end of play ends the program.
void MidEnd::postClose() {
  if (script_) return script_->stop();
  frontEnd_->postClose();
}

// Unattended play (--screenshot) never waits for a person.
void MidEnd::showAbout() {
  if (script_ && !screenshotPath_.empty()) return;
  aboutUp_ = true;
  holding();
  if (frontEnd_->showAbout()) {
    if (script_) script_->suspend();
    return;
  }
  aboutUp_ = false;
  holding();
}

// The expiry that played the About command goes on where the box stopped it,
// as it does when a modal box returns.
void MidEnd::aboutClosed() {
  if (!aboutUp_) return;
  aboutUp_ = false;
  holding();
  if (script_) tick();
}

void MidEnd::warpCursor(int32_t x, int32_t y) {
  frontEnd_->warpCursor({offset_.x + x * scale_, offset_.y + y * scale_});
}

// Window pixels to whole game pixels, rounding toward the top left also
// left of and above the picture.
Point MidEnd::gamePoint(Point p) const {
  auto game = [this](int32_t c) { return c >= 0 ? c / scale_ : -((-c + scale_ - 1) / scale_); };
  return {game(p.x - offset_.x), game(p.y - offset_.y)};
}

Rect MidEnd::windowArea(const Rect& r) const {
  return {offset_.x + r.left * scale_, offset_.y + r.top * scale_, offset_.x + r.right * scale_,
          offset_.y + r.bottom * scale_};
}

void MidEnd::present(const Rect& area) {
  if (drawing_ != frames_.get()) return;
  for (const Rect& place : frames_->takeWritten(area)) frontEnd_->showPixels(place, windowArea(place));
}

void giveMessage(MidEnd& midEnd, const WindowMessage& m) {
  switch (m.kind) {
    case MessageTick: return midEnd.tick();
    case MessageMove: return midEnd.pointerMoved({m.x, m.y});
    case MessageDown: return midEnd.buttonPressed();
    case MessageUp: return midEnd.buttonReleased({m.x, m.y});
    case MessageKey: return midEnd.keyPressed(m.x);
    case MessageCommand: return midEnd.commandChosen(static_cast<Command>(m.x));
  }
}
