// The high-score file under faults: files that cannot be read, short files,
// planted links, games saving at once, dead runs' leftovers, read-only files
// and folders, things that are not files, and floods of invalid characters.
// Whatever happens, no score of the run is lost and no file is clobbered.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "core/session.h"
#include "core/world.h"
#include "game_fixture.h"
#include "hiscore_files.h"
#include "scores/high_scores.h"

namespace fs = std::filesystem;

namespace {

// What the session does when a game ends with these points.
void endGame(const char* name, int32_t points) {
  std::strcpy(world.candidateEntry.name, name);
  submitCandidate(points);
}

std::string tableFile(const std::vector<std::pair<std::string, int32_t>>& entries) {
  std::string s;
  for (size_t i = 0; i < entries.size(); ++i) s += validLine(static_cast<int>(i), entries[i].first, entries[i].second);
  for (size_t i = entries.size(); i < 10; ++i) s += line("NoName", 0, defaultChecks[i]);
  return s;
}

fs::file_status linkStatus(const fs::path& path) { return fs::symlink_status(path); }

bool runningAsRoot() { return ::geteuid() == 0; }

}  // namespace

class HiscoreFaultsTest : public GameTest {};

// Nothing that exists is replaced by the default table: the file is left as
// it is, the problem told once on stderr and once to the player, and the
// scores of the run are kept in memory.
TEST_F(HiscoreFaultsTest, FileThatCannotBeReadIsLeftAloneAndTheRunGoesOn) {
  const fs::path path = hiscorePath();
  const struct {
    const char* what;
    void (*make)(const fs::path&);
    const char* reason;
  } cases[] = {
      {"a folder", [](const fs::path& p) { fs::create_directory(p); }, "Is a directory"},
      {"a FIFO", [](const fs::path& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0644), 0); }, "not a regular file"},
      {"a link to a device", [](const fs::path& p) { fs::create_symlink("/dev/zero", p); }, "not a regular file"},
      {"a file that fails to read", [](const fs::path& p) { fs::create_symlink("/proc/self/mem", p); },
       "Input/output error"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    resetHighScores();
    setHighScorePath(path.string());
    c.make(path);
    const auto typeBefore = linkStatus(path).type();
    testing::internal::CaptureStderr();
    endGame("Ann", 500);
    endGame("Bob", 300);
    raiseEvent(EventShowHighScores);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(linkStatus(path).type(), typeBefore);
    EXPECT_EQ(filesIn(folder()), std::vector<std::string>{"hiscore.txt"});  // nor a lock beside it
    EXPECT_EQ(countOccurrences(err, "\n"), 1) << err;
    EXPECT_NE(err.find(path.string()), std::string::npos) << err;
    EXPECT_NE(err.find(c.reason), std::string::npos) << err;
    expectEntry(0, "Ann", 500);
    expectEntry(1, "Bob", 300);
    for (int i = 2; i < 10; ++i) expectEntry(i, "NoName", 0);
    const std::string notice = takeHighScoreProblem();
    EXPECT_NE(notice.find(path.string()), std::string::npos) << notice;
    EXPECT_NE(notice.find(c.reason), std::string::npos) << notice;
    EXPECT_NE(notice.find("kept until the program ends"), std::string::npos) << notice;
    EXPECT_EQ(takeHighScoreProblem(), "");
    fs::remove_all(path);
  }
}

TEST_F(HiscoreFaultsTest, FileOfAnotherUserIsNotOverwritten) {
  if (runningAsRoot()) GTEST_SKIP() << "root reads any file";
  const std::string scores = tableFile({{"Ann", 900}, {"Bob", 100}});
  writeAll(hiscorePath(), scores);
  fs::permissions(hiscorePath(), fs::perms::none);
  testing::internal::CaptureStderr();
  endGame("Cid", 500);
  const std::string err = testing::internal::GetCapturedStderr();
  fs::permissions(hiscorePath(), fs::perms::owner_read);
  EXPECT_EQ(readAll(hiscorePath()), scores);
  EXPECT_NE(err.find("Permission denied"), std::string::npos) << err;
  expectEntry(0, "Cid", 500);
}

// Once the file can be read again, its table is taken and the scores of the
// run that it lacks are put back into it, then saved.
TEST_F(HiscoreFaultsTest, FileReadableAgainGetsTheScoresOfTheRun) {
  fs::create_directory(hiscorePath());
  testing::internal::CaptureStderr();
  endGame("Ann", 500);
  fs::remove(hiscorePath());
  writeAll(hiscorePath(), tableFile({{"Old", 900}, {"Low", 100}}));
  endGame("Bob", 300);
  testing::internal::GetCapturedStderr();
  const std::string expected = tableFile({{"Old", 900}, {"Ann", 500}, {"Bob", 300}, {"Low", 100}});
  EXPECT_EQ(readAll(hiscorePath()), expected);
  loadHighScores(10, highScoreTable);
  EXPECT_EQ(readAll(hiscorePath()), expected);
  expectEntry(1, "Ann", 500);
}

TEST_F(HiscoreFaultsTest, MissingFileGetsTheDefaultTableAndNoNotice) {
  testing::internal::CaptureStderr();
  loadHighScores(10, highScoreTable);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(readAll(hiscorePath()), defaultFile());
  EXPECT_EQ(takeHighScoreProblem(), "");
}

// At most 100 messages per load, then one line with the number left out.
TEST_F(HiscoreFaultsTest, FloodOfInvalidCharactersIsCut) {
  writeAll(hiscorePath(), std::string(250, '\0') + defaultFile() + std::string(40, '\x7f'));
  for (int load = 0; load < 2; ++load) {
    testing::internal::CaptureStdout();
    loadHighScores(10, highScoreTable);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(countOccurrences(out, "\nInvalid character: "), 100);
    EXPECT_EQ(out.substr(0, 31), "\nInvalid character:      1    0");
    EXPECT_TRUE(out.ends_with("\n150 more invalid characters skipped")) << out.substr(out.size() - 60);
    expectDefaultTable();
  }
  endInvalidCharacterLine();
}

