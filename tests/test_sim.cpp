// vantrel-sim as a program: scripts in, state lines, stderr and exit codes out.
// Every run gets a fresh temporary folder as its working directory, since a
// finished game writes hiscore.txt there.
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "file_io.h"
#include "hiscore_files.h"
#include "scores/high_scores.h"

namespace fs = std::filesystem;

namespace {

const std::string simPath = VANTREL_SIM;
const std::string demoDir = VANTREL_DEMO_DIR;
#ifdef VANTREL_AUTOPLAY
const std::string autoplayPath = VANTREL_AUTOPLAY;
#else
const std::string autoplayPath = (fs::path(VANTREL_SIM).parent_path() / "vantrel-autoplay").string();
#endif

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> result;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) result.push_back(line);
  return result;
}

// The members of a JSON object, values as raw text: {"a":1,"b":[2]} gives
// (a, 1) and (b, [2]). Enough for a state line, whose keys need no escapes.
std::vector<std::pair<std::string, std::string>> members(const std::string& json) {
  std::vector<std::pair<std::string, std::string>> result;
  if (json.size() < 2 || json.front() != '{' || json.back() != '}') return result;
  size_t i = 1;
  while (i < json.size() && json[i] == '"') {
    const size_t keyEnd = json.find('"', i + 1);
    if (keyEnd == std::string::npos || json[keyEnd + 1] != ':') return {};
    const std::string key = json.substr(i + 1, keyEnd - i - 1);
    const size_t start = i = keyEnd + 2;
    int depth = 0;
    bool inString = false;
    for (; i < json.size(); ++i) {
      const char c = json[i];
      if (inString) {
        if (c == '\\')
          ++i;
        else if (c == '"')
          inString = false;
      } else if (c == '"') {
        inString = true;
      } else if (c == '[' || c == '{') {
        ++depth;
      } else if ((c == ']' || c == '}') && depth-- == 0) {
        break;
      } else if (c == ',' && depth == 0) {
        break;
      }
    }
    result.emplace_back(key, json.substr(start, i - start));
    if (i < json.size() && json[i] == ',')
      ++i;
    else
      break;
  }
  return result;
}

std::string field(const std::string& json, const std::string& key) {
  for (const auto& [k, v] : members(json)) {
    if (k == key) return v;
  }
  return "<missing " + key + ">";
}

struct Result {
  int exitCode = -1;
  std::string out, err;
  std::vector<std::string> outLines() const { return lines(out); }
  std::string lastLine() const {
    const auto all = outLines();
    return all.empty() ? std::string() : all.back();
  }
};

class SimTest : public ::testing::Test {
 protected:
  fs::path dir;

  void SetUp() override {
    std::string name = (fs::temp_directory_path() / "vantrel-sim-test-XXXXXX").string();
    ASSERT_NE(mkdtemp(name.data()), nullptr);
    dir = name;
  }
  void TearDown() override { fs::remove_all(dir); }

