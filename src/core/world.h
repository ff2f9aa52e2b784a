// The one record of all game state, the screen layout and the region test.
#pragma once
#include <cstdint>

#include "scores/high_scores.h"

// Left, top, right, bottom; right and bottom are exclusive.
struct Rect {
  int32_t left, top, right, bottom;
  bool operator==(const Rect&) const = default;
};

struct Point {
  int32_t x, y;
  bool operator==(const Point&) const = default;
};

// Which of the three block fills a block has; the renderer maps them to brushes.
enum BlockBrush : int32_t { BrushGreen, BrushRed, BrushBlack };

struct Block {
  int32_t hits;    // hits still needed; live while above 0
  int32_t fade;    // fade-out frames left after destruction
  int32_t points;  // worth when destroyed
  Rect rect;
  BlockBrush brush;
};

constexpr int blockCapacity = 52;  // level 11, the largest
// Frames a destroyed block's grey patch takes to fade out: one per field frame.
constexpr int32_t fadeLength = 50;

enum GameStateCode : int32_t {
  StateReady = 40,
  StatePlaying = 41,
  StateAllLevelsDone = 42,
  StateGameOver = 43,
  StateBallLost = 44,
  StateEnteringName = 45,
  StateShowingHighScores = 46,
};

struct GameWorld {
  Rect fieldRect, panelRect, batZone;
  double ballX, ballY, ballVX, ballVY;
  int32_t ballSize;
  double speedFactor;
  int32_t batX, batY, batWidth, batHeight;
  Block blockTable[blockCapacity];
  int32_t blockCount, blocksLeft;
  GameStateCode gameState;
  int32_t level, levelCount, points, balls, bonus, bonusTime;
  int32_t bonusTimePerLevel, bonusPerLevel, tickCount;
  HighScoreEntry candidateEntry;  // its name is the player's name
};

extern GameWorld world;

inline char* playerName() { return world.candidateEntry.name; }

enum Area : int32_t { AreaOutside = 0, AreaField = 1, AreaBatZone = 2, AreaPanel = 3 };

void computeLayout(const Rect& clientRect);
Area regionAt(int32_t x, int32_t y);
bool rectContains(const Rect& r, int32_t x, int32_t y);

int32_t tickCount();
GameStateCode gameState();
int32_t bonus();
