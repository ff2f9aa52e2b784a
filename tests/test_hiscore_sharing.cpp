// Games sharing one table: the lock shuts every other game out, a save never
// replaces a table another game wrote after it was read, and a lock that
// cannot be had delays nothing and loses no score.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "core/session.h"
#include "file_io.h"
#include "game_fixture.h"
#include "hiscore_files.h"
#include "scores/file_system.h"
#include "scores/high_scores.h"

namespace fs = std::filesystem;

class HiscoreSharingTest : public GameTest {
 protected:
  std::string lockPath() const { return hiscorePath() + ".lock"; }
  // The lock as another game takes it.
  intptr_t takeLock(int& error) const {
    Folder place;
    std::string name;
    if (!openFolderOf(hiscorePath(), place, name, error)) return -1;
    return acquireLock(place, name + ".lock", name, 0, error);
  }
  void insert(const char* name, int32_t score) {
    HighScoreEntry candidate{};
    std::strcpy(candidate.name, name);
    candidate.score = score;
    insertHighScore(candidate);
  }
};

// Exclusive, not shared: while a load and its save hold the lock, no other
// taker gets it, and the next one does once it is let go.
TEST_F(HiscoreSharingTest, TheLockShutsOutEveryOtherTaker) {
  writeAll(hiscorePath(), defaultFile());
  int error = 0;
  {
    const HighScoreLock lock;
    EXPECT_EQ(takeLock(error), -1);
    EXPECT_EQ(error, ETIMEDOUT);
  }
  const intptr_t next = takeLock(error);
  EXPECT_NE(next, -1);
  releaseLock(next);
}

// Another game wrote the table between this game's read and its save (it
// held no lock, or a stuck save of its own ended): its entries stay, and
// this game's score is merged into them.
TEST_F(HiscoreSharingTest, ASaveMergesIntoATableWrittenSinceItsRead) {
  const struct {
    const char* how;
    void (*write)(const fs::path& table, const std::string& text);
  } writers[] = {
      {"renamed into place",
       [](const fs::path& table, const std::string& text) {
         writeAll(table.string() + ".new", text);
         fs::rename(table.string() + ".new", table);
       }},
      {"rewritten in place, same size", [](const fs::path& table, const std::string& text) { writeAll(table, text); }},
      {"removed", [](const fs::path& table, const std::string&) { fs::remove(table); }},
  };
  for (const auto& w : writers) {
    SCOPED_TRACE(w.how);
    resetHighScores();
    setHighScorePath(hiscorePath());
    writeAll(hiscorePath(), tableFile({{"Old", 900}, {"Abc", 100}}));
    const HighScoreLock lock;
    loadHighScores(10, highScoreTable);
    w.write(hiscorePath(), tableFile({{"Old", 900}, {"Bea", 700}}));
    insert("Ann", 500);
    const bool removed = !std::string(w.how).compare("removed");
    EXPECT_EQ(readAll(hiscorePath()),
              removed ? tableFile({{"Ann", 500}}) : tableFile({{"Old", 900}, {"Bea", 700}, {"Ann", 500}}));
  }
}

// A score too low for the table read may have a place in the one another
// game wrote meanwhile (the player had cleared the table, say): it gets it.
TEST_F(HiscoreSharingTest, AScoreWithoutAPlaceIsOfferedToTheNewerTable) {
  std::vector<std::pair<std::string, int32_t>> full;
  for (int i = 0; i < 10; ++i) full.emplace_back("Top", 1000);
  writeAll(hiscorePath(), tableFile(full));
  const HighScoreLock lock;
  loadHighScores(10, highScoreTable);
  fs::remove(hiscorePath());
  writeAll(hiscorePath(), tableFile({{"New", 900}}));
  insert("Ann", 500);
  EXPECT_EQ(readAll(hiscorePath()), tableFile({{"New", 900}, {"Ann", 500}}));
}

