// Text from outside (a script line, a file name) as a message shows it: a
// byte that is not printable ASCII as \xNN and a backslash doubled, so that
// nothing in it can steer the terminal.
#pragma once
#include <cstddef>
#include <string>

// Shows at most `limit` bytes, then "..." when there were more.
std::string printable(const std::string& text, size_t limit = std::string::npos);
