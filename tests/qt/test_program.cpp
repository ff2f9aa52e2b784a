// The vantrel program from outside: command line, exit codes, played and
// recorded scripts, screenshots.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

#include "shell/recording.h"
#include "shell/state_line.h"
#include "window_fixture.h"

namespace {

struct Result {
  int exitCode;
  QString out, err;
};

Result run(const QString& program, const QStringList& arguments, const QString& folder,
           const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
  QProcess process;
  process.setWorkingDirectory(folder);
  process.setProcessEnvironment(environment);
  process.start(program, arguments);
  if (!process.waitForFinished(60000)) {
    process.kill();
    process.waitForFinished();
    return {-1, {}, "timed out"};
  }
  return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
          QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

void writeFile(const QString& path, const QByteArray& text) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(text);
}

// A short game: a name, a launch, blocks hit, a change of speed.
const QByteArray game =
    "type ABC\nkey 0x0D\nmove 200 250\nclick 200 250\ntick 150\nstate\n"
    "command 44\nmove 120 260\ntick 100\nstate\n";

class ProgramTest : public ::testing::Test {
 protected:
  QString path(const char* name) const { return folder_.filePath(name); }
  // Starts vantrel recording into the file, and waits until it has begun
  // (the file has its first line) and ticked a few times.
  void startRecording(QProcess& process, const QStringList& arguments, const char* recording) {
    process.setWorkingDirectory(folder_.path());
    process.start(VANTREL_EXE, arguments + QStringList{"--record", path(recording)});
    ASSERT_TRUE(process.waitForStarted());
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo(path(recording)).size() > 0; }, 30000));
    QTest::qWait(300);
  }
  Result vantrel(const QStringList& arguments) { return run(VANTREL_EXE, arguments, folder_.path()); }
  Result sim(const QString& script) {
    QTemporaryDir other;  // a high-score table of its own, as fresh as the window's
    return run(VANTREL_SIM, {"--hiscore", other.filePath("hiscore.txt"), script}, other.path());
  }

  QTemporaryDir folder_;
};

