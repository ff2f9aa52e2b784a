// The name being typed: up to eight letters, backspace deletes, Enter ends.
#pragma once
#include <cstdint>

constexpr int nameCapacity = 8;

int32_t nameEntryKey(int32_t code);
int32_t takeTypedName(char* destination);  // destination holds at least 9 chars
void resetNameEntry();                     // back to the empty name of program start
