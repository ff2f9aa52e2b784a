// Menu commands, pointer, button, keys, activation and the cursor choice.
#pragma once
#include <cstdint>

#include "shell/front_end.h"
#include "shell/host.h"
#include "shell/tables.h"

struct ShellState {
  int32_t pointerX, pointerY;
  bool buttonDown;
  Command checkedSpeedItem;
  CursorShape cursor;  // last chosen on a pointer move
};
extern ShellState shell;

void onCommand(WindowHost& host, Command command);
void onPointerMove(WindowHost& host, Point position);
void onButtonDown(WindowHost& host);
void onButtonUp(WindowHost& host, Point position);
void clickAt(WindowHost& host, int32_t x, int32_t y);
// A key-down as it arrives: the accelerator table first, then the game.
void onKeyMessage(WindowHost& host, int32_t virtualKey);
void onKeyDown(WindowHost& host, int32_t virtualKey);
void warpCursorToPointer(WindowHost& host);
void checkSpeedItem(WindowHost& host, Command command);
void onActivate(WindowHost& host, bool active);

void resetShell();
