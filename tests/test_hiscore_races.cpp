// The save under races forced between two of its steps, as another game or
// another user of a shared folder would make them on POSIX systems: links,
// files and other things swapped in, displaced files taken away, refused
// renames, ties, tables rewritten within a second, and two users at once.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/session.h"
#include "forced_steps.h"
#include "hiscore_files.h"
#include "other_users.h"
#include "scores/file_system.h"
#include "scores/high_scores.h"

namespace fs = std::filesystem;

// No new file can be made (the disk is full), so the table is written in
// place; just before, another user swaps it with a link to a file of the
// player's. The file is not written through the link, and the player is told.
TEST_F(HiscoreRaceTest, ALinkSwappedInIsNeverWrittenThrough) {
  const fs::path victim = folder() / "profile";
  writeAll(victim, "precious\n");
  writeAll(hiscorePath(), tableFile({{"Old", 900}}));
  raiseEvent(EventShowHighScores);
  bool full = false;
  onStep = [&](FileStep step, const std::string& name) {
    if (step == FileStep::Create) return full = true, ENOSPC;
    if (full && step == FileStep::Open && isTable(name) && !fs::is_symlink(hiscorePath())) {
      fs::remove(hiscorePath());
      fs::create_symlink(victim, hiscorePath());
    }
    return 0;
  };
  const std::string err = stderrOf([] { endGame("Ann", 500); });
  EXPECT_EQ(readAll(victim), "precious\n");
  EXPECT_NE(err.find("a link was put in its place"), std::string::npos) << err;
  expectEntry(0, "Old", 900);
  expectEntry(1, "Ann", 500);
}

// A swap displaces what another user put at the table's name: a link to a
// file the player may read, a folder, a FIFO. None is read, followed or
// removed; the table is saved, and the player told where the thing now is.
TEST_F(HiscoreRaceTest, WhatASwapDisplacesIsReadOnlyWhenItIsATable) {
  const fs::path secret = folder() / "secret";
  writeAll(secret, validLine(0, "Secret", 99999));
  const struct {
    const char* what;
    std::function<void(const fs::path&)> make;
    fs::file_type type;
  } kinds[] = {
      {"a link to a private file", [&](const fs::path& p) { fs::create_symlink(secret, p); }, fs::file_type::symlink},
      {"a folder", [](const fs::path& p) { fs::create_directory(p); }, fs::file_type::directory},
      {"a FIFO", [](const fs::path& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0644), 0); }, fs::file_type::fifo},
  };
  for (const auto& kind : kinds) {
    SCOPED_TRACE(kind.what);
    resetHighScores();
    setHighScorePath(hiscorePath());
    setFileStepHook(callOnStep);
    writeAll(hiscorePath(), tableFile({{"Old", 900}}));
    raiseEvent(EventShowHighScores);
    once(FileStep::Swap, isTable, [&] {
      fs::remove(hiscorePath());
      kind.make(hiscorePath());
      return 0;
    });
    const std::string err = stderrOf([] { endGame("Ann", 500); });
    EXPECT_EQ(readAll(hiscorePath()), tableFile({{"Old", 900}, {"Ann", 500}}));
    std::vector<fs::path> aside;
    for (const auto& entry : fs::directory_iterator(folder())) {
      if (isTemporaryName(entry.path().filename().string())) aside.push_back(entry.path());
    }
    ASSERT_EQ(aside.size(), 1u);
    EXPECT_EQ(fs::symlink_status(aside[0]).type(), kind.type);
    EXPECT_EQ(countOccurrences(err, "\n"), 1) << err;
    EXPECT_NE(err.find("kept as " + aside[0].string()), std::string::npos) << err;
    EXPECT_NE(takeHighScoreProblem().find("The high scores are saved."), std::string::npos);
    fs::remove_all(aside[0]);
  }
  EXPECT_EQ(readAll(secret), validLine(0, "Secret", 99999));
}

// The table this save displaced is taken away before the save can read it
// (another game took it for a dead game's leftover): the table now in place
// is read again, and nothing of it is lost to a default table.
TEST_F(HiscoreRaceTest, ADisplacedTableTakenAwayMeansReadAgain) {
  const std::vector<std::pair<std::string, int32_t>> older = {
      {"A", 900}, {"B", 800}, {"C", 700}, {"D", 600}, {"E", 550}};
  writeAll(hiscorePath(), tableFile(older));
  raiseEvent(EventShowHighScores);
  once(FileStep::Open, isTemporaryName, [&] {
    for (const auto& entry : fs::directory_iterator(folder())) {
      if (isTemporaryName(entry.path().filename().string())) fs::remove(entry.path());
    }
    return 0;
  });
  endGame("Ann", 500);
  auto expected = older;
  expected.emplace_back("Ann", 500);
  EXPECT_EQ(readAll(hiscorePath()), tableFile(expected));
}

// Two games with the same name and score: the other's entry, in the table
// this save displaced, is not taken for this run's own.
TEST_F(HiscoreRaceTest, TiesAreKeptAsManyTimesAsTheyWereMade) {
  writeAll(hiscorePath(), tableFile({{"Old", 900}}));
  raiseEvent(EventShowHighScores);
  once(FileStep::Swap, isTable, [&] {
    putInPlace(hiscorePath(), tableFile({{"Old", 900}, {"Ann", 500}}));
    return 0;
  });
  endGame("Ann", 500);
  EXPECT_EQ(readAll(hiscorePath()), tableFile({{"Old", 900}, {"Ann", 500}, {"Ann", 500}}));
}

