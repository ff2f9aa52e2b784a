// vantrel.exe: the game in a Win32 window.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/win32/game_window.h"
#include "shell/front_end.h"
#include "shell/midend.h"

namespace {

// The system's words for an error code, on one line.
std::string systemErrorText(DWORD error) {
  char text[256] = "";
  std::string words(text, FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                                         text, sizeof text, nullptr));
  while (!words.empty() && std::strchr("\r\n. ", words.back())) words.pop_back();
  return words.empty() ? "error " + std::to_string(error) : words;
}

// The Win32 side of the program: the window and the message loop.
class Win32Platform final : public Platform {
 public:
  Win32Platform(HINSTANCE instance, int showCommand) : instance_(instance), showCommand_(showCommand) {}
  void tell(const std::string& text, bool error) override { tellPlayer(text, error); }
  bool openWindow(MidEnd& midEnd) override {
    HWND window = initApplication(instance_) ? createGameWindow(midEnd) : nullptr;
    if (!window) {
      tell("vantrel: cannot open the game's window: " + systemErrorText(GetLastError()) + "\n", true);
      return false;
    }
    ShowWindow(window, showCommand_);
    UpdateWindow(window);
    return true;
  }
  void runLoop() override {
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0)) {
      if (TranslateAcceleratorA(message.hwnd, gameAccelerators(), &message)) continue;
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }

 private:
  HINSTANCE instance_;
  int showCommand_;
};

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  Win32Platform platform(instance, showCommand);
  return runProgram(parseCommandLine(__argc, __argv), platform);
}
