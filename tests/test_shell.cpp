// The game's window logic, run through the mid-end at scale 1 (window points
// are game points) over a front end that records what it is asked.
#include "shell/input.h"

#include <algorithm>

#include "core/session.h"
#include "game_fixture.h"
#include "recording_front_end.h"
#include "scores/name_entry.h"
#include "shell/midend.h"
#include "shell/tables.h"

namespace {

bool inside(const Rect& r, const Rect& area) {
  return r.left >= area.left && r.top >= area.top && r.right <= area.right && r.bottom <= area.bottom;
}

class ShellTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    midEnd.create(window, drawing, midEnd.openingClientSize());
  }
  void send(MessageKind kind, int32_t x = 0, int32_t y = 0) { giveMessage(midEnd, {kind, x, y}); }
  void type(const char* keys) {
    for (const char* p = keys; *p; ++p) send(MessageKey, *p);
  }
  // Whether any place shown since the list was last cleared lies in the area.
  bool shownIn(const Rect& area) const {
    return std::any_of(window.shown.begin(), window.shown.end(), [&](const auto& s) { return inside(s.first, area); });
  }
  RecordingFrontEnd window;
  RecordingSurface drawing;
  MidEnd midEnd;
};

TEST_F(ShellTest, CreationOpensInNameEntryAtNormalSpeed) {
  EXPECT_EQ(gameState(), StateEnteringName);
  EXPECT_EQ(world.speedFactor, 1.0);
  EXPECT_EQ(shell.checkedSpeedItem, CommandNormal);
  EXPECT_EQ(tickCount(), 0);
  EXPECT_EQ(world.fieldRect, (Rect{10, 10, 410, 410}));
  // background, then one field and one panel frame
  ASSERT_EQ(window.shown.size(), 3u);
  EXPECT_EQ(window.shown[0].first, (Rect{0, 0, clientWidth, clientHeight}));
  EXPECT_EQ(window.shown[1].first, world.fieldRect);
  EXPECT_EQ(window.shown[2].first, world.panelRect);
}

// A ball in flight and points that change on every tick: each frame drawn
// shows something new.
TEST_F(ShellTest, TheFieldIsDrawnOnEvenTicksAndThePanelOnMultiplesOf16) {
  send(MessageCommand, CommandNew);
  send(MessageMove, 200, 250);
  send(MessageDown);
  send(MessageUp, 200, 250);
  ASSERT_EQ(gameState(), StatePlaying);
  for (int32_t tick = 1; tick <= 32; ++tick) {
    SCOPED_TRACE(tick);
    window.shown.clear();
    world.points += 100;
    send(MessageTick);
    EXPECT_EQ(shownIn(world.fieldRect), tick % 2 == 0);
    EXPECT_EQ(shownIn(world.panelRect), tick % 16 == 0);
  }
}

TEST_F(ShellTest, TickCountWrapsPastTheLargest32BitValue) {
  world.tickCount = INT32_MAX;
  send(MessageTick);
  EXPECT_EQ(tickCount(), INT32_MIN);
}

TEST_F(ShellTest, SpeedCommandsSetTheFactorAndMoveTheOneCheckMark) {
  const struct {
    Command command;
    double factor;
  } speeds[] = {{CommandSlow, 0.5}, {CommandFast, 1.5}, {CommandSonic, 2.0}, {CommandSonic, 2.0}, {CommandNormal, 1.0}};
  for (const auto& s : speeds) {
    SCOPED_TRACE(s.command);
    const Command before = shell.checkedSpeedItem;
    window.menuChecks.clear();
    send(MessageCommand, s.command);
    EXPECT_EQ(world.speedFactor, s.factor);
    EXPECT_EQ(shell.checkedSpeedItem, s.command);
    const std::vector<std::pair<Command, bool>> expected{{before, false}, {s.command, true}};
    EXPECT_EQ(window.menuChecks, expected);  // the same item unchecked then checked again
  }
}

// Each state shows in the panel; the field draws the same for all three.
TEST_F(ShellTest, SessionCommandsRaiseTheirEventsAndShowThem) {
  const struct {
    Command command;
    int32_t state;
  } commands[] = {
      {CommandNew, StateReady}, {CommandHiScore, StateShowingHighScores}, {CommandPlayersName, StateEnteringName}};
  for (const auto& c : commands) {
    SCOPED_TRACE(c.command);
    window.shown.clear();
    send(MessageCommand, c.command);
    EXPECT_EQ(gameState(), c.state);
    EXPECT_TRUE(shownIn(world.panelRect));
  }
  EXPECT_EQ(window.title, "Vantrel");
}

// A table that cannot be saved: a folder stands where the file should be.
TEST_F(ShellTest, AHighScoreFileProblemIsNoticedOncePerRun) {
  std::filesystem::create_directory(hiscorePath());
  testing::internal::CaptureStderr();
  send(MessageCommand, CommandHiScore);
  send(MessageCommand, CommandHiScore);
  type("AB\r");
  send(MessageCommand, CommandHiScore);
  testing::internal::GetCapturedStderr();
  ASSERT_EQ(window.notices.size(), 1u);
  EXPECT_NE(window.notices[0].find(hiscorePath()), std::string::npos) << window.notices[0];
  EXPECT_NE(window.notices[0].find("kept until the program ends"), std::string::npos) << window.notices[0];
  EXPECT_EQ(gameState(), StateShowingHighScores) << "play goes on";
}

