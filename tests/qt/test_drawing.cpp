// The drawing surface's pixel rules, and whole frames as the game composes them.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>
#include <cstring>

#include "core/levels.h"
#include "platform/qt/fonts.h"
#include "platform/qt/image_surface.h"
#include "render/drawing_objects.h"
#include "render/field.h"
#include "render/panel.h"
#include "window_fixture.h"

namespace {

constexpr QRgb background = qRgb(1, 2, 3);
constexpr Color white{255, 255, 255}, blue{0, 0, 200}, red{200, 0, 0}, yellow{255, 255, 0};

class SurfaceTest : public ::testing::Test {
 protected:
  SurfaceTest() : image(120, 80, QImage::Format_RGB32), surface(image) {
    image.fill(background);
    surface.setClip({0, 0, 120, 80});
  }
  QRgb at(int x, int y) {
    surface.flush();
    return image.pixel(x, y);
  }
  // The smallest rectangle holding every pixel that is no longer the background.
  QRect touched() {
    QRect box;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        if (at(x, y) != background) box |= QRect(x, y, 1, 1);
    return box;
  }
  QRect touchedIn(const QRect& area, QRgb colour) {
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y)
      for (int x = area.left(); x <= area.right(); ++x)
        if (at(x, y) == colour) box |= QRect(x, y, 1, 1);
    return box;
  }

  QImage image;
  ImageSurface surface;
};

TEST_F(SurfaceTest, RectangleHasItsOutlineOnTheOutermostPixelsAndExcludesRightAndBottom) {
  surface.rectangle({10, 20, 30, 35}, Pen{white}, Brush{red});
  EXPECT_EQ(touched(), QRect(QPoint(10, 20), QPoint(29, 34)));
  for (QPoint p : {QPoint(10, 20), QPoint(29, 20), QPoint(10, 34), QPoint(29, 34), QPoint(20, 20), QPoint(10, 27),
                   QPoint(29, 27), QPoint(20, 34)})
    EXPECT_EQ(at(p.x(), p.y()), qRgb(255, 255, 255)) << p.x() << "," << p.y();
  EXPECT_EQ(at(11, 21), qRgb(200, 0, 0));
  EXPECT_EQ(at(28, 33), qRgb(200, 0, 0));
}

TEST_F(SurfaceTest, FillCoversExactlyLeftToRightMinusOneWithoutOutline) {
  surface.fillRect({5, 6, 28, 16}, Brush{blue});
  EXPECT_EQ(touched(), QRect(QPoint(5, 6), QPoint(27, 15)));
  EXPECT_EQ(at(5, 6), qRgb(0, 0, 200));
  EXPECT_EQ(at(27, 15), qRgb(0, 0, 200));
}

TEST_F(SurfaceTest, EllipseIsASymmetricDiscInsideItsBoxWithAOnePixelRim) {
  surface.ellipse({40, 30, 55, 45}, Pen{white}, Brush{blue});
  EXPECT_EQ(touched(), QRect(40, 30, 15, 15));
  const QRgb rim = qRgb(255, 255, 255), inside = qRgb(0, 0, 200);
  for (QPoint p : {QPoint(47, 30), QPoint(47, 44), QPoint(40, 37), QPoint(54, 37)})
    EXPECT_EQ(at(p.x(), p.y()), rim) << p.x() << "," << p.y();
  for (QPoint p : {QPoint(47, 31), QPoint(47, 43), QPoint(41, 37), QPoint(53, 37), QPoint(47, 37)})
    EXPECT_EQ(at(p.x(), p.y()), inside) << p.x() << "," << p.y();
  for (QPoint corner : {QPoint(40, 30), QPoint(54, 30), QPoint(40, 44), QPoint(54, 44)})
    EXPECT_EQ(at(corner.x(), corner.y()), background);
  for (int dy = 0; dy < 15; ++dy)
    for (int dx = 0; dx < 15; ++dx) {
      EXPECT_EQ(at(40 + dx, 30 + dy), at(54 - dx, 30 + dy)) << dx << "," << dy;
      EXPECT_EQ(at(40 + dx, 30 + dy), at(40 + dx, 44 - dy)) << dx << "," << dy;
    }
}