// A private file of the player's, linked in as the lock file by someone else
// where hard links are not protected, keeps its permissions.
TEST_F(HiscoreRaceTest, TheLockNeverWidensAFileWithAnotherName) {
  const fs::path secret = folder() / "private";
  writeAll(secret, "mine\n");
  fs::permissions(secret, fs::perms::owner_read | fs::perms::owner_write);
  fs::create_hard_link(secret, hiscorePath() + ".lock");
  endGame("Ann", 500);
  EXPECT_EQ(fs::status(secret).permissions(), fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(readAll(secret), "mine\n");
}

// Rewritten in place with the same length, in the same second or the next,
// a table is still known to be another one than the table read.
TEST_F(HiscoreRaceTest, ATableRewrittenInTheSameSecondIsStillAnother) {
  for (const long later : {0L, 1'000'000'000L}) {
    SCOPED_TRACE(later ? "the next second" : "the same second");
    resetHighScores();
    setHighScorePath(hiscorePath());
    writeAll(hiscorePath(), tableFile({{"Old", 900}}));
    struct stat before {};
    ASSERT_EQ(::stat(hiscorePath().c_str(), &before), 0);
    timespec times[2] = {before.st_atim, before.st_mtim};
    times[1].tv_nsec = (times[1].tv_nsec + 1) % 1'000'000'000;
    times[1].tv_sec += later / 1'000'000'000;
    raiseEvent(EventShowHighScores);
    writeAll(hiscorePath(), tableFile({{"New", 900}}));  // same length, in place
    ASSERT_EQ(::utimensat(AT_FDCWD, hiscorePath().c_str(), times, 0), 0);
    endGame("Ann", 500);
    EXPECT_EQ(readAll(hiscorePath()), tableFile({{"New", 900}, {"Ann", 500}}));
  }
}

// In a folder anyone may write to and only owners may delete from, a player
// who may write the table but does not own it cannot rename over it: the
// table is written in place, and nothing alarming is said.
TEST_F(HiscoreRaceTest, APlayerWhoDoesNotOwnASharedTableSavesIntoIt) {
  if (!runningAsRoot()) GTEST_SKIP() << "needs a second user: runs when the suite runs as root";
  fs::permissions(folder(), fs::perms::all | fs::perms::sticky_bit);
  const mode_t umaskBefore = ::umask(0);
  endGame("Old", 900);  // root's table and lock file, both 0666
  ::umask(umaskBefore);
  fs::permissions(hiscorePath(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                                     fs::perms::group_write | fs::perms::others_read | fs::perms::others_write);
  asNobody([&] {
    resetHighScores();
    setHighScorePath(hiscorePath());
    const std::string err = stderrOf([] {
      endGame("Ann", 500);
      endGame("Bob", 300);
      finishHighScores();
    });
    EXPECT_EQ(err, "");
    EXPECT_EQ(takeHighScoreProblem(), "");
    EXPECT_EQ(readAll(hiscorePath()), tableFile({{"Old", 900}, {"Ann", 500}, {"Bob", 300}}));
  });
  struct stat st {};
  ASSERT_EQ(::stat(hiscorePath().c_str(), &st), 0);
  EXPECT_EQ(st.st_uid, 0u) << "still root's table";
  EXPECT_EQ(filesIn(folder()), tableAndLock);
}

// Two games ending many games at once, each ending its run as the program
// does, in the ways a shared table meets: two users in a folder anyone may
// write to, ties, and a system that cannot swap files. No score is lost.
TEST_F(HiscoreRaceTest, TwoGamesAtOnceLoseNothingInEveryWay) {
  constexpr int games = 60;
  const struct {
    const char* what;
    bool twoUsers, ties, noSwap;
  } ways[] = {
      {"ties", false, true, false},
      {"no swapping", false, false, true},
      {"ties without swapping", false, true, true},
      {"two users in a shared folder", true, false, false},
      {"two users, ties, no swapping", true, true, true},
  };
  for (const auto& way : ways) {
    SCOPED_TRACE(way.what);
    if (way.twoUsers && !runningAsRoot()) continue;  // a second user needs root to become one
    const fs::path shared = folder() / way.what;
    fs::create_directory(shared);
    fs::permissions(shared, fs::perms::all | fs::perms::sticky_bit);
    const std::string table = (shared / "hiscore.txt").string();
    std::fflush(nullptr);
    pid_t children[2];
    for (int c = 0; c < 2; ++c) {
      children[c] = ::fork();
      ASSERT_GE(children[c], 0);
      if (children[c] == 0) {
        ::umask(0);  // tables and lock files both users may write
        if (way.twoUsers && c == 1 && !becomeNobody()) ::_exit(3);
        if (way.noSwap) {
          setFileStepHook([](FileStep step, const std::string&) { return step == FileStep::Swap ? ENOSYS : 0; });
        }
        ::close(2);
        resetHighScores();
        setHighScorePath(table);
        for (int g = 0; g < games; ++g) endGame(way.ties ? "Tie" : c ? "Odd" : "Even", way.ties ? g : 2 * g + c);
        finishHighScores();
        ::_exit(0);
      }
    }
    for (pid_t child : children) expectChildSucceeded(child);
    std::vector<std::pair<std::string, int32_t>> best;
    for (int i = 0; i < 10; ++i) {
      const int32_t score = way.ties ? games - 1 - i / 2 : 2 * games - 1 - i;
      best.emplace_back(way.ties ? "Tie" : score % 2 ? "Odd" : "Even", score);
    }
    EXPECT_EQ(readAll(table), tableFile(best));
  }
}
