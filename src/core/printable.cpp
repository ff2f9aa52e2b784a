#include "core/printable.h"

#include <cstdio>

namespace {

std::string escaped(const std::string& text, size_t limit, bool doubleBackslash) {
  std::string shown;
  for (size_t i = 0; i < text.size() && i < limit; ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == '\\' && doubleBackslash) {
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

}  // namespace

std::string printable(const std::string& text, size_t limit) { return escaped(text, limit, true); }

std::string printablePath(const std::string& path) { return escaped(path, std::string::npos, false); }