  // Runs a program in the folder with no input; its output goes through files.
  Result run(const std::vector<std::string>& args, const fs::path& cwd) {
    const fs::path outPath = dir / ".stdout", errPath = dir / ".stderr";
    const pid_t pid = fork();
    if (pid == 0) {
      const int in = open("/dev/null", O_RDONLY);
      const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      if (in < 0 || out < 0 || err < 0 || chdir(cwd.c_str()) != 0) _exit(126);
      dup2(in, 0), dup2(out, 1), dup2(err, 2);
      std::vector<char*> argv;
      for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
      argv.push_back(nullptr);
      execv(argv[0], argv.data());
      _exit(127);
    }
    Result r;
    int status = 0;
    if (pid > 0 && waitpid(pid, &status, 0) == pid) {
      r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    r.out = readAll(outPath);
    r.err = readAll(errPath);
    fs::remove(outPath), fs::remove(errPath);
    return r;
  }

  Result sim(const std::vector<std::string>& args) {
    std::vector<std::string> command{simPath};
    command.insert(command.end(), args.begin(), args.end());
    return run(command, dir);
  }

  Result script(const std::string& text, std::vector<std::string> options = {}) {
    writeAll(dir / "script.vsim", text);
    options.push_back("script.vsim");
    return sim(options);
  }
};

const std::vector<std::string> stateKeys = {"tickCount",     "gameState",  "level",
                                            "levelCount",    "points",     "balls",
                                            "bonus",         "bonusTime",  "bonusTimePerLevel",
                                            "bonusPerLevel", "blocksLeft", "blockCount",
                                            "ballX",         "ballY",      "ballVX",
                                            "ballVY",        "ballSize",   "speedFactor",
                                            "batX",          "batY",       "batWidth",
                                            "batHeight",     "playerName", "typedName",
                                            "pointerX",      "pointerY",   "checkedSpeedItem",
                                            "cursor",        "blocks",     "highScores"};

std::vector<std::string> keysOf(const std::string& json) {
  std::vector<std::string> keys;
  for (const auto& m : members(json)) keys.push_back(m.first);
  return keys;
}

TEST_F(SimTest, StateLineHasExactlyTheKeysInOrder) {
  const Result r = script("type BOB\nkey 13\nmove 200 250\nclick 200 250\ntick 50\nstate\n");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  ASSERT_EQ(r.outLines().size(), 1u);
  EXPECT_EQ(keysOf(r.lastLine()), stateKeys);
}

// Small scripts that all end with one state line, and what it must show.
struct Case {
  const char* name;
  const char* script;
  std::vector<std::pair<const char*, const char*>> expected;
};

const Case cases[] = {
    {"opens in name entry",
     "state",
     {{"gameState", "45"}, {"tickCount", "0"}, {"speedFactor", "1"}, {"checkedSpeedItem", "42"}}},
    {"name and Enter start a game",
     "type BOB\nkey 13\nstate",
     {{"gameState", "40"}, {"level", "1"}, {"blockCount", "12"}, {"balls", "2"}, {"playerName", "\"BOB\""}}},
    {"no name gives NoName", "key 13\nstate", {{"gameState", "40"}, {"playerName", "\"NoName\""}}},
    {"a click in the bat zone launches",
     "type BOB\nkey 13\nmove 200 250\nclick 200 250\ntick 10\nstate",
     {{"gameState", "41"}, {"batY", "248"}, {"ballY", "213"}, {"ballVY", "-2"}}},
    {"Enter launches",
     "type BOB\nkey 13\nmove 200 250\nkey 13\ntick 10\nstate",
     {{"gameState", "41"}, {"ballY", "213"}}},
    {"Space launches",
     "type BOB\nkey 13\nmove 200 250\nkey 0x20\ntick 10\nstate",
     {{"gameState", "41"}, {"ballY", "213"}}},
    {"a click outside the bat zone does not",
     "type BOB\nkey 13\nmove 200 250\nclick 200 100\ntick 10\nstate",
     {{"gameState", "40"}, {"ballY", "233"}}},
    {"Slow", "command 41\nstate", {{"speedFactor", "0.5"}, {"checkedSpeedItem", "41"}}},
    {"Normal", "command 46\ncommand 42\nstate", {{"speedFactor", "1"}, {"checkedSpeedItem", "42"}}},
    {"Fast", "command 44\nstate", {{"speedFactor", "1.5"}, {"checkedSpeedItem", "44"}}},
    {"Sonic", "command 46\nstate", {{"speedFactor", "2"}, {"checkedSpeedItem", "46"}}},
    {"high-score view", "type BOB\nkey 13\ncommand 53\nstate", {{"gameState", "46"}, {"level", "1"}}},
    {"player's name",
     "type BOB\nkey 13\ncommand 54\nstate",
     {{"gameState", "45"}, {"typedName", "\"\""}, {"playerName", "\"BOB\""}}},
};

TEST_F(SimTest, SmallScripts) {
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Result r = script(std::string(c.script) + "\n");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "");
    ASSERT_EQ(r.outLines().size(), 1u);
    for (const auto& [key, value] : c.expected) EXPECT_EQ(field(r.lastLine(), key), value) << key;
  }
}

struct BadScript {
  const char* script;
  const char* lineText;
  int lineNumber, statesBefore;
};

const BadScript badScripts[] = {
    {"bogus 1", "bogus 1", 1, 0},
    {"state\ntick 12x", "tick 12x", 2, 1},
    {"state\n\nmove 1", "move 1", 3, 1},
    {"# a comment\nclick 1 2 3", "click 1 2 3", 2, 0},
    {"type", "type", 1, 0},
    {"state\nstate\nkey 0xZZ", "key 0xZZ", 3, 2},
    {"command", "command", 1, 0},
    {"tick -5", "tick -5", 1, 0},
    {"state\ncommand 65561", "command 65561", 2, 1},
    {"tick 0x40000000000000005", "tick 0x40000000000000005", 1, 0},
};

