#include "physics/contact.h"

#include "game_fixture.h"

namespace {
const Rect bat{90, 207, 130, 212};
}

TEST(RegionCode, BitsAreSetOnlyStrictlyOutsideEachEdge) {
  const struct {
    int32_t x, y, code;
  } cases[] = {
      {100, 209, 0},
      {90, 209, 0},
      {130, 212, 0},
      {131, 209, RegionRight},
      {89, 209, RegionLeft},
      // a point on any of the four edge lines is inside
      {100, 207, 0},
      {130, 209, 0},
      {100, 212, 0},
      {90, 207, 0},
      {100, 206, RegionTop},
      {100, 213, RegionBottom},
      {131, 206, 12},
      {89, 206, 6},
      {131, 213, 9},
      {89, 213, 3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
    EXPECT_EQ(regionCode(c.x, c.y, bat.left, bat.top, bat.right, bat.bottom), c.code);
  }
  EXPECT_EQ(edgeCross(1, 2, 0, 0, 3, 0), 6);
}

TEST(CircleRebound, ReflectsAboutTheContactNormalToTheLastBit) {
  const struct {
    double cx, cy, vx, vy;
    int32_t result;
    double nvx, nvy;
  } cases[] = {
      {100, 203, 0.0, 2.0, 1, 0.0, -2.0},    // flat top
      {87, 203, 0.0, 2.0, 1, -1.92, -0.56},  // top-left corner, normal (-3, -4)
      {85, 202, 0.0, 2.0, 0, 0.0, 2.0},      // corner beyond the radius
      {83, 209, 1.0, 0.0, 0, 1.0, 0.0},      // boxes only touch
      {84, 209, 1.0, 0.0, 1, -1.0, 0.0},     // left side
      {137, 209, -1.0, 0.0, 0, -1.0, 0.0},
      {136, 209, -1.0, 0.0, 1, 1.0, 0.0},  // right side
      {100, 209, 0.0, 2.0, 0, 0.0, 2.0},   // inside, moving along the normal's surface
      {100, 209, -1.0, 2.0, 1, 0.9999999999999999, 1.9999999999999998},
      {90, 209, 1.0, 0.0, 0, 1.0, 0.0},     // on the left edge: the normal points right
      {100, 203, 0.0, -2.0, 0, 0.0, -2.0},  // moving away
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.cx << "," << c.cy << " v " << c.vx << "," << c.vy);
    double vx = c.vx, vy = c.vy;
    EXPECT_EQ(circleRebound(c.cx, c.cy, 7.0, vx, vy, bat), c.result);
    if (c.result == 1 && c.cx == 87) {
      // the reciprocal is formed once and multiplied, as a division would differ in the last bit
      const double k = 1.0 / 25.0;
      EXPECT_EQ(vx, ((16.0 - 9.0) * 0.0 - 2 * -3.0 * -4.0 * 2.0) * k);
      EXPECT_EQ(vy, ((9.0 - 16.0) * 2.0 - 2 * -3.0 * -4.0 * 0.0) * k);
    } else {
      EXPECT_EQ(vx, c.nvx);
      EXPECT_EQ(vy, c.nvy);
    }
  }
}

TEST(CircleRebound, AnEmptyBoxTouchesNothing) {
  double vx = 0, vy = 1;
  EXPECT_EQ(circleRebound(100, 209, 0.0, vx, vy, bat), 0);
}

class BlockContactTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    world.ballSize = 15;
    world.bonus = 100;
    world.blockCount = 2;
    world.blocksLeft = 2;
    // two neighbours, 2 pixels apart, the ball's circle touching both bottoms
    world.blockTable[0] = Block{2, 0, 100, {100, 100, 123, 110}, BrushGreen};
    world.blockTable[1] = Block{2, 0, 100, {125, 100, 148, 110}, BrushGreen};
    world.ballX = 117.0;  // circle centre (124, 113), radius 7
    world.ballY = 106.0;
    world.ballVX = 0.0;
    world.ballVY = -2.0;
  }
};

TEST_F(BlockContactTest, TheEarlierOfTwoTouchedBlocksTakesTheHit) {
  blockRebounds();
  EXPECT_EQ(world.blockTable[0].hits, 1);
  EXPECT_EQ(world.blockTable[0].brush, BrushRed);
  EXPECT_EQ(world.blockTable[1].hits, 2);
  EXPECT_GT(world.ballVY, 0);
}

// A ball in the corner between a block above and one to its right: the first
// rebound turns it down, and it still heads into the second block.
TEST_F(BlockContactTest, EveryBlockOfOneTickIsTestedAfterAHit) {
  world.blockTable[0].rect = {100, 100, 140, 110};
  world.blockTable[1].rect = {126, 112, 140, 130};
  world.ballX = 113.0;  // circle centre (120, 116), radius 7
  world.ballY = 109.0;
  world.ballVX = 1.0;
  world.ballVY = -1.0;
  blockRebounds();
  EXPECT_EQ(world.blockTable[0].hits, 1);
  EXPECT_EQ(world.blockTable[1].hits, 1);
  EXPECT_EQ(world.ballVX, -1.0);
  EXPECT_EQ(world.ballVY, 1.0);
}

TEST_F(BlockContactTest, ASecondHitDestroysAndScores) {
  world.blockTable[0].hits = 1;
  blockRebounds();
  const Block& b = world.blockTable[0];
  EXPECT_EQ(b.hits, 0);
  EXPECT_EQ(b.brush, BrushBlack);
  EXPECT_EQ(b.fade, 50);
  EXPECT_EQ(world.blocksLeft, 1);
  EXPECT_EQ(world.points, 200);
}

TEST_F(BlockContactTest, DestroyedBlocksAndRecordsPastTheCountAreNotTested) {
  world.blockTable[0].hits = 0;
  world.blockCount = 1;
  blockRebounds();
  EXPECT_EQ(world.ballVY, -2.0);
  EXPECT_EQ(world.blockTable[1].hits, 2);
}

TEST_F(BlockContactTest, BatReboundUsesTheTruncatedBallPosition) {
  world.batX = 90;
  world.batY = 207;
  world.batWidth = 40;
  world.batHeight = 5;
  world.ballX = 93.9;  // centre (100, 203)
  world.ballY = 196.99;
  world.ballVY = 2.0;
  EXPECT_EQ(batRebound(), 1);
  EXPECT_EQ(world.ballVY, -2.0);
}
