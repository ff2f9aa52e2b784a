#include "render/field.h"

#include "render/drawing_objects.h"

void paintBackground(DrawingSurface& surface, const Rect& clientRect) {
  surface.setClip(clientRect);
  surface.rectangle(clientRect, blackPen, blackBrush);
}

void drawField(DrawingSurface& surface) {
  surface.setClip(world.fieldRect);
  surface.rectangle(world.fieldRect, whitePen, blackBrush);
  surface.rectangle(world.batZone, whitePen, zoneBrush);
  drawBlocks(surface);
  drawBall(surface);
  drawBat(surface);
}

void drawBlocks(DrawingSurface& surface) {
  for (int32_t i = 0; i < world.blockCount; ++i) {
    Block& b = world.blockTable[i];
    if (b.hits != 0) surface.fillRect(b.rect, blockBrush(b.brush));
    if (b.fade != 0) surface.fillRect(b.rect, fadeBrushes[--b.fade]);
  }
}

// Truncated, not rounded: a ball at 10.9 is drawn from pixel 10.
Rect ballRect() {
  const auto x = static_cast<int32_t>(world.ballX), y = static_cast<int32_t>(world.ballY);
  return {x, y, x + world.ballSize, y + world.ballSize};
}

Rect batRect() { return {world.batX, world.batY, world.batX + world.batWidth, world.batY + world.batHeight}; }

void drawBall(DrawingSurface& surface) { surface.ellipse(ballRect(), whitePen, blueBrush); }

void drawBat(DrawingSurface& surface) { surface.fillRect(batRect(), whiteBrush); }
