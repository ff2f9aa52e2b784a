// Every program of the web build starts with the file-creation mask a login
// shell gives: emscripten's starts at 0777, which would make every new
// hiscore.txt unreadable and unwritable. Linked into every program, before
// main runs.
#include <sys/stat.h>

namespace {

const mode_t shellMask = [] {
  ::umask(022);
  return mode_t{022};
}();

}  // namespace