TEST_F(ProgramTest, HelpVersionAndBadOptionsAnswerWithClearExitCodes) {
  const Result help = vantrel({"--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_TRUE(help.out.contains("--screenshot"));
  const Result version = vantrel({"--version"});
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_EQ(version.out, "vantrel 1.0\n");
  for (const QStringList& bad : {QStringList{"--bogus"}, QStringList{"--scale", "zero"},
                                 QStringList{"--screenshot", "x.png"}, QStringList{"--play", "missing.txt"}}) {
    const Result r = vantrel(bad);
    EXPECT_EQ(r.exitCode, 2) << bad.join(' ').toStdString();
    EXPECT_TRUE(r.err.contains("vantrel: ")) << r.err.toStdString();
  }
}

// Qt's own options are Qt's; the game's are checked once Qt has taken them.
TEST_F(ProgramTest, QtOptionsStandBesideTheGamesOwn) {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.remove("QT_QPA_PLATFORM");
  writeFile(path("s.txt"), "tick 3\n");
  Result r = run(VANTREL_EXE, {"-platform", "offscreen", "--play", "s.txt", "--screenshot", "x.png"}, folder_.path(),
                 environment);
  EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
  EXPECT_TRUE(QFile::exists(path("x.png")));
  r = run(VANTREL_EXE, {"-platform", "offscreen", "--bogus"}, folder_.path(), environment);
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_TRUE(r.err.endsWith("vantrel: unknown option '--bogus'\nTry 'vantrel --help' for more information.\n"))
      << r.err.toStdString();
}

TEST_F(ProgramTest, APlayedScriptReachesTheSameStatesAsVantrelSimAndLeavesAScreenshot) {
  writeFile(path("game.txt"), game);
  const Result window = vantrel({"--hiscore", path("hiscore.txt"), "--play", path("game.txt"), "--screenshot",
                                 path("shot.png"), "--record", path("again.txt")});
  ASSERT_EQ(window.exitCode, 0) << window.err.toStdString();
  const Result headless = sim(path("game.txt"));
  ASSERT_EQ(headless.exitCode, 0) << headless.err.toStdString();
  EXPECT_EQ(window.out.count('\n'), 2);
  EXPECT_EQ(window.out, headless.out);

  // What was played was recorded, and replays to where the play ended.
  QFile again(path("again.txt"));
  ASSERT_TRUE(again.open(QIODevice::Append));
  again.write("state\n");
  again.close();
  EXPECT_EQ(sim(path("again.txt")).out, window.out.section('\n', 1));

  const QImage shot(path("shot.png"));
  ASSERT_EQ(shot.size(), QSize(632, 424));
  EXPECT_EQ(shot.pixel(10, 10), qRgb(255, 255, 255));
  EXPECT_EQ(shot.pixel(300, 290), qRgb(64, 15, 15));
  EXPECT_EQ(shot.pixel(336, 55), qRgb(0, 200, 0));
}

TEST_F(ProgramTest, StateLinesStayOnLinesOfTheirOwnAfterInvalidCharacterReports) {
  writeFile(path("hiscore.txt"), "AB\x01C   0 1 \n");
  writeFile(path("scores.txt"), "command 53\nstate\n");
  const Result r =
      vantrel({"--hiscore", path("hiscore.txt"), "--play", path("scores.txt"), "--screenshot", path("shot.png")});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  EXPECT_TRUE(r.out.contains("Invalid character")) << r.out.toStdString();
  EXPECT_TRUE(r.out.contains("\n{\"tickCount\":0")) << r.out.toStdString();
}

TEST_F(ProgramTest, AKilledGameStillLeavesItsWholeRecording) {
  QProcess process;
  ASSERT_NO_FATAL_FAILURE(startRecording(process, {"--hiscore", path("hiscore.txt")}, "live.txt"));
  process.terminate();
  ASSERT_TRUE(process.waitForFinished(10000));
  EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(process.exitCode(), 0);
  QFile live(path("live.txt"));
  ASSERT_TRUE(live.open(QIODevice::ReadOnly));
  const QList<QByteArray> lines = live.readAll().trimmed().split('\n');
  EXPECT_TRUE(lines.last().startsWith("tick")) << "the ticks before the end are written out";
}

// The desktop entry's way of starting: the table in the user's data folder,
// whatever the working directory, the folder made on the way; a folder that
// cannot be made stops no game.
TEST_F(ProgramTest, UserHiscoreKeepsTheTableInTheUsersDataFolder) {
  writeFile(path("scores.txt"), "command 53\ntick 16\n");
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("XDG_DATA_HOME", path("data"));
  const QStringList arguments = {"--user-hiscore", "--play", path("scores.txt"), "--screenshot", path("shot.png")};
  Result r = run(VANTREL_EXE, arguments, folder_.path(), environment);
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  EXPECT_TRUE(QFile::exists(path("data/vantrel/hiscore.txt")));
  EXPECT_FALSE(QFile::exists(path("hiscore.txt")));

  writeFile(path("blocked"), "a file where the data folder should be");
  environment.insert("XDG_DATA_HOME", path("blocked"));
  r = run(VANTREL_EXE, arguments, folder_.path(), environment);
  EXPECT_EQ(r.exitCode, 0) << "the game opens and plays, its scores kept in memory";
  EXPECT_EQ(r.err.count("\nvantrel: ") + r.err.startsWith("vantrel: "), 1) << r.err.toStdString();
  EXPECT_TRUE(r.err.contains("vantrel: cannot save the high scores to " + path("blocked/vantrel/hiscore.txt") +
                             ": cannot make the folder " + path("blocked/vantrel") + ": "))
      << r.err.toStdString();

  const QString help = vantrel({"--help"}).out;
  for (const char* place : {"--user-hiscore", "$XDG_DATA_HOME/vantrel/hiscore.txt",
                            "~/.local/share/vantrel/hiscore.txt", "hiscore.txt in the working directory"})
    EXPECT_TRUE(help.simplified().contains(place)) << place;
}

TEST_F(ProgramTest, ABadScriptLineEndsThePlayWithItsLineAndExitCodeTwo) {
  writeFile(path("bad.txt"), "tick 3\nstate\nwobble 7\n");
  const Result r = vantrel({"--hiscore", path("hiscore.txt"), "--play", path("bad.txt")});
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_EQ(r.out.count('\n'), 1) << "the state line before the bad one";
  EXPECT_TRUE(r.err.contains("line 3")) << r.err.toStdString();
  EXPECT_TRUE(r.err.contains("wobble")) << r.err.toStdString();
}

// On a real X server the window paints when X asks it to, and only then does
// a paint draw a frame: a block fading at the end shows the same fade as
// vantrel-sim's, and the picture is the offscreen one.
TEST_F(ProgramTest, TheRealXServerShowsTheSameGame) {
  const QString xvfb = QStandardPaths::findExecutable("xvfb-run");
  if (xvfb.isEmpty()) GTEST_SKIP() << "xvfb-run is not installed";
  writeFile(path("fading.txt"), "type ABC\nkey 0x0D\nmove 200 250\nclick 200 250\ntick 300\nstate\n");
  const Result offscreen =
      vantrel({"--hiscore", path("h1.txt"), "--play", path("fading.txt"), "--screenshot", path("off.png")});
  ASSERT_EQ(offscreen.exitCode, 0);
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.remove("QT_QPA_PLATFORM");
  const Result x = run(xvfb,
                       {"-a", "-s", "-screen 0 1024x768x24", VANTREL_EXE, "--hiscore", path("h2.txt"), "--play",
                        path("fading.txt"), "--screenshot", path("x.png")},
                       folder_.path(), environment);
  ASSERT_EQ(x.exitCode, 0) << x.err.toStdString();
  const Result headless = sim(path("fading.txt"));
  ASSERT_TRUE(headless.out.contains("[0,28,100,")) << "a block is halfway through its fade";
  EXPECT_EQ(x.out.toStdString(), headless.out.toStdString());
  EXPECT_EQ(offscreen.out.toStdString(), headless.out.toStdString());
  EXPECT_EQ(QImage(path("x.png")), QImage(path("off.png")));
}

// The icon follows the first picture: on a real X server the window gets
// the colour icon at every size, 16 to 256.
TEST_F(ProgramTest, TheWindowGetsItsIconAtEverySizeOnceShown) {
  const QString xvfb = QStandardPaths::findExecutable("xvfb-run");
  if (xvfb.isEmpty()) GTEST_SKIP() << "xvfb-run is not installed";
  const char* watch =
      "\"$0\" --hiscore h.txt & game=$!\n"
      "for i in $(seq 100); do\n"
      "  xprop -len 1000000 -name Vantrel _NET_WM_ICON 2>/dev/null | grep -o 'Icon ([0-9]* x [0-9]*)' && break\n"
      "  sleep 0.1\n"
      "done\n"
      "kill $game\n";
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.remove("QT_QPA_PLATFORM");
  const Result x = run(xvfb, {"-a", "sh", "-c", watch, VANTREL_EXE}, folder_.path(), environment);
  EXPECT_EQ(x.out.toStdString(),
            "Icon (16 x 16)\nIcon (32 x 32)\nIcon (48 x 48)\nIcon (64 x 64)\nIcon (128 x 128)\nIcon (256 x 256)\n")
      << x.err.toStdString();
}

// A full disk, a played Exit, a played About box: a picture and exit code 0,
// or a clear message and a code that says it failed.
TEST_F(ProgramTest, ScreenshotsAndRecordingsReportWhatBecameOfThem) {
  struct Case {
    const char* script;
    QStringList options;
    int exitCode;
    const char* error;  // the whole of standard error
    bool picture;
  };
  const bool full = QFileInfo::exists("/dev/full");
  const Case cases[] = {
      {"tick 3\ncommand 52\ntick 500\n", {"--screenshot", "shot.png"}, 0, "", true},
      {"type ABC\nkey 13\ncommand 36\ntick 10\n", {"--screenshot", "shot.png"}, 0, "", true},
      {"tick 3\n",
       {"--screenshot", "no/such/folder.png"},
       2,
       "vantrel: cannot write the screenshot no/such/folder.png: No such file or directory\n",
       false},
      {"tick 3\n",
       {"--record", "no/such/folder.txt"},
       2,
       "vantrel: cannot write the recording no/such/folder.txt: No such file or directory\n",
       false},
  };
  for (const Case& c : cases) {
    QFile::remove(path("shot.png"));
    writeFile(path("s.txt"), c.script);
    const Result r = vantrel(QStringList{"--hiscore", path("hiscore.txt"), "--play", "s.txt"} + c.options);
    EXPECT_EQ(r.exitCode, c.exitCode) << c.script;
    // Qt may add its own warnings; the program's message is the last line.
    EXPECT_TRUE(r.err.endsWith(c.error)) << r.err.toStdString();
    if (!*c.error) {
      EXPECT_FALSE(r.err.contains("vantrel:")) << r.err.toStdString();
    }
    EXPECT_EQ(QImage(path("shot.png")).size(), c.picture ? QSize(632, 424) : QSize(0, 0)) << c.script;
  }
  if (!full) GTEST_SKIP() << "no /dev/full here";
  writeFile(path("s.txt"), "move 200 250\ntick 3\n");
  const std::pair<QStringList, QString> onFullDisk[] = {
      {{"--screenshot", "/dev/full"}, "vantrel: cannot write the screenshot /dev/full: No space left on device\n"},
      {{"--screenshot", "shot.png", "--record", "/dev/full"},
       "vantrel: cannot write the recording /dev/full: No space left on device\n"},
  };
  for (const auto& [options, error] : onFullDisk) {
    const Result r = vantrel(QStringList{"--play", "s.txt"} + options);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.endsWith(error)) << r.err.toStdString();
  }
}

TEST_F(ProgramTest, WithoutADisplayOneLineSaysSoAndTheExitCodeIsOne) {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) environment.remove(name);
  const Result r = run(VANTREL_EXE, {}, folder_.path(), environment);
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "vantrel: no display to open the window on; vantrel-sim plays scripts without one\n");
}

