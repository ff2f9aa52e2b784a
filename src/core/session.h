// The rules of a game: states, events, score, balls, bonus and the levels in turn.
#pragma once
#include <cstdint>

#include "core/world.h"

enum GameEvent : int32_t {
  EventNewGame = 50,
  EventLevelCleared = 51,
  EventLaunch = 52,
  EventBallLost = 53,
  EventShowHighScores = 54,
  EventEnterName = 55,
};

void raiseEvent(GameEvent event);
void physicsTick();
void startNewGame();
void advanceLevel();
void submitCandidate(int32_t score);
void decayBonus();
