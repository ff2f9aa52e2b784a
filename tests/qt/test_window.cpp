// The window as the player meets it: menu, keys, pointer, cursors, dialogs.
#include <gtest/gtest.h>

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTextBrowser>
#include <QTimer>
#include <QWindow>
#include <functional>

#include "platform/qt/help_viewer.h"
#include "shell/screenshot.h"
#include "shell/tables.h"
#include "window_fixture.h"

namespace {

constexpr QPoint inField(100, 100), inZone(200, 250), inPanel(500, 100), outside(415, 100);

TEST_F(WindowTest, OpensAsTheGameWindowWithA632By424ClientInNameEntry) {
  EXPECT_EQ(window().windowTitle(), "Vantrel");
  EXPECT_EQ(view().size(), QSize(632, 424));
  EXPECT_EQ(image().size(), QSize(632, 424));
  EXPECT_EQ(world.gameState, StateEnteringName);
  EXPECT_EQ(world.fieldRect, (Rect{10, 10, 410, 410}));
}

TEST_F(WindowTest, MenuHasTheGamesPopupsItemsAndSeparator) {
  QStringList seen;
  for (QAction* popup : window().menuBar()->actions()) {
    seen << "popup " + popup->text();
    for (QAction* item : popup->menu()->actions()) seen << (item->isSeparator() ? QString("separator") : item->text());
  }
  QStringList expected;
  for (const MenuEntry& e : menuTable()) {
    if (e.popup) expected << "popup " + QString(e.popup);
    expected << (e.text ? QString(e.text) : QString("separator"));
  }
  EXPECT_EQ(seen, expected);
  EXPECT_TRUE(seen.contains("&About "));
  for (QAction* item : window().findChildren<QAction*>()) {
    if (item == window().action(CommandFullScreen)) continue;
    EXPECT_TRUE(item->shortcut().isEmpty()) << "F1 and the rest belong to the game: " << item->text().toStdString();
  }
  EXPECT_EQ(window().action(CommandFullScreen)->shortcut(), QKeySequence(Qt::Key_F11)) << "the window's own key";
}

TEST_F(WindowTest, GameMenuCommandsChangeTheSessionAndExitCloses) {
  window().action(CommandNew)->trigger();
  EXPECT_EQ(world.gameState, StateReady);
  EXPECT_STREQ(playerName(), "NoName");
  window().action(CommandHiScore)->trigger();
  EXPECT_EQ(world.gameState, StateShowingHighScores);
  EXPECT_TRUE(QFile::exists(folder() + "/hiscore.txt"));
  window().action(CommandPlayersName)->trigger();
  EXPECT_EQ(world.gameState, StateEnteringName);

  window().action(CommandExit)->trigger();
  EXPECT_TRUE(window().isVisible()) << "the close is posted, not done inside the command";
  QApplication::processEvents();
  EXPECT_FALSE(window().isVisible());
}

TEST_F(WindowTest, NameEntryTakesLettersAndBackspaceAndEnterStartsTheGame) {
  for (Qt::Key k : {Qt::Key_A, Qt::Key_B, Qt::Key_C, Qt::Key_Backspace, Qt::Key_D}) key(k);
  key(Qt::Key_1, Qt::KeypadModifier);  // shares its code with 'a' but types nothing
  key(Qt::Key_F1);                     // the help key does nothing at all
  key(Qt::Key_Left);                   // no movement while typing
  EXPECT_EQ(world.gameState, StateEnteringName);
  EXPECT_EQ(shell.pointerX, 0);
  key(Qt::Key_Enter, Qt::KeypadModifier);
  EXPECT_EQ(world.gameState, StateReady);
  EXPECT_STREQ(playerName(), "ABD");
}

TEST_F(WindowTest, MovementKeysStepThePointerAndAutoRepeatCountsEveryPress) {
  startGame();
  moveTo(inZone);
  const int x = shell.pointerX, y = shell.pointerY;
  key(Qt::Key_Right);
  key(Qt::Key_Down);
  key(Qt::Key_Home);
  EXPECT_EQ(shell.pointerX, x);
  EXPECT_EQ(shell.pointerY, y);
  for (int i = 0; i < 3; ++i) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Left, Qt::NoModifier, QString(), true);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Left, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(&view(), &press);
    QApplication::sendEvent(&view(), &release);
  }
  EXPECT_EQ(shell.pointerX, x - 3);
  EXPECT_EQ(world.batX, x - 3 - world.batWidth / 2);
  key(Qt::Key_Space);
  EXPECT_EQ(world.gameState, StatePlaying);
}

