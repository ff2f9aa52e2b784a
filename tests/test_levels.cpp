#include "core/levels.h"

#include <algorithm>

#include "core/world.h"
#include "game_fixture.h"

class LevelTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    computeLayout({0, 0, clientWidth, clientHeight});
  }
};

TEST_F(LevelTest, TwelveLevelsHaveTheirBlockAreas) {
  const struct {
    int32_t blocks, left, right, top, bottom;
  } levels[] = {
      {12, 61, 359, 55, 65},   {13, 49, 372, 35, 65},   {1, 189, 232, 335, 345}, {24, 61, 359, 55, 85},
      {26, 49, 372, 35, 105},  {2, 166, 254, 335, 345}, {36, 61, 359, 55, 105},  {39, 49, 372, 35, 145},
      {3, 144, 277, 335, 345}, {48, 61, 359, 55, 125},  {52, 49, 372, 35, 185},  {4, 121, 299, 335, 345},
  };
  for (int n = 1; n <= 12; ++n) {
    SCOPED_TRACE(n);
    const auto& l = levels[n - 1];
    buildLevel(n);
    ASSERT_EQ(world.blockCount, l.blocks);
    Rect area{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    for (int i = 0; i < world.blockCount; ++i) {
      const Block& b = world.blockTable[i];
      EXPECT_EQ(b.hits, 2);
      EXPECT_EQ(b.fade, 0);
      EXPECT_EQ(b.points, 100);
      EXPECT_EQ(b.brush, BrushGreen);
      area = {std::min(area.left, b.rect.left), std::min(area.top, b.rect.top), std::max(area.right, b.rect.right),
              std::max(area.bottom, b.rect.bottom)};
    }
    EXPECT_EQ(area, (Rect{l.left, l.top, l.right, l.bottom}));
  }
}

TEST_F(LevelTest, BlocksLieWherePatternsPutThem) {
  buildLevel(1);
  EXPECT_EQ(world.blockTable[0].rect, (Rect{61, 55, 84, 65}));
  EXPECT_EQ(world.blockTable[11].rect, (Rect{336, 55, 359, 65}));

  buildLevel(2);
  const int32_t row0[] = {49, 99, 149, 199, 249, 299, 349}, row1[] = {74, 124, 174, 224, 274, 324};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(world.blockTable[i].rect, (Rect{row0[i], 35, row0[i] + 23, 45}));
  for (int i = 0; i < 6; ++i) EXPECT_EQ(world.blockTable[7 + i].rect, (Rect{row1[i], 55, row1[i] + 23, 65}));

  buildLevel(3);
  EXPECT_EQ(world.blockTable[0].rect, (Rect{189, 335, 232, 345}));
  buildLevel(12);
  const int32_t lefts[] = {121, 166, 211, 256};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(world.blockTable[i].rect, (Rect{lefts[i], 335, lefts[i] + 43, 345}));
}

TEST_F(LevelTest, EveryBuildResetsBallBatAndGrantsButNotTheBatPosition) {
  world.batX = 77;
  world.batY = 222;
  world.ballVX = 1.5;
  world.batWidth = 3;
  buildLevel(5);
  EXPECT_EQ(world.ballVX, 0.0);
  EXPECT_EQ(world.ballVY, -2.0);
  EXPECT_EQ(world.ballSize, 15);
  EXPECT_EQ(world.ballX, 0.0);
  EXPECT_EQ(world.ballY, 395.0);
  EXPECT_EQ(world.batWidth, 40);
  EXPECT_EQ(world.batHeight, 5);
  EXPECT_EQ(world.bonusTimePerLevel, 60);
  EXPECT_EQ(world.bonusPerLevel, 100);
  EXPECT_EQ(world.batX, 77);
  EXPECT_EQ(world.batY, 222);
}

TEST_F(LevelTest, ASmallLevelAfterABigOneLeavesTheOldRecordsAlone) {
  buildLevel(11);
  world.blockTable[0] = Block{0, 7, 5, {1, 2, 3, 4}, BrushBlack};
  const Block old = world.blockTable[30];
  buildLevel(12);
  EXPECT_EQ(world.blockCount, 4);
  EXPECT_EQ(world.blockTable[0].hits, 2);  // rebuilt whatever it held
  EXPECT_EQ(world.blockTable[0].fade, 0);
  EXPECT_EQ(world.blockTable[0].brush, BrushGreen);
  EXPECT_EQ(world.blockTable[30].rect, old.rect);
}
