// The mid-end: the run a window hands its events to. A front end here
// records what it is asked, over an image that only fills draw into.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <vector>

#include "core/keys.h"
#include "core/session.h"
#include "core/world.h"
#include "game_fixture.h"
#include "recording_front_end.h"
#include "render/field.h"
#include "render/panel.h"
#include "scores/file_system.h"
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
  RecordingFrontEnd frontEnd;
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

// After every frame the whole client, the black around the field included,
// is what drawing it all anew makes: a ball drawn past the field's edge is
// cut at the edge, and leaves nothing behind where it was.
TEST_F(MidEndTest, FramesLeaveTheWholeClientAsAWholeRedrawWould) {
  MidEnd& midEnd = start();
  midEnd.keyPressed(KeyReturn);  // a new game: a ball to move by hand
  ASSERT_GT(world.ballSize, 0);
  const Rect field = world.fieldRect;
  const int32_t half = world.ballSize / 2, inside = 60;
  const Point places[] = {{field.right - half, field.top + inside},  {field.left - half, field.top + inside},
                          {field.left + inside, field.top - half},   {field.left + inside, field.bottom - half},
                          {field.right - half, field.bottom - half}, {field.left + inside, field.top + inside}};
  for (const Point place : places) {
    SCOPED_TRACE(testing::Message() << "ball at " << place.x << ", " << place.y);
    world.ballX = place.x;
    world.ballY = place.y;
    midEnd.tick();
    midEnd.tick();  // a field frame
    FillSurface whole;
    whole.resize(clientWidth, clientHeight);
    paintBackground(whole, {0, 0, clientWidth, clientHeight});
    drawField(whole);
    drawPanel(whole);
    const PixelImage shown = surface.image(), drawn = whole.image();
    ASSERT_EQ(shown.width, clientWidth);
    ASSERT_EQ(shown.height, clientHeight);
    int differing = 0;
    for (int32_t y = 0; y < clientHeight; ++y)
      for (int32_t x = 0; x < clientWidth; ++x)
        if (shown.at(x, y) != drawn.at(x, y) && ++differing == 1) ADD_FAILURE() << "first at " << x << ", " << y;
    EXPECT_EQ(differing, 0);
  }
}

// A live motion that moves the bat shows it (and the ball riding on it) at
// once, in the places it left and took alone; a played one waits for the
// field frame as before. At that frame both pictures are the same.
TEST_F(MidEndTest, TheBatIsShownWhereTheHandIsAtOnce) {
  std::vector<uint32_t> atTheFrame[2];
  for (const bool live : {true, false}) {
    SCOPED_TRACE(live ? "live" : "played");
    resetGame();
    setHighScorePath((folder() / "hiscore.txt").string());
    const int32_t x = 230, y = 250;  // in the bat zone, right of where the bat starts
    MidEnd& midEnd = start(1, live ? "" : "key 13\ntick 2\nmove 230 250\ntick 2\n");
    if (live) midEnd.keyPressed(KeyReturn);
    midEnd.tick();
    midEnd.tick();  // the first field frame of the game: the ball rests on the bat
    const Rect batBefore{world.batX, world.batY, world.batX + world.batWidth, world.batY + world.batHeight};
    frontEnd.shown.clear();
    if (live) midEnd.pointerMoved({x, y});
    midEnd.tick();  // an odd tick: no field frame
    const PixelImage image = surface.image();
    if (live) {
      ASSERT_FALSE(frontEnd.shown.empty());
      for (const auto& [area, window] : frontEnd.shown) EXPECT_NE(area, world.fieldRect) << "not the whole field";
      EXPECT_EQ(image.at(world.batX + world.batWidth - 1, world.batY + 1), 0xFFFFFFu) << "the bat's new place";
      EXPECT_EQ(image.at(batBefore.left + 1, batBefore.top + 1), 0x400F0Fu)
          << "the zone where it was, " << batBefore.left << " to " << world.batX;
      EXPECT_EQ(image.at(world.batX + world.batWidth / 2, world.batY - 2), 0xFFFFFFu) << "the ball on it";
    } else {
      EXPECT_TRUE(frontEnd.shown.empty());
      EXPECT_EQ(image.at(batBefore.left + 1, batBefore.top + 1), 0xFFFFFFu) << "the bat where the last frame drew it";
    }
    const size_t shownBefore = frontEnd.shown.size();
    if (live) midEnd.pointerMoved({x, y});  // the bat moves no pixel: nothing is drawn
    EXPECT_EQ(frontEnd.shown.size(), shownBefore);
    midEnd.tick();  // the field frame
    const PixelImage frame = surface.image();
    atTheFrame[live].assign(frame.pixels, frame.pixels + static_cast<size_t>(frame.width) * frame.height);
  }
  EXPECT_TRUE(atTheFrame[0] == atTheFrame[1]) << "the field frame is the same either way";
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
}

