// Script playback, recording and screenshots.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "core/printable.h"
#include "core/session.h"
#include "core/world.h"
#include "game_fixture.h"
#include "recording_host.h"
#include "shell/null_host.h"
#include "shell/playback.h"
#include "shell/recording.h"
#include "shell/screenshot.h"
#include "shell/script.h"

namespace {

class PlaybackTest : public GameTest {
 protected:
  ScriptPlayback& script(const std::string& text) {
    text_.str(text);
    playback_.open(text_);
    onCreate(host_);
    return playback_;
  }
  RecordingHost host_;

 private:
  std::istringstream text_;
  ScriptPlayback playback_;
};

TEST_F(PlaybackTest, EachCallPlaysUpToOneTickUntilTheScriptEnds) {
  ScriptPlayback& s = script("type AB\nkey 13\ntick 2\n");
  EXPECT_EQ(s.playTick(host_), ScriptPlayback::Playing);
  EXPECT_EQ(world.gameState, StateReady);
  EXPECT_EQ(world.tickCount, 1);
  EXPECT_EQ(s.playTick(host_), ScriptPlayback::Playing);
  EXPECT_EQ(s.playTick(host_), ScriptPlayback::Ended);
  EXPECT_EQ(world.tickCount, 2);
}

TEST_F(PlaybackTest, ABadLineFailsWithItsNumber) {
  ScriptPlayback& s = script("tick\nwobble\n");
  EXPECT_EQ(s.playToEnd(host_), ScriptPlayback::Failed);
  EXPECT_EQ(s.error().rfind("script line 2: ", 0), 0u) << s.error();
}

int stateLines = 0;

TEST_F(PlaybackTest, StateLinesRunTheStateAction) {
  ScriptPlayback& s = script("state\ntick\nstate\n");
  stateLines = 0;
  s.setStateAction([] { ++stateLines; });
  EXPECT_EQ(s.playToEnd(host_), ScriptPlayback::Ended);
  EXPECT_EQ(stateLines, 2);
}

// A modal box's loop keeps the timer going while a played message is handled.
class ModalHost final : public NullHost {
 public:
  ScriptPlayback* playback = nullptr;
  ScriptPlayback::Outcome inner = ScriptPlayback::Ended;
  void showAbout() override { inner = playback->playTick(*this); }
};

TEST_F(GameTest, ATimeoutInsideAPlayedMessagePlaysNothing) {
  std::istringstream text("command 36\ntick 3\n");
  ScriptPlayback playback;
  playback.open(text);
  ModalHost host;
  host.playback = &playback;
  onCreate(host);
  EXPECT_EQ(playback.playTick(host), ScriptPlayback::Playing);
  EXPECT_EQ(host.inner, ScriptPlayback::Playing);
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
  NullHost host;
  for (const WindowMessage& m :
       {WindowMessage{MessageTick, 0, 0}, {MessageTick, 0, 0}, {MessageKey, 0x41, 0}, {MessageTick, 0, 0}}) {
    dispatchMessage(host, m);
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
  NullHost host;
  dispatchMessage(host, {MessageKey, 0x41, 0});
  dispatchMessage(host, {MessageTick, 0, 0});
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
