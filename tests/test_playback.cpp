// Script playback, recording and screenshots.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <vector>

#include "core/printable.h"
#include "core/session.h"
#include "core/world.h"
#include "game_fixture.h"
#include "recording_front_end.h"
#include "shell/midend.h"
#include "shell/null_front_end.h"
#include "shell/playback.h"
#include "shell/recording.h"
#include "shell/screenshot.h"
#include "shell/script.h"

namespace {

// A window playing a script a tick per timer expiry, as every window does.
class PlaybackTest : public GameTest {
 protected:
  ScriptPlayback& script(const std::string& text) {
    text_.str(text);
    auto playback = std::make_unique<ScriptPlayback>();
    playback->open(text_);
    ScriptPlayback& played = *playback;
    midEnd_.play(std::move(playback), {});
    return played;
  }
  MidEnd& start() {
    midEnd_.create(window_, surface_, midEnd_.openingClientSize());
    return midEnd_;
  }
  RecordingFrontEnd window_;

 private:
  NullSurface surface_;
  std::istringstream text_;
  MidEnd midEnd_;
};

TEST_F(PlaybackTest, EachExpiryPlaysUpToOneTickUntilTheScriptEnds) {
  script("type AB\nkey 13\ntick 2\n");
  MidEnd& midEnd = start();
  midEnd.tick();
  EXPECT_EQ(world.gameState, StateReady);
  EXPECT_EQ(world.tickCount, 1);
  midEnd.tick();
  EXPECT_TRUE(midEnd.playing());
  midEnd.tick();
  EXPECT_FALSE(midEnd.playing()) << "play goes on live";
  EXPECT_EQ(world.tickCount, 2);
  EXPECT_EQ(window_.ended, 0);
}

TEST_F(PlaybackTest, ABadLineEndsTheProgramNamingTheLine) {
  script("tick\nwobble\n");
  MidEnd& midEnd = start();
  while (midEnd.playing()) midEnd.tick();
  EXPECT_EQ(window_.told.rfind("vantrel: script line 2: ", 0), 0u) << window_.told;
  EXPECT_EQ(midEnd.exitCode(), 2);
  EXPECT_EQ(window_.ended, 1);
}

int stateLines = 0;

TEST_F(PlaybackTest, StateLinesRunTheStateAction) {
  script("state\ntick\nstate\n").setStateAction([] { ++stateLines; });
  stateLines = 0;
  MidEnd& midEnd = start();
  while (midEnd.playing()) midEnd.tick();
  EXPECT_EQ(stateLines, 2);
}

// A modal box's loop keeps the timer going while a played message is handled.
TEST_F(PlaybackTest, AnExpiryInsideAPlayedMessagePlaysNothing) {
  script("command 36\ntick 3\n");
  MidEnd& midEnd = start();
  int32_t ticksInside = -1;
  window_.duringAbout = [&] {
    midEnd.tick();
    ticksInside = world.tickCount;
  };
  midEnd.tick();
  EXPECT_EQ(ticksInside, 0);
  EXPECT_EQ(world.tickCount, 1);
}

// Named with the bytes that are not printable shown as \xNN.
TEST_F(GameTest, AMissingScriptIsNamedSafely) {
  ScriptPlayback playback;
  const std::string folderName = folder().string() + char(std::filesystem::path::preferred_separator);
  EXPECT_FALSE(playback.open(folderName + "caf\xE9\x1B[2J.txt"));  // the bytes as given, never converted
  EXPECT_NE(playback.error().find(folderName + "caf\\xE9\\x1B[2J.txt"), std::string::npos) << playback.error();
}

TEST_F(GameTest, ARecordingIsWrittenWhole) {
  const std::string path = (folder() / "r.txt").string();
  std::string error;
  ASSERT_TRUE(startRecording(path, error)) << error;
  NullFrontEnd window;
  NullSurface surface;
  MidEnd midEnd;
  midEnd.create(window, surface, midEnd.openingClientSize());
  for (const WindowMessage& m :
       {WindowMessage{MessageTick, 0, 0}, {MessageTick, 0, 0}, {MessageKey, 0x41, 0}, {MessageTick, 0, 0}}) {
    giveMessage(midEnd, m);
  }
  ASSERT_TRUE(finishRecording(error)) << error;
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(), "tick 2\nkey 0x41\ntick\n");
}

// A full disk, a folder that is not there: the file named as given, the reason.
TEST_F(GameTest, WritesThatFailAreReportedWithTheFileAndTheReason) {
  const uint32_t pixels[4] = {};
  const PixelImage image{pixels, 2, 2, 2};
  const std::string missing = (folder() / "\xFF\xFE" / "x").string();
  std::string error;
  EXPECT_FALSE(startRecording(missing, error));
  EXPECT_EQ(error, "cannot write the recording " + printablePath(missing) + ": No such file or directory");
  EXPECT_FALSE(saveScreenshot(image, missing, error));
  EXPECT_EQ(error, "cannot write the screenshot " + printablePath(missing) + ": No such file or directory");

  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
  EXPECT_FALSE(saveScreenshot(image, "/dev/full", error));
  EXPECT_EQ(error, "cannot write the screenshot /dev/full: No space left on device");
  ASSERT_TRUE(startRecording("/dev/full", error)) << error;
  NullFrontEnd window;
  NullSurface surface;
  MidEnd midEnd;
  midEnd.create(window, surface, midEnd.openingClientSize());
  midEnd.keyPressed(0x41);
  midEnd.tick();
  EXPECT_FALSE(finishRecording(error));
  EXPECT_EQ(error, "cannot write the recording /dev/full: No space left on device");
}

TEST(PngTest, AnRgbImageInCheckedChunksWithFlatAreasPackedSmall) {
  std::vector<uint32_t> pixels(632 * 424, 0xFF400F0F);
  const std::string png = encodePng({pixels.data(), 632, 424, 632});
  EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1A\n");
  const std::string header("\0\0\0\x0DIHDR\0\0\x02\x78\0\0\x01\xA8\x08\x02\0\0\0", 21);
  EXPECT_EQ(png.substr(8, 21), header);
  EXPECT_EQ(png.substr(png.size() - 12), std::string("\0\0\0\0IEND\xAE\x42\x60\x82", 12));
  EXPECT_LT(png.size(), pixels.size() * 3 / 50) << "a flat image is compressed";
}

}  // namespace