TEST_F(SimTest, BadScriptsStopWithTheLineOnStderr) {
  for (const BadScript& b : badScripts) {
    SCOPED_TRACE(b.script);
    const Result r = script(std::string(b.script) + "\ntick\nstate\n");
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("line " + std::to_string(b.lineNumber)), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(b.lineText), std::string::npos) << r.err;
    EXPECT_EQ(r.outLines().size(), static_cast<size_t>(b.statesBefore));
  }
}

TEST_F(SimTest, HelpAndVersionAnswerAtOnce) {
  const Result version = sim({"--version", "no-such-script.vsim"});
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_EQ(version.out, "vantrel-sim 1.0\n");
  const Result help = sim({"--help"});
  EXPECT_EQ(help.exitCode, 0);
  for (const char* option : {"--hiscore PATH", "--help", "--version"})
    EXPECT_NE(help.out.find(option), std::string::npos) << option;
}

TEST_F(SimTest, UnreadableScriptFile) {
  fs::create_directory(dir / "a-folder.vsim");
  for (const char* path : {"no-such-script.vsim", "a-folder.vsim"}) {
    SCOPED_TRACE(path);
    const Result r = sim({path});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find(path), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
  }
}

TEST_F(SimTest, ExitEndsTheRunAndLaterLinesDoNotRun) {
  const Result r = script("type BOB\nkey 13\ncommand 52\nstate\nnot a command\n");
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "");
}

TEST_F(SimTest, AboutAndFindPrintOneLineAndChangeNothing) {
  const std::string game = "type BOB\nkey 13\nmove 200 250\nclick 200 250\ntick 30\n";
  const std::string before = script(game + "state\n").lastLine();
  for (const char* command : {"36", "40005"}) {
    SCOPED_TRACE(command);
    const Result r = script(game + "command " + command + "\nstate\n");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(lines(r.err).size(), 1u) << r.err;
    EXPECT_EQ(r.lastLine(), before);
  }
}

// A whole game from a demo script; the score must reach the table and the file.
void expectFinished(const Result& r, const char* state, const fs::path& hiscore) {
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const std::string last = r.lastLine();
  EXPECT_EQ(field(last, "gameState"), state);
  const std::string name = field(last, "playerName"), points = field(last, "points");
  EXPECT_NE(field(last, "highScores").find("[" + name + "," + points + "]"), std::string::npos) << last;
  const std::string file = readAll(hiscore);
  EXPECT_NE(file.find(name.substr(1, name.size() - 2) + "   " + points + " "), std::string::npos) << file;
}

TEST_F(SimTest, AllLevelsDemoClearsTwelveLevels) {
  const Result r = sim({demoDir + "/all-levels.vsim"});
  expectFinished(r, "42", dir / "hiscore.txt");
  EXPECT_EQ(field(r.lastLine(), "level"), "12");
  EXPECT_EQ(field(r.lastLine(), "blocksLeft"), "0");
}

TEST_F(SimTest, GameOverDemoLosesEveryBall) {
  const Result r = sim({demoDir + "/game-over.vsim"});
  expectFinished(r, "43", dir / "hiscore.txt");
  EXPECT_EQ(field(r.lastLine(), "balls"), "0");
}

TEST_F(SimTest, HiscoreOptionIsHonoured) {
  fs::create_directory(dir / "scores");
  const Result r = sim({"--hiscore", "scores/table.txt", demoDir + "/game-over.vsim"});
  expectFinished(r, "43", dir / "scores" / "table.txt");
  EXPECT_FALSE(fs::exists(dir / "hiscore.txt"));
}

TEST_F(SimTest, BadCommandLinesNameTheOptionOrFileShownSafely) {
  const std::string tryHelp = "Try 'vantrel-sim --help' for more information.\n";
  struct Case {
    std::vector<std::string> args;
    std::string error;
  };
  const Case cases[] = {
      {{"--hiscore", ""}, "vantrel-sim: --hiscore needs a path\n" + tryHelp},
      {{"--hiscore"}, "vantrel-sim: --hiscore needs a path\n" + tryHelp},
      {{"--bogus"}, "vantrel-sim: unknown option '--bogus'\n" + tryHelp},  // as vantrel says it
      // Bytes that could steer the terminal are shown, never sent.
      {{"caf\xE9\xFF.vsim"}, "vantrel-sim: cannot read the script caf\\xE9\\xFF.vsim: No such file or directory\n"},
      {{"\x1B]0;x\x07.vsim"}, "vantrel-sim: cannot read the script \\x1B]0;x\\x07.vsim: No such file or directory\n"},
      {{"--\x1B[2J"}, "vantrel-sim: unknown option '--\\x1B[2J'\n" + tryHelp},
  };
  for (const Case& c : cases) {
    const Result r = sim(c.args);
    EXPECT_EQ(r.exitCode, 2) << c.error;
    EXPECT_EQ(r.err, c.error);
  }
}

