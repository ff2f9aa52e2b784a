#include "shell/front_end.h"

#include "shell/hiscore_place.h"
#include "shell/recording.h"

bool startFrontEnd(const Options& options, std::unique_ptr<ScriptPlayback>& script, std::string& error) {
  if (!options.playPath.empty()) {
    script = std::make_unique<ScriptPlayback>();
    if (!script->open(options.playPath)) {
      error = script->error();
      return false;
    }
    script->setUnattended(!options.screenshotPath.empty());
  }
  if (!chooseHighScoreFile(options, error)) return false;
  return options.recordPath.empty() || startRecording(options.recordPath, error);
}

int endOfPlayback(ScriptPlayback::Outcome outcome, const ScriptPlayback& script, const std::string& screenshotPath,
                  const PixelImage& image, std::string& error) {
  if (outcome == ScriptPlayback::Failed) {
    error = script.error();
    return 2;
  }
  if (screenshotPath.empty()) return outcome == ScriptPlayback::Closed ? 0 : -1;
  return saveScreenshot(image, screenshotPath, error) ? 0 : 2;
}

int closedDuringPlayback(const std::string& screenshotPath, std::string& error) {
  if (screenshotPath.empty()) return 0;
  error = "the window was closed before the script ended; no screenshot was written";
  return 1;
}
