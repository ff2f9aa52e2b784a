// The high-score file under faults: files that cannot be read, short files,
// planted links, games saving at once, dead runs' leftovers, read-only files
// and folders, things that are not files, and floods of invalid characters.
// Whatever happens, no score of the run is lost and no file is clobbered.
#include <gtest/gtest.h>

#include <grp.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
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
#include "other_users.h"
#include "scores/high_scores.h"

namespace fs = std::filesystem;

namespace {

fs::file_status linkStatus(const fs::path& path) { return fs::symlink_status(path); }

// The table of every game that ended: the best ten of games scoring 0 to n-1,
// the even ones by Even, the odd ones by Odd.
std::string bestOfTwoPlayers(int n) {
  std::vector<std::pair<std::string, int32_t>> best;
  for (int s = n - 1; s >= n - 10; --s) best.emplace_back(s % 2 ? "Odd" : "Even", s);
  return tableFile(best);
}

// Two games ending `games` times each at once, with the table at `path`;
// each ends its run as the program does. As nobody when `unprivileged`.
void playTwoGamesAtOnce(const std::string& path, int games, bool unprivileged) {
  pid_t children[2];
  for (int c = 0; c < 2; ++c) {
    children[c] = ::fork();
    ASSERT_GE(children[c], 0);
    if (children[c] == 0) {
      if (unprivileged && !becomeNobody()) ::_exit(3);
      ::close(2);  // the lock problem, told once by each
      setHighScorePath(path);
      for (int g = 0; g < games; ++g) endGame(c ? "Odd" : "Even", 2 * g + c);
      finishHighScores();
      ::_exit(0);
    }
  }
  for (pid_t child : children) expectChildSucceeded(child);
}

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

// A table the player may not read is neither read nor replaced.
TEST_F(HiscoreFaultsTest, FileOfAnotherUserIsNotOverwritten) {
  const std::string scores = tableFile({{"Ann", 900}, {"Bob", 100}});
  writeAll(hiscorePath(), scores);
  asPlayer(folder(), [&] {
    fs::permissions(hiscorePath(), fs::perms::none);
    testing::internal::CaptureStderr();
    endGame("Cid", 500);
    const std::string err = testing::internal::GetCapturedStderr();
    fs::permissions(hiscorePath(), fs::perms::owner_read);
    EXPECT_EQ(readAll(hiscorePath()), scores);
    EXPECT_NE(err.find("Permission denied"), std::string::npos) << err;
    expectEntry(0, "Cid", 500);
  });
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
  const char* const names[] = {"hiscore.txt.tmp",        "hiscore.txt.tmp-a1B2c3", "hiscore.txt.tmp-keep",
                               "hiscore.txt.tmp-a1B2c.", "hiscore.txt.tmp-a1B2c",  "hiscore.txt.tmp-a1B2c3d",
                               "other.tmp-a1B2c3"};
  for (const char* name : names) writeAll((folder() / name).string(), "half a table");
  endGame("Ann", 500);
  EXPECT_EQ(filesIn(folder()),
            std::vector<std::string>({"hiscore.txt", "hiscore.txt.lock", "hiscore.txt.tmp", "hiscore.txt.tmp-a1B2c",
                                      "hiscore.txt.tmp-a1B2c.", "hiscore.txt.tmp-a1B2c3d", "hiscore.txt.tmp-keep",
                                      "other.tmp-a1B2c3"}));
}

// Two games saving into one folder, each ending its run as the program does:
// every game that ended is in the table.
TEST_F(HiscoreFaultsTest, GamesSavingAtOnceLoseNoScore) {
  constexpr int games = 150;
  playTwoGamesAtOnce(hiscorePath(), games, false);
  EXPECT_EQ(readAll(hiscorePath()), bestOfTwoPlayers(2 * games));
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

// A table the game makes takes the bits the player's umask gives a new file.
TEST_F(HiscoreFaultsTest, ANewTableFollowsTheUmask) {
  for (const mode_t mask : {mode_t{002}, mode_t{022}}) {
    const mode_t before = ::umask(mask);
    endGame("Ann", 500);
    ::umask(before);
    struct stat st {};
    ASSERT_EQ(::stat(hiscorePath().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0666 & ~mask) << std::oct << mask;
    fs::remove(hiscorePath());
    fs::remove(hiscorePath() + ".lock");
  }
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

// A folder that takes no new file: a writable table in it is written in place,
// under a lock on the table itself, with nothing said.
TEST_F(HiscoreFaultsTest, TableInAClosedFolderIsWrittenInPlace) {
  writeAll(hiscorePath(), tableFile({{"Old", 900}}));
  asPlayer(folder(), [&] {
    fs::permissions(folder(), fs::perms::owner_read | fs::perms::owner_exec);
    testing::internal::CaptureStderr();
    endGame("Ann", 500);
    const std::string err = testing::internal::GetCapturedStderr();
    fs::permissions(folder(), fs::perms::owner_all);
    EXPECT_EQ(err, "");
    EXPECT_EQ(readAll(hiscorePath()), tableFile({{"Old", 900}, {"Ann", 500}}));
    EXPECT_EQ(filesIn(folder()), std::vector<std::string>{"hiscore.txt"});
  });
}

// Whatever stands where the lock file should be, two games sharing the table
// lose no score: neither falls back to a lock that a rename breaks, nor
// removes the other's file. Among them the lock file a player cannot open:
// another user's, kept to its owner.
TEST_F(HiscoreFaultsTest, GamesSharingAnUnusableLockFileLoseNoScore) {
  constexpr int games = 100;
  const struct {
    const char* what;
    void (*make)(const fs::path& lock);
  } kinds[] = {
      {"a link", [](const fs::path& lock) { fs::create_symlink("elsewhere", lock); }},
      {"a FIFO", [](const fs::path& lock) { ASSERT_EQ(::mkfifo(lock.c_str(), 0666), 0); }},
      {"a folder", [](const fs::path& lock) { fs::create_directory(lock); }},
      {"a file the players cannot open",
       [](const fs::path& lock) {
         writeAll(lock, "");
         fs::permissions(lock, runningAsRoot() ? fs::perms::owner_read | fs::perms::owner_write : fs::perms::none);
       }},
  };
  for (const auto& kind : kinds) {
    SCOPED_TRACE(kind.what);
    const fs::path shared = folder() / kind.what;
    fs::create_directory(shared);
    if (runningAsRoot()) giveToNobody(shared);
    kind.make(shared / "hiscore.txt.lock");  // root's, when root runs the tests
    playTwoGamesAtOnce((shared / "hiscore.txt").string(), games, runningAsRoot());
    EXPECT_EQ(readAll(shared / "hiscore.txt"), bestOfTwoPlayers(2 * games));
  }
}

// A lock file is made with the table's permissions, whatever the umask, so
// that whoever may write the table may lock it; one an older game made too
// narrow is widened again.
TEST_F(HiscoreFaultsTest, LockFileTakesTheTablesPermissions) {
  const fs::perms shared =
      fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::group_write;
  const mode_t umaskBefore = ::umask(077);
  for (const bool oldNarrowLock : {false, true}) {
    SCOPED_TRACE(oldNarrowLock ? "an old lock file of 0600" : "no lock file");
    writeAll(hiscorePath(), defaultFile());
    fs::permissions(hiscorePath(), shared);
    if (oldNarrowLock) writeAll(hiscorePath() + ".lock", "");
    endGame("Ann", 500);
    EXPECT_EQ(fs::status(hiscorePath() + ".lock").permissions(), shared);
    fs::remove(hiscorePath() + ".lock");
  }
  ::umask(umaskBefore);
}

// In a folder that anyone may write to and only owners may delete from (such
// as /tmp), a link is followed only when it is the player's own or the folder
// owner's, as the system itself would: another user's link could point the
// table at any file the player may write. Only root can plant another user's
// link; the player it is planted for is then user nobody, and root itself.
TEST_F(HiscoreFaultsTest, LinksInASharedFolderAreFollowedAsTheSystemWould) {
  fs::permissions(folder(), fs::perms::all | fs::perms::sticky_bit);
  const fs::path victim = folder() / "precious.txt";
  fs::create_symlink(victim, hiscorePath());
  endGame("Ann", 500);  // the player's own link, to a table yet to be made
  EXPECT_EQ(readAll(victim), tableFile({{"Ann", 500}}));
  if (!runningAsRoot()) GTEST_SKIP() << "only root can plant another user's link";

  // The link is root's, the folder a third user's: nobody must not follow it.
  constexpr uid_t folderOwner = 54321;
  writeAll(victim, "precious\n");
  ASSERT_EQ(::lchown(victim.c_str(), nobody().pw_uid, nobody().pw_gid), 0);
  ASSERT_EQ(::chown(folder().c_str(), folderOwner, folderOwner), 0);
  const std::vector<std::string> before = filesIn(folder());
  const auto expectRefused = [&](const char* name) {
    resetHighScores();
    setHighScorePath(hiscorePath());
    testing::internal::CaptureStderr();
    endGame(name, 300);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(readAll(victim), "precious\n");
    EXPECT_TRUE(fs::is_symlink(hiscorePath()));
    EXPECT_EQ(filesIn(folder()), before);
    EXPECT_EQ(countOccurrences(err, "\n"), 1) << err;
    EXPECT_NE(err.find("link of another user"), std::string::npos) << err;
    expectEntry(0, name, 300);
  };
  std::fflush(nullptr);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (!becomeNobody()) ::_exit(3);
    expectRefused("Cid");
    std::fflush(nullptr);
    ::_exit(testing::Test::HasFailure() ? 1 : 0);
  }
  expectChildSucceeded(child);

  // Nobody's link: root must not follow it either.
  ASSERT_EQ(::lchown(hiscorePath().c_str(), nobody().pw_uid, nobody().pw_gid), 0);
  expectRefused("Bob");
}

// The two links the system follows in such a folder, each on its own: the
// player's own link in a folder owned by someone else, and the folder
// owner's link, followed by the player and by root too.
TEST_F(HiscoreFaultsTest, InASharedFolderThePlayersAndTheOwnersLinksAreFollowed) {
  if (!runningAsRoot()) GTEST_SKIP() << "needs other users: runs when the suite runs as root";
  constexpr uid_t folderOwner = 54321;
  fs::permissions(folder(), fs::perms::all | fs::perms::sticky_bit);
  const fs::path target = folder() / "target";
  fs::create_directory(target);
  fs::permissions(target, fs::perms::all);
  ASSERT_EQ(::chown(folder().c_str(), folderOwner, folderOwner), 0);
  const auto followedBy = [&](bool byRoot, uid_t linkOwner, const char* name) {
    SCOPED_TRACE(name);
    const fs::path table = target / (std::string(name) + ".txt");
    fs::remove(hiscorePath());
    fs::create_symlink(table, hiscorePath());
    ASSERT_EQ(::lchown(hiscorePath().c_str(), linkOwner, linkOwner), 0);
    const auto play = [&] {
      resetHighScores();
      setHighScorePath(hiscorePath());
      endGame(name, 500);
      EXPECT_EQ(readAll(table), tableFile({{name, 500}}));
    };
    asNobody(play);
    fs::remove(table);
    if (byRoot) play();
  };
  followedBy(false, nobody().pw_uid, "Own");  // nobody's own, which root does not follow
  followedBy(true, folderOwner, "Owner");
}

// A path that can hold no table gets no lock file beside it (nor, with a
// trailing slash, inside it), and one message saying what it is.
TEST_F(HiscoreFaultsTest, PathsThatHoldNoTableGetNoLockFile) {
  const struct {
    const char* what;
    const char* name;
    void (*make)(const fs::path& path);
    const char* reason;
  } cases[] = {
      {"a folder", "table", [](const fs::path& p) { fs::create_directory(p); }, "Is a directory"},
      {"a folder named with a slash", "table/", [](const fs::path& p) { fs::create_directory(p); }, "Is a directory"},
      {"a FIFO", "table", [](const fs::path& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0644), 0); }, "not a regular file"},
      {"a socket", "table",
       [](const fs::path& p) {
         const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
         sockaddr_un address{};
         address.sun_family = AF_UNIX;
         std::strncpy(address.sun_path, p.c_str(), sizeof address.sun_path - 1);
         ASSERT_EQ(::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
         ::close(s);
       },
       "not a regular file"},
      {"a loop of links", "table",
       [](const fs::path& p) {
         fs::create_symlink("loop", p);
         fs::create_symlink(p.filename(), p.parent_path() / "loop");
       },
       "Too many levels of symbolic links"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const fs::path place = folder() / c.what;
    fs::create_directory(place);
    c.make(place / "table");
    resetHighScores();
    setHighScorePath((place / c.name).string());
    testing::internal::CaptureStderr();
    endGame("Ann", 500);
    raiseEvent(EventShowHighScores);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(countOccurrences(err, "\n"), 1) << err;
    EXPECT_NE(err.find(c.reason), std::string::npos) << err;
    std::vector<std::string> left;
    for (const auto& entry : fs::recursive_directory_iterator(place)) left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_TRUE(left == std::vector<std::string>{"table"} || left == std::vector<std::string>({"loop", "table"}))
        << testing::PrintToString(left);
    expectEntry(0, "Ann", 500);
  }
}