// The picture takes the largest whole scale the client area holds, centred;
// points, clicks, the warped cursor and shown areas go through the same.
TEST_F(MidEndTest, ThePictureFitsAnyClientSizeAndPointsFollowIt) {
  const struct {
    Point client;
    int32_t scale;
    Rect picture;
    Point window, game;  // a point in the window and the game pixel it falls on
  } cases[] = {
      {{632, 424}, 1, {0, 0, 632, 424}, {200, 250}, {200, 250}},
      {{640, 430}, 1, {4, 3, 636, 427}, {4, 3}, {0, 0}},
      {{640, 430}, 1, {4, 3, 636, 427}, {3, 2}, {-1, -1}},
      {{1263, 847}, 1, {315, 211, 947, 635}, {515, 461}, {200, 250}},
      {{1264, 848}, 2, {0, 0, 1264, 848}, {401, 501}, {200, 250}},
      {{1920, 1080}, 2, {328, 116, 1592, 964}, {729, 617}, {200, 250}},
      {{1920, 1080}, 2, {328, 116, 1592, 964}, {327, 115}, {-1, -1}},
      {{3000, 1300}, 3, {552, 14, 2448, 1286}, {1152, 764}, {200, 250}},
      {{300, 200}, 1, {0, 0, 632, 424}, {200, 150}, {200, 150}},  // smaller than the picture: its top left
      {{0, 0}, 1, {0, 0, 632, 424}, {0, 0}, {0, 0}},
  };
  MidEnd& midEnd = start();
  midEnd.keyPressed(KeyReturn);
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.client.x << "x" << c.client.y << " at " << c.window.x << "," << c.window.y);
    midEnd.resized(c.client);
    midEnd.exposed();
    EXPECT_EQ(midEnd.scale(), c.scale);
    EXPECT_EQ(midEnd.pictureArea(), c.picture);
    EXPECT_EQ(surface.image().width, clientWidth) << "the picture itself stays in game pixels";
    EXPECT_EQ(surface.image().height, clientHeight);
    midEnd.pointerMoved(c.window);
    EXPECT_EQ(shell.pointerX, c.game.x);
    EXPECT_EQ(shell.pointerY, c.game.y);
    midEnd.keyPressed(KeyLeft);
    midEnd.keyPressed(KeyRight);
    EXPECT_EQ(frontEnd.warps.back(), (Point{c.picture.left + c.game.x * c.scale, c.picture.top + c.game.y * c.scale}));
    for (const auto& [image, window] : frontEnd.shown) {
      EXPECT_EQ(window, (Rect{c.picture.left + image.left * c.scale, c.picture.top + image.top * c.scale,
                              c.picture.left + image.right * c.scale, c.picture.top + image.bottom * c.scale}));
    }
    frontEnd.shown.clear();
  }
  midEnd.resized({640, 430});
  midEnd.buttonPressed();
  midEnd.buttonReleased({4 + 200, 3 + 300});  // game pixel (200, 300), in the bat zone
  EXPECT_EQ(world.gameState, StatePlaying);
}

TEST_F(MidEndTest, AScaleTooLargeForTheScreenIsLoweredToTheLargestThatFits) {
  const struct {
    int32_t scale;
    Point room;
    int32_t opens;
    std::string told;
  } cases[] = {
      {3, {1280, 980}, 2, "vantrel: --scale 3 does not fit the screen; the window opens at scale 2\n"},
      {3, {1896, 1272}, 3, ""},
      {2, {1000, 700}, 1, "vantrel: --scale 2 does not fit the screen; the window opens at scale 1\n"},
      {1, {300, 200}, 1, ""},  // the smallest window is opened whatever the room
      {8, {1895, 5000}, 2, "vantrel: --scale 8 does not fit the screen; the window opens at scale 2\n"},
  };
  for (const auto& c : cases) {
    frontEnd = RecordingFrontEnd();
    MidEnd& midEnd = start(c.scale);
    midEnd.fitScreen(c.room);
    EXPECT_EQ(frontEnd.told, c.told);
    EXPECT_EQ(midEnd.openingClientSize(), (Point{clientWidth * c.opens, clientHeight * c.opens}));
  }
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
      EXPECT_LE(image.right, clientWidth);
      EXPECT_LE(image.bottom, clientHeight);
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
  EXPECT_EQ(frontEnd.closes, 0);
  midEnd.commandChosen(CommandExit);
  EXPECT_EQ(frontEnd.closes, 1);
  EXPECT_EQ(midEnd.closed(), 0);
  EXPECT_FALSE(midEnd.playing());
}