TEST_F(WindowTest, KeysReachTheGameThroughTheWindowsFocusNotTheMenuBar) {
  window().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
  EXPECT_EQ(QApplication::focusWidget(), &view());
  startGame();
  moveTo(inZone);
  const int x = shell.pointerX;
  QTest::keyClick(window().windowHandle(), Qt::Key_Right);
  QTest::keyClick(window().windowHandle(), Qt::Key_Return);
  EXPECT_EQ(shell.pointerX, x + 1);
  EXPECT_EQ(world.gameState, StatePlaying);
}

// The menu bar holds the keyboard only while one of its menus is open; once
// it closes, by Escape or otherwise, or after a lone Alt, keys are the game's.
TEST_F(WindowTest, AfterTheMenuBarLetsGoKeysReachTheGameAndMnemonicsStillOpenMenus) {
  window().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
  QWindow* handle = window().windowHandle();
  const std::pair<const char*, std::function<void()>> endings[] = {
      {"Escape closes the Game menu",
       [&] {
         QTest::keyClick(handle, Qt::Key_G, Qt::AltModifier);
         ASSERT_NE(QApplication::activePopupWidget(), nullptr) << "Alt+G opens the Game menu";
         QTest::keyClick(QApplication::activePopupWidget()->windowHandle(), Qt::Key_Escape);
       }},
      {"a lone Alt",
       [&] {
         QTest::keyPress(handle, Qt::Key_Alt);
         QTest::keyRelease(handle, Qt::Key_Alt, Qt::AltModifier);
       }},
      {"a menu item chosen with the keyboard",
       [&] {
         QTest::keyClick(handle, Qt::Key_S, Qt::AltModifier);
         ASSERT_NE(QApplication::activePopupWidget(), nullptr) << "Alt+S opens the Speed menu";
         QTest::keyClick(QApplication::activePopupWidget()->windowHandle(), Qt::Key_F);
       }},
  };
  for (const auto& [how, ending] : endings) {
    window().action(CommandPlayersName)->trigger();
    ending();
    QApplication::processEvents();
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr) << how;
    EXPECT_EQ(QApplication::focusWidget(), &view()) << how;
    for (Qt::Key k : {Qt::Key_G, Qt::Key_E, Qt::Key_V, Qt::Key_S, Qt::Key_H}) QTest::keyClick(handle, k);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr) << how;
    QTest::keyClick(handle, Qt::Key_Return);
    EXPECT_STREQ(playerName(), "GEVSH") << how;
    EXPECT_EQ(world.gameState, StateReady) << how;
    moveTo(inZone);
    const int x = shell.pointerX;
    QTest::keyClick(handle, Qt::Key_Right);
    QTest::keyClick(handle, Qt::Key_Space);
    EXPECT_EQ(shell.pointerX, x + 1) << how;
    EXPECT_EQ(world.gameState, StatePlaying) << how;
  }
  EXPECT_EQ(world.speedFactor, 1.5) << "the Speed menu's F chose Fast";
}

TEST_F(WindowTest, APressAndReleaseLaunchOnlyWhenReleasedInTheBatZone) {
  struct Case {
    QPoint press, release;
    bool launches;
  };
  const Case cases[] = {
      {inZone, inZone, true},
      {inZone, QPoint(700, 500), false},  // released outside the window: still seen, but no launch
      {inField, inZone, true},
      {inZone, inPanel, false},
  };
  for (const Case& c : cases) {
    window().action(CommandNew)->trigger();
    QTest::mousePress(&view(), Qt::LeftButton, {}, c.press);
    QTest::mouseRelease(&view(), Qt::LeftButton, {}, c.release);
    EXPECT_EQ(world.gameState, c.launches ? StatePlaying : StateReady) << c.press.x() << "," << c.press.y();
    EXPECT_EQ(shell.pointerX, c.release.x());
    EXPECT_EQ(shell.pointerY, c.release.y());
  }
  window().action(CommandNew)->trigger();
  QTest::mousePress(&view(), Qt::RightButton, {}, inZone);
  QTest::mouseRelease(&view(), Qt::RightButton, {}, inZone);
  EXPECT_EQ(world.gameState, StateReady) << "only the left button clicks";
}

