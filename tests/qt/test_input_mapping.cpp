// Qt keys to virtual-key codes.
#include <gtest/gtest.h>

#include "platform/qt/key_map.h"

namespace {

TEST(KeyMapTest, QtKeysBecomeTheVirtualKeyCodesTheGameKnows) {
  struct Case {
    int key;
    Qt::KeyboardModifiers modifiers;
    int32_t code;
  };
  const Qt::KeyboardModifiers none = Qt::NoModifier, keypad = Qt::KeypadModifier;
  const Case cases[] = {
      {Qt::Key_Return, none, 0x0D},
      {Qt::Key_Enter, keypad, 0x0D},
      {Qt::Key_Space, none, 0x20},
      {Qt::Key_PageUp, none, 0x21},
      {Qt::Key_PageDown, none, 0x22},
      {Qt::Key_End, none, 0x23},
      {Qt::Key_Home, none, 0x24},
      {Qt::Key_Left, none, 0x25},
      {Qt::Key_Up, none, 0x26},
      {Qt::Key_Right, none, 0x27},
      {Qt::Key_Down, none, 0x28},
      {Qt::Key_Backspace, none, 0x08},
      {Qt::Key_A, none, 0x41},
      {Qt::Key_Z, Qt::ShiftModifier, 0x5A},
      {Qt::Key_0, none, 0x30},
      {Qt::Key_0, keypad, 0x60},
      {Qt::Key_9, keypad, 0x69},
      {Qt::Key_Asterisk, keypad, 0x6A},
      {Qt::Key_Plus, keypad, 0x6B},
      {Qt::Key_Minus, keypad, 0x6D},
      {Qt::Key_Period, keypad, 0x6E},
      {Qt::Key_Slash, keypad, 0x6F},
      {Qt::Key_Left, keypad, 0x25},  // keypad without Num Lock
      {Qt::Key_F1, none, 0x70},
      {Qt::Key_F12, none, 0x7B},
      {Qt::Key_Escape, none, 0x1B},
      // What the game never gets as a plain key-down.
      {Qt::Key_F10, none, 0},
      {Qt::Key_Alt, none, 0},
      {Qt::Key_G, Qt::AltModifier, 0},
      {Qt::Key_Minus, none, 0},
      {Qt::Key_unknown, none, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(virtualKeyOf(c.key, c.modifiers), c.code) << std::hex << "key 0x" << c.key;
}

}  // namespace
