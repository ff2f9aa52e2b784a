// The pixel rules of the drawing operations, one table for every surface:
// right and bottom edges exclusive, a one-pixel outline on the outermost
// pixels, fills without outline, discs inside their box, text at the top of
// its rectangle and cut off at its edges, nothing outside the clip.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "contract.h"
#include "core/levels.h"
#include "core/session.h"
#include "render/drawing_objects.h"
#include "render/field.h"
#include "render/panel.h"
#include "shell/kept_frames.h"
#include "shell/window_procedure.h"

namespace {

constexpr Color white{255, 255, 255}, blue{0, 0, 200}, red{200, 0, 0}, yellow{255, 255, 0};
constexpr uint32_t whitePixel = 0xFFFFFF, bluePixel = 0x0000C8, redPixel = 0xC80000, black = 0;

struct SurfaceCase {
  const char* name;
  void (*draw)(DrawingSurface& surface);
  Rect within;                                     // every pixel drawn lies inside
  Rect reaches;                                    // and the drawn pixels reach at least as far each way
  std::vector<std::pair<Point, uint32_t>> pixels;  // and these have their colours
  bool symmetric = false;                          // the drawing mirrors across its box's middle both ways
};

const SurfaceCase cases[] = {
    {"rectangle",
     [](DrawingSurface& s) {
       s.rectangle({10, 20, 30, 35}, Pen{white}, Brush{red});
     },
     {10, 20, 30, 35},
     {10, 20, 30, 35},
     {{{10, 20}, whitePixel},
      {{29, 20}, whitePixel},
      {{10, 34}, whitePixel},
      {{29, 34}, whitePixel},
      {{20, 20}, whitePixel},
      {{10, 27}, whitePixel},
      {{29, 27}, whitePixel},
      {{20, 34}, whitePixel},
      {{11, 21}, redPixel},
      {{28, 33}, redPixel}}},
    {"fill",
     [](DrawingSurface& s) {
       s.fillRect({5, 6, 28, 16}, Brush{blue});
     },
     {5, 6, 28, 16},
     {5, 6, 28, 16},
     {{{5, 6}, bluePixel}, {{27, 15}, bluePixel}}},
    {"ellipse",
     [](DrawingSurface& s) {
       s.ellipse({40, 30, 55, 45}, Pen{white}, Brush{blue});
     },
     {40, 30, 55, 45},
     {40, 30, 55, 45},
     {{{47, 30}, whitePixel},
      {{47, 44}, whitePixel},
      {{40, 37}, whitePixel},
      {{54, 37}, whitePixel},
      {{47, 31}, bluePixel},
      {{41, 37}, bluePixel},
      {{47, 37}, bluePixel},
      {{40, 30}, black},  // the corners are outside the disc
      {{54, 44}, black}},
     true},
    {"clip",
     [](DrawingSurface& s) {
       s.setClip({20, 20, 60, 60});
       s.rectangle({0, 0, 120, 80}, Pen{white}, Brush{red});
       s.fillRect({0, 0, 120, 80}, Brush{blue});
       s.ellipse({50, 50, 65, 65}, Pen{white}, Brush{blue});
       s.drawText({0, 20, 120, 50}, "Wide text across the clip", AlignLeft, panelFont, yellow);
     },
     {20, 20, 60, 60},
     {20, 20, 60, 60},
     {}},
    {"text at the left",
     [](DrawingSurface& s) {
       s.drawText({10, 10, 110, 40}, "Level", AlignLeft, panelFont, yellow);
     },
     {10, 10, 110, 30},  // within the 20-pixel cell at the top
     {13, 20, 14, 21},
     {}},
    {"text at the right",
     [](DrawingSurface& s) {
       s.drawText({10, 10, 110, 40}, "Level", AlignRight, panelFont, yellow);
     },
     {10, 10, 110, 30},
     {106, 20, 107, 21},
     {}},
    {"text in the middle",
     [](DrawingSurface& s) {
       s.drawText({10, 10, 110, 40}, "High Score", AlignCenter, panelFont, yellow);
     },
     {12, 10, 108, 30},
     {30, 20, 90, 21},
     {}},
    {"text cut off at its rectangle",
     [](DrawingSurface& s) {
       s.drawText({10, 10, 40, 40}, "Cut off at the edge", AlignLeft, panelFont, yellow);
     },
     {10, 10, 40, 40},
     {14, 20, 35, 21},
     {}},
};

// The smallest rectangle holding every pixel that is no longer black.
Rect touched(const PixelImage& image) {
  Rect box{image.width, image.height, 0, 0};
  for (int32_t y = 0; y < image.height; ++y)
    for (int32_t x = 0; x < image.width; ++x)
      if (image.at(x, y) != black)
        box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1), std::max(box.bottom, y + 1)};
  return box;
}

std::string text(const Rect& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + " to " + std::to_string(r.right) + "," +
         std::to_string(r.bottom);
}