TEST_F(WindowTest, ThePointerShapeFollowsTheAreaAndIsInvisibleInTheBatZone) {
  const std::pair<QPoint, Qt::CursorShape> cases[] = {
      {inField, Qt::CrossCursor}, {inZone, Qt::BitmapCursor}, {inPanel, Qt::ArrowCursor}, {outside, Qt::ArrowCursor}};
  for (const auto& [point, shape] : cases) {
    moveTo(point);
    EXPECT_EQ(shell.pointerX, point.x());
    EXPECT_EQ(view().cursor().shape(), shape) << point.x() << "," << point.y();
  }
  moveTo(inZone);
  const QImage image = view().cursor().pixmap().toImage();
  ASSERT_EQ(image.size(), QSize(32, 32));
  EXPECT_EQ(view().cursor().hotSpot(), QPoint(0, 0));
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) ASSERT_EQ(qAlpha(image.pixel(x, y)), 0) << x << "," << y;
  EXPECT_EQ(world.batX, inZone.x() - world.batWidth / 2);
}

TEST_F(WindowTest, ShowCursorHidesAndRestoresThePointer) {
  moveTo(inField);
  window().frontEnd().showCursor(false);
  EXPECT_EQ(view().cursor().shape(), Qt::BlankCursor);
  window().frontEnd().showCursor(true);
  EXPECT_EQ(view().cursor().shape(), Qt::CrossCursor);
}

TEST_F(WindowTest, AboutBoxShowsNameVersionAndCreditsAndItsButtonClosesIt) {
  QStringList lines;
  QString caption, button;
  bool wasDefault = false;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    caption = dialog->windowTitle();
    for (QLabel* label : dialog->findChildren<QLabel*>()) lines << label->text();
    auto* ok = dialog->findChild<QPushButton*>();
    button = ok->text();
    wasDefault = ok->isDefault();
    ok->click();
  });
  window().action(CommandAbout)->trigger();
  EXPECT_EQ(caption, "About Vantrel");
  ASSERT_EQ(lines.size(), 5);
  EXPECT_EQ(lines[0], "Vantrel Game");
  EXPECT_EQ(lines[1], "Version 1.0");
  EXPECT_EQ(button, "OK");
  EXPECT_TRUE(wasDefault);
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

// A failed save is told in a box beside the game, once; the box takes neither
// the keyboard nor the timer.
TEST_F(WindowTest, AFailedSaveIsNoticedOnceWhileTheGameRunsOn) {
  window().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
  const QString table = folder() + "/hiscore.txt";
  ASSERT_TRUE(QDir().mkdir(table));  // a folder where the file should be
  testing::internal::CaptureStderr();
  window().action(CommandHiScore)->trigger();
  auto* notice = qobject_cast<QMessageBox*>(window().notice());
  ASSERT_NE(notice, nullptr);
  EXPECT_TRUE(notice->isVisible());
  EXPECT_TRUE(notice->text().contains(table)) << notice->text().toStdString();
  EXPECT_TRUE(notice->text().contains("kept until the program ends")) << notice->text().toStdString();
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  EXPECT_EQ(QApplication::focusWidget(), &view());

  window().startTicking();
  const int32_t before = world.tickCount;
  // Waits for a tick rather than for a time: a fixed wait can end, on a busy
  // machine, before the event loop ever looked at the timer again.
  EXPECT_TRUE(QTest::qWaitFor([before] { return world.tickCount > before; }, 10'000))
      << "the timer runs while the notice is shown";
  window().action(CommandNew)->trigger();
  key(Qt::Key_Space);  // keys still reach the game
  EXPECT_EQ(world.gameState, StateReady);
  window().action(CommandHiScore)->trigger();
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(window().findChildren<QMessageBox*>().size(), 1) << "once per run";
  notice->button(QMessageBox::Ok)->click();
  QApplication::processEvents();
  EXPECT_EQ(window().notice(), nullptr);
}

// A file's name is shown as it stands, whatever markup it holds.
TEST_F(WindowTest, TheNoticeShowsMarkupAsPlainText) {
  const QString text = "The high scores cannot be saved to /tmp/<h1>All your scores are saved.<!--/hiscore.txt.";
  window().frontEnd().showNotice(text.toUtf8().constData());
  auto* notice = qobject_cast<QMessageBox*>(window().notice());
  ASSERT_NE(notice, nullptr);
  const auto labels = notice->findChildren<QLabel*>();
  const auto shown = std::find_if(labels.begin(), labels.end(), [&](QLabel* l) { return l->text() == text; });
  ASSERT_NE(shown, labels.end());
  EXPECT_EQ((*shown)->textFormat(), Qt::PlainText);
  notice->button(QMessageBox::Ok)->click();
}

// The notice stands beside the game, hiding none of it, and once the player
// has clicked it Enter or Escape closes it.
TEST_F(WindowTest, TheSaveNoticeStandsBesideTheGameAndClosesByEnterOrEscape) {
  ASSERT_TRUE(QDir().mkdir(folder() + "/hiscore.txt"));
  for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
    SCOPED_TRACE(key);
    window().move(0, 0);
    testing::internal::CaptureStderr();
    window().frontEnd().showNotice("Vantrel cannot save the high-score table.");
    testing::internal::GetCapturedStderr();
    QWidget* notice = window().notice();
    ASSERT_NE(notice, nullptr);
    EXPECT_FALSE(notice->frameGeometry().intersects(window().frameGeometry()));
    notice->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(notice));
    QTest::keyClick(notice, key);
    QApplication::processEvents();
    EXPECT_EQ(window().notice(), nullptr);
  }
}

