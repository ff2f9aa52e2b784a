// What every window does the same, whatever its platform: it opens on the
// game in name entry, each timer expiry is one tick, a played script stands
// for the player until it ends, a live Exit or the close box during play
// ends the program with the played run's exit code, an exposure repaints
// through the paint handler while the window's own frames do not, and it
// takes frames at every client size and scale, never smaller than the
// picture, which it shows at the largest whole scale that fits, centred.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <sstream>

#include "contract.h"
#include "core/keys.h"
#include "core/session.h"
#include "game_fixture.h"
#include "shell/input.h"

namespace {

class WindowContract : public GameTest {
 protected:
  // A window on a mid-end at the scale, playing the script when one is given.
  WindowDriver& open(int32_t scale = 1, const std::string& script = {}, const std::string& screenshot = {},
                     bool pauseWhenInactive = false) {
    window_.reset();
    midEnd_ = std::make_unique<MidEnd>("vantrel", scale);
    Options options;
    options.hiscorePath = hiscorePath();
    options.pauseWhenInactive = pauseWhenInactive;
    if (!script.empty()) {
      options.playPath = (folder() / "script.vsim").string();
      std::ofstream(options.playPath, std::ios::binary) << script;
      options.screenshotPath = screenshot;
    }
    std::string error;
    EXPECT_TRUE(midEnd_->prepare(options, error)) << error;
    window_ = openWindow(*midEnd_);
    return *window_;
  }
  void TearDown() override {
    window_.reset();
    midEnd_.reset();
    GameTest::TearDown();
  }
  MidEnd& midEnd() { return *midEnd_; }

