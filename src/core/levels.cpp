#include "core/levels.h"

#include "core/world.h"

namespace {

struct Pattern {
  int32_t blockWidth, columnStep, top, x0;
};

void placeBlock(int32_t i, int32_t row, int32_t column, const Pattern& p) {
  Block& b = world.blockTable[i];
  b.hits = 2;
  b.fade = 0;
  b.points = 100;
  b.brush = BrushGreen;
  b.rect.left = world.fieldRect.left + p.columnStep * column + p.x0;
  b.rect.right = b.rect.left + p.blockWidth;
  b.rect.top = world.fieldRect.top + 20 * row + p.top;
  b.rect.bottom = b.rect.top + 10;
}

// What each level adds to the bonus time and the bonus.
constexpr int32_t bonusTimeStep = 60, bonusStep = 100;
// The ball's box, and its speed straight up at launch in pixels per tick
// before the speed factor.
constexpr int32_t ballSize = 15;
constexpr double launchSpeed = 2.0;
constexpr int32_t batWidth = 40, batHeight = 5;

void startLevel(int32_t blocks) {
  world.blockCount = blocks;
  world.bonusTimePerLevel = bonusTimeStep;
  world.bonusPerLevel = bonusStep;
}

// What every builder resets at the end.
void resetBallAndBat() {
  world.ballSize = ballSize;
  world.ballX = 0.0;
  world.ballY = world.fieldRect.bottom - ballSize;
  world.ballVX = 0.0;
  world.ballVY = -launchSpeed;
  world.batWidth = batWidth;
  world.batHeight = batHeight;
}

int32_t fieldWidth() { return world.fieldRect.right - world.fieldRect.left; }

}  // namespace

void buildRows(int32_t s) {
  startLevel(12 * s);
  const Pattern p{23, 25, 45, (fieldWidth() - 275) / 2 - 11};
  for (int32_t i = 0; i < world.blockCount; ++i) placeBlock(i, i / 12, i % 12, p);
  resetBallAndBat();
}

// Every second cell of a grid 13 wide: an odd width makes a checkerboard.
void buildChecker(int32_t s) {
  startLevel(13 * s);
  const Pattern p{23, 25, 25, (fieldWidth() - 300) / 2 - 11};
  for (int32_t k = 0; k < world.blockCount; ++k) placeBlock(k, (2 * k) / 13, (2 * k) % 13, p);
  resetBallAndBat();
}

// One row below the bat zone, between it and the floor.
void buildBottomRow(int32_t s) {
  startLevel(s);
  const Pattern p{43, 45, 325, (fieldWidth() - 45 * s + 45) / 2 - 21};
  for (int32_t i = 0; i < s; ++i) placeBlock(i, i / s, i % s, p);
  resetBallAndBat();
}

void buildLevel(int32_t n) {
  const int32_t pattern = (n - 1) % 3, size = (n - 1) / 3 + 1;
  if (pattern == 0)
    buildRows(size);
  else if (pattern == 1)
    buildChecker(size);
  else if (pattern == 2)
    buildBottomRow(size);
}
