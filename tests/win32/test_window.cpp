// The Win32 window as the system drives it: one real window, made from the
// resources linked into this test, and messages sent to its procedure.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <memory>
#include <string>

#include "core/session.h"
#include "platform/win32/game_window.h"
#include "scores/high_scores.h"
#include "scores/name_entry.h"
#include "shell/window_procedure.h"

namespace {

namespace fs = std::filesystem;

LPARAM point(int x, int y) { return MAKELPARAM(x, y); }

class WindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder = fs::temp_directory_path() / ("vantrel-window-" + std::to_string(GetCurrentProcessId()));
    fs::create_directories(folder);
    setHighScorePath((folder / "hiscore.txt").string());
    WNDCLASSA registered;
    if (!GetClassInfoA(GetModuleHandleA(nullptr), "Vantrel", &registered)) {
      ASSERT_EQ(initApplication(GetModuleHandleA(nullptr)), 1);
    }
    midEnd = std::make_unique<MidEnd>();
    window = createGameWindow(*midEnd);
    ASSERT_NE(window, nullptr);
  }
  static void TearDownTestSuite() {
    if (IsWindow(window)) DestroyWindow(window);
    MSG quit;
    PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    midEnd.reset();
    std::error_code ignored;
    fs::remove_all(folder, ignored);
  }
  static bool checked(UINT command) { return GetMenuState(GetMenu(window), command, MF_BYCOMMAND) & MF_CHECKED; }
  static LRESULT send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return SendMessageA(window, message, wParam, lParam);
  }

  static inline std::unique_ptr<MidEnd> midEnd;
  static inline HWND window = nullptr;
  static inline fs::path folder;
};

TEST_F(WindowTest, OpensInNameEntryWithTheTitleMenuAndNormalSpeedChecked) {
  EXPECT_EQ(gameState(), StateEnteringName);
  char title[32] = "";
  GetWindowTextA(window, title, sizeof title);
  EXPECT_STREQ(title, "Vantrel");
  EXPECT_EQ(GetMenuItemCount(GetMenu(window)), 5);
  EXPECT_TRUE(checked(42));
  RECT outer;
  GetWindowRect(window, &outer);
  EXPECT_EQ(outer.right - outer.left, 640);
  EXPECT_EQ(outer.bottom - outer.top, 470);
}

TEST_F(WindowTest, EveryTimerMessageIsATick) {
  const int32_t before = tickCount();
  send(WM_TIMER, gameTimerId);
  send(WM_TIMER, 7);
  EXPECT_EQ(tickCount(), before + 2);
}

TEST_F(WindowTest, KeysNameThePlayerAndAClickInTheBatZoneLaunches) {
  send(WM_KEYDOWN, 'A');
  send(WM_KEYDOWN, 'B');
  char name[16];
  takeTypedName(name);
  EXPECT_STREQ(name, "AB");
  send(WM_KEYDOWN, VK_RETURN);
  EXPECT_EQ(gameState(), StateReady);
  send(WM_MOUSEMOVE, 0, point(200, 250));
  EXPECT_EQ(world.batX, 180);
  send(WM_LBUTTONDOWN, MK_LBUTTON, point(200, 250));
  send(WM_LBUTTONUP, 0, point(200, 250));
  EXPECT_EQ(gameState(), StatePlaying);
}

// The About box runs modally through the window's own loop; a timer of the
// test answers it as a player would.
bool aboutSeen = false;
void CALLBACK answerAbout(HWND, UINT, UINT_PTR timer, DWORD) {
  if (HWND box = FindWindowA(nullptr, "About Vantrel")) {
    aboutSeen = true;
    SendMessageA(box, WM_COMMAND, IDOK, 0);
    KillTimer(nullptr, timer);
  }
}

TEST_F(WindowTest, AboutBoxIsModalAndEndsOnItsButton) {
  const UINT_PTR timer = SetTimer(nullptr, 0, 100, answerAbout);
  send(WM_COMMAND, 36);
  KillTimer(nullptr, timer);
  EXPECT_TRUE(aboutSeen);
  EXPECT_EQ(FindWindowA(nullptr, "About Vantrel"), nullptr);
}

TEST_F(WindowTest, F11TogglesFullScreenAndTheWindowKeepsItsSmallestSize) {
  RECT before;
  GetWindowRect(window, &before);
  send(WM_KEYDOWN, VK_F11);
  EXPECT_FALSE(GetWindowLongA(window, GWL_STYLE) & WS_CAPTION);
  RECT full;
  GetWindowRect(window, &full);
  EXPECT_EQ(full.right - full.left, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(full.bottom - full.top, GetSystemMetrics(SM_CYSCREEN));
  send(WM_COMMAND, CommandFullScreen);
  EXPECT_TRUE(GetWindowLongA(window, GWL_STYLE) & WS_CAPTION);
  RECT after;
  GetWindowRect(window, &after);
  EXPECT_TRUE(EqualRect(&before, &after));

  SetWindowPos(window, nullptr, 0, 0, 100, 100, SWP_NOMOVE | SWP_NOZORDER);
  RECT client;
  GetClientRect(window, &client);
  EXPECT_GE(client.right, clientWidth) << "one game pixel to a pixel at the least";
  EXPECT_GE(client.bottom, clientHeight);
  SetWindowPos(window, nullptr, 0, 0, before.right - before.left, before.bottom - before.top,
               SWP_NOMOVE | SWP_NOZORDER);
}

TEST_F(WindowTest, TheSaveNoticeOpensBesideTheGameWindow) {
  const fs::path table = folder / "a-folder";
  fs::create_directories(table);
  setHighScorePath(table.string());  // a folder where the file should be: the save fails
  send(WM_COMMAND, CommandHiScore);
  HWND box = nullptr;
  for (int i = 0; i < 400 && !box; ++i) {
    Sleep(25);
    box = FindWindowA("#32770", "Vantrel");
  }
  ASSERT_NE(box, nullptr);
  Sleep(100);  // placed as it opens
  RECT game, notice, overlap;
  GetWindowRect(window, &game);
  GetWindowRect(box, &notice);
  EXPECT_FALSE(IntersectRect(&overlap, &game, &notice));
  SendMessageA(box, WM_COMMAND, IDOK, 0);
  setHighScorePath((folder / "hiscore.txt").string());
}

TEST_F(WindowTest, ExitClosesTheWindowAndEndsTheLoop) {
  send(WM_COMMAND, 52);  // posts the close message
  MSG message;
  bool quit = false;
  for (int i = 0; i < 1000 && !quit; ++i) {
    if (GetMessageA(&message, nullptr, 0, 0) == 0) {
      quit = true;
    } else {
      DispatchMessageA(&message);
    }
  }
  EXPECT_TRUE(quit);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(midEnd->exitCode(), 0);
}

}  // namespace
