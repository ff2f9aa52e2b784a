#include "scores/name_entry.h"

#include <cstring>

#include "core/keys.h"

namespace {
char nameBuffer[nameCapacity + 1];
int32_t nameLength;

bool isLetter(int code) { return (code >= 'A' && code <= 'Z') || (code >= 'a' && code <= 'z'); }
}  // namespace

int32_t nameEntryKey(int32_t code) {
  const int c = code & 0xFF;
  if (c == 0) {
    nameLength = 0;
    nameBuffer[0] = '\0';
  } else if (c == KeyBackspace) {
    if (nameLength > 0) nameBuffer[--nameLength] = '\0';
  } else if (c == KeyReturn) {
    return nameLength;
  } else if (isLetter(c) && nameLength < nameCapacity) {
    nameBuffer[nameLength++] = static_cast<char>(c);
    nameBuffer[nameLength] = '\0';
  }
  return -1;
}

int32_t takeTypedName(char* destination) {
  std::memcpy(destination, nameBuffer, nameLength + 1);
  return nameLength;
}

void resetNameEntry() {
  nameLength = 0;
  std::memset(nameBuffer, 0, sizeof nameBuffer);
}
