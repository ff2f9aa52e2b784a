// Benchmarks of composing one field frame and one panel frame on the Qt
// drawing surface, in the middle of a game on level 11.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <cstdlib>
#include <cstring>

#include "core/levels.h"
#include "core/session.h"
#include "core/world.h"
#include "platform/qt/image_surface.h"
#include "render/field.h"
#include "render/panel.h"
#include "shell/window.h"

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

void BM_FieldFrame(benchmark::State& state) {
  setUpScene();
  QImage image(clientWidth, clientHeight, QImage::Format_RGB32);
  ImageSurface surface(image);
  int step = 0;
  for (auto _ : state) {
    world.blockTable[0].fade = 50;        // keeps one patch fading in every frame
    world.ballX = 180.3 + (++step % 40);  // and the ball moving, as in play
    drawField(surface);
    benchmark::DoNotOptimize(surface.takeWritten(image.rect()));  // what goes to the screen
  }
}
BENCHMARK(BM_FieldFrame);

void BM_PanelFrame(benchmark::State& state) {
  setUpScene();
  QImage image(clientWidth, clientHeight, QImage::Format_RGB32);
  ImageSurface surface(image);
  for (auto _ : state) {
    drawPanel(surface);
    benchmark::DoNotOptimize(surface.takeWritten(image.rect()));
  }
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