// SIGTERM from inside a modal box's loop closes the window; with the event
// loop blocked (standard output full), a second one ends the program at once.
TEST_F(ProgramTest, TerminationEndsTheWindowWhenBusyOrBlocked) {
  writeFile(path("about.txt"), "command 36\ntick 3\n");
  QProcess about;
  ASSERT_NO_FATAL_FAILURE(startRecording(about, {"--hiscore", path("hiscore.txt"), "--play", "about.txt"}, "r.txt"));
  about.terminate();
  ASSERT_TRUE(about.waitForFinished(10000));
  EXPECT_EQ(about.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(about.exitCode(), 0);

  ASSERT_EQ(mkfifo(qPrintable(path("out")), 0600), 0);
  const int reader = ::open(qPrintable(path("out")), O_RDONLY | O_NONBLOCK);  // held open, never read
  ASSERT_GE(reader, 0);
  writeFile(path("states.txt"), QByteArray("move 200 250\n") + QByteArray("state\n").repeated(2000));
  QProcess blocked;
  blocked.setStandardOutputFile(path("out"));
  ASSERT_NO_FATAL_FAILURE(startRecording(blocked, {"--hiscore", path("hiscore.txt"), "--play", "states.txt"}, "b.txt"));
  blocked.terminate();
  EXPECT_FALSE(blocked.waitForFinished(500)) << "the loop cannot answer";
  blocked.terminate();
  EXPECT_TRUE(blocked.waitForFinished(10000));
  ::close(reader);
  QFile recorded(path("b.txt"));
  ASSERT_TRUE(recorded.open(QIODevice::ReadOnly));
  EXPECT_EQ(recorded.readAll(), "move 200 250\n");
}

// Live input in the window, recorded, replays headless to the same state.
class RecordTest : public WindowTest {};

TEST_F(RecordTest, WhatTheWindowIsGivenIsRecordedAndReplaysInVantrelSim) {
  const QString script = folder() + "/recorded.txt";
  std::FILE* record = std::fopen(qPrintable(script), "w");
  ASSERT_NE(record, nullptr);
  setRecordStream(record);
  startGame("XY");
  QTest::mouseMove(&view(), QPoint(150, 240));
  ticks(30);
  QTest::mouseClick(&view(), Qt::LeftButton, {}, QPoint(150, 240));
  ticks(120);
  window().action(CommandSonic)->trigger();
  key(Qt::Key_Left);
  key(Qt::Key_PageDown);
  ticks(200);
  QApplication::processEvents();  // pointer moves that the key's cursor warp may cause
  ticks(1);
  const std::string expected = stateLine();
  setRecordStream(nullptr);
  std::fputs("state\n", record);
  std::fclose(record);

  QTemporaryDir other;
  const Result replay = run(VANTREL_SIM, {"--hiscore", other.filePath("hiscore.txt"), script}, other.path());
  ASSERT_EQ(replay.exitCode, 0) << replay.err.toStdString();
  EXPECT_EQ(replay.out.toStdString(), expected + "\n");
  EXPECT_EQ(world.gameState, StatePlaying);
}

}  // namespace