TEST_F(SimTest, DemoRuns) {
  const Result r = sim({demoDir + "/demo.vsim"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const auto states = r.outLines();
  ASSERT_GE(states.size(), 3u);
  for (const std::string& s : states) EXPECT_EQ(keysOf(s), stateKeys) << s;
  EXPECT_EQ(field(states.back(), "gameState"), "45");
}

// The table is read on the high-score view. Invalid characters are reported
// on stdout as "\nInvalid character: ...", each on a line of its own; the
// state lines still stand on lines of their own.
TEST_F(SimTest, DamagedHiscoreFileIsSurvived) {
  std::string garbage;
  for (int round = 0; round < 4; ++round) {
    for (int c = 0; c < 256; ++c) garbage += static_cast<char>(c);
  }
  const std::pair<const char*, std::string> files[] = {
      {"binary garbage", garbage},
      {"a huge token", std::string(50'000, 'A') + " 5 7\r\n" + std::string(10'000, '9')},
  };
  for (const auto& [what, content] : files) {
    SCOPED_TRACE(what);
    writeAll(dir / "hiscore.txt", content);
    const Result r = script("command 53\nstate\ncommand 54\ntype BOB\nkey 13\nstate\n");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "");
    std::vector<std::string> states;
    for (const std::string& line : r.outLines()) {
      if (line.rfind("{\"tickCount\"", 0) == 0) {
        states.push_back(line);
      } else if (!line.empty()) {
        EXPECT_EQ(line.rfind("Invalid character:", 0), 0u) << line;
      }
    }
    ASSERT_EQ(states.size(), 2u) << r.out.substr(0, 2000);
    for (const std::string& s : states) EXPECT_EQ(keysOf(s), stateKeys);
    EXPECT_EQ(field(states[0], "gameState"), "46");
    EXPECT_EQ(field(states[1], "gameState"), "40");
    // What the next save wrote back is a clean table.
    const auto saved = lines(readAll(dir / "hiscore.txt"));
    EXPECT_EQ(saved.size(), 10u);
  }
}

// What vantrel-autoplay records replays in vantrel-sim to the very state in
// which the autoplayer's own game ended.
TEST_F(SimTest, AutoplayRecordingReplaysToTheSameState) {
  if (!fs::exists(autoplayPath)) GTEST_SKIP() << "no " << autoplayPath << " (build vantrel-autoplay)";
  const std::vector<std::vector<std::string>> runs = {
      {"--until", "gameover", "--name", "Tess"},
      {"--until", "levels", "--max-ticks", "12000"},
  };
  for (const auto& options : runs) {
    SCOPED_TRACE(options[1]);
    const fs::path player = dir / "player", replay = dir / "replay";
    fs::create_directories(player), fs::create_directories(replay);
    std::vector<std::string> args = {autoplayPath, "--state-file", "final.txt"};
    args.insert(args.end(), options.begin(), options.end());
    const Result recorded = run(args, player);
    EXPECT_EQ(recorded.exitCode, options[1] == "gameover" ? 0 : 1) << recorded.err;
    const std::string finalState = readAll(player / "final.txt");
    ASSERT_FALSE(finalState.empty());
    writeAll(replay / "game.vsim", recorded.out);
    const Result replayed = run({simPath, "game.vsim"}, replay);
    ASSERT_EQ(replayed.exitCode, 0) << replayed.err;
    EXPECT_EQ(replayed.lastLine() + "\n", finalState);
    EXPECT_EQ(recorded.err, finalState);
    fs::remove_all(player), fs::remove_all(replay);
  }
}

// A table file that is not a file does not stop the game: one message, and the
// thing named hiscore.txt is left as it was.
TEST_F(SimTest, HiscoreThatIsNoFileIsLeftAlone) {
  const std::pair<const char*, void (*)(const fs::path&)> things[] = {
      {"a FIFO", [](const fs::path& p) { ASSERT_EQ(mkfifo(p.c_str(), 0644), 0); }},
      {"a link to an endless device", [](const fs::path& p) { fs::create_symlink("/dev/zero", p); }},
  };
  for (const auto& [what, make] : things) {
    SCOPED_TRACE(what);
    make(dir / "hiscore.txt");
    const auto type = fs::symlink_status(dir / "hiscore.txt").type();
    const Result r = script("command 53\nstate\n");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(lines(r.err).size(), 1u) << r.err;
    EXPECT_EQ(field(r.lastLine(), "gameState"), "46");
    EXPECT_EQ(fs::symlink_status(dir / "hiscore.txt").type(), type);
    fs::remove(dir / "hiscore.txt");
  }
}

// Ten lines as the game writes them, best first, each with a valid check.
std::string wholeTableFault(const std::string& text) {
  std::istringstream in(text);
  std::string line;
  int32_t previous = INT32_MAX;
  for (int i = 0; i < 10; ++i) {
    if (!std::getline(in, line)) return "only " + std::to_string(i) + " lines";
    std::istringstream fields(line);
    std::string name;
    long score = 0, check = 0;
    fields >> name >> score >> check;
    char expected[96];
    std::snprintf(expected, sizeof expected, "%s   %ld %6ld \r", name.c_str(), score, check);
    if (line != expected) return "line " + std::to_string(i) + " malformed: " + line;
    const int32_t valid = checkValue(checkValue(i * i, name.c_str()), std::to_string(score).c_str());
    if (check != valid || name == "Cheater") return "line " + std::to_string(i) + " fails its check: " + line;
    if (score > previous) return "line " + std::to_string(i) + " out of order";
    previous = static_cast<int32_t>(score);
  }
  return in.peek() == EOF ? "" : "more than ten lines";
}

std::vector<std::string> temporariesIn(const fs::path& folder) {
  std::vector<std::string> found;
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind("hiscore.txt.tmp", 0) == 0) found.push_back(name);
  }
  return found;
}

