// The background and the play field frame: zone, blocks with their fading, ball, bat.
#pragma once
#include "render/surface.h"

void paintBackground(DrawingSurface& surface, const Rect& clientRect);
void drawField(DrawingSurface& surface);  // advances every fading block one step
void drawBlocks(DrawingSurface& surface);
void drawBall(DrawingSurface& surface);
void drawBat(DrawingSurface& surface);
// Where the ball and the bat are drawn, the last two operations of a field frame.
Rect ballRect();
Rect batRect();
