// vantrel.exe: the game in a Win32 window.
#include <windows.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "platform/win32/game_window.h"
#include "scores/high_scores.h"
#include "shell/front_end.h"
#include "shell/options.h"
#include "shell/recording.h"

namespace {

int fail(const std::string& message) {
  tellPlayer("vantrel: " + message + "\n", true);
  return 2;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  const CommandLine parsed = parseCommandLine(__argc, __argv);
  switch (parsed.action) {
    case CommandLine::ShowHelp: tellPlayer(usageText(), false); return 0;
    case CommandLine::ShowVersion: tellPlayer(versionText(), false); return 0;
    case CommandLine::Fail: tellPlayer(commandLineErrorText(parsed.error), true); return 2;
    case CommandLine::Run: break;
  }
  const Options& options = parsed.options;
  std::unique_ptr<ScriptPlayback> script;
  std::string error;
  if (!startFrontEnd(options, script, error)) return fail(error);

  // A window that cannot be made ends the program quietly.
  if (!initApplication(instance)) return 0;
  HWND window = createGameWindow(options.scale);
  if (!window) return 0;
  if (script) playScript(std::move(script), options.screenshotPath);
  ShowWindow(window, showCommand);
  UpdateWindow(window);

  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0)) {
    if (TranslateAcceleratorA(message.hwnd, gameAccelerators(), &message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  finishHighScores();
  if (!finishRecording(error)) return fail(error);
  return windowExitCode();
}
