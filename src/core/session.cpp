#include "core/session.h"

#include <cstring>

#include "core/levels.h"
#include "core/world.h"
#include "physics/ball.h"
#include "physics/contact.h"
#include "scores/high_scores.h"
#include "scores/name_entry.h"

void raiseEvent(GameEvent event) {
  switch (event) {
    case EventNewGame: startNewGame(); break;
    case EventLevelCleared: advanceLevel(); break;
    case EventLaunch:
      if (world.gameState == StateReady || world.gameState == StateBallLost) world.gameState = StatePlaying;
      break;
    case EventBallLost:
      if (world.gameState != StatePlaying) break;
      if (world.balls > 0) {
        --world.balls;
        placeBallOnBat();
        world.gameState = StateBallLost;
      } else {
        submitCandidate(world.points);
        world.gameState = StateGameOver;
      }
      break;
    case EventShowHighScores:
      submitCandidate(0);
      world.gameState = StateShowingHighScores;
      break;
    case EventEnterName:
      if (world.gameState == StateEnteringName) break;  // keep what is typed so far
      nameEntryKey(0);
      world.gameState = StateEnteringName;
      break;
  }
}

void startNewGame() {
  takeTypedName(playerName());
  if (playerName()[0] == '\0') std::strcpy(playerName(), "NoName");
  world.points = 0;
  world.balls = 2;
  world.levelCount = 12;
  world.level = 0;
  world.bonus = 0;
  world.bonusTime = 0;
  world.gameState = StateReady;
  advanceLevel();
}

// What is left of the bonus and its time carries over to the next level.
void advanceLevel() {
  if (world.level >= world.levelCount) {
    world.gameState = StateAllLevelsDone;
    submitCandidate(world.points);
    return;
  }
  ++world.level;
  buildLevel(world.level);
  world.bonusTime += world.bonusTimePerLevel;
  world.blocksLeft = world.blockCount;
  world.bonus += world.bonusPerLevel;
  world.gameState = StateReady;
  placeBallOnBat();
}

// The table is read afresh, so an entry edited since is checked again; the
// lock keeps a game ending elsewhere from saving between the read and the save.
void submitCandidate(int32_t score) {
  const HighScoreLock lock;
  loadHighScores(highScoreCount, highScoreTable);
  world.candidateEntry.score = score;
  insertHighScore(world.candidateEntry);
}

void physicsTick() {
  decayBonus();
  if (world.gameState != StatePlaying) return;
  const Rect& f = world.fieldRect;
  if (stepBall(f.left, f.top, f.right, f.bottom) > 0) raiseEvent(EventBallLost);
  // The contacts are tested even in the tick in which the ball was lost.
  batRebound();
  blockRebounds();
  if (world.blocksLeft == 0) raiseEvent(EventLevelCleared);
}

// Bonus time runs only while a ball is in flight or waits after a loss: one
// step every 100 ticks, a second at the normal pace; once it is used up each
// step takes from the bonus instead.
constexpr int32_t ticksPerBonusStep = 100, bonusDecay = 5;

void decayBonus() {
  if (world.gameState != StatePlaying && world.gameState != StateBallLost) return;
  if (tickCount() % ticksPerBonusStep != 0) return;
  if (world.bonusTime > 0) --world.bonusTime;
  if (world.bonusTime == 0 && world.bonus > 0) world.bonus -= bonusDecay;
}
