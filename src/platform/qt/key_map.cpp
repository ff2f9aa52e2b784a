#include "platform/qt/key_map.h"

namespace {

int32_t keypadKey(int key) {
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return 0x60 + (key - Qt::Key_0);
  switch (key) {
    case Qt::Key_Asterisk: return 0x6A;
    case Qt::Key_Plus: return 0x6B;
    case Qt::Key_Minus: return 0x6D;
    case Qt::Key_Period:
    case Qt::Key_Comma: return 0x6E;  // the decimal key, whatever the locale prints
    case Qt::Key_Slash: return 0x6F;
    default: return 0;
  }
}

}  // namespace

int32_t virtualKeyOf(int key, Qt::KeyboardModifiers modifiers) {
  if (modifiers & Qt::AltModifier) return 0;
  if (modifiers & Qt::KeypadModifier) {
    if (const int32_t code = keypadKey(key)) return code;
    // Without Num Lock the keypad sends the movement keys, handled below.
  }
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return key;  // Qt's letters are the upper-case codes
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return key;
  if (key >= Qt::Key_F1 && key <= Qt::Key_F12 && key != Qt::Key_F10) return 0x70 + (key - Qt::Key_F1);
  switch (key) {
    case Qt::Key_Backspace: return 0x08;
    case Qt::Key_Tab: return 0x09;
    case Qt::Key_Clear: return 0x0C;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 0x0D;
    case Qt::Key_Shift: return 0x10;
    case Qt::Key_Control: return 0x11;
    case Qt::Key_Escape: return 0x1B;
    case Qt::Key_Space: return 0x20;
    case Qt::Key_PageUp: return 0x21;
    case Qt::Key_PageDown: return 0x22;
    case Qt::Key_End: return 0x23;
    case Qt::Key_Home: return 0x24;
    case Qt::Key_Left: return 0x25;
    case Qt::Key_Up: return 0x26;
    case Qt::Key_Right: return 0x27;
    case Qt::Key_Down: return 0x28;
    case Qt::Key_Insert: return 0x2D;
    case Qt::Key_Delete: return 0x2E;
    default: return 0;
  }
}
