#include "platform/qt/key_map.h"

#include "core/keys.h"

namespace {

int32_t keypadKey(int key) {
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return KeyNumpad0 + (key - Qt::Key_0);
  switch (key) {
    case Qt::Key_Asterisk: return KeyMultiply;
    case Qt::Key_Plus: return KeyAdd;
    case Qt::Key_Minus: return KeySubtract;
    case Qt::Key_Period:
    case Qt::Key_Comma: return KeyDecimal;  // the decimal key, whatever the locale prints
    case Qt::Key_Slash: return KeyDivide;
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
  if (key >= Qt::Key_F1 && key <= Qt::Key_F12 && key != Qt::Key_F10) return KeyF1 + (key - Qt::Key_F1);
  switch (key) {
    case Qt::Key_Backspace: return KeyBackspace;
    case Qt::Key_Tab: return KeyTab;
    case Qt::Key_Clear: return KeyClear;
    case Qt::Key_Return:
    case Qt::Key_Enter: return KeyReturn;
    case Qt::Key_Shift: return KeyShift;
    case Qt::Key_Control: return KeyControl;
    case Qt::Key_Escape: return KeyEscape;
    case Qt::Key_Space: return KeySpace;
    case Qt::Key_PageUp: return KeyPageUp;
    case Qt::Key_PageDown: return KeyPageDown;
    case Qt::Key_End: return KeyEnd;
    case Qt::Key_Home: return KeyHome;
    case Qt::Key_Left: return KeyLeft;
    case Qt::Key_Up: return KeyUp;
    case Qt::Key_Right: return KeyRight;
    case Qt::Key_Down: return KeyDown;
    case Qt::Key_Insert: return KeyInsert;
    case Qt::Key_Delete: return KeyDelete;
    default: return 0;
  }
}
