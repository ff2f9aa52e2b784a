// The GDI drawing surface: the pixel rules of the game's drawing operations,
// whole frames, and no GDI object left behind.
#include <gtest/gtest.h>
#include <windows.h>

#include "core/levels.h"
#include "core/session.h"
#include "platform/win32/gdi_surface.h"
#include "render/field.h"
#include "render/panel.h"
#include "shell/window.h"

namespace {

constexpr Color white{255, 255, 255}, blue{0, 0, 200}, red{200, 0, 0};

uint32_t rgb(int r, int g, int b) { return static_cast<uint32_t>(r << 16 | g << 8 | b); }

class GdiSurfaceTest : public ::testing::Test {
 protected:
  GdiSurfaceTest() {
    surface.resize(120, 80);
    surface.setClip({0, 0, 120, 80});
  }
  uint32_t at(int x, int y) {
    const PixelImage image = surface.image();
    return reinterpret_cast<const uint32_t*>(image.pixels + y * image.strideBytes)[x] & 0xFFFFFF;
  }
  // The smallest rectangle holding every pixel that is no longer black.
  RECT touched() {
    RECT box{120, 80, 0, 0};
    for (int y = 0; y < 80; ++y)
      for (int x = 0; x < 120; ++x)
        if (at(x, y) != 0)
          box = {std::min<LONG>(box.left, x), std::min<LONG>(box.top, y), std::max<LONG>(box.right, x + 1),
                 std::max<LONG>(box.bottom, y + 1)};
    return box;
  }
  void expectTouched(RECT expected) {
    const RECT box = touched();
    EXPECT_EQ(box.left, expected.left);
    EXPECT_EQ(box.top, expected.top);
    EXPECT_EQ(box.right, expected.right);
    EXPECT_EQ(box.bottom, expected.bottom);
  }

  GdiSurface surface;
};

TEST_F(GdiSurfaceTest, RectangleHasItsOutlineOnTheOutermostPixelsAndExcludesRightAndBottom) {
  surface.rectangle({10, 20, 30, 35}, Pen{white}, Brush{red});
  expectTouched({10, 20, 30, 35});
  for (POINT p : {POINT{10, 20}, POINT{29, 20}, POINT{10, 34}, POINT{29, 34}, POINT{20, 34}})
    EXPECT_EQ(at(p.x, p.y), rgb(255, 255, 255)) << p.x << "," << p.y;
  EXPECT_EQ(at(11, 21), rgb(200, 0, 0));
  EXPECT_EQ(at(28, 33), rgb(200, 0, 0));
}

TEST_F(GdiSurfaceTest, FillCoversLeftToRightMinusOneWithoutOutline) {
  surface.fillRect({5, 6, 28, 16}, Brush{blue});
  expectTouched({5, 6, 28, 16});
  EXPECT_EQ(at(5, 6), rgb(0, 0, 200));
  EXPECT_EQ(at(27, 15), rgb(0, 0, 200));
}

TEST_F(GdiSurfaceTest, EllipseStaysInsideItsSquareWithARim) {
  surface.ellipse({40, 30, 55, 45}, Pen{white}, Brush{blue});
  expectTouched({40, 30, 55, 45});
  EXPECT_EQ(at(47, 37), rgb(0, 0, 200));
  EXPECT_EQ(at(47, 30), rgb(255, 255, 255));
  EXPECT_EQ(at(40, 30), 0u);  // the corner is outside the disc
}

TEST_F(GdiSurfaceTest, NothingOutsideTheClipChanges) {
  surface.setClip({20, 20, 40, 40});
  surface.fillRect({0, 0, 120, 80}, Brush{red});
  surface.drawText({0, 25, 120, 55}, "Wide text across the clip", AlignLeft, Font{"Verdana", 20, 500}, white);
  expectTouched({20, 20, 40, 40});
}

// A whole game's frames, drawn and shown many times over, leave the process
// with as many GDI objects as it had.
TEST(GdiObjects, NoneLeftBehindByFramesOrBySurfaces) {
  const DWORD before = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  if (before == 0) GTEST_SKIP() << "this system does not count GDI objects";
  HDC screen = GetDC(nullptr);
  {
    GdiSurface surface;
    surface.resize(632, 424);
    resetGame();
    computeLayout({0, 0, 632, 424});
    buildLevel(12);
    for (int frame = 0; frame < 2000; ++frame) {
      world.gameState = frame % 200 < 100 ? StatePlaying : StateGameOver;
      if (frame % 100 == 0) world.blockTable[frame / 100].fade = 50;
      drawField(surface);
      drawPanel(surface);
      surface.present(screen, world.fieldRect, 1);
      surface.present(screen, world.panelRect, 1);
    }
    surface.resize(300, 200);
  }
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), before);
  resetGame();
}

}  // namespace
