// The mid-end: the run a window hands its events to. A front end here
// records what it is asked, over an image that only fills draw into.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "core/keys.h"
#include "core/session.h"
#include "core/world.h"
#include "game_fixture.h"
#include "shell/input.h"
#include "shell/midend.h"
#include "shell/null_front_end.h"
#include "shell/recording.h"
#include "shell/screenshot.h"

namespace {

// An image drawn into by fills and rectangles alone: enough to see which
// pixels a frame changed.
class FillSurface final : public DrawingSurface {
 public:
  void resize(int32_t width, int32_t height) override {
    width_ = std::max(width, 1);
    height_ = std::max(height, 1);
    pixels_.assign(static_cast<size_t>(width_) * height_, 0);
    clip_ = {0, 0, width_, height_};
  }
  PixelImage image() override { return {pixels_.data(), width_, height_, width_}; }
  void setClip(const Rect& clip) override { clip_ = clip; }
  void rectangle(const Rect& r, const Pen& pen, const Brush& brush) override {
    fillRect(r, Brush{pen.color});
    fillRect({r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}, brush);
  }
  void fillRect(const Rect& r, const Brush& brush) override {
    const uint32_t colour = uint32_t(brush.color.r) << 16 | brush.color.g << 8 | brush.color.b;
    for (int32_t y = std::max({r.top, clip_.top, 0}); y < std::min({r.bottom, clip_.bottom, height_}); ++y)
      for (int32_t x = std::max({r.left, clip_.left, 0}); x < std::min({r.right, clip_.right, width_}); ++x)
        pixels_[static_cast<size_t>(y) * width_ + x] = colour;
  }
  void ellipse(const Rect& r, const Pen& pen, const Brush&) override { fillRect(r, Brush{pen.color}); }
  void drawText(const Rect&, std::string_view, TextAlign, const Font&, Color) override {}

 private:
  std::vector<uint32_t> pixels_;
  int32_t width_ = 0, height_ = 0;
  Rect clip_{};
};

class TestFrontEnd final : public NullFrontEnd {
 public:
  std::vector<std::pair<Rect, Rect>> shown;  // image area, window area
  std::vector<Point> warps;
  std::string told;
  int posted = 0, ended = 0, abouts = 0;

  void showPixels(const Rect& imageArea, const Rect& windowArea) override { shown.emplace_back(imageArea, windowArea); }
  void postClose() override { ++posted; }
  void endProgram() override { ++ended; }
  void showAbout() override { ++abouts; }
  void warpCursor(Point p) override { warps.push_back(p); }
  void tell(const std::string& text, bool) override { told += text; }
};

class MidEndTest : public GameTest {
 protected:
  // A mid-end at the scale, playing the script when one is given.
  MidEnd& start(int32_t scale = 1, const std::string& script = {}, const std::string& screenshot = {}) {
    midEnd_ = std::make_unique<MidEnd>("vantrel", scale);
    if (!script.empty()) {
      text_.clear();
      text_.str(script);
      auto playback = std::make_unique<ScriptPlayback>();
      playback->open(text_);
      midEnd_->play(std::move(playback), screenshot);
    }
    midEnd_->create(frontEnd, surface, midEnd_->openingClientSize());
    frontEnd.shown.clear();
    return *midEnd_;
  }
  TestFrontEnd frontEnd;
  FillSurface surface;

