#include "shell/playback.h"

#include <iostream>

#include "shell/state_line.h"

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
  suspended_ = false;
  Outcome outcome = Playing;
  WindowMessage message;
  for (bool ticked = false; !ticked && !suspended_ && outcome == Playing;) {
    switch (player_->next(message)) {
      case ScriptPlayer::StepMessage:
        dispatchMessage(host, message);
        ticked = message.kind == MessageTick;
        if (stopped_) outcome = Closed;
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
