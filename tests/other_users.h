// Tests that need a second user: when they run as root, parts of them run as
// user nobody in a child process, since root may read and write anything,
// which is not what a player meets.
#pragma once
#include <gtest/gtest.h>

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

inline bool runningAsRoot() { return ::geteuid() == 0; }

inline const passwd& nobody() {
  static const passwd* const user = ::getpwnam("nobody");
  if (!user) std::abort();
  return *user;
}

// Hands a folder and all in it to user nobody.
inline void giveToNobody(const std::filesystem::path& folder) {
  if (::chown(folder.c_str(), nobody().pw_uid, nobody().pw_gid) != 0) std::abort();
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    if (::lchown(entry.path().c_str(), nobody().pw_uid, nobody().pw_gid) != 0) std::abort();
  }
}

// In a child process: from root to user nobody, for good.
inline bool becomeNobody() {
  return ::setgroups(0, nullptr) == 0 && ::setresgid(nobody().pw_gid, nobody().pw_gid, nobody().pw_gid) == 0 &&
         ::setresuid(nobody().pw_uid, nobody().pw_uid, nobody().pw_uid) == 0;
}

// Waits for a child that ends with _exit(0) when all went well.
inline void expectChildSucceeded(pid_t child) {
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child status " << status;
}

// Runs `body` in a child process as user nobody; the tests run as root.
template <typename Body>
inline void asNobody(Body body) {
  std::fflush(nullptr);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (!becomeNobody()) ::_exit(3);
    body();
    std::fflush(nullptr);
    ::_exit(testing::Test::HasFailure() ? 1 : 0);
  }
  expectChildSucceeded(child);
}

// Runs `body` as an ordinary player: at once when the tests run as one, and
// when they run as root, as user nobody, who then owns `folder`. Root may
// read and write anything, which is not what a player meets.
template <typename Body>
inline void asPlayer(const std::filesystem::path& folder, Body body) {
  if (!runningAsRoot()) return body();
  giveToNobody(folder);
  asNobody(body);
}
