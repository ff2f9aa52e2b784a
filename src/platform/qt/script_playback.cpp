#include "platform/qt/script_playback.h"


#include "shell/state_line.h"

bool ScriptPlayback::open(const std::string& path) { return openScript(path, file_, error_); }

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
