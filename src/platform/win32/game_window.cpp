#include "platform/win32/game_window.h"

#include <windowsx.h>

#include <cstdio>
#include <thread>

#include "platform/win32/gdi_surface.h"
#include "resources/tables.h"
#include "shell/front_end.h"
#include "shell/input.h"
#include "shell/script.h"
#include "shell/window.h"

namespace {

constexpr const char* className = "Vantrel";
constexpr int windowWidth = 640, windowHeight = 470;

HINSTANCE appInstance;
HACCEL accelerators;
char windowTitle[20];
HCURSOR fieldCursor, arrowCursor, batZoneCursor;
std::unique_ptr<GdiSurface> gdiSurface;

HWND gameWindow;
int scale = 1;
std::unique_ptr<ScriptPlayback> script;
std::string screenshotPath;
int exitCode = 0;

// Client points arrive in window pixels; the game counts whole game pixels.
int32_t gameCoordinate(int windowCoordinate) {
  return windowCoordinate >= 0 ? windowCoordinate / scale : -((-windowCoordinate + scale - 1) / scale);
}

// The folder of vantrel.exe, with its final backslash.
std::string programFolder() {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, length);
  return folder.substr(0, folder.find_last_of("\\/") + 1);
}

// What the game's window logic asks of the window, in Win32 terms.
class Host final : public WindowHost {
 public:
  Rect clientRect() override { return {0, 0, gdiSurface->width(), gdiSurface->height()}; }
  DrawingSurface& surface() override { return *gdiSurface; }
  void present(const Rect& area) override {
    HDC dc = GetDC(gameWindow);
    ::gdiSurface->present(dc, area, scale);
    ReleaseDC(gameWindow, dc);
  }
  void setCursor(CursorShape shape) override {
    SetCursor(shape == CursorField ? fieldCursor : shape == CursorBatZone ? batZoneCursor : arrowCursor);
  }
  void setMenuCheck(uint16_t command, bool checked) override {
    CheckMenuItem(GetMenu(gameWindow), command, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
  }
  void setTitle(const char* title) override { SetWindowTextA(gameWindow, title); }
  void postClose() override { PostMessageA(gameWindow, WM_CLOSE, 0, 0); }
  void showAbout() override { DialogBoxParamA(appInstance, MAKEINTRESOURCEA(3), gameWindow, aboutDialogProc, 0); }
  // Windows has not opened .hlp files since Vista: the help comes as HTML
  // pages beside the program.
  void openHelp(const char* helpFile) override {
    const std::string index = programFolder() + "help\\index.html";
    if (GetFileAttributesA(index.c_str()) == INVALID_FILE_ATTRIBUTES) {
      const std::string text = "The help pages (" + std::string(helpFile) + ") are missing: " + index +
                               " does not exist. They come with the game in its folder help.";
      MessageBoxA(gameWindow, text.c_str(), windowTitle, MB_OK | MB_ICONINFORMATION);
      return;
    }
    ShellExecuteA(gameWindow, "open", index.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  }
  void warpCursor(int32_t x, int32_t y) override {
    POINT p{x * scale, y * scale};
    ClientToScreen(gameWindow, &p);
    SetCursorPos(p.x, p.y);
  }
  void captureMouse(bool captured) override {
    if (captured) {
      SetCapture(gameWindow);
    } else {
      ReleaseCapture();
    }
  }
  bool isMinimised() override { return IsIconic(gameWindow); }
  bool mousePresent() override { return GetSystemMetrics(SM_MOUSEPRESENT) != 0; }
  void showCursor(bool shown) override { ShowCursor(shown); }  // a counter, as the system keeps it
  void takeFocus() override { SetFocus(gameWindow); }
  // A message box on a thread of its own: the game's thread and its timer go on.
  void showNotice(const char* text) override {
    std::thread([message = std::string(text)] {
      MessageBoxA(nullptr, message.c_str(), "Vantrel", MB_OK | MB_ICONWARNING);
    }).detach();
  }
};

Host host;

// The client area in whole game pixels.
void fitSurface() {
  RECT client{};
  GetClientRect(gameWindow, &client);
  gdiSurface->resize(client.right / scale, client.bottom / scale);
}

void endPlayback(ScriptPlayback::Outcome outcome) {
  std::string error;
  const int code = endOfPlayback(outcome, *script, screenshotPath, gdiSurface->image(), error);
  if (code < 0) {
    script.reset();  // play goes on live
    return;
  }
  if (!error.empty()) tellPlayer("vantrel: " + error + "\n", true);
  exitCode = code;
  script.reset();
  DestroyWindow(gameWindow);
}

// Live input goes to the game; while a script plays it stands for the player.
void input(const WindowMessage& message) {
  if (!script) dispatchMessage(host, message);
}

void tick() {
  if (!script) return dispatchMessage(host, {MessageTick, 0, 0});
  // A played About command holds the script until its box is closed; the
  // box's loop keeps the timer going, and those ticks are dropped.
  const ScriptPlayback::Outcome outcome = script->playTick(host);
  if (outcome != ScriptPlayback::Playing) endPlayback(outcome);
}

void paint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(gameWindow, &ps);
  fitSurface();
  paintWindow(host);
  // The window lost what it showed under the paint rectangle, changed or not.
  gdiSurface->show(dc, ps.rcPaint, scale);
  EndPaint(gameWindow, &ps);
}

void create(HWND window) {
  gameWindow = window;
  fitSurface();
  SetTimer(window, gameTimerId, timerPeriodMs, nullptr);
  onCreate(host);
}

void destroy() {
  if (script) {
    std::string error;
    exitCode = closedDuringPlayback(screenshotPath, error);
    if (!error.empty()) tellPlayer("vantrel: " + error + "\n", true);
    script.reset();
  }
  gdiSurface.reset();
  KillTimer(gameWindow, gameTimerId);
  PostQuitMessage(0);
}

}  // namespace

