// The script reader and the game behind it on any bytes: every message the
// reader yields goes to the game through the mid-end as a window hands it over, with every
// invariant checked after each, for a bounded number of ticks.
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "invariants.h"
#include "scores/high_scores.h"
#include "scratch_folder.h"
#include "shell/script.h"
#include "shell/state_line.h"

namespace {
constexpr int64_t tickBudget = 20000;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = scratchFolder() + "/hiscore.txt";
  std::remove(path.c_str());
  resetGame();
  setHighScorePath(path);
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  ScriptPlayer player(in);
  HeadlessRun run;
  InvariantChecker checker;
  int64_t ticks = 0;
  WindowMessage m;
  for (;;) {
    const ScriptPlayer::Step step = player.next(m);
    if (step == ScriptPlayer::StepState) {
      if (stateLine().empty()) std::abort();
      continue;
    }
    if (step == ScriptPlayer::StepError && player.error().empty()) std::abort();
    if (step != ScriptPlayer::StepMessage || (m.kind == MessageTick && ++ticks > tickBudget)) break;
    giveMessage(run.midEnd, m);
    if (run.frontEnd.closed) break;
    if (const std::string fault = checker.check(m); !fault.empty()) {
      std::fprintf(stderr, "after tick %lld: %s\n%s\n", static_cast<long long>(ticks), fault.c_str(),
                   stateLine().c_str());
      std::abort();
    }
  }
  resetGame();
  return 0;
}