// Another game is stuck inside its save: this one waits a moment, then saves
// without the lock, says so once, and every later save goes through too.
TEST_F(HiscoreSharingTest, ALockHeldForLongStopsNoSave) {
  writeAll(hiscorePath(), tableFile({{"Old", 900}}));
  int error = 0;
  const intptr_t stuck = takeLock(error);
  ASSERT_NE(stuck, -1);
  testing::internal::CaptureStderr();
  endGame("Ann", 500);
  endGame("Bob", 300);
  raiseEvent(EventShowHighScores);
  const std::string err = testing::internal::GetCapturedStderr();
  releaseLock(stuck);
  EXPECT_EQ(countOccurrences(err, "\n"), 1) << err;
  EXPECT_NE(err.find("another game holds " + lockPath()), std::string::npos) << err;
  EXPECT_EQ(readAll(hiscorePath()), tableFile({{"Old", 900}, {"Ann", 500}, {"Bob", 300}}));
  EXPECT_NE(takeHighScoreProblem().find("Another game"), std::string::npos);
}

// A lock file that cannot be a lock (here a folder) is not replaced by a lock
// that a rename breaks: the game says so once, saves checking what it
// replaces, removes no live game's temporary file though it removes a dead
// one's, and at the end of the run puts back the scores another game's table
// lacks.
TEST_F(HiscoreSharingTest, AnUnusableLockFileIsToldOnceAndLosesNothing) {
  fs::create_directory(lockPath());
  const fs::path deadSave = folder() / "hiscore.txt.tmp-a1B2c3";
  writeAll(deadSave, "a dead game's save");
  Folder place;
  std::string name, othersSave;
  int error = 0;
  ASSERT_TRUE(openFolderOf(hiscorePath(), place, name, error));
  std::FILE* live = createTemporaryFile(place, name + ".tmp-", othersSave, error);
  ASSERT_NE(live, nullptr);
  testing::internal::CaptureStderr();
  endGame("Ann", 500);
  endGame("Bob", 300);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(countOccurrences(err, "\n"), 1) << err;
  EXPECT_NE(err.find(lockPath() + " cannot be used as a lock"), std::string::npos) << err;
  EXPECT_NE(takeHighScoreProblem().find("lock file"), std::string::npos);
  EXPECT_EQ(readAll(hiscorePath()), tableFile({{"Ann", 500}, {"Bob", 300}}));
  EXPECT_TRUE(fs::exists(folder() / othersSave));
  EXPECT_FALSE(fs::exists(deadSave));
  std::fclose(live);

  writeAll(hiscorePath(), tableFile({{"Cid", 800}}));  // the other game's table, in place of ours
  finishHighScores();
  EXPECT_EQ(readAll(hiscorePath()), tableFile({{"Cid", 800}, {"Ann", 500}, {"Bob", 300}}));
}

// A run whose scores are all in the file has nothing left to do at its end,
// where files are swapped under the lock. Where they cannot be, a game
// without the lock may have renamed its table over this one's after it was
// read back: a score missing at the end is put back, even one a player
// removed by hand.
TEST_F(HiscoreSharingTest, TheEndOfARunTouchesNothingWhenAllIsSaved) {
  writeAll(hiscorePath() + ".a", "a");
  writeAll(hiscorePath() + ".b", "b");
  Folder place;
  std::string name;
  int error = 0;
  ASSERT_TRUE(openFolderOf(hiscorePath(), place, name, error));
  const bool swapping = swapFiles(place, name + ".a", name + ".b") == 0;
  endGame("Ann", 500);
  writeAll(hiscorePath(), tableFile({{"Cid", 800}}));  // a player's own edit, or another game's table
  finishHighScores();
  EXPECT_EQ(readAll(hiscorePath()), swapping ? tableFile({{"Cid", 800}}) : tableFile({{"Cid", 800}, {"Ann", 500}}));
}