TEST_F(WindowTest, FindOpensTheBuiltInHelpWhosePagesAllExist) {
  window().action(CommandFind)->trigger();
  HelpViewer* help = window().helpViewer();
  ASSERT_NE(help, nullptr);
  EXPECT_TRUE(help->isVisible());
  EXPECT_EQ(help->browser()->source(), QUrl("qrc:/help/index.html"));

  QFile index(":/help/index.html");
  ASSERT_TRUE(index.open(QIODevice::ReadOnly));
  const QString contents = QString::fromUtf8(index.readAll());
  int pages = 0;
  for (const QRegularExpressionMatch& m : QRegularExpression("href=\"([^\"]+)\"").globalMatch(contents)) {
    ++pages;
    QFile page(":/help/" + m.captured(1));
    ASSERT_TRUE(page.open(QIODevice::ReadOnly)) << m.captured(1).toStdString();
    EXPECT_GT(page.size(), 500);
  }
  EXPECT_EQ(pages, 7);
  help->browser()->setSource(QUrl("qrc:/help/highscores.html"));
  EXPECT_TRUE(help->browser()->toPlainText().contains("Cheater"));
  window().close();
  EXPECT_FALSE(help->isVisible()) << "the help goes with the game";
}

TEST_F(WindowTest, AScreenshotDecodesToTheClientImage) {
  startGame();
  ticks(40);
  const std::string path = (folder() + "/shot.png").toStdString();
  std::string error;
  ASSERT_TRUE(saveScreenshot(view().surface().image(), path, error)) << error;
  EXPECT_EQ(QImage(QString::fromStdString(path)).convertToFormat(QImage::Format_RGB32), image());
}

// The picture at the largest whole scale the client holds, centred on black.
TEST_F(WindowTest, ALargerWindowShowsThePictureCentredOnBlackAndF11TogglesFullScreen) {
  window().resize(window().size() + QSize(1400, 900) - view().size());
  ASSERT_EQ(view().size(), QSize(1400, 900));
  const QImage shown = view().grab().toImage();
  EXPECT_EQ(shown.pixel(68 + 20, 26 + 20), qRgb(255, 255, 255));  // the field frame's corner, game pixel (10, 10)
  EXPECT_EQ(shown.pixel(68 + 22, 26 + 22), qRgb(0, 0, 0));
  EXPECT_EQ(shown.pixel(30, 10), qRgb(0, 0, 0));
  EXPECT_EQ(shown.pixel(1390, 890), qRgb(0, 0, 0));
  window().resize(100, 100);
  EXPECT_EQ(view().size(), QSize(632, 424)) << "one game pixel to a pixel at the least";

  window().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
  QTest::keyClick(window().windowHandle(), Qt::Key_F11);
  EXPECT_TRUE(window().isFullScreen());
  EXPECT_EQ(world.gameState, StateEnteringName) << "F11 types no letter";
  EXPECT_STREQ(playerName(), "");
  window().action(CommandFullScreen)->trigger();
  EXPECT_FALSE(window().isFullScreen());
}