void tellPlayer(const std::string& text, bool error) {
  const HANDLE out = GetStdHandle(error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
  if (out && out != INVALID_HANDLE_VALUE && GetFileType(out) != FILE_TYPE_UNKNOWN) {
    std::fputs(text.c_str(), error ? stderr : stdout);
    std::fflush(error ? stderr : stdout);
    return;
  }
  MessageBoxA(nullptr, text.c_str(), "Vantrel", MB_OK | (error ? MB_ICONERROR : MB_ICONINFORMATION));
}

int initApplication(HINSTANCE instance) {
  gdiSurface = std::make_unique<GdiSurface>();
  appInstance = instance;
  LoadStringA(instance, StringTitle, windowTitle, sizeof windowTitle);
  accelerators = LoadAcceleratorsA(instance, "MAINACC");
  fieldCursor = LoadCursorA(nullptr, IDC_CROSS);
  arrowCursor = LoadCursorA(nullptr, IDC_ARROW);
  batZoneCursor = LoadCursorA(instance, MAKEINTRESOURCEA(1));
  if (!fieldCursor || !arrowCursor || !batZoneCursor) return 0;
  WNDCLASSA windowClass{};
  windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_BYTEALIGNCLIENT;
  windowClass.lpfnWndProc = windowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(3));
  windowClass.hCursor = nullptr;  // the game sets the shape on every pointer move
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszMenuName = MAKEINTRESOURCEA(1);
  windowClass.lpszClassName = className;
  return RegisterClassA(&windowClass) ? 1 : 0;
}

HWND createGameWindow(int gameScale) {
  scale = gameScale;
  HWND window = CreateWindowExA(0, className, windowTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0, windowWidth,
                                windowHeight, nullptr, nullptr, appInstance, nullptr);
  if (window && scale > 1) {
    // The client area as large as at scale 1, times the scale.
    RECT client, outer;
    GetClientRect(window, &client);
    GetWindowRect(window, &outer);
    SetWindowPos(window, nullptr, 0, 0, outer.right - outer.left + (scale - 1) * client.right,
                 outer.bottom - outer.top + (scale - 1) * client.bottom, SWP_NOMOVE | SWP_NOZORDER);
  }
  return window;
}

HACCEL gameAccelerators() { return accelerators; }

void playScript(std::unique_ptr<ScriptPlayback> played, const std::string& screenshot) {
  script = std::move(played);
  screenshotPath = screenshot;
}

int windowExitCode() { return exitCode; }

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: create(window); return 0;
    case WM_DESTROY: destroy(); return 0;
    case WM_ACTIVATE: onActivate(host, LOWORD(wParam) != WA_INACTIVE); return 0;
    case WM_PAINT: paint(); return 0;
    case WM_ERASEBKGND: return 0;  // the paint covers the whole client area
    case WM_SIZE: fitSurface(); return 0;
    case WM_KEYDOWN:
      if (!IsIconic(window)) input({MessageKey, static_cast<int32_t>(wParam), 0});
      return 0;
    case WM_COMMAND: input({MessageCommand, LOWORD(wParam), 0}); return 0;
    case WM_TIMER: tick(); return 0;
    case WM_HSCROLL:
    case WM_VSCROLL: return 0;
    case WM_INITMENU:
      EnableMenuItem(GetMenu(window), 0, MF_BYPOSITION | MF_ENABLED);
      EnableMenuItem(GetMenu(window), 1, MF_BYPOSITION | MF_ENABLED);
      return 0;
    case WM_MOUSEMOVE:
      input({MessageMove, gameCoordinate(GET_X_LPARAM(lParam)), gameCoordinate(GET_Y_LPARAM(lParam))});
      return 0;
    case WM_LBUTTONDOWN: input({MessageDown, 0, 0}); return 0;
    case WM_LBUTTONUP:
      input({MessageUp, gameCoordinate(GET_X_LPARAM(lParam)), gameCoordinate(GET_Y_LPARAM(lParam))});
      return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
  }
}

INT_PTR CALLBACK aboutDialogProc(HWND dialog, UINT message, WPARAM, LPARAM) {
  switch (message) {
    case WM_INITDIALOG: return TRUE;
    case WM_COMMAND: EndDialog(dialog, 1); return TRUE;
    default: return FALSE;
  }
}
