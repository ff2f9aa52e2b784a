// Each test gets a fresh game and window, with the high-score table in a
// temporary folder of its own. The timer never runs: tests tick by hand.
#pragma once
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "core/session.h"
#include "core/world.h"
#include "platform/qt/game_window.h"
#include "scores/high_scores.h"
#include "shell/input.h"
#include "shell/midend.h"
#include "shell/tables.h"
#include "shell/window_procedure.h"

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder_.isValid());
    resetGame();
    setHighScorePath(folder_.filePath("hiscore.txt").toStdString());
    midEnd_ = std::make_unique<MidEnd>("vantrel", scale());
    window_ = std::make_unique<GameWindow>(*midEnd_);
    window_->show();
    QApplication::processEvents();
  }
  void TearDown() override {
    window_.reset();
    midEnd_.reset();
    QApplication::processEvents();
    resetGame();
  }
  virtual int scale() const { return 1; }

  MidEnd& midEnd() { return *midEnd_; }
  GameWindow& window() { return *window_; }
  GameView& view() { return window_->view(); }
  QImage image() { return view().image(); }
  QRgb pixel(int x, int y) { return image().pixel(x, y); }
  void ticks(int n) {
    for (int i = 0; i < n; ++i) midEnd_->tick();
  }
  void key(Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) { QTest::keyClick(&view(), k, modifiers); }
  // Types a name and presses Enter: a new game, the ball resting on the bat.
  void startGame(const char* name = "ABC") {
    for (const char* c = name; *c; ++c) key(Qt::Key(Qt::Key_A + (*c - 'A')));
    key(Qt::Key_Return);
    ASSERT_EQ(world.gameState, StateReady);
  }
  void moveTo(QPoint p) { QTest::mouseMove(&view(), p); }
  QString folder() const { return folder_.path(); }

 private:
  QTemporaryDir folder_;
  std::unique_ptr<MidEnd> midEnd_;
  std::unique_ptr<GameWindow> window_;
};

constexpr QRgb rgb(int r, int g, int b) { return qRgb(r, g, b); }
