// The virtual-key codes the game knows. Every window translates its own key
// events into these; letter keys are their upper-case character codes ('A' to
// 'Z') and digit keys their digits ('0' to '9').
#pragma once
#include <cstdint>

enum VirtualKey : int32_t {
  KeyBackspace = 0x08,
  KeyTab = 0x09,
  KeyClear = 0x0C,
  KeyReturn = 0x0D,
  KeyShift = 0x10,
  KeyControl = 0x11,
  KeyEscape = 0x1B,
  KeySpace = 0x20,
  KeyPageUp = 0x21,
  KeyPageDown = 0x22,
  KeyEnd = 0x23,
  KeyHome = 0x24,
  KeyLeft = 0x25,
  KeyUp = 0x26,
  KeyRight = 0x27,
  KeyDown = 0x28,
  KeyInsert = 0x2D,
  KeyDelete = 0x2E,
  KeyNumpad0 = 0x60,  // to KeyNumpad0 + 9
  KeyMultiply = 0x6A,
  KeyAdd = 0x6B,
  KeySubtract = 0x6D,
  KeyDecimal = 0x6E,
  KeyDivide = 0x6F,
  KeyF1 = 0x70,  // to KeyF1 + 11, F12
  KeyF11 = 0x7A,
  KeyF12 = 0x7B,
};
