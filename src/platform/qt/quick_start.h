// The start-up Qt would make at its own pace, arranged so that the first
// picture comes sooner.
#pragma once
#include <thread>

// Settings that spare Qt work it would do for nothing: made before the
// application object.
void leanStart();

// Loads, on a second thread while the main one opens the display, what Qt
// would next load on the main one: the X11 platform plug-in, when Qt is to
// choose it, and the font configuration. Qt then finds both ready. The
// plug-in is left to Qt where a platform or a plug-in folder was chosen.
class StartAhead {
 public:
  explicit StartAhead(bool platformChosen);
  ~StartAhead() { finish(); }
  StartAhead(const StartAhead&) = delete;
  StartAhead& operator=(const StartAhead&) = delete;

  // Waits for the second thread: before the first window is made.
  void finish();

 private:
  std::thread thread_;
};