// A link planted under a temporary name is never followed.
TEST_F(HiscoreFaultsTest, PlantedLinkIsNotFollowed) {
  const fs::path victim = folder() / "victim.txt";
  writeAll(victim.string(), "precious\n");
  fs::create_symlink(victim, hiscorePath() + ".tmp");
  endGame("Ann", 500);
  EXPECT_EQ(readAll(victim.string()), "precious\n");
  EXPECT_EQ(readAll(hiscorePath()), tableFile({{"Ann", 500}}));
}

// Temporary files that dead games left are removed by the next save, even the
// first; other files, those a player may have named alike among them, are not.
TEST_F(HiscoreFaultsTest, LeftoversOfDeadGamesAreRemoved) {
  const char* const names[] = {"hiscore.txt.tmp", "hiscore.txt.tmp-a1B2c3", "hiscore.txt.tmp-keep",
                               "hiscore.txt.tmp-a1B2c.", "other.tmp-a1B2c3"};
  for (const char* name : names) writeAll((folder() / name).string(), "half a table");
  endGame("Ann", 500);
  EXPECT_EQ(filesIn(folder()),
            std::vector<std::string>({"hiscore.txt", "hiscore.txt.lock", "hiscore.txt.tmp", "hiscore.txt.tmp-a1B2c.",
                                      "hiscore.txt.tmp-keep", "other.tmp-a1B2c3"}));
}

// Two games saving into one folder: every game that ended is in the table.
TEST_F(HiscoreFaultsTest, GamesSavingAtOnceLoseNoScore) {
  constexpr int games = 150;
  pid_t children[2];
  for (int c = 0; c < 2; ++c) {
    children[c] = ::fork();
    ASSERT_GE(children[c], 0);
    if (children[c] == 0) {
      for (int g = 0; g < games; ++g) endGame(c ? "Odd" : "Even", 2 * g + c);
      ::_exit(0);
    }
  }
  for (pid_t child : children) {
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  std::vector<std::pair<std::string, int32_t>> best;
  for (int s = 2 * games - 1; s >= 2 * games - 10; --s) best.emplace_back(s % 2 ? "Odd" : "Even", s);
  EXPECT_EQ(readAll(hiscorePath()), tableFile(best));
  EXPECT_EQ(filesIn(folder()), tableAndLock);
}

// A link is kept and its target updated, next to which the new file is made.
TEST_F(HiscoreFaultsTest, LinkedTableStaysLinked) {
  const fs::path shared = folder() / "shared";
  fs::create_directory(shared);
  writeAll((shared / "table.txt").string(), tableFile({{"Old", 900}}));
  fs::create_symlink("shared/table.txt", hiscorePath());
  endGame("Ann", 500);
  EXPECT_TRUE(fs::is_symlink(hiscorePath()));
  EXPECT_EQ(readAll((shared / "table.txt").string()), tableFile({{"Old", 900}, {"Ann", 500}}));
  EXPECT_EQ(filesIn(shared), std::vector<std::string>({"table.txt", "table.txt.lock"}));
}

TEST_F(HiscoreFaultsTest, SavedFileKeepsItsPermissions) {
  for (const fs::perms mode : {fs::perms::owner_read | fs::perms::owner_write,
                               fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                                   fs::perms::group_write | fs::perms::others_read}) {
    writeAll(hiscorePath(), defaultFile());
    fs::permissions(hiscorePath(), mode);
    endGame("Ann", 500);
    EXPECT_EQ(fs::status(hiscorePath()).permissions(), mode);
    EXPECT_EQ(readAll(hiscorePath()).substr(0, 5), "Ann  ");
    fs::remove(hiscorePath());
  }
}

// A file the player made read-only is read but never replaced; saying so once.
TEST_F(HiscoreFaultsTest, ReadOnlyFileIsNotReplaced) {
  const std::string scores = tableFile({{"Old", 900}});
  writeAll(hiscorePath(), scores);
  fs::permissions(hiscorePath(), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  testing::internal::CaptureStderr();
  endGame("Ann", 500);
  endGame("Bob", 300);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(readAll(hiscorePath()), scores);
  EXPECT_EQ(countOccurrences(err, "\n"), 1) << err;
  EXPECT_NE(err.find("read-only"), std::string::npos) << err;
  expectEntry(0, "Old", 900);
  expectEntry(1, "Ann", 500);
  expectEntry(2, "Bob", 300);
  EXPECT_NE(takeHighScoreProblem().find("read-only"), std::string::npos);
}

// A folder that takes no new file: a writable table in it is written in place.
TEST_F(HiscoreFaultsTest, TableInAClosedFolderIsWrittenInPlace) {
  if (runningAsRoot()) GTEST_SKIP() << "root writes into any folder";
  writeAll(hiscorePath(), tableFile({{"Old", 900}}));
  fs::permissions(folder(), fs::perms::owner_read | fs::perms::owner_exec);
  testing::internal::CaptureStderr();
  endGame("Ann", 500);
  const std::string err = testing::internal::GetCapturedStderr();
  fs::permissions(folder(), fs::perms::owner_all);
  EXPECT_EQ(err, "");
  EXPECT_EQ(readAll(hiscorePath()), tableFile({{"Old", 900}, {"Ann", 500}}));
  EXPECT_EQ(filesIn(folder()), std::vector<std::string>{"hiscore.txt"});
}
