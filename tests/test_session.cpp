#include "core/session.h"

#include <fstream>
#include <sstream>

#include "core/world.h"
#include "game_fixture.h"
#include "physics/ball.h"
#include "scores/name_entry.h"

class SessionTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    computeLayout({0, 0, clientWidth, clientHeight});
    setSpeedFactor(1.0);
    raiseEvent(EventEnterName);
  }
  void typeName(const char* name) {
    for (const char* p = name; *p; ++p) nameEntryKey(*p);
  }
  void newGame(const char* name = "") {
    typeName(name);
    raiseEvent(EventNewGame);
  }
  void destroyAllBlocks() {
    for (int i = 0; i < world.blockCount; ++i) world.blockTable[i].hits = 0;
    world.blocksLeft = 0;
  }
  // A tick as the window runs it.
  void tick() {
    ++world.tickCount;
    physicsTick();
  }
  void loseBall() {
    world.gameState = StatePlaying;
    world.ballY = 394.0;
    world.ballVY = 2.0;
    tick();
  }
};

TEST_F(SessionTest, ANewGameStartsAtLevelOneWithTheBallOnTheBat) {
  pointerMoved(200, 250);
  newGame("ABCDEFGH");
  EXPECT_STREQ(playerName(), "ABCDEFGH");
  EXPECT_EQ(world.level, 1);
  EXPECT_EQ(world.blockCount, 12);
  EXPECT_EQ(world.blocksLeft, 12);
  EXPECT_EQ(world.points, 0);
  EXPECT_EQ(world.balls, 2);
  EXPECT_EQ(world.bonus, 100);
  EXPECT_EQ(world.bonusTime, 60);
  EXPECT_EQ(world.gameState, StateReady);
  EXPECT_EQ(world.ballX, world.batX + 13.0);
  EXPECT_EQ(world.ballY, world.batY - 15.0);
}

TEST_F(SessionTest, NothingTypedPlaysAsNoName) {
  newGame();
  EXPECT_STREQ(playerName(), "NoName");
}

TEST_F(SessionTest, LaunchOnlyFromTheTwoWaitingStates) {
  for (int32_t state = StateReady; state <= StateShowingHighScores; ++state) {
    SCOPED_TRACE(state);
    world.gameState = GameStateCode(state);
    raiseEvent(EventLaunch);
    const bool launches = state == StateReady || state == StateBallLost;
    EXPECT_EQ(world.gameState, launches ? StatePlaying : state);
  }
}

TEST_F(SessionTest, LostBallsTakeTheSparesThenEndTheGameWithTheScoreInTheTable) {
  pointerMoved(200, 250);
  newGame("ABC");
  world.points = 1500;
  for (int spare : {1, 0}) {
    loseBall();
    EXPECT_EQ(world.gameState, StateBallLost);
    EXPECT_EQ(world.balls, spare);
    EXPECT_LT(world.ballVY, 0);  // the floor turned it up; it leaves so again
    EXPECT_EQ(world.ballY, world.batY - 15.0);
  }
  loseBall();
  EXPECT_EQ(world.gameState, StateGameOver);
  EXPECT_STREQ(highScoreTable[0].name, "ABC");
  EXPECT_EQ(highScoreTable[0].score, 1500);
  std::ifstream file(hiscorePath(), std::ios::binary);
  std::string first;
  std::getline(file, first);
  EXPECT_EQ(first, "ABC   1500   7069 \r");
}

TEST_F(SessionTest, BallLostOutsidePlayChangesNothing) {
  newGame();
  raiseEvent(EventBallLost);
  EXPECT_EQ(world.gameState, StateReady);
  EXPECT_EQ(world.balls, 2);
}