TEST_F(ShellTest, OtherCommandsOnlyAskTheWindow) {
  window.shown.clear();
  for (int32_t c : {CommandAbout, CommandFind, CommandExit, CommandHelpKey, CommandBackspace, Command{7}}) {
    send(MessageCommand, c);
  }
  EXPECT_EQ(window.abouts, 1);
  EXPECT_EQ(window.helps, 1);
  EXPECT_EQ(window.closes, 1);
  EXPECT_TRUE(window.shown.empty());
  EXPECT_EQ(gameState(), StateEnteringName);
}

TEST_F(ShellTest, NameEntryTakesOnlyLetterKeysAndEnterStartsTheGame) {
  send(MessageKey, 0x61);  // keypad 1
  send(MessageKey, 0x70);  // F1, taken by the accelerator table
  send(MessageKey, 0x7A);  // F11, the window's own
  type("AB");
  send(MessageKey, 0x08);
  type("C");
  send(MessageKey, 0x26);  // the arrows do not move the pointer here
  EXPECT_EQ(shell.pointerY, 0);
  send(MessageKey, 0x0D);
  EXPECT_EQ(gameState(), StateReady);
  EXPECT_STREQ(playerName(), "AC");
}

TEST_F(ShellTest, MovementKeysStepThePointerAndWarpTheCursor) {
  send(MessageCommand, CommandNew);
  send(MessageMove, 200, 250);
  const struct {
    int32_t key, dx, dy;
  } keys[] = {{0x21, 1, -1}, {0x22, 1, 1}, {0x23, -1, 1}, {0x24, -1, -1}, {0x25, -1, 0},
              {0x26, 0, -1}, {0x27, 1, 0}, {0x28, 0, 1},  {0x41, 0, 0}};
  for (const auto& k : keys) {
    SCOPED_TRACE(k.key);
    const int32_t x = shell.pointerX, y = shell.pointerY;
    send(MessageKey, k.key);
    EXPECT_EQ(shell.pointerX, x + k.dx);
    EXPECT_EQ(shell.pointerY, y + k.dy);
    EXPECT_EQ(window.warps.back(), (Point{shell.pointerX, shell.pointerY}));
    EXPECT_EQ(world.batX, shell.pointerX - 20);
  }
}

TEST_F(ShellTest, KeysWhileMinimisedAreIgnored) {
  window.minimised = true;
  type("AB");
  char typed[9];
  EXPECT_EQ(takeTypedName(typed), 0);
  EXPECT_TRUE(window.warps.empty());
}

TEST_F(ShellTest, EnterAndSpaceLaunchAtThePointerInTheBatZone) {
  for (int32_t key : {0x0D, 0x20}) {
    send(MessageCommand, CommandNew);
    send(MessageMove, 500, 100);
    send(MessageKey, key);
    EXPECT_EQ(gameState(), StateReady);
    send(MessageMove, 200, 250);
    send(MessageKey, key);
    EXPECT_EQ(gameState(), StatePlaying);
  }
}

TEST_F(ShellTest, APressAndItsReleaseMakeOneClickWhereReleased) {
  const struct {
    bool press;
    int32_t x, y;
    bool launches;
  } cases[] = {{true, 200, 250, true}, {true, 200, 100, false}, {false, 200, 250, false}, {true, -5, 250, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.press << " " << c.x << "," << c.y);
    send(MessageCommand, CommandNew);
    if (c.press) send(MessageDown);
    send(MessageUp, c.x, c.y);
    EXPECT_EQ(gameState(), c.launches ? StatePlaying : StateReady);
    EXPECT_FALSE(shell.buttonDown);
  }
  EXPECT_EQ(window.captures, 3);
  EXPECT_EQ(window.releases, 4);
}

TEST_F(ShellTest, PointerMovesChooseTheCursorAndCarry16BitCoordinates) {
  const struct {
    int32_t x, y;
    CursorShape cursor;
  } cases[] = {{100, 100, CursorField},
               {100, 250, CursorBatZone},
               {500, 100, CursorArrow},
               {415, 100, CursorArrow},
               {65536 + 100, 250, CursorBatZone}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
    send(MessageMove, c.x, c.y);
    EXPECT_EQ(window.cursors.back(), c.cursor);
    EXPECT_EQ(shell.cursor, c.cursor);
  }
  send(MessageMove, -3, -4);
  EXPECT_EQ(shell.pointerX, -3);
  EXPECT_EQ(shell.pointerY, -4);
}

TEST_F(ShellTest, ActivationWithoutAMouseHidesAndShowsTheCursor) {
  window.mouse = false;
  midEnd.activated(false);
  EXPECT_FALSE(window.cursorShown);
  EXPECT_EQ(window.focuses, 0);
  midEnd.activated(true);
  EXPECT_TRUE(window.cursorShown);
  EXPECT_EQ(window.warps.size(), 1u);
  EXPECT_EQ(window.focuses, 1);
}

}  // namespace
