// vantrel-autoplay: plays a whole game in-process through the real shell and
// writes every window message it sends as a vantrel-sim script on stdout.
//
// The player looks ahead: GameWorld is plain data, so before it commits to a
// bat position it copies `world`, tries each candidate position on the copy by
// running the ball step and the contact tests tick by tick (never the events,
// so no level is built and no score is saved), and restores `world`. It picks
// the position that makes the ball hit a block soonest without losing it.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/keys.h"
#include "core/session.h"
#include "core/world.h"
#include "physics/ball.h"
#include "physics/contact.h"
#include "scores/high_scores.h"
#include "shell/input.h"
#include "shell/midend.h"
#include "shell/null_front_end.h"
#include "shell/recording.h"
#include "shell/script.h"
#include "shell/state_line.h"
#include "shell/window_procedure.h"

namespace {

enum Outcome { OutcomeHit, OutcomeOpen, OutcomeDoomed, OutcomeLost };  // best first

struct Trial {
  Outcome outcome = OutcomeLost;
  int32_t ticks = 0;    // to the hit or the loss
  int32_t holdFor = 0;  // ticks until the plan must be made again
};

constexpr int32_t horizon = 2500;

// Whether some bat position in the zone would overlap the ball's contact box.
bool withinReach() {
  const int32_t top = static_cast<int32_t>(world.ballY);
  return top + world.ballSize - 1 > world.batZone.top && top < world.batZone.bottom;
}

bool descendingIntoReach() {
  return world.ballVY > 0 && static_cast<int32_t>(world.ballY) + world.ballSize + 4 > world.batZone.top;
}

// One tick of the ball in flight as physicsTick runs it, without its events;
// the bat only when it is in play. True when a block turned the ball.
bool flightTick(bool bat, bool& floor) {
  const Rect& f = world.fieldRect;
  floor = stepBall(f.left, f.top, f.right, f.bottom) > 0;
  if (bat) batRebound();
  const double vx = world.ballVX, vy = world.ballVY;
  blockRebounds();
  return vx != world.ballVX || vy != world.ballVY;
}

// After a hit: does the ball come within the bat's reach (or hit another
// block) before the floor? A ball low and falling past the zone is lost.
bool recoverable() {
  bool floor = false;
  for (int32_t t = 0; t < horizon; ++t) {
    if (withinReach()) return true;
    if (flightTick(false, floor)) return true;
    if (floor) return false;
  }
  return true;
}

// Runs the copy ahead with the bat held where the pointer (x, y) puts it.
// Once the ball rises clear of the bat zone the bat cannot touch it before it
// comes down again, so from there it flies as if the bat were gone, and the
// plan is made again before it comes back within reach.
Trial tryPosition(const GameWorld& start, int32_t x, int32_t y, bool launch, bool toLose) {
  world = start;
  pointerMoved(x, y);
  if (launch) world.gameState = StatePlaying;
  bool batInPlay = true, floor = false;
  int32_t holdFor = 0;
  for (int32_t t = 1; t <= horizon; ++t) {
    const bool hit = flightTick(batInPlay, floor);
    if (floor && (batInPlay || toLose)) return {OutcomeLost, t, holdFor ? holdFor : t};
    if (floor) return {OutcomeOpen, t, holdFor};
    if (hit && !toLose) return {recoverable() ? OutcomeHit : OutcomeDoomed, t, holdFor ? holdFor : t};
    if (batInPlay && world.ballVY < 0 && world.ballY + world.ballSize < world.batZone.top) {
      batInPlay = false;
    } else if (!batInPlay && !holdFor && descendingIntoReach()) {
      holdFor = t;
    }
  }
  return {OutcomeOpen, horizon, holdFor ? holdFor : 100};
}

struct Plan {
  int32_t x, y;  // pointer position
  Trial trial;
};

// Every bat position over a grid of the zone, as the pointer that centres the
// bat there; ties go to the position nearest the bat, or for an open outcome
// to a varying pick, so that a rally with no block in reach does not repeat.
Plan choosePosition(bool launch, bool toLose, uint32_t round) {
  const GameWorld start = world;
  const Rect& z = world.batZone;
  Plan best{0, 0, {}};
  double bestRank = INFINITY;
  uint32_t index = 0;
  for (int32_t batY = z.top; batY <= z.bottom - start.batHeight; batY += 19) {
    for (int32_t batX = z.left; batX <= z.right - start.batWidth; batX += 2, ++index) {
      const int32_t x = batX + start.batWidth / 2, y = batY + start.batHeight / 2;
      const Trial t = tryPosition(start, x, y, launch, toLose);
      double rank = 0;
      if (toLose) {
        rank = t.outcome == OutcomeLost ? t.ticks : 1e9;
      } else if (t.outcome == OutcomeHit) {
        rank = t.ticks + (std::abs(batX - start.batX) + std::abs(batY - start.batY)) * 1e-4;
      } else if (t.outcome == OutcomeOpen) {
        rank = 1e6 + ((index * 2654435761u + round * 40503u) >> 16 & 0xFFFF);
      } else if (t.outcome == OutcomeDoomed) {
        rank = 1e7 + t.ticks;
      } else {
        rank = 1e8 + t.ticks;
      }
      if (rank < bestRank) bestRank = rank, best = {x, y, t};
    }
  }
  world = start;
  return best;
}

struct AutoplayOptions {
  std::string name = "AUTO";
  bool untilGameOver = false;
  int64_t maxTicks = 3000000;
  std::string stateFile, hiscore;
};

bool parseOptions(int argc, char** argv, AutoplayOptions& o) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--name" && hasValue)
      o.name = argv[++i];
    else if (arg == "--until" && hasValue) {
      const std::string until = argv[++i];
      if (until != "levels" && until != "gameover") return false;
      o.untilGameOver = until == "gameover";
    } else if (arg == "--max-ticks" && hasValue)
      o.maxTicks = std::atoll(argv[++i]);
    else if (arg == "--state-file" && hasValue)
      o.stateFile = argv[++i];
    else if (arg == "--hiscore" && hasValue)
      o.hiscore = argv[++i];
    else
      return false;
  }
  // The name goes in as key presses, and name entry takes up to eight letters.
  const bool letters = std::all_of(o.name.begin(), o.name.end(), [](unsigned char c) { return std::isalpha(c); });
  return o.maxTicks > 0 && letters && o.name.size() <= 8;
}

}  // namespace

