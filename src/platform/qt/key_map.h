// Qt keys as the game's virtual-key codes.
#pragma once
#include <QKeyEvent>
#include <cstdint>

// The virtual-key code of a key-down, or 0 for a key the game never sees as a
// plain key-down (unknown keys, and the system keys: Alt, F10 and anything
// pressed with Alt go to the menu bar).
int32_t virtualKeyOf(int key, Qt::KeyboardModifiers modifiers);
inline int32_t virtualKeyOf(const QKeyEvent& event) { return virtualKeyOf(event.key(), event.modifiers()); }
