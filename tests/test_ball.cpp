#include "physics/ball.h"

#include "core/session.h"
#include "core/world.h"
#include "game_fixture.h"

class BallTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    computeLayout({0, 0, clientWidth, clientHeight});
    world.ballSize = 15;
    world.batWidth = 40;
    world.batHeight = 5;
    setSpeedFactor(1.0);
  }
  int32_t step() { return stepBall(10, 10, 410, 410); }
  void ballAt(double x, double y, double vx, double vy) {
    world.ballX = x;
    world.ballY = y;
    world.ballVX = vx;
    world.ballVY = vy;
  }
};

TEST_F(BallTest, WallsForceTheSignWithoutMovingTheBallBack) {
  const struct {
    double x, y, vx, vy;      // before the step
    double nx, ny, nvx, nvy;  // after it
    int32_t result;
  } cases[] = {
      {394, 100, 1, 0, 395, 100, -1, 0, 0},   // reaches right - size: turns (equality counts)
      {11, 100, -1, 0, 10, 100, -1, 0, 0},    // exactly on the left line: keeps going
      {9.5, 100, -1, 0, 8.5, 100, 1, 0, 0},   // beyond the left line: turns
      {400, 100, -1, 0, 399, 100, -1, 0, 0},  // beyond the right line already heading back
      {100, 393, 0, 2, 100, 395, 0, -2, FloorReached},
      {100, 11, 0, -1, 100, 10, 0, -1, 0},  // top line itself is inside
      {100, 10.5, 0, -1, 100, 9.5, 0, 1, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
    ballAt(c.x, c.y, c.vx, c.vy);
    EXPECT_EQ(step(), c.result);
    EXPECT_EQ(world.ballX, c.nx);
    EXPECT_EQ(world.ballY, c.ny);
    EXPECT_EQ(world.ballVX, c.nvx);
    EXPECT_EQ(world.ballVY, c.nvy);
  }
}

TEST_F(BallTest, BothTestsOnOneAxisLeaveTheLaterOneWinning) {
  // A field too small for the ball: the right and floor tests fire, then left and top win.
  ballAt(5, 5, 1, 1);
  EXPECT_EQ(stepBall(10, 10, 12, 12), FloorReached);
  EXPECT_GT(world.ballVX, 0);
  EXPECT_GT(world.ballVY, 0);
}

TEST_F(BallTest, SpeedFactorScalesTheStepNotTheVelocity) {
  setSpeedFactor(2.0);
  ballAt(100, 100, 0.0, -2.0);
  step();
  EXPECT_EQ(world.ballY, 96.0);
  EXPECT_EQ(world.ballVY, -2.0);
  setSpeedFactor(1.5);
  ballAt(100, 100, 0.1, 0.0);
  step();
  EXPECT_EQ(world.ballX, 100 + 1.5 * 0.1);  // the product first, then the sum
}

TEST_F(BallTest, BatStaysInsideTheZoneWhateverThePointer) {
  const struct {
    int32_t x, y, batX, batY;
  } cases[] = {
      {5, 0, 10, 210}, {400, 400, 370, 305}, {200, 250, 180, 248}, {-30000, -30000, 10, 210}, {30, 213, 10, 211},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
    pointerMoved(c.x, c.y);
    EXPECT_EQ(world.batX, c.batX);
    EXPECT_EQ(world.batY, c.batY);
  }
}

TEST_F(BallTest, AZoneSmallerThanTheBatPutsItAtTheLeftAndTop) {
  trackBat(100, 100, 120, 102, 500, 500);
  EXPECT_EQ(world.batX, 100);
  EXPECT_EQ(world.batY, 100);
}

TEST_F(BallTest, RestingBallFollowsTheBatOnlyWhileWaiting) {
  for (GameStateCode state : {StateReady, StateBallLost, StatePlaying, StateEnteringName}) {
    SCOPED_TRACE(state);
    world.gameState = state;
    ballAt(1, 2, 0, 0);
    pointerMoved(120, 252);  // bat at (100, 250)
    EXPECT_EQ(world.batX, 100);
    const bool follows = state == StateReady || state == StateBallLost;
    EXPECT_EQ(world.ballX, follows ? 113.0 : 1.0);
    EXPECT_EQ(world.ballY, follows ? 235.0 : 2.0);
  }
}
