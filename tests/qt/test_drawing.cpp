// Whole frames as the game composes them in the Qt window's image, and the panel's font.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>
#include <cstring>

#include "core/levels.h"
#include "platform/qt/fonts.h"
#include "render/drawing_objects.h"
#include "render/field.h"
#include "render/panel.h"
#include "window_fixture.h"

namespace {

TEST(GameFontTest, PanelFontIsVerdanaOrTheDejaVuStandInWithATwentyPixelCell) {
  const QFont font = gameFont(panelFont);
  EXPECT_TRUE(font.family() == "Verdana" || font.family() == "DejaVu Sans") << font.family().toStdString();
  EXPECT_EQ(QFontInfo(font).family(), font.family());
  const QFontMetrics metrics(font);
  EXPECT_LE(metrics.height(), 20);
  EXPECT_GE(metrics.height(), 18);
}

// Whole frames, composed by the game in the window's off-screen image.
class FrameTest : public WindowTest {};

TEST_F(FrameTest, FieldFrameShowsFrameZoneBlocksBallAndBat) {
  startGame();
  ticks(2);
  EXPECT_EQ(pixel(10, 10), rgb(255, 255, 255));  // field frame
  EXPECT_EQ(pixel(409, 409), rgb(255, 255, 255));
  EXPECT_EQ(pixel(410, 410), rgb(0, 0, 0));  // beyond its exclusive corner
  EXPECT_EQ(pixel(11, 11), rgb(0, 0, 0));
  EXPECT_EQ(pixel(200, 210), rgb(255, 255, 255));  // bat zone frame
  EXPECT_EQ(pixel(300, 290), rgb(64, 15, 15));     // bat zone inside
  EXPECT_EQ(pixel(61, 55), rgb(0, 200, 0));        // first block, level 1
  EXPECT_EQ(pixel(83, 64), rgb(0, 200, 0));
  EXPECT_EQ(pixel(84, 64), rgb(0, 0, 0));
  const int bx = int(world.ballX), by = int(world.ballY);
  EXPECT_EQ(pixel(bx + 7, by), rgb(255, 255, 255));  // rim
  EXPECT_EQ(pixel(bx + 7, by + 7), rgb(0, 0, 200));  // inside
  EXPECT_EQ(pixel(world.batX, world.batY), rgb(255, 255, 255));
  EXPECT_EQ(pixel(world.batX + 39, world.batY + 4), rgb(255, 255, 255));
}

TEST_F(FrameTest, HitBlocksAreRedAndDestroyedOnesFadeThroughGreys) {
  startGame();
  Block& hit = world.blockTable[1];
  hit.hits = 1;
  hit.brush = BrushRed;
  Block& gone = world.blockTable[0];
  gone.hits = 0;
  gone.brush = BrushBlack;
  gone.fade = 50;
  midEnd().exposed();
  EXPECT_EQ(pixel(hit.rect.left + 5, hit.rect.top + 5), rgb(200, 0, 0));
  EXPECT_EQ(pixel(gone.rect.left + 5, gone.rect.top + 5), rgb(245, 245, 245));
  midEnd().exposed();
  EXPECT_EQ(pixel(gone.rect.left + 5, gone.rect.top + 5), rgb(240, 240, 240));
  EXPECT_EQ(gone.fade, 48);
  gone.fade = 0;
  midEnd().exposed();
  EXPECT_EQ(pixel(gone.rect.left + 5, gone.rect.top + 5), rgb(0, 0, 0));
}

TEST_F(FrameTest, BatLiesOverTheBallAndBallAndBatAreCutOffAtTheField) {
  startGame();
  world.ballX = world.batX + 13;
  world.ballY = world.batY - 10;  // the lower third of the ball under the bat
  midEnd().exposed();
  EXPECT_EQ(pixel(world.batX + 20, world.batY + 2), rgb(255, 255, 255));
  EXPECT_EQ(pixel(world.batX + 20, world.batY - 3), rgb(0, 0, 200));

  QImage before = image().copy();
  world.ballX = 400;  // half out over the right wall
  world.ballY = 100;
  midEnd().exposed();
  EXPECT_EQ(pixel(409, 107), rgb(0, 0, 200));  // drawn up to the field's last column
  for (int y = 100; y < 115; ++y)
    for (int x = 410; x < 415; ++x) EXPECT_EQ(pixel(x, y), before.pixel(x, y)) << x << "," << y;
}

// Whether any yellow text shows inside a rectangle of the panel.
bool hasText(const QImage& image, const QRect& area) {
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (image.pixel(x, y) == qRgb(255, 255, 0)) return true;
  return false;
}

TEST_F(FrameTest, PanelShowsTheTextsOfEachStateInTheirRectangles) {
  const QImage& shown = image();
  const QRect firstLineLeft(430, 20, 80, 30), firstLineRight(560, 20, 50, 30), secondLine(430, 50, 180, 30),
      listEnd(430, 360, 180, 30);
  // Name entry: "Enter Name: " and the typed name with its underscore.
  EXPECT_TRUE(hasText(shown, firstLineLeft));
  EXPECT_FALSE(hasText(shown, firstLineRight));
  EXPECT_TRUE(hasText(shown, secondLine));

  startGame();
  ticks(16);
  EXPECT_TRUE(hasText(shown, firstLineLeft));             // "Player"
  EXPECT_TRUE(hasText(shown, firstLineRight));            // "ABC"
  EXPECT_FALSE(hasText(shown, secondLine));               // a blank line
  EXPECT_TRUE(hasText(shown, QRect(430, 290, 180, 30)));  // "Balls"

  window().action(CommandHiScore)->trigger();
  EXPECT_FALSE(hasText(shown, QRect(430, 20, 180, 55)));  // the first line stays empty
  EXPECT_TRUE(hasText(shown, QRect(430, 80, 180, 25)));   // "High Score"
  EXPECT_TRUE(hasText(shown, QRect(430, 330, 180, 25)));  // the tenth entry
  EXPECT_FALSE(hasText(shown, listEnd));

  window().action(CommandNew)->trigger();
  world.gameState = StatePlaying;
  world.balls = 0;
  raiseEvent(EventBallLost);
  ASSERT_EQ(world.gameState, StateGameOver);
  midEnd().exposed();
  EXPECT_FALSE(hasText(shown, QRect(430, 20, 30, 30)));  // "Game Over", centred
  EXPECT_TRUE(hasText(shown, QRect(490, 20, 60, 30)));
  EXPECT_TRUE(hasText(shown, secondLine));  // "Your Score"
  EXPECT_TRUE(hasText(shown, listEnd));     // the list ends 30 pixels lower
}

}  // namespace
