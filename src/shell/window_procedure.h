// The game's window procedure, free of any platform: creation, the timer
// tick and painting, and the client size and timer period every window keeps.
#pragma once
#include "shell/host.h"

constexpr int timerPeriodMs = 10;
// The client area the window opens with; it may be resized later.
constexpr int32_t clientWidth = 632, clientHeight = 424;

void onCreate(WindowHost& host);
void onTimer(WindowHost& host);
void paintWindow(WindowHost& host);
void showField(WindowHost& host);  // compose and show one field frame
void showPanel(WindowHost& host);  // compose and show one panel frame

// Puts every module of the game back to its state at program start.
void resetGame();