 private:
  std::unique_ptr<MidEnd> midEnd_;
  std::unique_ptr<WindowDriver> window_;
};

TEST_F(WindowContract, OpensOnTheGameInNameEntryAndEachExpiryIsATick) {
  for (const int32_t scale : {1, 2}) {
    SCOPED_TRACE(testing::Message() << "scale " << scale);
    WindowDriver& window = open(scale);
    EXPECT_EQ(gameState(), StateEnteringName);
    EXPECT_EQ(world.fieldRect, (Rect{10, 10, 410, 410}));
    const PixelImage image = midEnd().image();
    EXPECT_EQ(image.at(10, 10), 0xFFFFFFu) << "the field's frame is drawn";
    const int32_t before = tickCount();
    for (int i = 0; i < 5; ++i) window.tick();
    EXPECT_EQ(tickCount(), before + 5);
  }
}

TEST_F(WindowContract, PointsAreTakenInWholeGamePixels) {
  for (const int32_t scale : {1, 2, 3}) {
    SCOPED_TRACE(testing::Message() << "scale " << scale);
    WindowDriver& window = open(scale);
    // A screen too small for the scale lowers it: the window says where the picture went.
    const int32_t s = midEnd().scale();
    const Rect picture = midEnd().pictureArea();
    window.movePointer({picture.left + 200 * s + s - 1, picture.top + 250 * s});
    EXPECT_EQ(shell.pointerX, 200);
    EXPECT_EQ(shell.pointerY, 250);
  }
}

TEST_F(WindowContract, APlayedScriptStandsForThePlayerUntilItEnds) {
  WindowDriver& window = open(1, "type AB\nkey 0x0D\ntick 2\n");
  window.choose(CommandHiScore);  // live input is dropped while the script plays
  EXPECT_EQ(gameState(), StateEnteringName);
  window.tick();
  EXPECT_EQ(gameState(), StateReady);
  EXPECT_STREQ(playerName(), "AB");
  EXPECT_EQ(tickCount(), 1);
  window.tick();
  window.tick();  // the script ends: no tick in this expiry
  EXPECT_EQ(tickCount(), 2);
  EXPECT_TRUE(window.isOpen());
  window.tick();
  EXPECT_EQ(tickCount(), 3);
  window.choose(CommandHiScore);
  EXPECT_EQ(gameState(), StateShowingHighScores);
}

TEST_F(WindowContract, APlayedAboutBoxHoldsTheScriptUntilItsBoxCloses) {
  WindowDriver& window = open(1, "command 36\ntick 3\n");
  int32_t ticksWhileOpen = -1;
  window.answerAbout([&] {
    window.tick();  // an expiry while the box is open plays nothing
    ticksWhileOpen = tickCount();
  });
  window.tick();
  EXPECT_EQ(ticksWhileOpen, 0);
  EXPECT_EQ(tickCount(), 1);
}

// See Closing during play in docs/behaviour.md.
TEST_F(WindowContract, ALiveExitOrTheCloseBoxDuringPlayEndsTheProgramWithThePlayedRunsCode) {
  struct Case {
    bool closeBox;
    bool screenshot;
    int exitCode;  // a screenshot still waiting is not written
  };
  for (const Case& c : {Case{false, false, 0}, Case{true, false, 0}, Case{false, true, 1}, Case{true, true, 1}}) {
    SCOPED_TRACE(testing::Message() << (c.closeBox ? "close box" : "Exit") << (c.screenshot ? ", screenshot" : ""));
    const std::string shot = (folder() / "shot.png").string();
    WindowDriver& window = open(1, "tick 100000\n", c.screenshot ? shot : "");
    window.tick();
    c.closeBox ? window.pressCloseBox() : window.choose(CommandExit);
    window.settle();
    EXPECT_FALSE(window.isOpen());
    EXPECT_EQ(midEnd().exitCode(), c.exitCode);
    EXPECT_FALSE(std::filesystem::exists(shot));
  }
}

// See Pausing while away in docs/behaviour.md.
TEST_F(WindowContract, PauseWhenInactiveHoldsTheGameWhileThePlayerIsAwayOnlyOnRequest) {
  for (const bool option : {false, true}) {
    SCOPED_TRACE(testing::Message() << "--pause-when-inactive " << option);
    WindowDriver& window = open(1, {}, {}, option);
    int32_t ticks = 0;
    // One expiry while away, and one on return.
    const auto away = [&](const char* how, const std::function<void()>& go, const std::function<void()>& back) {
      SCOPED_TRACE(how);
      go();
      window.tick();
      ticks += option ? 0 : 1;
      EXPECT_EQ(tickCount(), ticks);
      EXPECT_EQ(window.title(), option ? "Vantrel - Paused" : "Vantrel");
      back();
      window.tick();
      EXPECT_EQ(tickCount(), ++ticks);
      EXPECT_EQ(window.title(), "Vantrel");
    };
    away(
        "another window", [&] { window.activate(false); }, [&] { window.activate(true); });
    away(
        "minimised", [&] { window.minimise(true); },
        [&] {
          window.minimise(false);
          window.activate(true);
        });
    int32_t ticksDuringAbout = -1;
    window.answerAbout([&] {
      window.tick();
      ticksDuringAbout = tickCount();
    });
    window.choose(CommandAbout);
    EXPECT_EQ(ticksDuringAbout, option ? ticks : ticks + 1) << "the About box";
  }
}

TEST_F(WindowContract, KeysWhileMinimisedAreIgnored) {
  WindowDriver& window = open();
  window.minimise(true);
  window.pressKey('A');
  window.pressKey(KeyReturn);
  EXPECT_EQ(gameState(), StateEnteringName);
  window.minimise(false);
  window.pressKey('B');
  window.pressKey(KeyReturn);
  EXPECT_EQ(gameState(), StateReady);
  EXPECT_STREQ(playerName(), "B");
}

// Choosing the checked item again keeps its mark.
TEST_F(WindowContract, EachSpeedItemSetsItsSpeedAndCarriesTheOnlyCheckMark) {
  WindowDriver& window = open();
  const std::pair<Command, double> speeds[] = {
      {CommandSlow, 0.5}, {CommandNormal, 1.0}, {CommandFast, 1.5}, {CommandSonic, 2.0}};
  const auto onlyChecked = [&](Command checked) {
    for (const auto& [speed, factor] : speeds) {
      EXPECT_EQ(window.isChecked(speed), speed == checked) << "command " << speed;
      if (speed == checked) {
        EXPECT_EQ(world.speedFactor, factor);
      }
    }
  };
  onlyChecked(CommandNormal);
  for (const Command chosen : {CommandSlow, CommandFast, CommandSonic, CommandSonic, CommandNormal}) {
    window.choose(chosen);
    onlyChecked(chosen);
  }
}

// See Repaints in docs/behaviour.md.
TEST_F(WindowContract, AnExposureDrawsAFieldFrameButTheWindowsOwnFramesDrawNoMore) {
  WindowDriver& window = open();
  window.choose(CommandNew);
  Block& gone = world.blockTable[0];
  gone.fade = 50;
  window.tick();
  window.tick();  // one field frame
  EXPECT_EQ(gone.fade, 49);
  window.settle();  // the frame shown, however the platform shows it
  EXPECT_EQ(gone.fade, 49);
  window.expose();
  EXPECT_EQ(gone.fade, 48);
  EXPECT_EQ(midEnd().image().at(gone.rect.left + 1, gone.rect.top + 1), 0xF0F0F0u);
}

// A client narrower than the panel's left edge once ended the Win32 window.
TEST_F(WindowContract, EveryClientSizeFromNothingUpTicksAndPaints) {
  for (const int32_t scale : {1, 2}) {
    WindowDriver& window = open(scale);
    for (const int32_t width : {0, 1, 10, 11, 300, 409, 410, 411, 419, 420, 421, 631, 632, 900}) {
      for (const int32_t height : {0, 1, 10, 11, 200, 410, 411, 424, 600}) {
        SCOPED_TRACE(testing::Message() << width << "x" << height << " at scale " << scale);
        window.resizeClient({width, height});
        for (int i = 0; i < 16; ++i) window.tick();
        window.expose();
        ASSERT_TRUE(window.isOpen());
        const PixelImage image = midEnd().image();
        EXPECT_EQ(image.width, clientWidth);
        EXPECT_EQ(image.height, clientHeight);
        const Point client = window.clientSize();
        EXPECT_GE(client.x, clientWidth) << "one game pixel to a pixel at the least";
        EXPECT_GE(client.y, clientHeight);
      }
    }
  }
}

// Within what a 1024 by 768 screen holds; larger scales are the mid-end's tests'.
TEST_F(WindowContract, ALargerWindowShowsThePictureCentredAtTheLargestWholeScale) {
  WindowDriver& window = open();
  const struct {
    Point client;
    int32_t scale;
    Point corner;  // the picture's top left
  } cases[] = {{{1000, 700}, 1, {184, 138}}, {{640, 430}, 1, {4, 3}}, {{632, 424}, 1, {0, 0}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.client.x << "x" << c.client.y);
    window.resizeClient(c.client);
    window.settle();
    ASSERT_EQ(window.clientSize(), c.client);
    EXPECT_EQ(midEnd().scale(), c.scale);
    window.movePointer({c.corner.x + 200 * c.scale + c.scale - 1, c.corner.y + 250 * c.scale});
    EXPECT_EQ(shell.pointerX, 200);
    EXPECT_EQ(shell.pointerY, 250);
  }
}

}  // namespace
