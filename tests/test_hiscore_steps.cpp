// The save's steps that every platform shares, forced: the cleanup never
// takes a live game's file, a save where files cannot be swapped is read
// back, a huge table is not read, a busy lock is waited for once.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "core/session.h"
#include "forced_steps.h"
#include "hiscore_files.h"
#include "scores/file_system.h"
#include "scores/high_scores.h"

namespace fs = std::filesystem;

// A temporary file is a dead game's only when no live game holds it open:
// the cleanup leaves a live one's, its own and a displaced one being read.
TEST_F(HiscoreRaceTest, TheCleanupTakesOnlyWhatNoLiveGameHolds) {
  Folder place;
  std::string name;
  int error = 0;
  ASSERT_TRUE(openFolderOf(hiscorePath(), place, name, error));
  writeAll(folder() / "hiscore.txt.tmp-dis123", "a displaced table being read");
  std::FILE* displaced = openRegularFile(place, "hiscore.txt.tmp-dis123", FileAccess::Read, error);
  ASSERT_NE(displaced, nullptr);
  claimFile(displaced);
  std::string live;
  std::FILE* own = createTemporaryFile(place, "hiscore.txt.tmp-", live, error);
  ASSERT_NE(own, nullptr);
  EXPECT_FALSE(removeUnclaimedFile(place, "hiscore.txt.tmp-dis123"));
  EXPECT_FALSE(removeUnclaimedFile(place, live));
  std::fclose(displaced);
  std::fclose(own);
  EXPECT_TRUE(removeUnclaimedFile(place, "hiscore.txt.tmp-dis123"));
  EXPECT_TRUE(removeUnclaimedFile(place, live));
}

// Where files cannot be swapped, a save under the lock is read back like
// any other: a game without the lock renamed its table over this one just
// after, and this run's score is written again into it.
TEST_F(HiscoreRaceTest, WithoutSwappingEverySaveIsReadBack) {
  writeAll(hiscorePath(), tableFile({{"Old", 900}}));
  raiseEvent(EventShowHighScores);
  bool renamed = false, overwritten = false;
  onStep = [&](FileStep step, const std::string& name) {
    if (step == FileStep::Swap) return ENOSYS;
    if (step == FileStep::Replace) {
      renamed = true;
    } else if (renamed && !overwritten) {
      overwritten = true;
      putInPlace(hiscorePath(), tableFile({{"Old", 900}, {"Bob", 300}}));
    }
    (void)name;
    return 0;
  };
  endGame("Ann", 500);
  if (!overwritten) putInPlace(hiscorePath(), tableFile({{"Old", 900}, {"Bob", 300}}));
  EXPECT_EQ(readAll(hiscorePath()), tableFile({{"Old", 900}, {"Ann", 500}, {"Bob", 300}}));
}

// A table far larger than ten lines (here a sparse terabyte) is not read:
// the game says so once, keeps its scores and leaves the file as it is.
TEST_F(HiscoreRaceTest, AHugeTableIsNotRead) {
  writeAll(hiscorePath(), "");
  std::error_code tooLarge;
  fs::resize_file(hiscorePath(), uintmax_t{1} << 40, tooLarge);
  if (tooLarge) fs::resize_file(hiscorePath(), uintmax_t{1} << 30);
  const auto size = fs::file_size(hiscorePath());
  const std::string err = stderrOf([] {
    endGame("Ann", 500);
    raiseEvent(EventShowHighScores);
  });
  EXPECT_EQ(fs::file_size(hiscorePath()), size);
  EXPECT_EQ(countOccurrences(err, "\n"), 1) << err;
  EXPECT_NE(err.find("far larger than a high-score table"), std::string::npos) << err;
  expectEntry(0, "Ann", 500);
}

// Once a wait for the lock has run out, the run's later saves do not wait
// again while it stays taken, and wait again once it was seen free.
TEST_F(HiscoreRaceTest, ABusyLockIsWaitedForOnce) {
  Folder place;
  std::string name;
  int error = 0;
  ASSERT_TRUE(openFolderOf(hiscorePath(), place, name, error));
  writeAll(hiscorePath(), defaultFile());
  intptr_t stuck = acquireLock(place, "hiscore.txt.lock", name, 0, error);
  ASSERT_NE(stuck, -1);
  int waits = 0;
  onStep = [&](FileStep step, const std::string&) { return waits += step == FileStep::LockWait, 0; };
  const auto wasWaitedFor = [&](const char* player) {
    waits = 0;
    endGame(player, 500);
    return waits > 0;
  };
  const std::string err = stderrOf([&] {
    EXPECT_TRUE(wasWaitedFor("Ann"));
    EXPECT_FALSE(wasWaitedFor("Bob"));
    EXPECT_FALSE(wasWaitedFor("Cid"));
    releaseLock(stuck);
    EXPECT_FALSE(wasWaitedFor("Dan")) << "free: taken at once";
    stuck = acquireLock(place, "hiscore.txt.lock", name, 0, error);
    EXPECT_TRUE(wasWaitedFor("Eve")) << "seen free since: waited for again";
    releaseLock(stuck);
  });
  EXPECT_EQ(readAll(hiscorePath()), tableFile({{"Ann", 500}, {"Bob", 500}, {"Cid", 500}, {"Dan", 500}, {"Eve", 500}}));
  EXPECT_EQ(countOccurrences(err, "\n"), 1) << err;
}
