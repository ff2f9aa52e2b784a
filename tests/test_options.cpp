// The window's command line, parsed from the bytes main receives, and where
// it puts the high-score table.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <vector>

#include "scores/high_scores.h"
#include "shell/hiscore_place.h"
#include "shell/options.h"

namespace {

CommandLine parse(std::vector<const char*> arguments) {
  arguments.insert(arguments.begin(), "vantrel");
  return parseCommandLine(static_cast<int>(arguments.size()), arguments.data());
}

TEST(CommandLineTest, GoodCommandLinesGiveTheirOptions) {
  CommandLine p = parse({});
  EXPECT_EQ(p.action, CommandLine::Run);
  EXPECT_EQ(p.options.scale, 1);
  EXPECT_EQ(p.options.hiscorePath, "");

  p = parse({"--hiscore", "/tmp/h.txt", "--record", "r.txt", "-play", "p.txt", "--screenshot=s.png", "--scale", "3"});
  ASSERT_EQ(p.action, CommandLine::Run) << p.error;
  EXPECT_EQ(p.options.hiscorePath, "/tmp/h.txt");
  EXPECT_EQ(p.options.recordPath, "r.txt");
  EXPECT_EQ(p.options.playPath, "p.txt");
  EXPECT_EQ(p.options.screenshotPath, "s.png");
  EXPECT_EQ(p.options.scale, 3);

  // A path is kept byte for byte, whatever its encoding; a value may start with a dash.
  p = parse({
      "--hiscore",
      "caf\xE9\xFF.txt",
      "--play",
      "-",
      "--",
  });
  ASSERT_EQ(p.action, CommandLine::Run) << p.error;
  EXPECT_EQ(p.options.hiscorePath, "caf\xE9\xFF.txt");
  EXPECT_EQ(p.options.playPath, "-");

  for (const char* help : {"--help", "-h", "-help"}) EXPECT_EQ(parse({help}).action, CommandLine::ShowHelp) << help;
  EXPECT_EQ(parse({"--version"}).action, CommandLine::ShowVersion);
  EXPECT_EQ(parse({"--version", "--help"}).action, CommandLine::ShowHelp);

  // The scale's range at both ends and one past each: a value inside is taken
  // as the run's, one outside refuses the command line.
  const struct {
    const char* value;
    int taken;  // 0: refused
  } edges[] = {{"0", 0}, {"1", 1}, {"8", 8}, {"9", 0}};
  for (const auto& edge : edges) {
    SCOPED_TRACE(edge.value);
    p = parse({"--scale", edge.value});
    EXPECT_EQ(p.action, edge.taken ? CommandLine::Run : CommandLine::Fail) << p.error;
    EXPECT_EQ(p.error.empty(), edge.taken != 0) << p.error;
    if (edge.taken) {
      EXPECT_EQ(p.options.scale, edge.taken);
    }
  }

  EXPECT_FALSE(parse({}).options.userHiscore);
  for (const char* user : {"--user-hiscore", "-user-hiscore"}) {
    p = parse({user, "--scale", "2"});
    ASSERT_EQ(p.action, CommandLine::Run) << p.error;
    EXPECT_TRUE(p.options.userHiscore) << user;
  }
  EXPECT_FALSE(parse({}).options.pauseWhenInactive);
  p = parse({"--pause-when-inactive", "--user-hiscore"});
  ASSERT_EQ(p.action, CommandLine::Run) << p.error;
  EXPECT_TRUE(p.options.pauseWhenInactive);
  EXPECT_TRUE(p.options.userHiscore);
  EXPECT_EQ(parse({"--pause-when-inactive=1"}).error, "--pause-when-inactive takes no value");
}

// The help as a message box shows it: one line an option, prose in one piece.
TEST(CommandLineTest, TextForABoxPutsEachOptionOnALineOfItsOwn) {
  const struct {
    std::string terminal, box;
  } cases[] = {
      {"Usage: vantrel [OPTION]...\nVantrel, a game: keep the ball\nin play.\n\n",
       "Usage: vantrel [OPTION]...\nVantrel, a game: keep the ball in play.\n\n"},
      {"  --hiscore PATH     keep the table\n                     in PATH\n  -h, --help         show this\n",
       "--hiscore PATH: keep the table in PATH\n-h, --help: show this\n"},
      {"  --pause-when-inactive\n                     hold the game\n", "--pause-when-inactive: hold the game\n"},
      {"vantrel: unknown option '--bogus'\nTry 'vantrel --help' for more information.\n",
       "vantrel: unknown option '--bogus'\nTry 'vantrel --help' for more information.\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(boxText(c.terminal), c.box) << c.terminal;
  const std::string help = boxText(usageText());
  EXPECT_NE(help.find("\n--scale N: open the window"), std::string::npos) << help;
  EXPECT_EQ(help.find("\n "), std::string::npos) << "no line starts with a blank:\n" << help;
}

// Each system's player reads the folders and ways of that system: no XDG
// folders, desktop menu or vantrel-sim (which the Windows download does not
// hold) for Windows, no %APPDATA% for Linux; both lay out in a box.
TEST(CommandLineTest, HelpSpeaksOfEachSystemsOwnFoldersAndWays) {
  const struct {
    UsageSystem system;
    std::vector<const char*> said, unsaid;
  } cases[] = {
      {UsageLinux,
       {"~/.local/share/vantrel/hiscore.txt", "$XDG_DATA_HOME", "desktop menu's entry", "vantrel-sim"},
       {"APPDATA", "Start menu", "Windows"}},
      {UsageWindows,
       {"%APPDATA%\\Vantrel\\hiscore.txt", "The Start menu's entry starts the game so.",
        "folder the game is started in"},
       {"XDG", ".local", "desktop", "vantrel-sim", "working directory"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.system == UsageWindows ? "Windows" : "Linux");
    const std::string help = usageText(c.system), box = boxText(help);
    for (const char* words : c.said) EXPECT_NE(box.find(words), std::string::npos) << words << "\n" << box;
    for (const char* words : c.unsaid) EXPECT_EQ(help.find(words), std::string::npos) << words << "\n" << help;
    EXPECT_EQ(box.find("\n "), std::string::npos) << "no line starts with a blank:\n" << box;
  }
}

TEST(CommandLineTest, BadCommandLinesSayWhatIsWrongWithTheOptionAsTyped) {
  struct Case {
    std::vector<const char*> arguments;
    const char* error;
  };
  const Case cases[] = {
      {{"--bogus"}, "unknown option '--bogus'"},
      {{"-bogus=1"}, "unknown option '-bogus'"},
      {{"--scale", "0"}, "--scale takes a whole number from 1 to 8, not '0'"},
      {{"--scale", "9"}, "--scale takes a whole number from 1 to 8, not '9'"},
      {{"-scale=2x"}, "-scale takes a whole number from 1 to 8, not '2x'"},
      {{"--scale", " 2"}, "--scale takes a whole number from 1 to 8, not ' 2'"},
      {{"--scale"}, "--scale needs a value"},
      {{"--play"}, "--play needs a value"},
      {{"--play", ""}, "--play needs a value"},
      {{"--hiscore", ""}, "--hiscore needs a value"},
      {{"--hiscore="}, "--hiscore needs a value"},
      {{"--screenshot", "s.png"}, "--screenshot needs --play"},
      {{"--hiscore", "a", "-hiscore", "b"}, "-hiscore given more than once"},
      {{"--help=yes"}, "--help takes no value"},
      {{"--user-hiscore=here"}, "--user-hiscore takes no value"},
      {{"--hiscore", "h.txt", "-user-hiscore"}, "--hiscore and -user-hiscore cannot be used together"},
      {{"stray"}, "unexpected argument 'stray'"},
      {{"--", "--help"}, "unexpected argument '--help'"},
      {{"--play", "p", "\xFF\xFE"}, "unexpected argument '\\xFF\\xFE'"},
  };
  for (const Case& c : cases) {
    const CommandLine p = parse(c.arguments);
    EXPECT_EQ(p.action, CommandLine::Fail) << c.error;
    EXPECT_EQ(p.error, c.error);
  }
  EXPECT_EQ(commandLineErrorText("x"), "vantrel: x\nTry 'vantrel --help' for more information.\n");
}

TEST(CommandLineTest, UnknownOptionsAreListedAsTypedForThePlatformToClaim) {
  const CommandLine p = parse({"-platform", "offscreen", "--scale", "2", "--reverse"});
  EXPECT_EQ(p.action, CommandLine::Fail);
  EXPECT_EQ(p.unknownOptions, (std::vector<std::string>{"-platform", "--reverse"}));
}

#ifndef _WIN32  // the folders of XDG systems; Windows takes APPDATA

// Sets environment variables for one test and puts back what was there.
class Environment {
 public:
  void set(const char* name, std::optional<std::string> value) {
    if (!saved_.count(name)) {
      const char* old = std::getenv(name);
      saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
    }
    value ? setenv(name, value->c_str(), 1) : unsetenv(name);
  }
  ~Environment() {
    for (const auto& [name, value] : saved_) value ? setenv(name.c_str(), value->c_str(), 1) : unsetenv(name.c_str());
  }

 private:
  std::map<std::string, std::optional<std::string>> saved_;
};

TEST(UserHighScoreTest, TheTableIsInTheUsersDataFolderWhichIsMadeWhenMissing) {
  namespace fs = std::filesystem;
  const fs::path root = fs::temp_directory_path() / ("vantrel-user-" + std::to_string(::getpid()));
  fs::remove_all(root);
  struct Case {
    std::optional<std::string> dataHome, home;
    fs::path expected;
  };
  const Case cases[] = {
      {(root / "data").string(), (root / "home").string(), root / "data" / "vantrel" / "hiscore.txt"},
      {std::nullopt, (root / "home").string(), root / "home" / ".local" / "share" / "vantrel" / "hiscore.txt"},
      {"", (root / "home2").string(), root / "home2" / ".local" / "share" / "vantrel" / "hiscore.txt"},
      {"relative/data", (root / "home3").string(), root / "home3" / ".local" / "share" / "vantrel" / "hiscore.txt"},
  };
  for (const Case& c : cases) {
    Environment environment;
    environment.set("XDG_DATA_HOME", c.dataHome);
    environment.set("HOME", c.home);
    std::string error;
    EXPECT_EQ(userHighScorePath(error), c.expected.string()) << error;
    EXPECT_TRUE(fs::is_directory(c.expected.parent_path())) << c.expected;
    EXPECT_EQ(userHighScorePath(error), c.expected.string()) << "a folder already there is fine";
  }
  fs::remove_all(root);
}

TEST(UserHighScoreTest, AFolderThatCannotBeMadeOrFoundIsNamed) {
  namespace fs = std::filesystem;
  const fs::path root = fs::temp_directory_path() / ("vantrel-blocked-" + std::to_string(::getpid()));
  fs::create_directories(root);
  std::ofstream(root / "vantrel") << "a file where the folder should be";
  Environment environment;
  environment.set("XDG_DATA_HOME", root.string());
  std::string error;
  EXPECT_EQ(userHighScorePath(error), "");
  EXPECT_EQ(error.rfind("cannot make the folder " + (root / "vantrel").string() + ": ", 0), 0u) << error;

  // The game opens all the same, its scores kept in memory, and says why.
  resetHighScores();
  Options options;
  options.userHiscore = true;
  error.clear();
  EXPECT_TRUE(chooseHighScoreFile(options, error)) << error;
  const std::string notice = takeHighScoreProblem();
  EXPECT_NE(notice.find("cannot make the folder " + (root / "vantrel").string() + ": "), std::string::npos) << notice;
  EXPECT_NE(notice.find("kept until the program ends"), std::string::npos) << notice;
  resetHighScores();

  environment.set("XDG_DATA_HOME", std::nullopt);
  environment.set("HOME", std::nullopt);
  error.clear();
  EXPECT_EQ(userHighScorePath(error), "");
  EXPECT_EQ(error, "cannot find this user's data folder: neither XDG_DATA_HOME nor HOME is set");
  fs::remove_all(root);
}

#endif

}  // namespace