// How the games of the kill test save: as usual; in place, in a folder that
// takes no new file; two at once without a lock, merging and retrying; two
// users at once in a folder anyone may write to; or on a system that cannot
// swap files.
struct SaveWay {
  const char* what;
  int kills;
  bool closedFolder;
  bool twoWithoutLock;
  bool twoUsers = false;
  bool noExchange = false;
};

// Starts vantrel-sim on the script in the folder, as user nobody when asked,
// on a system that cannot swap files when asked.
pid_t startSim(const fs::path& sim, const fs::path& folder, bool asNobody, bool noExchange = false) {
  const passwd* nobody = ::getpwnam("nobody");
  const pid_t pid = fork();
  if (pid == 0) {
    const int null = open("/dev/null", O_RDWR);
    if (null < 0 || chdir(folder.c_str()) != 0) _exit(126);
    umask(0);  // tables and lock files every player of the folder may write
    if (noExchange) {
      setenv("LD_PRELOAD", VANTREL_NO_EXCHANGE, 1);
      setenv("ASAN_OPTIONS", "verify_asan_link_order=0", 1);
    }
    if (asNobody &&
        (!nobody || setgroups(0, nullptr) != 0 || setresgid(nobody->pw_gid, nobody->pw_gid, nobody->pw_gid) != 0 ||
         setresuid(nobody->pw_uid, nobody->pw_uid, nobody->pw_uid) != 0)) {
      _exit(125);
    }
    dup2(null, 0), dup2(null, 1), dup2(null, 2);
    execl(sim.c_str(), sim.c_str(), "../game.vsim", static_cast<char*>(nullptr));
    _exit(127);
  }
  return pid;
}

