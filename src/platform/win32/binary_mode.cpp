// Every Windows program of the game reads and writes bytes as they are: the
// C runtime would otherwise turn "\n" into "\r\n" on standard output and in
// files opened without "b", and output, scripts and hiscore.txt must match the
// other builds byte for byte. Linked into every program, before main runs.
#include <fcntl.h>
#include <io.h>
#include <stdlib.h>

#include <cstdio>

namespace {

const bool binaryMode = [] {
  _fmode = _O_BINARY;
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  return true;
}();

}  // namespace
