// The contracts' hooks for the Win32 window: its surface, and the window
// driven by the messages the system would send it.
#include <windows.h>

#include "contract/contract.h"
#include "platform/win32/game_window.h"
#include "platform/win32/gdi_surface.h"

std::unique_ptr<DrawingSurface> makeSurface() { return std::make_unique<GdiSurface>(); }

namespace {

std::function<void()> duringAbout;

// Answers the About box from inside its loop, as a player would.
void CALLBACK answer(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND box = FindWindowA(nullptr, "About Vantrel");
  if (!box) return;
  KillTimer(nullptr, timer);
  duringAbout();
  SendMessageA(box, WM_COMMAND, IDOK, 0);
}

class Win32Driver final : public WindowDriver {
 public:
  explicit Win32Driver(MidEnd& midEnd) {
    WNDCLASSA registered;
    if (!GetClassInfoA(GetModuleHandleA(nullptr), "Vantrel", &registered)) initApplication(GetModuleHandleA(nullptr));
    window_ = createGameWindow(midEnd);
    ShowWindow(window_, SW_SHOWNORMAL);
    UpdateWindow(window_);
    KillTimer(window_, gameTimerId);  // the test gives every expiry
  }
  ~Win32Driver() override {
    if (IsWindow(window_)) DestroyWindow(window_);
    settle();
  }
  void tick() override { send(WM_TIMER, gameTimerId); }
  void choose(Command command) override { send(WM_COMMAND, command); }
  void pressCloseBox() override { send(WM_SYSCOMMAND, SC_CLOSE); }
  void movePointer(Point p) override { send(WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y)); }
  void resizeClient(Point size) override {
    RECT outer{0, 0, size.x, size.y};
    AdjustWindowRect(&outer, WS_OVERLAPPEDWINDOW, TRUE);
    SetWindowPos(window_, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top, SWP_NOMOVE | SWP_NOZORDER);
  }
  void expose() override { RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW); }
  void settle() override {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message != WM_QUIT) DispatchMessageA(&message);
    }
  }
  bool isOpen() override { return IsWindow(window_); }
  void answerAbout(std::function<void()> during) override {
    duringAbout = std::move(during);
    SetTimer(nullptr, 0, 50, answer);
  }
  Point clientSize() override {
    RECT client{};
    GetClientRect(window_, &client);
    return {client.right, client.bottom};
  }
  void activate(bool active) override { send(WM_ACTIVATE, active ? WA_ACTIVE : WA_INACTIVE); }
  void minimise(bool minimised) override {
    ShowWindow(window_, minimised ? SW_MINIMIZE : SW_RESTORE);
    settle();
  }
  void pressKey(int32_t key) override { send(WM_KEYDOWN, key); }
  bool isChecked(Command command) override {
    return GetMenuState(GetMenu(window_), command, MF_BYCOMMAND) & MF_CHECKED;
  }
  std::string title() override {
    char text[64] = "";
    GetWindowTextA(window_, text, sizeof text);
    return text;
  }

 private:
  LRESULT send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return SendMessageA(window_, message, wParam, lParam);
  }
  HWND window_;
};

}  // namespace

std::unique_ptr<WindowDriver> openWindow(MidEnd& midEnd) { return std::make_unique<Win32Driver>(midEnd); }
