// What must hold after every message a running game is given, checked by the
// soak test and the script fuzz target alike, and the run they check.
#pragma once
#include <cstdint>
#include <string>

#include "shell/midend.h"
#include "shell/null_front_end.h"
#include "shell/script.h"

// A front end that shows nothing and notes when the game asks it to close.
class ClosingFrontEnd final : public NullFrontEnd {
 public:
  bool closed = false;
  void postClose() override { closed = true; }
};

// A run of the program with no window: the game, just created, behind the
// mid-end, given its messages as live input.
struct HeadlessRun {
  ClosingFrontEnd frontEnd;
  NullSurface surface;
  MidEnd midEnd;
  HeadlessRun() { midEnd.create(frontEnd, surface, midEnd.openingClientSize()); }
};

class InvariantChecker {
 public:
  // A new run of the program, just created: no tick given yet.
  void restart();
  // Call after each dispatched message. Empty while everything holds,
  // otherwise what does not.
  std::string check(const WindowMessage& message);

 private:
  int64_t ticks_ = 0;
  double launchSpeed_ = 0.0;  // the speed a level gives the ball, once seen
  double fastest_ = 1.0;      // the largest speed factor of the run so far
  bool launchedInField_ = true;
  int32_t batX_ = 0, batY_ = 0, placedWidth_ = 0, placedHeight_ = 0;  // where and how big the bat was last placed
};
