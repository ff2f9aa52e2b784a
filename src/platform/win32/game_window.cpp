#include "platform/win32/game_window.h"

#include <windowsx.h>

#include <cstdio>
#include <memory>
#include <string>
#include <thread>

#include "platform/win32/gdi_surface.h"
#include "shell/options.h"
#include "shell/tables.h"
#include "shell/window_layout.h"

namespace {

constexpr const char* className = "Vantrel";
constexpr int windowWidth = 640, windowHeight = 470;

HINSTANCE appInstance;
HACCEL accelerators;
char windowTitle[20];
HCURSOR fieldCursor, arrowCursor, batZoneCursor;

HWND gameWindow;
MidEnd* midEnd;
std::unique_ptr<GdiSurface> gdiSurface;                      // while the window exists
WINDOWPLACEMENT windowedPlacement{sizeof(WINDOWPLACEMENT)};  // kept while full screen

// The folder of vantrel.exe, with its final backslash, in wide characters:
// its name may hold any character, not only those of the ANSI code page.
std::wstring programFolder() {
  std::wstring path(32768, L'\0');
  path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
  return path.substr(0, path.find_last_of(L"\\/") + 1);
}

Point pointOf(LPARAM lParam) { return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

// The outer size of a window of the game's style around a client area.
SIZE outerSize(Point client) {
  RECT outer{0, 0, client.x, client.y};
  AdjustWindowRect(&outer, WS_OVERLAPPEDWINDOW, TRUE);
  return {outer.right - outer.left, outer.bottom - outer.top};
}

// Full screen is a frameless window over the whole monitor, menu kept; the
// way back is the placement it had before.
void toggleFullScreen() {
  const LONG style = GetWindowLongA(gameWindow, GWL_STYLE);
  if (style & WS_CAPTION) {
    MONITORINFO monitor{sizeof monitor};
    if (!GetWindowPlacement(gameWindow, &windowedPlacement) ||
        !GetMonitorInfoA(MonitorFromWindow(gameWindow, MONITOR_DEFAULTTOPRIMARY), &monitor))
      return;
    SetWindowLongA(gameWindow, GWL_STYLE, (style & ~WS_OVERLAPPEDWINDOW) | WS_POPUP);
    const RECT& r = monitor.rcMonitor;
    SetWindowPos(gameWindow, HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_FRAMECHANGED);
  } else {
    SetWindowLongA(gameWindow, GWL_STYLE, (style & ~WS_POPUP) | WS_OVERLAPPEDWINDOW);
    SetWindowPlacement(gameWindow, &windowedPlacement);
    SetWindowPos(gameWindow, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
  }
}

thread_local HHOOK noticeHook;  // until the notice of this thread is placed

// Moves a box that is opening beside the game window, where it hides nothing
// of the game (see window_layout.h).
LRESULT CALLBACK placeNotice(int code, WPARAM wParam, LPARAM lParam) {
  if (code != HCBT_ACTIVATE) return CallNextHookEx(nullptr, code, wParam, lParam);
  HWND box = reinterpret_cast<HWND>(wParam);
  RECT game, own;
  MONITORINFO monitor{sizeof monitor};
  if (GetWindowRect(gameWindow, &game) && GetWindowRect(box, &own) &&
      GetMonitorInfoA(MonitorFromWindow(gameWindow, MONITOR_DEFAULTTOPRIMARY), &monitor)) {
    const RECT& work = monitor.rcWork;
    const Point place =
        noticePlace({work.left, work.top, work.right, work.bottom}, {game.left, game.top, game.right, game.bottom},
                    {own.right - own.left, own.bottom - own.top});
    SetWindowPos(box, nullptr, place.x, place.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  UnhookWindowsHookEx(noticeHook);  // where the player moves it later is the player's
  noticeHook = nullptr;
  return 0;
}

// The mid-end's front end in Win32 terms.
class Win32FrontEnd final : public FrontEnd {
 public:
  void showPixels(const Rect& imageArea, const Rect& windowArea) override {
    HDC dc = GetDC(gameWindow);
    gdiSurface->copy(dc, imageArea, windowArea);
    ReleaseDC(gameWindow, dc);
  }
  void setCursor(CursorShape shape) override {
    SetCursor(shape == CursorField ? fieldCursor : shape == CursorBatZone ? batZoneCursor : arrowCursor);
  }
  void setMenuCheck(Command command, bool checked) override {
    CheckMenuItem(GetMenu(gameWindow), command, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
  }
  void setTitle(const char* title) override { SetWindowTextA(gameWindow, title); }
  void postClose() override { PostMessageA(gameWindow, WM_CLOSE, 0, 0); }
  void endProgram() override { DestroyWindow(gameWindow); }
  bool showAbout() override {
    DialogBoxParamA(appInstance, MAKEINTRESOURCEA(3), gameWindow, aboutDialogProc, 0);
    return false;
  }
  // Windows has not opened .hlp files since Vista: the help comes as HTML
  // pages beside the program, opened by the player's program for them.
  void openHelp(const char*) override {
    const std::wstring index = programFolder() + L"help\\index.html";
    if (GetFileAttributesW(index.c_str()) == INVALID_FILE_ATTRIBUTES) {
      const std::wstring text =
          L"The help pages are missing: " + index + L" does not exist. They come with the game, in its folder help.";
      MessageBoxW(gameWindow, text.c_str(), L"Vantrel", MB_OK | MB_ICONINFORMATION);
      return;
    }
    const auto opened =
        reinterpret_cast<INT_PTR>(ShellExecuteW(gameWindow, L"open", index.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (opened <= 32) {  // a code of failure, as ShellExecute reports it
      const std::wstring text = L"No program opened the help page " + index + L" (error " + std::to_wstring(opened) +
                                L"). Open it in a web browser, or choose a program for .html files in Windows' "
                                L"settings.";
      MessageBoxW(gameWindow, text.c_str(), L"Vantrel", MB_OK | MB_ICONWARNING);
    }
  }
  void toggleFullScreen() override { ::toggleFullScreen(); }
  void warpCursor(Point windowPoint) override {
    POINT p{windowPoint.x, windowPoint.y};
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
  // A message box on a thread of its own: the game's thread and its timer go
  // on. It opens beside the game window; Enter or Escape closes it once it
  // is clicked, as any message box.
  void showNotice(const char* text) override {
    std::thread([message = std::string(text)] {
      noticeHook = SetWindowsHookExA(WH_CBT, placeNotice, nullptr, GetCurrentThreadId());
      MessageBoxA(nullptr, message.c_str(), "Vantrel", MB_OK | MB_ICONWARNING);
      if (noticeHook) UnhookWindowsHookEx(noticeHook);
    }).detach();
  }
  void tell(const std::string& text, bool error) override { tellPlayer(text, error); }
};

Win32FrontEnd frontEnd;

void create(HWND window) {
  gameWindow = window;
  gdiSurface = std::make_unique<GdiSurface>();
  RECT client{};
  GetClientRect(window, &client);
  SetTimer(window, gameTimerId, timerPeriodMs, nullptr);
  midEnd->create(frontEnd, *gdiSurface, {client.right, client.bottom});
}

void destroy() {
  midEnd->closed();
  KillTimer(gameWindow, gameTimerId);
  gdiSurface.reset();
  PostQuitMessage(0);
}

// Black around the picture, then the picture.
void paint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(gameWindow, &ps);
  RECT client;
  GetClientRect(gameWindow, &client);
  HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  for (const Rect& r : bordersAround({0, 0, client.right, client.bottom}, midEnd->pictureArea())) {
    const RECT border{r.left, r.top, r.right, r.bottom};
    FillRect(dc, &border, black);
  }
  midEnd->exposed();
  EndPaint(gameWindow, &ps);
}

// The largest client area the work area allows.
void fitScreen(MidEnd& game) {
  RECT work;
  if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0)) return;
  const SIZE frame = outerSize({0, 0});
  game.fitScreen({work.right - work.left - frame.cx, work.bottom - work.top - frame.cy});
}

}  // namespace

void tellPlayer(const std::string& text, bool error) {
  const HANDLE out = GetStdHandle(error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
  if (out && out != INVALID_HANDLE_VALUE && GetFileType(out) != FILE_TYPE_UNKNOWN) {
    std::fputs(text.c_str(), error ? stderr : stdout);
    std::fflush(error ? stderr : stdout);
    return;
  }
  MessageBoxA(nullptr, boxText(text).c_str(), "Vantrel", MB_OK | (error ? MB_ICONERROR : MB_ICONINFORMATION));
}

int initApplication(HINSTANCE instance) {
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

HWND createGameWindow(MidEnd& game) {
  midEnd = &game;
  HWND window = CreateWindowExA(0, className, windowTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0, windowWidth,
                                windowHeight, nullptr, nullptr, appInstance, nullptr);
  if (window) fitScreen(game);
  if (const Point client = game.openingClientSize(); window && client.x > clientWidth) {
    const SIZE outer = outerSize(client);
    SetWindowPos(window, nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER);
  }
  return window;
}

HACCEL gameAccelerators() { return accelerators; }

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: create(window); return 0;
    case WM_DESTROY: destroy(); return 0;
    case WM_ACTIVATE: midEnd->activated(LOWORD(wParam) != WA_INACTIVE); return 0;
    case WM_PAINT: paint(); return 0;
    case WM_ERASEBKGND: return 0;  // the paint covers the whole client area
    case WM_SIZE: midEnd->resized({LOWORD(lParam), HIWORD(lParam)}); return 0;
    case WM_GETMINMAXINFO: {
      // One game pixel to a pixel at the least.
      const SIZE smallest = outerSize({clientWidth, clientHeight});
      reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {smallest.cx, smallest.cy};
      return 0;
    }
    case WM_KEYDOWN: midEnd->keyPressed(static_cast<int32_t>(wParam)); return 0;
    case WM_COMMAND: midEnd->commandChosen(static_cast<Command>(LOWORD(wParam))); return 0;
    case WM_TIMER: midEnd->tick(); return 0;
    case WM_HSCROLL:
    case WM_VSCROLL: return 0;
    case WM_INITMENU:
      EnableMenuItem(GetMenu(window), 0, MF_BYPOSITION | MF_ENABLED);
      EnableMenuItem(GetMenu(window), 1, MF_BYPOSITION | MF_ENABLED);
      return 0;
    case WM_MOUSEMOVE: midEnd->pointerMoved(pointOf(lParam)); return 0;
    case WM_LBUTTONDOWN: midEnd->buttonPressed(); return 0;
    case WM_LBUTTONUP: midEnd->buttonReleased(pointOf(lParam)); return 0;
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
