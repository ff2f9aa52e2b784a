#include "core/world.h"

GameWorld world;

void computeLayout(const Rect& clientRect) {
  const int32_t l = clientRect.left, t = clientRect.top;
  world.fieldRect = {l + 10, t + 10, l + 410, t + 410};
  world.panelRect = {l + 420, t + 10, l + 620, t + 410};
  world.batZone = {l + 10, t + 210, l + 410, t + 310};
}

bool rectContains(const Rect& r, int32_t x, int32_t y) {
  return r.left <= x && x < r.right && r.top <= y && y < r.bottom;
}

// The last rectangle that holds the point decides.
Area regionAt(int32_t x, int32_t y) {
  Area area = AreaOutside;
  if (rectContains(world.fieldRect, x, y)) area = AreaField;
  if (rectContains(world.batZone, x, y)) area = AreaBatZone;
  if (rectContains(world.panelRect, x, y)) area = AreaPanel;
  return area;
}

int32_t tickCount() { return world.tickCount; }
GameStateCode gameState() { return world.gameState; }
int32_t bonus() { return world.bonus; }
