// The game's Win32 window: its class, window procedure, About box and the
// Win32 side of the mid-end.
#pragma once
#include <windows.h>

#include <string>

#include "shell/midend.h"

constexpr UINT_PTR gameTimerId = 123;

// Loads strings, accelerators and cursors and registers the class
// "Vantrel": 1 on success, 0 otherwise.
int initApplication(HINSTANCE instance);
// The game's window on the mid-end, 640 by 470 (outer size) at scale 1, its
// client area the picture at the scale asked for at a larger one, lowered to
// fit the screen. nullptr when it cannot be made.
HWND createGameWindow(MidEnd& midEnd);
HACCEL gameAccelerators();

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK aboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// A message for the player: on standard output or error when there is
// somewhere to write it, else in a message box.
void tellPlayer(const std::string& text, bool error);