TEST(SurfaceContract, EveryDrawingKeepsThePixelRules) {
  for (const SurfaceCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::unique_ptr<DrawingSurface> surface = makeSurface();
    surface->resize(120, 80);
    surface->setClip({0, 0, 120, 80});
    c.draw(*surface);
    const PixelImage image = surface->image();
    const Rect box = touched(image);
    EXPECT_TRUE(box.left >= c.within.left && box.top >= c.within.top && box.right <= c.within.right &&
                box.bottom <= c.within.bottom)
        << "drawn " << text(box) << ", allowed " << text(c.within);
    EXPECT_TRUE(box.left <= c.reaches.left && box.top <= c.reaches.top && box.right >= c.reaches.right &&
                box.bottom >= c.reaches.bottom)
        << "drawn " << text(box) << ", to reach " << text(c.reaches);
    for (const auto& [p, colour] : c.pixels) EXPECT_EQ(image.at(p.x, p.y), colour) << p.x << "," << p.y;
    if (!c.symmetric) continue;
    for (int32_t y = box.top; y < box.bottom; ++y)
      for (int32_t x = box.left; x < box.right; ++x) {
        ASSERT_EQ(image.at(x, y), image.at(box.right - 1 - (x - box.left), y)) << x << "," << y;
        ASSERT_EQ(image.at(x, y), image.at(x, box.bottom - 1 - (y - box.top))) << x << "," << y;
      }
  }
}

TEST(SurfaceContract, ANewSizeIsABlackImageOfAtLeastOnePixel) {
  const std::unique_ptr<DrawingSurface> surface = makeSurface();
  for (const Point size : {Point{0, 0}, Point{1, 1}, Point{7, 3}, Point{632, 424}}) {
    surface->resize(size.x, size.y);
    const PixelImage image = surface->image();
    surface->setClip({0, 0, image.width, image.height});
    EXPECT_EQ(image.width, std::max(size.x, 1));
    EXPECT_EQ(image.height, std::max(size.y, 1));
    EXPECT_GE(image.stride, image.width);
    EXPECT_EQ(touched(image), (Rect{image.width, image.height, 0, 0})) << "all black";
    surface->fillRect({0, 0, 632, 424}, Brush{red});
    EXPECT_EQ(surface->image().at(image.width - 1, image.height - 1), redPixel);
  }
}

testing::AssertionResult samePixels(const PixelImage& a, const PixelImage& b, const Rect& r) {
  for (int32_t y = r.top; y < r.bottom; ++y)
    for (int32_t x = r.left; x < r.right; ++x)
      if (a.at(x, y) != b.at(x, y)) return testing::AssertionFailure() << "differs at " << x << "," << y;
  return testing::AssertionSuccess();
}

// Through the kept frames each frame is drawn only where it differs from the
// last; the pixels must be those of the frame drawn afresh: the ball and bat
// moving, leaving the field, blocks hit and fading, the panel's figures
// changing, now and then a frame with no change.
TEST(SurfaceContract, AFrameDrawnOverTheLastIsTheFrameDrawnAfresh) {
  resetGame();
  computeLayout({0, 0, clientWidth, clientHeight});
  world.level = 4;
  buildLevel(4);
  world.blocksLeft = world.blockCount;
  world.gameState = StatePlaying;
  std::strcpy(playerName(), "KEPT");
  const std::unique_ptr<DrawingSurface> kept = makeSurface();
  KeptFrames frames(*kept);
  frames.resize(clientWidth, clientHeight);
  for (int frame = 0; frame < 60; ++frame) {
    if (frame % 10 != 9) {              // every tenth frame repeats the last one
      world.ballX = 20 + frame * 6.7;   // off the right wall at the end
      world.ballY = 300 - frame * 5.3;  // and over the top one
      world.batX = 10 + (frame * 37) % 380;
    }
    if (frame == 10) world.blockTable[2] = {1, 0, 100, world.blockTable[2].rect, BrushRed};
    if (frame == 20) world.blockTable[2] = {0, 50, 100, world.blockTable[2].rect, BrushBlack};
    world.points = frame / 3 * 100;
    const bool panel = frame % 4 == 0;

    const GameWorld before = world;  // drawing counts the fades down: both draw the same frame
    const std::unique_ptr<DrawingSurface> fresh = makeSurface();
    fresh->resize(clientWidth, clientHeight);
    drawField(*fresh);
    drawPanel(*fresh);
    world = before;
    drawField(frames);
    if (panel) drawPanel(frames);
    ASSERT_TRUE(samePixels(frames.image(), fresh->image(), world.fieldRect)) << "field, frame " << frame;
    if (panel) {
      ASSERT_TRUE(samePixels(frames.image(), fresh->image(), world.panelRect)) << "panel, frame " << frame;
    }
  }
  resetGame();
}

}  // namespace
