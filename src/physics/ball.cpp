#include "physics/ball.h"

#include <cmath>

#include "core/session.h"
#include "core/world.h"

void setSpeedFactor(double factor) { world.speedFactor = factor; }

// The wall tests force the sign rather than flip it, so a ball found beyond
// a wall line keeps heading back into the field.
int32_t stepBall(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  int32_t result = 0;
  world.ballX = world.ballX + world.speedFactor * world.ballVX;
  if (world.ballX >= right - world.ballSize) world.ballVX = -std::fabs(world.ballVX);
  if (world.ballX < left) world.ballVX = std::fabs(world.ballVX);
  world.ballY = world.ballY + world.speedFactor * world.ballVY;
  if (world.ballY >= bottom - world.ballSize) {
    world.ballVY = -std::fabs(world.ballVY);
    result = FloorReached;
  }
  if (world.ballY < top) world.ballVY = std::fabs(world.ballVY);
  return result;
}

// The left and top clamps come last: in a zone smaller than the bat they win.
void trackBat(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t x, int32_t y) {
  world.batX = x - world.batWidth / 2;
  if (world.batX > right - world.batWidth) world.batX = right - world.batWidth;
  if (world.batX < left) world.batX = left;
  world.batY = y - world.batHeight / 2;
  if (world.batY > bottom - world.batHeight) world.batY = bottom - world.batHeight;
  if (world.batY < top) world.batY = top;
}

void pointerMoved(int32_t x, int32_t y) {
  const Rect& z = world.batZone;
  trackBat(z.left, z.top, z.right, z.bottom, x, y);
  if (world.gameState == StateBallLost || world.gameState == StateReady) placeBallOnBat();
}

void placeBallOnBat() {
  world.ballX = world.batX + world.batWidth / 2 - world.ballSize / 2;
  world.ballY = world.batY - world.ballSize;
}
