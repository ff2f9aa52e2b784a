#include "platform/qt/script_playback.h"

#include <cerrno>
#include <cstring>

#include "shell/state_line.h"

bool ScriptPlayback::open(const std::string& path) {
  file_.open(path);
  if (file_) return true;
  error_ = "cannot read the script " + path + ": " + std::strerror(errno);
  return false;
}

ScriptPlayback::Outcome ScriptPlayback::playTick(WindowHost& host) {
  WindowMessage message;
  for (;;) {
    switch (player_.next(message)) {
      case ScriptPlayer::StepMessage:
        dispatchMessage(host, message);
        if (message.kind == MessageTick) return Playing;
        break;
      case ScriptPlayer::StepState:
        printStateLine();
        break;
      case ScriptPlayer::StepEnd: return Ended;
      case ScriptPlayer::StepError:
        error_ = "script " + player_.error();
        return Failed;
    }
  }
}