TEST_F(WindowTest, AScaleLargerThanTheScreenIsLoweredWithOneLine) {
  MidEnd large("vantrel", 8);
  GameWindow big(large);
  testing::internal::CaptureStderr();
  big.fitScreen();
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "vantrel: --scale 8 does not fit the screen; the window opens at scale 1\n");  // offscreen is 800 by 600
  big.show();
  QApplication::processEvents();
  EXPECT_EQ(big.view().size(), QSize(632, 424));
}

// The colour picture at every size the desktop installs, each on a
// transparent ground, a green block where the 32 grid puts one.
TEST_F(WindowTest, TheIconIsInColourAtEverySizeOnATransparentGround) {
  const QIcon icon = gameIcon();
  const QList<QSize> sizes = icon.availableSizes();
  ASSERT_EQ(sizes.size(), 6);
  for (const int size : {16, 32, 48, 64, 128, 256}) {
    SCOPED_TRACE(size);
    EXPECT_TRUE(sizes.contains(QSize(size, size)));
    const QImage image = icon.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(image.size(), QSize(size, size));
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << "a transparent corner";
    const int block = (5 * size + 16) / 32;
    EXPECT_EQ(image.pixel(block, block), qRgb(0, 200, 0)) << "a fresh block";
  }
}

class ScaledWindowTest : public WindowTest {
  int scale() const override { return 2; }
};

TEST_F(ScaledWindowTest, EveryGamePixelIsTwoByTwoAndThePointerIsInGamePixels) {
  EXPECT_EQ(view().size(), QSize(1264, 848));
  EXPECT_EQ(image().size(), QSize(632, 424));
  moveTo(QPoint(401, 501));
  EXPECT_EQ(shell.pointerX, 200);
  EXPECT_EQ(shell.pointerY, 250);
  const QImage shown = view().grab().toImage();
  EXPECT_EQ(shown.pixel(20, 20), qRgb(255, 255, 255));  // the field frame's corner, game pixel (10, 10)
  EXPECT_EQ(shown.pixel(21, 21), qRgb(255, 255, 255));
  EXPECT_EQ(shown.pixel(22, 22), qRgb(0, 0, 0));
}

// A paint of a place that starts inside a game pixel, as Qt asks for after
// another window covered part of this one, paints every window pixel of the
// place from the game pixel under it: no column or row is left as it was.
class ScaledPaintTest : public WindowTest, public testing::WithParamInterface<int> {
 protected:
  int scale() const override { return GetParam(); }
};

TEST_P(ScaledPaintTest, APlaceStartingInsideAGamePixelIsPaintedWhole) {
  const int s = scale();
  ASSERT_EQ(view().size(), QSize(632 * s, 424 * s));
  startGame();
  ticks(2);
  // Across the field frame's corner, and one window pixel alone.
  for (const QRect place : {QRect(10 * s - 1, 10 * s + 1, 3 * s, 2 * s + 1), QRect(10 * s + 1, 10 * s + s - 1, 1, 1)}) {
    SCOPED_TRACE(testing::Message() << "place at " << place.x() << ", " << place.y());
    QImage shown(view().size(), QImage::Format_RGB32);
    const QRgb untouched = rgb(255, 0, 255);
    shown.fill(untouched);
    view().render(&shown, place.topLeft(), QRegion(place), QWidget::RenderFlags());
    for (int y = place.top(); y <= place.bottom(); ++y)
      for (int x = place.left(); x <= place.right(); ++x)
        EXPECT_EQ(shown.pixel(x, y), pixel(x / s, y / s)) << "window pixel " << x << ", " << y;
    EXPECT_EQ(shown.pixel(place.left() - 1, place.top()), untouched) << "nothing outside the place";
  }
}

INSTANTIATE_TEST_SUITE_P(Scales, ScaledPaintTest, testing::Values(2, 3));

}  // namespace