int main(int argc, char** argv) {
  AutoplayOptions options;
  if (!parseOptions(argc, argv, options)) {
    std::fprintf(stderr,
                 "Usage: vantrel-autoplay [--name LETTERS] [--until levels|gameover] [--max-ticks N]\n"
                 "                        [--state-file PATH] [--hiscore PATH]\n"
                 "Plays a whole game and writes it as a vantrel-sim script on standard output;\n"
                 "the final state line goes to standard error and to the state file.\n");
    return 2;
  }
  if (!options.hiscore.empty()) setHighScorePath(options.hiscore);

  NullFrontEnd frontEnd;
  NullSurface surface;
  MidEnd midEnd;
  midEnd.create(frontEnd, surface, midEnd.openingClientSize());
  std::printf(
      "# Recorded by: vantrel-autoplay --name %s --until %s\n"
      "# Replay with: vantrel-sim THIS-FILE (it writes hiscore.txt in the working directory)\n",
      options.name.c_str(), options.untilGameOver ? "gameover" : "levels");
  setRecordStream(stdout);
  auto send = [&](MessageKind kind, int32_t x = 0, int32_t y = 0) { giveMessage(midEnd, {kind, x, y}); };
  auto note = [](const char* text, int32_t value) {
    flushRecord();
    std::printf("# %s %d\n", text, value);
  };

  for (unsigned char c : options.name) send(MessageKey, std::toupper(c));  // letter keys
  send(MessageKey, KeyReturn);                                             // Enter ends the name and starts a new game
  note("level", world.level);

  int32_t level = world.level, planEnd = 0;
  uint32_t round = 0;
  bool moved = false;
  Plan plan{};
  const int64_t lastTick = world.tickCount + options.maxTicks;
  while (world.tickCount < lastTick) {
    const int32_t state = world.gameState;
    if (state == StateAllLevelsDone || state == StateGameOver) break;
    if (world.level != level) {
      flushRecord();
      std::printf("state\n");  // the figures at the end of each level
      note("level", level = world.level);
    }
    const bool toLose = options.untilGameOver && world.level > 1;
    const bool launch = state == StateReady || state == StateBallLost;
    if (launch || world.tickCount >= planEnd) {
      const Plan next = choosePosition(launch, toLose, round++);
      if (!moved || next.x != plan.x || next.y != plan.y) send(MessageMove, next.x, next.y);
      moved = true;
      plan = next;
      planEnd = world.tickCount + std::max(plan.trial.holdFor, 1);
      if (launch) {
        send(MessageDown);
        send(MessageUp, plan.x, plan.y);
      }
    }
    send(MessageTick);
  }
  flushRecord();
  std::printf("state\n");
  std::fflush(stdout);
  setRecordStream(nullptr);

  const std::string finalState = stateLine();
  std::fprintf(stderr, "%s\n", finalState.c_str());
  if (!options.stateFile.empty()) {
    std::FILE* file = std::fopen(options.stateFile.c_str(), "w");
    if (!file) {
      std::fprintf(stderr, "vantrel-autoplay: cannot write %s\n", options.stateFile.c_str());
      return 2;
    }
    std::fprintf(file, "%s\n", finalState.c_str());
    std::fclose(file);
  }
  const int32_t goal = options.untilGameOver ? StateGameOver : StateAllLevelsDone;
  return world.gameState == goal ? 0 : 1;
}