// A score the run saved without the lock, which another game's table then
// replaced: the program puts it back as it ends, through the mid-end's end of
// the run. The script comes through a pipe, so that the other game can act
// while the program is still running.
TEST_F(SimTest, TheEndOfTheRunPutsBackAScoreAnotherGameReplaced) {
  fs::create_directory(dir / "hiscore.txt.lock");  // no lock can be had
  int pipeEnds[2];
  ASSERT_EQ(pipe(pipeEnds), 0);
  const pid_t pid = fork();
  if (pid == 0) {
    const int null = open("/dev/null", O_WRONLY);
    if (null < 0 || chdir(dir.c_str()) != 0) _exit(126);
    dup2(pipeEnds[0], 0), dup2(null, 1), dup2(null, 2);
    close(pipeEnds[1]);
    execl(simPath.c_str(), simPath.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  ASSERT_GT(pid, 0);
  close(pipeEnds[0]);
  const std::string game = readAll(demoDir + "/game-over.vsim");
  ASSERT_EQ(write(pipeEnds[1], game.data(), game.size()), static_cast<ssize_t>(game.size()));
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (readAll(dir / "hiscore.txt").rfind("AUTO", 0) != 0 && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  const std::string saved = readAll(dir / "hiscore.txt");
  ASSERT_EQ(saved.rfind("AUTO", 0), 0u) << saved;
  const std::string others = validLine(0, "Cid", 99999);
  writeAll(dir / "other.txt", others);
  fs::rename(dir / "other.txt", dir / "hiscore.txt");
  close(pipeEnds[1]);
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  const std::string finished = readAll(dir / "hiscore.txt");
  EXPECT_EQ(finished.rfind(others, 0), 0u) << finished;
  EXPECT_EQ(finished.find("AUTO"), others.size()) << "the run's score, second: " << finished;
}

// Games killed at random moments while they end and save: hiscore.txt is
// always a whole table with valid check values; a dead game's temporary file
// is gone after the next save, and none is left at the end, even where no
// lock can be had (a live game's own is never taken for a dead one's).
TEST_F(SimTest, KilledWhileSavingLeavesAWholeTable) {
  std::string game = readAll(demoDir + "/game-over.vsim");
  for (int i = 0; i < 400; ++i) game += "command 53\n";  // each one reads and saves the table
  writeAll(dir / "game.vsim", game);
  // A copy of the program that user nobody may run, wherever the build is.
  const fs::path sim = dir / "vantrel-sim";
  fs::copy_file(simPath, sim);
  fs::permissions(dir, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec | fs::perms::others_read |
                           fs::perms::others_exec);
  const bool root = geteuid() == 0;
  const SaveWay ways[] = {{"renamed into place", 120, false, false},
                          {"written in place", 60, true, false},
                          {"two games without a lock", 60, false, true},
                          {"two users in a shared folder", 60, false, false, true},
                          {"no swapping", 60, false, false, false, true}};
  std::mt19937 random(20261210);
  std::uniform_int_distribution<int> delayUs(0, 60'000);
  for (const SaveWay& way : ways) {
    SCOPED_TRACE(way.what);
    const fs::path folder = dir / way.what;
    fs::create_directory(folder);
    if (way.twoWithoutLock) fs::create_directory(folder / "hiscore.txt.lock");
    if (way.twoUsers) fs::permissions(folder, fs::perms::all | fs::perms::sticky_bit);
    const std::vector<std::string> highScores = {"--hiscore", (folder / "hiscore.txt").string()};
    ASSERT_EQ(script("command 53\n", highScores).exitCode, 0);
    if (way.twoUsers) {
      for (const char* name : {"hiscore.txt", "hiscore.txt.lock"}) {
        fs::permissions(folder / name, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                                           fs::perms::group_write | fs::perms::others_read | fs::perms::others_write);
      }
    }
    if (way.closedFolder) {
      if (const passwd* nobody = getpwnam("nobody"); root && nobody) {
        for (const fs::path& p : {folder, folder / "hiscore.txt"}) {
          ASSERT_EQ(chown(p.c_str(), nobody->pw_uid, nobody->pw_gid), 0);
        }
      }
      fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
    }
    int killedWithTemporary = 0;
    for (int kill = 0; kill < way.kills; ++kill) {
      std::vector<pid_t> games{startSim(sim, folder, way.closedFolder && root, way.noExchange)};
      if (way.twoWithoutLock || way.twoUsers) games.push_back(startSim(sim, folder, way.twoUsers && root));
      for (const pid_t pid : games) {
        ASSERT_GT(pid, 0);
        std::this_thread::sleep_for(std::chrono::microseconds(delayUs(random)));
        ::kill(pid, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the game ended before it was killed: " << status;
      }
      SCOPED_TRACE("kill " + std::to_string(kill));
      ASSERT_EQ(wholeTableFault(readAll(folder / "hiscore.txt")), "");
      const auto left = temporariesIn(folder);
      if (!way.twoWithoutLock && !way.twoUsers) {
        ASSERT_LE(left.size(), way.closedFolder ? 0u : 1u);
      }
      killedWithTemporary += static_cast<int>(left.size());
    }
    RecordProperty(std::string("killsDuringSave ") + way.what, killedWithTemporary);
    if (way.closedFolder) fs::permissions(folder, fs::perms::owner_all);
    ASSERT_EQ(script("command 53\n", highScores).exitCode, 0);
    EXPECT_EQ(wholeTableFault(readAll(folder / "hiscore.txt")), "");
    EXPECT_EQ(temporariesIn(folder), std::vector<std::string>{});
  }
}

}  // namespace