TEST_F(MidEndTest, APlayedExitEndsThePlayWithoutClosingTheWindowFirst) {
  MidEnd& midEnd = start(1, "tick\ncommand 52\ncommand 53\ntick 5\n");
  midEnd.tick();
  midEnd.tick();
  EXPECT_EQ(world.tickCount, 1);
  EXPECT_EQ(world.gameState, StateEnteringName) << "nothing after the Exit is played";
  EXPECT_EQ(frontEnd.closes, 0);
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

// The page's About box returns at once: a played script waits for it all the
// same, as for a modal box.
TEST_F(MidEndTest, AnAboutBoxThatLetsTheCallerGoOnHoldsAPlayedScriptUntilItGoes) {
  frontEnd.staysUp = true;
  MidEnd& midEnd = start(1, "command 36\ntick 3\n");
  midEnd.tick();
  EXPECT_EQ(frontEnd.abouts, 1);
  midEnd.tick();
  midEnd.tick();
  EXPECT_EQ(world.tickCount, 0) << "expiries while the box is up are dropped";
  midEnd.aboutClosed();
  EXPECT_EQ(world.tickCount, 1) << "the expiry that played the command goes on";
  midEnd.tick();
  EXPECT_EQ(world.tickCount, 2);
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
    frontEnd = RecordingFrontEnd();
    MidEnd& midEnd = start(1, c.script, c.screenshot);
    for (int i = 0; i < 3; ++i) midEnd.tick();
    EXPECT_FALSE(midEnd.playing());
    EXPECT_EQ(frontEnd.ended, c.ends ? 1 : 0);
    EXPECT_EQ(midEnd.exitCode(), c.exitCode);
    EXPECT_EQ(frontEnd.told, c.told);
    EXPECT_EQ(std::filesystem::exists(shot), c.screenshot == shot && c.exitCode == 0);
  }
  for (const std::string& screenshot : {std::string(), shot}) {
    frontEnd = RecordingFrontEnd();
    MidEnd& midEnd = start(1, "tick 100\n", screenshot);
    EXPECT_EQ(midEnd.closed(), screenshot.empty() ? 0 : 1);
    EXPECT_EQ(frontEnd.told, screenshot.empty() ? ""
                                                : "vantrel: the window was closed before the script ended; no "
                                                  "screenshot was written\n");
  }
}

// See Pausing while away in docs/behaviour.md.
TEST_F(MidEndTest, PauseWhenInactiveHoldsTheTicksWhileThePlayerIsAwayButNeverAPlayedScript) {
  const std::string script = (folder() / "s.txt").string();
  std::ofstream(script) << "tick 100\n";
  enum Away { Inactive, Minimised, AboutBox, AboutBoxStayingUp };
  for (const bool option : {false, true}) {
    for (const bool played : {false, true}) {
      for (const Away away : {Inactive, Minimised, AboutBox, AboutBoxStayingUp}) {
        if (played && away >= AboutBox) continue;  // live input does not reach a played game
        SCOPED_TRACE(testing::Message() << "option " << option << ", played " << played << ", away " << away);
        frontEnd = RecordingFrontEnd();
        Options options;
        options.hiscorePath = (folder() / "hiscore.txt").string();
        options.pauseWhenInactive = option;
        if (played) options.playPath = script;
        MidEnd midEnd;
        std::string error;
        ASSERT_TRUE(midEnd.prepare(options, error)) << error;
        midEnd.create(frontEnd, surface, midEnd.openingClientSize());
        midEnd.tick();
        int32_t ticksAway = 0;
        std::string titleAway;
        auto beAway = [&] {
          for (int i = 0; i < 3; ++i) midEnd.tick();
          ticksAway = world.tickCount;
          titleAway = frontEnd.title;
        };
        switch (away) {
          case Inactive:
            midEnd.activated(false);
            beAway();
            midEnd.activated(true);
            break;
          case Minimised:
            frontEnd.minimised = true;
            beAway();
            frontEnd.minimised = false;
            break;
          case AboutBox:
            frontEnd.duringAbout = beAway;
            midEnd.commandChosen(CommandAbout);
            break;
          case AboutBoxStayingUp:
            frontEnd.staysUp = true;
            midEnd.commandChosen(CommandAbout);
            beAway();
            midEnd.aboutClosed();
            break;
        }
        midEnd.tick();
        const bool held = option && !played;
        EXPECT_EQ(ticksAway, held ? 1 : 4);
        EXPECT_EQ(world.tickCount, ticksAway + 1) << "play resumes on return";
        EXPECT_EQ(titleAway, held ? "Vantrel - Paused" : "Vantrel");
        EXPECT_EQ(frontEnd.title, "Vantrel");
      }
    }
  }
}

