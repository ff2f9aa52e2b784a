#include "shell/midend.h"

#include <algorithm>

#include "scores/high_scores.h"
#include "shell/hiscore_place.h"
#include "shell/input.h"
#include "shell/recording.h"
#include "shell/screenshot.h"
#include "shell/script.h"
#include "shell/window.h"

MidEnd::MidEnd(std::string programName, int32_t scale) : programName_(std::move(programName)), scale_(scale) {}

MidEnd::~MidEnd() = default;

bool MidEnd::prepare(const Options& options, std::string& error) {
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

void MidEnd::create(FrontEnd& frontEnd, DrawingSurface& surface, Point clientSize) {
  frontEnd_ = &frontEnd;
  frames_ = std::make_unique<KeptFrames>(surface);
  resized(clientSize);
  onCreate(*this);
}

void MidEnd::tick() {
  if (closed_) return;
  if (!script_) return dispatchMessage(*this, {MessageTick, 0, 0});
  // A played About command holds the script until its box is closed; the
  // box's loop keeps the timer going, and those expiries are dropped like
  // any late ones.
  const ScriptPlayback::Outcome outcome = script_->playTick(*this);
  if (outcome != ScriptPlayback::Playing && !closed_) endPlayback(outcome);
}

// A played script stands for the player, who can still end the program: a
// live Exit closes the window as its close box does.
void MidEnd::input(const WindowMessage& message) {
  if (closed_) return;
  if (!script_) return dispatchMessage(*this, message);
  if (message.kind == MessageCommand && message.x == CommandExit) frontEnd_->postClose();
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

void MidEnd::keyPressed(int32_t virtualKey) { input({MessageKey, virtualKey, 0}); }

void MidEnd::commandChosen(Command command) { input({MessageCommand, command, 0}); }

void MidEnd::activated(bool active) { onActivate(*this, active); }

void MidEnd::resized(Point clientSize) {
  // Whole game pixels only; the strip beyond the last one stays black.
  const Point client{std::max(clientSize.x / scale_, 1), std::max(clientSize.y / scale_, 1)};
  const PixelImage image = frames_ ? frames_->image() : PixelImage{};
  if (frames_ && client == client_ && image.width == client.x && image.height == client.y) return;
  client_ = client;
  if (!frames_) return;  // the window is still being made: create() makes the image
  frames_->resize(client_.x, client_.y);
}

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

Rect MidEnd::clientRect() { return {0, 0, client_.x, client_.y}; }

// Posted, as the close message is: the handler that asked returns first. A
// played Exit ends the play instead, and the end of play ends the program.
void MidEnd::postClose() {
  if (script_) return script_->stop();
  frontEnd_->postClose();
}

// Unattended play (--screenshot) never waits for a person.
void MidEnd::showAbout() {
  if (!script_ || screenshotPath_.empty()) frontEnd_->showAbout();
}

void MidEnd::warpCursor(int32_t x, int32_t y) { frontEnd_->warpCursor({x * scale_, y * scale_}); }

// Window pixels to whole game pixels, rounding toward the top left also
// left of and above the client area.
Point MidEnd::gamePoint(Point p) const {
  auto game = [this](int32_t c) { return c >= 0 ? c / scale_ : -((-c + scale_ - 1) / scale_); };
  return {game(p.x), game(p.y)};
}

Rect MidEnd::windowArea(const Rect& r) const {
  return {r.left * scale_, r.top * scale_, r.right * scale_, r.bottom * scale_};
}

void MidEnd::present(const Rect& area) {
  for (const Rect& place : frames_->takeWritten(area)) frontEnd_->showPixels(place, windowArea(place));
}
