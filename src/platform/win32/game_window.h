// The game's Win32 window: its class, window procedure, About box and the
// platform side of the game's window logic.
#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "shell/playback.h"

constexpr UINT_PTR gameTimerId = 123;

// Makes the drawing objects, loads strings, accelerators and cursors and
// registers the class "Vantrel": 1 on success, 0 otherwise.
int initApplication(HINSTANCE instance);
// The game's window, 640 by 470 (outer size) at scale 1; every game pixel
// as scale by scale window pixels. nullptr when it cannot be made.
HWND createGameWindow(int scale);
HACCEL gameAccelerators();

// Plays the script instead of live input, one tick per timer message; when
// it ends, saves the client image to the screenshot path (if any) and closes
// the window.
void playScript(std::unique_ptr<ScriptPlayback> script, const std::string& screenshotPath);
// What the program returns once the window is gone: 0, or non-zero when a
// played script failed or its screenshot could not be saved.
int windowExitCode();

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK aboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// A message for the player: on standard error when there is somewhere to
// write it, else in a message box.
void tellPlayer(const std::string& text, bool error);