TEST_F(MidEndTest, FramesRunTheTicksTheirTimeHoldsAndDropALongGap) {
  struct Case {
    const char* what;
    std::vector<double> frames;  // milliseconds
    int32_t ticks;
  };
  const Case cases[] = {
      {"the first frame only starts the clock", {1000}, 0},
      {"60 frames a second: a tick for every 10 ms", {0, 16.7, 33.4, 50.1, 66.8, 83.5, 100.2}, 10},
      {"the rest of a tick is kept for the next frame", {0, 15, 30}, 3},
      {"144 frames a second", {0, 6.9, 13.8, 20.7, 27.6, 34.5}, 3},
      {"a late frame runs the ticks it owes", {0, 240}, 24},
      {"a gap over a quarter second is dropped", {0, 5, 400, 410}, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    MidEnd& midEnd = start();
    const int32_t before = world.tickCount;
    for (const double at : c.frames) midEnd.framePassed(at);
    EXPECT_EQ(world.tickCount - before, c.ticks);
  }
}

// The menu item and F11 alike; F11 is never a key of the name.
TEST_F(MidEndTest, FullScreenIsTheWindowsOwnAlsoDuringPlay) {
  for (const std::string& script : {std::string(), std::string("tick 100\n")}) {
    frontEnd = RecordingFrontEnd();
    MidEnd& midEnd = start(1, script);
    midEnd.commandChosen(CommandFullScreen);
    midEnd.keyPressed(KeyF11);
    EXPECT_EQ(frontEnd.fullScreens, 2);
    EXPECT_EQ(world.gameState, StateEnteringName);
    EXPECT_EQ(world.candidateEntry.name[0], '\0');
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

// The program around the window, on a platform that tells what it is told.
class ProgramPlatform final : public Platform {
 public:
  bool opens = true;
  std::string told;
  std::function<void(MidEnd&)> loop;  // what the player does before the window goes

  void tell(const std::string& text, bool error) override { told += (error ? "error: " : "") + text; }
  bool openWindow(MidEnd& midEnd) override {
    if (!opens) {
      tell("no window\n", true);
      return false;
    }
    midEnd_ = &midEnd;
    midEnd.create(frontEnd_, surface_, midEnd.openingClientSize());
    return true;
  }
  void runLoop() override {
    if (loop) loop(*midEnd_);
    midEnd_->closed();
  }

 private:
  MidEnd* midEnd_ = nullptr;
  NullFrontEnd frontEnd_;
  FillSurface surface_;
};

using RunProgramTest = GameTest;

TEST_F(RunProgramTest, EachWayOutHasItsExitCodeAndItsMessage) {
  const std::string table = hiscorePath();
  struct Case {
    std::vector<const char*> args;
    bool opens;
    int exitCode;
    std::string toldStart;  // what the player is told begins so
  };
  const Case cases[] = {
      {{"vantrel", "--help"}, true, 0, "Usage: vantrel"},
      {{"vantrel", "--version"}, true, 0, "vantrel "},
      {{"vantrel", "--wobble"}, true, 2, "error: vantrel: "},
      {{"vantrel", "--play", "/no/such/script"}, true, 2, "error: vantrel: "},
      {{"vantrel", "--hiscore", table.c_str()}, false, 2, "error: no window\n"},
      {{"vantrel", "--hiscore", table.c_str()}, true, 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.args.back() << (c.opens ? "" : ", no window"));
    ProgramPlatform platform;
    platform.opens = c.opens;
    EXPECT_EQ(runProgram(parseCommandLine(static_cast<int>(c.args.size()), c.args.data()), platform), c.exitCode);
    EXPECT_EQ(platform.told.substr(0, c.toldStart.size()), c.toldStart);
    if (c.toldStart.empty()) {
      EXPECT_EQ(platform.told, "");
    }
  }
}

// A score whose save failed during play is saved once the window has gone.
TEST_F(RunProgramTest, TheRunsLastSaveComesAfterTheLoop) {
  const std::string table = hiscorePath();
  const char* args[] = {"vantrel", "--hiscore", table.c_str()};
  ProgramPlatform platform;
  platform.loop = [&](MidEnd&) {
    setFileStepHook([](FileStep step, const std::string&) { return step == FileStep::Create ? ENOSPC : 0; });
    endGame("AB", 500);
    setFileStepHook(nullptr);
    ASSERT_FALSE(std::filesystem::exists(table)) << "the save during play failed";
  };
  EXPECT_EQ(runProgram(parseCommandLine(3, args), platform), 0);
  EXPECT_TRUE(std::filesystem::exists(table));
}
