#include "core/printable.h"

#include <cstdio>

std::string printable(const std::string& text, size_t limit) {
  std::string shown;
  for (size_t i = 0; i < text.size() && i < limit; ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == '\\') {
      shown += "\\\\";
    } else if (c >= 0x20 && c < 0x7F) {
      shown += static_cast<char>(c);
    } else {
      char escaped[5];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
      shown += escaped;
    }
  }
  if (text.size() > limit) shown += "...";
  return shown;
}
