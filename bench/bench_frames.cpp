// Benchmarks of one field frame and one panel frame on the Qt drawing
// surface, in the middle of a game on level 11.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <cstdlib>
#include <cstring>

#include "core/levels.h"
#include "core/session.h"
#include "core/world.h"
#include "platform/qt/text_painter.h"
#include "render/field.h"
#include "render/panel.h"
#include "render/software_surface.h"
#include "shell/midend.h"
#include "shell/null_front_end.h"
#include "shell/window_procedure.h"

namespace {

// Level 11 in play, one block fading, so that every kind of drawing is done.
void setUpScene() {
  resetGame();
  computeLayout({0, 0, clientWidth, clientHeight});
  world.level = 11;
  buildLevel(11);
  world.blocksLeft = world.blockCount;
  world.blockTable[3].hits = 1;
  world.blockTable[3].brush = BrushRed;
  world.ballX = 180.3;
  world.ballY = 240.7;
  world.batX = 170;
  world.batY = 250;
  world.gameState = StatePlaying;
  std::strcpy(playerName(), "PLAYER");
}

// A window that shows nothing: the cost measured is the frame's drawing and
// the mid-end's finding of what changed.
class QuietFrontEnd final : public NullFrontEnd {
 public:
  int64_t shownPixels = 0;
  void showPixels(const Rect& r, const Rect&) override { shownPixels += (r.right - r.left) * (r.bottom - r.top); }
};

// Two ticks of play: one field frame, as the window draws and shows it every 20 ms.
void BM_FieldFrame(benchmark::State& state) {
  QuietFrontEnd frontEnd;
  SoftwareSurface surface(paintText);
  MidEnd midEnd;
  midEnd.create(frontEnd, surface, midEnd.openingClientSize());
  setUpScene();
  for (auto _ : state) {
    world.blockTable[0].fade = 50;  // keeps one patch fading in every frame
    midEnd.tick();
    midEnd.tick();
    if (world.gameState != StatePlaying) setUpScene();
  }
  state.counters["shown pixels"] = benchmark::Counter(double(frontEnd.shownPixels), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_FieldFrame);

void BM_PanelFrame(benchmark::State& state) {
  SoftwareSurface surface(paintText);
  surface.resize(clientWidth, clientHeight);
  setUpScene();
  for (auto _ : state) drawPanel(surface);
}
BENCHMARK(BM_PanelFrame);

}  // namespace

int main(int argc, char** argv) {
  // Fonts need an application; no screen is needed.
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