TEST_F(SurfaceTest, NothingOutsideTheClipChanges) {
  surface.setClip({20, 20, 60, 60});
  surface.rectangle({0, 0, 120, 80}, Pen{white}, Brush{red});
  surface.fillRect({0, 0, 120, 80}, Brush{blue});
  surface.ellipse({50, 50, 65, 65}, Pen{white}, Brush{blue});
  surface.drawText({0, 20, 120, 50}, "Wide text across the clip", AlignLeft, panelFont, yellow);
  EXPECT_EQ(touched(), QRect(QPoint(20, 20), QPoint(59, 59)));
}

TEST_F(SurfaceTest, TextSitsAtTheTopOfItsRectangleAlignedAndCutOffAtItsEdges) {
  struct Case {
    TextAlign align;
    int fromLeft, fromRight;  // the greatest allowed gap to the rectangle's edge
  };
  for (const Case c : {Case{AlignLeft, 3, 120}, Case{AlignRight, 120, 3}}) {
    image.fill(background);
    surface.drawText({10, 10, 110, 40}, "Level", c.align, panelFont, yellow);
    const QRect ink = touchedIn(image.rect(), qRgb(255, 255, 0));
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_LE(ink.left() - 10, c.fromLeft);
    EXPECT_LE(109 - ink.right(), c.fromRight);
    EXPECT_GE(ink.top(), 10);
    EXPECT_LT(ink.bottom(), 30);  // within the 20-pixel cell at the top
  }
  image.fill(background);
  surface.drawText({10, 10, 110, 40}, "High Score", AlignCenter, panelFont, yellow);
  const QRect ink = touchedIn(image.rect(), qRgb(255, 255, 0));
  EXPECT_LE(std::abs((ink.left() - 10) - (109 - ink.right())), 3);

  image.fill(background);
  surface.drawText({10, 10, 40, 40}, "Cut off at the edge", AlignLeft, panelFont, yellow);
  EXPECT_TRUE(QRect(QPoint(10, 10), QPoint(39, 39)).contains(touched()));
}

// A frame drawn over the last one leaves the pixels a frame drawn on a blank
// image makes: the ball and bat moving, leaving the field, blocks hit and
// fading, the panel's figures changing, now and then a frame with no change.
TEST(KeptFrameTest, EachFrameDrawnOverTheLastIsTheFrameDrawnAfresh) {
  resetGame();
  computeLayout({0, 0, 632, 424});
  world.level = 4;
  buildLevel(4);
  world.blocksLeft = world.blockCount;
  world.gameState = StatePlaying;
  std::strcpy(playerName(), "KEPT");
  QImage kept(632, 424, QImage::Format_RGB32);
  kept.fill(Qt::black);
  ImageSurface keptSurface(kept);
  auto same = [](const QImage& a, const QImage& b, const Rect& r) {
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x)
        if (a.pixel(x, y) != b.pixel(x, y)) return testing::AssertionFailure() << "differs at " << x << "," << y;
    return testing::AssertionSuccess();
  };
  for (int frame = 0; frame < 60; ++frame) {
    if (frame % 10 != 9) {              // every tenth frame repeats the last one
      world.ballX = 20 + frame * 6.7;   // off the right wall at the end
      world.ballY = 300 - frame * 5.3;  // and over the top one
      world.batX = 10 + (frame * 37) % 380;
    }
    if (frame == 10) world.blockTable[2] = {1, 0, 100, world.blockTable[2].rect, BrushRed};
    if (frame == 20) world.blockTable[2] = {0, 50, 100, world.blockTable[2].rect, BrushBlack};
    world.points = frame / 3 * 100;
    const bool panel = frame % 4 == 0;

    const GameWorld before = world;  // drawing counts the fades down: both draw the same frame
    QImage fresh(632, 424, QImage::Format_RGB32);
    fresh.fill(Qt::black);
    ImageSurface freshSurface(fresh);
    drawField(freshSurface);
    drawPanel(freshSurface);
    freshSurface.flush();
    world = before;
    drawField(keptSurface);
    if (panel) drawPanel(keptSurface);
    keptSurface.flush();
    ASSERT_TRUE(same(kept, fresh, world.fieldRect)) << "field, frame " << frame;
    if (panel) {
      ASSERT_TRUE(same(kept, fresh, world.panelRect)) << "panel, frame " << frame;
    }
  }
  resetGame();
}

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
  showField(window().host());
  EXPECT_EQ(pixel(hit.rect.left + 5, hit.rect.top + 5), rgb(200, 0, 0));
  EXPECT_EQ(pixel(gone.rect.left + 5, gone.rect.top + 5), rgb(245, 245, 245));
  showField(window().host());
  EXPECT_EQ(pixel(gone.rect.left + 5, gone.rect.top + 5), rgb(240, 240, 240));
  view().grab();  // showing the image again is no new frame: the fade stays
  EXPECT_EQ(gone.fade, 48);
  gone.fade = 0;
  showField(window().host());
  EXPECT_EQ(pixel(gone.rect.left + 5, gone.rect.top + 5), rgb(0, 0, 0));
}

