// Every test starts from the state of a freshly started program, in a
// temporary working folder of its own so that hiscore.txt never lands in
// the source tree.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "core/session.h"
#include "core/world.h"
#include "scores/high_scores.h"
#include "shell/window_procedure.h"

// The last ball of a game in flight is lost with the given points: the game
// ends and offers them to the high-score table.
inline void loseLastBall(int32_t points) {
  world.points = points;
  world.balls = 0;
  world.gameState = StatePlaying;
  raiseEvent(EventBallLost);
}

// A new game for the name typed so far, ended at once with the given points.
inline void endGameWithScore(int32_t points) {
  raiseEvent(EventNewGame);
  loseLastBall(points);
}

// What the session does when a game of the named player ends with these points.
inline void endGame(const char* name, int32_t points) {
  std::strcpy(world.candidateEntry.name, name);
  submitCandidate(points);
}

class GameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    resetGame();
    folder_ = std::filesystem::temp_directory_path() /
              ("vantrel-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter_++));
    std::filesystem::create_directories(folder_);
    setHighScorePath((folder_ / "hiscore.txt").string());
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
    resetGame();
  }
  std::string hiscorePath() const { return (folder_ / "hiscore.txt").string(); }
  const std::filesystem::path& folder() const { return folder_; }

 private:
  static inline int counter_ = 0;
  std::filesystem::path folder_;
};
