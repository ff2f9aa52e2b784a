// Preloaded into vantrel-sim by the kill test: a system that cannot swap two
// files in one step, as some network file systems and Windows cannot.
#include <cerrno>

extern "C" int renameat2(int, const char*, int, const char*, unsigned int) {
  errno = EINVAL;
  return -1;
}