TEST_F(FrameTest, BatLiesOverTheBallAndBallAndBatAreCutOffAtTheField) {
  startGame();
  world.ballX = world.batX + 13;
  world.ballY = world.batY - 10;  // the lower third of the ball under the bat
  showField(window().host());
  EXPECT_EQ(pixel(world.batX + 20, world.batY + 2), rgb(255, 255, 255));
  EXPECT_EQ(pixel(world.batX + 20, world.batY - 3), rgb(0, 0, 200));

  QImage before = view().image().copy();
  world.ballX = 400;  // half out over the right wall
  world.ballY = 100;
  showField(window().host());
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
  const QImage& image = view().image();
  const QRect firstLineLeft(430, 20, 80, 30), firstLineRight(560, 20, 50, 30), secondLine(430, 50, 180, 30),
      listEnd(430, 360, 180, 30);
  // Name entry: "Enter Name: " and the typed name with its underscore.
  EXPECT_TRUE(hasText(image, firstLineLeft));
  EXPECT_FALSE(hasText(image, firstLineRight));
  EXPECT_TRUE(hasText(image, secondLine));

  startGame();
  ticks(16);
  EXPECT_TRUE(hasText(image, firstLineLeft));             // "Player"
  EXPECT_TRUE(hasText(image, firstLineRight));            // "ABC"
  EXPECT_FALSE(hasText(image, secondLine));               // a blank line
  EXPECT_TRUE(hasText(image, QRect(430, 290, 180, 30)));  // "Balls"

  window().action(CommandHiScore)->trigger();
  EXPECT_FALSE(hasText(image, QRect(430, 20, 180, 55)));  // the first line stays empty
  EXPECT_TRUE(hasText(image, QRect(430, 80, 180, 25)));   // "High Score"
  EXPECT_TRUE(hasText(image, QRect(430, 330, 180, 25)));  // the tenth entry
  EXPECT_FALSE(hasText(image, listEnd));

  window().action(CommandNew)->trigger();
  world.gameState = StatePlaying;
  world.balls = 0;
  raiseEvent(EventBallLost);
  ASSERT_EQ(world.gameState, StateGameOver);
  showPanel(window().host());
  EXPECT_FALSE(hasText(image, QRect(430, 20, 30, 30)));  // "Game Over", centred
  EXPECT_TRUE(hasText(image, QRect(490, 20, 60, 30)));
  EXPECT_TRUE(hasText(image, secondLine));  // "Your Score"
  EXPECT_TRUE(hasText(image, listEnd));     // the list ends 30 pixels lower
}

}  // namespace