 private:
  std::istringstream text_;
  std::unique_ptr<MidEnd> midEnd_;
};

TEST_F(MidEndTest, OnlyThePlacesAFrameChangedAreDrawnAndShown) {
  MidEnd& midEnd = start();
  midEnd.keyPressed(KeyReturn);  // a new game: the ball rests on the bat
  world.batX = 150;
  midEnd.tick();
  midEnd.tick();  // its first field frame
  frontEnd.shown.clear();
  midEnd.tick();
  midEnd.tick();  // a field frame, nothing moved
  EXPECT_TRUE(frontEnd.shown.empty());

  world.blockTable[0].brush = BrushRed;
  world.batX += 30;  // the ball stays: the bat's old and new spots make one place
  midEnd.tick();
  midEnd.tick();
  ASSERT_EQ(frontEnd.shown.size(), 2u);
  EXPECT_EQ(frontEnd.shown[0].first, world.blockTable[0].rect);
  EXPECT_EQ(frontEnd.shown[1].first,
            (Rect{world.batX - 30, world.batY, world.batX + world.batWidth, world.batY + world.batHeight}));
  const PixelImage image = surface.image();
  EXPECT_EQ(image.at(world.blockTable[0].rect.left + 1, world.blockTable[0].rect.top + 1), 0xC80000u);
  EXPECT_EQ(image.at(world.batX - 30, world.batY + 1), 0x400F0Fu) << "the bat zone again where the bat was";
  EXPECT_EQ(image.at(world.batX + world.batWidth - 1, world.batY + 1), 0xFFFFFFu);

  world.blockTable[0] = {0, 0, 0, world.blockTable[0].rect, BrushBlack};  // one operation fewer
  midEnd.tick();
  midEnd.tick();
  ASSERT_EQ(frontEnd.shown.size(), 3u);
  EXPECT_EQ(frontEnd.shown[2].first, world.fieldRect) << "a frame of another length is drawn whole";
}

TEST_F(MidEndTest, AnExposureShowsEveryPixelAgainAndDrawsAFieldFrame) {
  MidEnd& midEnd = start();
  midEnd.commandChosen(CommandNew);
  world.blockTable[0].fade = 10;
  frontEnd.shown.clear();
  midEnd.exposed();
  EXPECT_EQ(world.blockTable[0].fade, 9);
  ASSERT_FALSE(frontEnd.shown.empty());
  EXPECT_EQ(frontEnd.shown[0].first, (Rect{0, 0, clientWidth, clientHeight}));
}

TEST_F(MidEndTest, ScaleTurnsWindowPointsIntoWholeGamePixelsAndBack) {
  MidEnd& midEnd = start(3);
  EXPECT_EQ(midEnd.openingClientSize(), (Point{3 * clientWidth, 3 * clientHeight}));
  midEnd.keyPressed(KeyReturn);
  const struct {
    Point window, game;
  } cases[] = {
      {{600, 750}, {200, 250}}, {{602, 752}, {200, 250}}, {{0, 0}, {0, 0}}, {{-1, -3}, {-1, -1}}, {{-4, -6}, {-2, -2}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.window.x << "," << c.window.y);
    midEnd.pointerMoved(c.window);
    EXPECT_EQ(shell.pointerX, c.game.x);
    EXPECT_EQ(shell.pointerY, c.game.y);
  }
  midEnd.keyPressed(KeyRight);
  EXPECT_EQ(frontEnd.warps.back(), (Point{-3, -6})) << "the pointer at game pixel (-1, -2) after the step";
  frontEnd.shown.clear();
  world.batX += 30;
  midEnd.tick();
  midEnd.tick();
  for (const auto& [image, window] : frontEnd.shown)
    EXPECT_EQ(window, (Rect{3 * image.left, 3 * image.top, 3 * image.right, 3 * image.bottom}));
  midEnd.resized({3 * 100 + 2, 3 * 50 + 1});
  EXPECT_EQ(surface.image().width, 100) << "whole game pixels only";
  EXPECT_EQ(surface.image().height, 50);
}

TEST_F(MidEndTest, AClientOfAnySizeFromNothingUpTakesFramesAndPaints) {
  MidEnd& midEnd = start();
  for (const Point size :
       {Point{0, 0}, Point{1, 1}, Point{300, 200}, Point{419, 424}, Point{420, 5}, Point{900, 700}}) {
    SCOPED_TRACE(testing::Message() << size.x << "x" << size.y);
    midEnd.resized(size);
    midEnd.exposed();
    for (int i = 0; i < 16; ++i) midEnd.tick();
    for (const auto& [image, window] : frontEnd.shown) {
      EXPECT_GE(image.left, 0);
      EXPECT_LE(image.right, std::max(size.x, 1));
      EXPECT_LE(image.bottom, std::max(size.y, 1));
      EXPECT_LT(image.left, image.right);
    }
    frontEnd.shown.clear();
  }
}

TEST_F(MidEndTest, DuringPlayLiveInputIsDroppedButALiveExitClosesTheWindow) {
  MidEnd& midEnd = start(1, "tick 100\n");
  midEnd.keyPressed('A');
  midEnd.commandChosen(CommandHiScore);
  EXPECT_EQ(world.gameState, StateEnteringName);
  EXPECT_EQ(frontEnd.posted, 0);
  midEnd.commandChosen(CommandExit);
  EXPECT_EQ(frontEnd.posted, 1);
  EXPECT_EQ(midEnd.closed(), 0);
  EXPECT_FALSE(midEnd.playing());
}

TEST_F(MidEndTest, APlayedExitEndsThePlayWithoutClosingTheWindowFirst) {
  MidEnd& midEnd = start(1, "tick\ncommand 52\ncommand 53\ntick 5\n");
  midEnd.tick();
  midEnd.tick();
  EXPECT_EQ(world.tickCount, 1);
  EXPECT_EQ(world.gameState, StateEnteringName) << "nothing after the Exit is played";
  EXPECT_EQ(frontEnd.posted, 0);
  EXPECT_EQ(frontEnd.ended, 1);
  EXPECT_EQ(midEnd.exitCode(), 0);
}

TEST_F(MidEndTest, UnattendedPlayShowsNoAboutBox) {
  const std::string shot = (folder() / "shot.png").string();
  for (const std::string& screenshot : {std::string(), shot}) {
    frontEnd.abouts = 0;
    MidEnd& midEnd = start(1, "command 36\ntick\n", screenshot);
    midEnd.tick();
    EXPECT_EQ(frontEnd.abouts, screenshot.empty() ? 1 : 0);
  }
}

// What the program ends with when its script stops or its player closes it.
TEST_F(MidEndTest, TheEndOfPlayDecidesTheExitCodeAndTheScreenshot) {
  const std::string shot = (folder() / "shot.png").string(), nowhere = (folder() / "no" / "shot.png").string();
  struct Case {
    const char* script;
    std::string screenshot;
    bool ends;
    int exitCode;
    std::string told;
  };
  const Case cases[] = {
      {"tick\n", "", false, 0, ""},  // play goes on live
      {"command 52\n", "", true, 0, ""},
      {"tick\n", shot, true, 0, ""},
      {"command 52\n", shot, true, 0, ""},  // a played Exit takes the picture first
      {"tick\n", nowhere, true, 2, "vantrel: cannot write the screenshot " + nowhere + ": No such file or directory\n"},
      {"wobble\n", shot, true, 2, "vantrel: script line 1: unknown command: wobble\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.script << c.screenshot);
    std::filesystem::remove(shot);
    frontEnd = TestFrontEnd();
    MidEnd& midEnd = start(1, c.script, c.screenshot);
    for (int i = 0; i < 3; ++i) midEnd.tick();
    EXPECT_FALSE(midEnd.playing());
    EXPECT_EQ(frontEnd.ended, c.ends ? 1 : 0);
    EXPECT_EQ(midEnd.exitCode(), c.exitCode);
    EXPECT_EQ(frontEnd.told, c.told);
    EXPECT_EQ(std::filesystem::exists(shot), c.screenshot == shot && c.exitCode == 0);
  }
  for (const std::string& screenshot : {std::string(), shot}) {
    frontEnd = TestFrontEnd();
    MidEnd& midEnd = start(1, "tick 100\n", screenshot);
    EXPECT_EQ(midEnd.closed(), screenshot.empty() ? 0 : 1);
    EXPECT_EQ(frontEnd.told, screenshot.empty() ? ""
                                                : "vantrel: the window was closed before the script ended; no "
                                                  "screenshot was written\n");
  }
}

TEST_F(MidEndTest, PreparingStartsOnlyWhatTheOptionsAsk) {
  std::string error;
  MidEnd plain;
  ASSERT_TRUE(plain.prepare({}, error)) << error;
  EXPECT_FALSE(plain.playing());

  Options options;
  options.playPath = (folder() / "missing.txt").string();
  MidEnd missing;
  EXPECT_FALSE(missing.prepare(options, error));
  EXPECT_EQ(error, "cannot read the script " + options.playPath + ": No such file or directory");

  std::ofstream((folder() / "s.txt").string()) << "key 0x41\ntick\n";
  options.playPath = (folder() / "s.txt").string();
  options.recordPath = (folder() / "r.txt").string();
  MidEnd recorded;
  ASSERT_TRUE(recorded.prepare(options, error)) << error;
  EXPECT_TRUE(recorded.playing());
  recorded.create(frontEnd, surface, recorded.openingClientSize());
  recorded.tick();
  EXPECT_TRUE(recorded.finish(error)) << error;
  std::ifstream in(options.recordPath, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(), "key 0x41\ntick\n");
}

}  // namespace