TEST_F(SessionTest, ClearedLevelsCarryTheBonusOverAndTheLastEndsTheGame) {
  newGame();
  world.bonusTime = 25;
  world.gameState = StatePlaying;
  destroyAllBlocks();
  world.ballY = 200;
  tick();
  EXPECT_EQ(world.level, 2);
  EXPECT_EQ(world.bonus, 200);
  EXPECT_EQ(world.bonusTime, 85);
  EXPECT_EQ(world.gameState, StateReady);
  for (int level = 3; level <= 12; ++level) {
    destroyAllBlocks();
    raiseEvent(EventLevelCleared);
    EXPECT_EQ(world.level, level);
  }
  world.points = 4242;
  destroyAllBlocks();
  raiseEvent(EventLevelCleared);
  EXPECT_EQ(world.gameState, StateAllLevelsDone);
  EXPECT_EQ(world.level, 12);
  EXPECT_EQ(highScoreTable[0].score, 4242);
}

TEST_F(SessionTest, ANewGameInFlightStartsOverAndTheOldScoreGoesNowhere) {
  newGame();
  world.gameState = StatePlaying;
  world.points = 900;
  world.level = 7;
  raiseEvent(EventNewGame);
  EXPECT_EQ(world.level, 1);
  EXPECT_EQ(world.points, 0);
  EXPECT_EQ(highScoreTable[0].score, 0);  // never loaded: nothing was offered
}

TEST_F(SessionTest, BonusDecaysEveryHundredTicksInFlightOrAfterALoss) {
  const struct {
    GameStateCode state;
    int32_t tick, time, bonus, newTime, newBonus;
  } cases[] = {
      {StatePlaying, 100, 1, 100, 0, 95},  {StatePlaying, 100, 0, 5, 0, 0},      {StatePlaying, 100, 0, 0, 0, 0},
      {StatePlaying, 200, 7, 100, 6, 100}, {StatePlaying, 150, 7, 100, 7, 100},  {StateBallLost, 300, 2, 50, 1, 50},
      {StateReady, 100, 7, 100, 7, 100},   {StateGameOver, 100, 0, 100, 0, 100}, {StatePlaying, -100, 0, 10, 0, 5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.state << " at " << c.tick);
    world.gameState = c.state;
    world.tickCount = c.tick;
    world.bonusTime = c.time;
    world.bonus = c.bonus;
    decayBonus();
    EXPECT_EQ(world.bonusTime, c.newTime);
    EXPECT_EQ(world.bonus, c.newBonus);
  }
}

TEST_F(SessionTest, OutsidePlayATickOnlyDecays) {
  newGame();
  world.gameState = StateBallLost;
  world.ballVY = 2.0;
  const double y = world.ballY;
  world.tickCount = 99;
  tick();
  EXPECT_EQ(world.ballY, y);
  EXPECT_EQ(world.bonusTime, 59);
}

TEST_F(SessionTest, HighScoreViewOffersZeroAndRewritesTheFile) {
  newGame("ABC");
  raiseEvent(EventShowHighScores);
  EXPECT_EQ(world.gameState, StateShowingHighScores);
  for (const HighScoreEntry& e : highScoreTable) EXPECT_STREQ(e.name, "NoName");
  std::ifstream file(hiscorePath());
  EXPECT_TRUE(file.good());
}

TEST_F(SessionTest, EnterNameKeepsLettersOnlyWhileAlreadyEnteringThem) {
  typeName("AB");
  raiseEvent(EventEnterName);
  char typed[9];
  EXPECT_EQ(takeTypedName(typed), 2);
  raiseEvent(EventNewGame);
  raiseEvent(EventEnterName);
  EXPECT_EQ(world.gameState, StateEnteringName);
  EXPECT_EQ(takeTypedName(typed), 0);
}

TEST_F(SessionTest, UnknownEventsAreIgnored) {
  newGame();
  world.gameState = StatePlaying;
  for (int32_t e : {0, 49, 56, -1}) raiseEvent(GameEvent(e));  // from no message, but harmless
  EXPECT_EQ(world.gameState, StatePlaying);
  EXPECT_EQ(world.level, 1);
  EXPECT_EQ(world.balls, 2);
}
