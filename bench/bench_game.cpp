// Benchmarks: one physics tick among the blocks of level 11, a whole scripted
// game run through the same machinery as vantrel-sim, and a screenshot.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "core/levels.h"
#include "core/session.h"
#include "core/world.h"
#include "scores/high_scores.h"
#include "shell/midend.h"
#include "shell/null_front_end.h"
#include "shell/playback.h"
#include "shell/screenshot.h"
#include "shell/state_line.h"
#include "shell/window_procedure.h"

namespace {

// A temporary folder for the high-score file, removed at exit with all the
// table left there (its lock file too).
struct TempDir {
  std::string path;
  TempDir() {
    char name[] = "/tmp/vantrel-bench-XXXXXX";
    if (mkdtemp(name)) path = name;
  }
  ~TempDir() {
    std::error_code ignored;
    if (!path.empty()) std::filesystem::remove_all(path, ignored);
  }
};

// Level 11 (52 blocks) with the ball in flight between the bat and the blocks.
// Many spare balls, so a lost ball never ends the game (which would write the
// high-score file); level 11 of 12, so a cleared level only builds level 12.
GameWorld levelElevenInFlight() {
  resetGame();
  computeLayout({0, 0, clientWidth, clientHeight});
  world.speedFactor = 1.0;
  world.levelCount = 12;
  world.level = 11;
  buildLevel(11);
  world.blocksLeft = world.blockCount;
  world.balls = 1000;
  world.bonus = 1100;
  world.bonusTime = 60;
  world.batX = 190, world.batY = 280;
  world.ballX = 197.0, world.ballY = 200.0;
  world.ballVX = 1.2, world.ballVY = -1.6;  // speed 2, as every ball has
  world.gameState = StatePlaying;
  return world;
}

// The world is put back from the snapshot, a 2 KB copy, whenever the ball
// is lost or the level is cleared; that copy stays inside the timing, but
// it comes once in hundreds of ticks (see the resets counter).
void BM_PhysicsTickLevel11(benchmark::State& state) {
  const GameWorld snapshot = levelElevenInFlight();
  int64_t resets = 0;
  for (auto _ : state) {
    physicsTick();
    if (world.gameState != StatePlaying || world.level != 11) {
      world = snapshot;
      ++resets;
    }
  }
  state.counters["resets"] = benchmark::Counter(static_cast<double>(resets), benchmark::Counter::kAvgIterations);
  benchmark::DoNotOptimize(world);
}
BENCHMARK(BM_PhysicsTickLevel11);

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return in ? text.str() : std::string();
}

// demo/all-levels.vsim, a whole game to "All Levels Done", as vantrel-sim
// runs it: every message through the mid-end, every frame composed.
void BM_WholeScriptedGame(benchmark::State& state) {
  const std::string script = readFile(VANTREL_DEMO_DIR "/all-levels.vsim");
  if (script.empty()) return state.SkipWithError("cannot read demo/all-levels.vsim");
  TempDir dir;
  const std::string hiscore = dir.path + "/hiscore.txt";
  int64_t ticks = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::remove(hiscore.c_str());
    resetGame();
    setHighScorePath(hiscore);
    std::istringstream in(script);
    state.ResumeTiming();
    NullFrontEnd frontEnd;
    NullSurface surface;
    MidEnd midEnd;
    auto playback = std::make_unique<ScriptPlayback>();
    playback->open(in);
    playback->setStateAction([] { benchmark::DoNotOptimize(stateLine()); });
    midEnd.play(std::move(playback), {});
    midEnd.create(frontEnd, surface, midEnd.openingClientSize());
    while (midEnd.playing()) midEnd.tick();
    if (midEnd.exitCode() != 0) return state.SkipWithError("the script failed");
    ticks += world.tickCount;
    if (world.gameState != StateAllLevelsDone) return state.SkipWithError("the game did not reach All Levels Done");
  }
  state.counters["ticks"] = benchmark::Counter(static_cast<double>(ticks), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_WholeScriptedGame)->Unit(benchmark::kMillisecond);

// A screenshot of a frame like the game's: a black client area, a white field
// frame and rows of green blocks.
void BM_ScreenshotPng(benchmark::State& state) {
  constexpr int width = 632, height = 424;
  std::vector<uint32_t> pixels(width * height, 0xFF000000);
  auto fill = [&](int left, int top, int right, int bottom, uint32_t colour) {
    for (int y = top; y < bottom; ++y) std::fill(&pixels[y * width + left], &pixels[y * width + right], colour);
  };
  fill(10, 10, 412, 412, 0xFFFFFFFF);
  fill(11, 11, 411, 411, 0xFF000000);
  for (int row = 0; row < 6; ++row) {
    for (int column = 0; column < 10; ++column) {
      fill(20 + 39 * column, 40 + 20 * row, 55 + 39 * column, 55 + 20 * row, 0xFF00C800);
    }
  }
  const PixelImage image{pixels.data(), width, height, width};
  size_t bytes = 0;
  for (auto _ : state) bytes = encodePng(image).size();
  state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_ScreenshotPng)->Unit(benchmark::kMillisecond);

}  // namespace
