#include "shell/playback.h"

#include <iostream>

#include "shell/state_line.h"

namespace {

// The window as a played script sees it: a close the game asks for ends the
// play, and unattended play shows no About box.
class PlaybackHost final : public WindowHost {
 public:
  PlaybackHost(WindowHost& host, bool unattended) : host_(host), unattended_(unattended) {}
  bool closed = false;

  Rect clientRect() override { return host_.clientRect(); }
  DrawingSurface& surface() override { return host_.surface(); }
  void present(const Rect& area) override { host_.present(area); }
  void setCursor(CursorShape shape) override { host_.setCursor(shape); }
  void setMenuCheck(uint16_t command, bool checked) override { host_.setMenuCheck(command, checked); }
  void setTitle(const char* title) override { host_.setTitle(title); }
  void postClose() override { closed = true; }
  void showAbout() override {
    if (!unattended_) host_.showAbout();
  }
  void openHelp(const char* helpFile) override { host_.openHelp(helpFile); }
  void warpCursor(int32_t x, int32_t y) override { host_.warpCursor(x, y); }
  void captureMouse(bool captured) override { host_.captureMouse(captured); }
  bool isMinimised() override { return host_.isMinimised(); }
  bool mousePresent() override { return host_.mousePresent(); }
  void showCursor(bool shown) override { host_.showCursor(shown); }
  void takeFocus() override { host_.takeFocus(); }
  void showNotice(const char* text) override { host_.showNotice(text); }

 private:
  WindowHost& host_;
  bool unattended_;
};

}  // namespace

bool ScriptPlayback::open(const std::string& path) {
  if (path == "-") {
    open(std::cin);
    return true;
  }
  if (!openScript(path, file_, error_)) return false;
  open(file_);
  return true;
}

void ScriptPlayback::open(std::istream& in) { player_ = std::make_unique<ScriptPlayer>(in); }

ScriptPlayback::Outcome ScriptPlayback::playTick(WindowHost& host) {
  if (inside_) return Playing;
  inside_ = true;
  PlaybackHost played(host, unattended_);
  Outcome outcome = Playing;
  WindowMessage message;
  for (bool ticked = false; !ticked && outcome == Playing;) {
    switch (player_->next(message)) {
      case ScriptPlayer::StepMessage:
        dispatchMessage(played, message);
        ticked = message.kind == MessageTick;
        if (played.closed) outcome = Closed;
        break;
      case ScriptPlayer::StepState: stateAction_ ? stateAction_() : printStateLine(); break;
      case ScriptPlayer::StepEnd: outcome = Ended; break;
      case ScriptPlayer::StepError:
        error_ = "script " + player_->error();
        outcome = Failed;
        break;
    }
  }
  inside_ = false;
  return outcome;
}

ScriptPlayback::Outcome ScriptPlayback::playToEnd(WindowHost& host) {
  Outcome outcome;
  while ((outcome = playTick(host)) == Playing) {
  }
  return outcome;
}
