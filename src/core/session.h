// The rules of a game: states, events, score, balls, bonus and the levels in turn.
#pragma once
#include <cstdint>

enum GameStateCode : int32_t {
  StateReady = 40,
  StatePlaying = 41,
  StateAllLevelsDone = 42,
  StateGameOver = 43,
  StateBallLost = 44,
  StateEnteringName = 45,
  StateShowingHighScores = 46,
};

enum GameEvent : int32_t {
  EventNewGame = 50,
  EventLevelCleared = 51,
  EventLaunch = 52,
  EventBallLost = 53,
  EventShowHighScores = 54,
  EventEnterName = 55,
};

void raiseEvent(int32_t event);
void physicsTick();
void startNewGame();
void advanceLevel();
void submitCandidate(int32_t score);
void decayBonus();
