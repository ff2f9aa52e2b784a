// The GDI drawing surface leaves no GDI object behind (its pixel rules are
// the surface contract's).
#include <gtest/gtest.h>
#include <windows.h>

#include "core/levels.h"
#include "core/session.h"
#include "platform/win32/gdi_surface.h"
#include "render/field.h"
#include "render/panel.h"
#include "shell/window_procedure.h"

namespace {

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
      surface.copy(screen, world.fieldRect, world.fieldRect);
      surface.copy(screen, world.panelRect, world.panelRect);
    }
    surface.resize(300, 200);
  }
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), before);
  resetGame();
}

}  // namespace
