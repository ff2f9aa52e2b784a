// Text from outside (a script line, a file name) as a message shows it: a
// byte that is not printable ASCII as \xNN, so that nothing in it can steer
// the terminal.
#pragma once
#include <cstddef>
#include <string>

// Shows at most `limit` bytes, then "..." when there were more. A backslash
// is doubled, so that \xNN is always an escape.
std::string printable(const std::string& text, size_t limit = std::string::npos);

// A file name: a backslash, the folder separator on Windows, stays single.
std::string printablePath(const std::string& path);
