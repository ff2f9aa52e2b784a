// What every body of the file-system helper keeps, as its header says it:
// only regular files are opened, a folder names its files, an identity
// changes when the file does, temporary files are new and claimed while
// open, names are replaced, swapped and removed in one step, permissions and
// locks hold, and the tests' hook reaches every step. Run over the POSIX
// body on Linux and on the browser's file system, and over the Windows body.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <sys/stat.h>
#ifdef _WIN32
#include <io.h>
#include <windows.h>
#endif

#include "file_io.h"
#include "scores/file_system.h"

namespace fs = std::filesystem;

namespace {

// An error code no file operation gives: what the hook answers.
constexpr int hookError = EDOM;

class FileSystemContract : public testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("vantrel-contract-" + std::to_string(std::random_device{}()));
    fs::create_directories(root_);
    std::string name;
    int error = 0;
    ASSERT_TRUE(openFolderOf((root_ / "t").string(), folder_, name, error)) << fileErrorText(error);
  }
  void TearDown() override {
    setFileStepHook(nullptr);
    steps.clear();
    std::error_code ignored;
    for (const auto& entry : fs::recursive_directory_iterator(root_, ignored))
      fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(root_, ignored);
  }
  fs::path at(const std::string& name) const { return root_ / name; }
  bool existsAt(const std::string& name) const { return identityAt(folder_, name).exists; }

  // Every step the hook was called at, and the one step it fails.
  static inline std::vector<std::pair<FileStep, std::string>> steps;
  static inline FileStep failing;
  static int recordStep(FileStep step, const std::string& name) {
    steps.emplace_back(step, name);
    return step == failing ? hookError : 0;
  }

  fs::path root_;
  Folder folder_;
};

TEST_F(FileSystemContract, AFoldersPathAndTheNameInItAreToldApart) {
  struct Case {
    const char* path;
    const char* folder;  // null when it cannot be opened
    const char* name;
    int error;
  };
  std::vector<Case> cases = {
      {"t", ".", "t", 0},
      {"sub/t", "sub", "t", 0},
      {"/t", "/", "t", 0},
      {"sub/", nullptr, nullptr, EISDIR},
      {"missing/t", nullptr, nullptr, ENOENT},
      {"file/t", nullptr, nullptr, ENOTDIR},
  };
#ifdef _WIN32
  cases.push_back({"sub\\t", "sub", "t", 0});
  cases.push_back({"C:\\t", "C:\\", "t", 0});
#endif
  fs::create_directory(at("sub"));
  writeAll(at("sub") / "t", "in sub");
  writeAll(at("file"), "a file");
  const fs::path before = fs::current_path();
  fs::current_path(root_);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    Folder folder;
    std::string name;
    int error = 0;
    const bool opened = openFolderOf(c.path, folder, name, error);
    EXPECT_EQ(folder.path, c.folder ? c.folder : folder.path);
    if (!c.folder) {
      EXPECT_FALSE(opened);
      EXPECT_EQ(error, c.error) << fileErrorText(error);
      continue;
    }
    ASSERT_TRUE(opened) << fileErrorText(error);
    EXPECT_EQ(name, c.name);
    if (folder.path == "sub") {
      EXPECT_EQ(identityAt(folder, name).size, 6);
    }
  }
  fs::current_path(before);
}

// What can stand at a name, made in the folder given; the path to open, or
// empty with `skip` saying why this platform cannot make it.
struct Kind {
  const char* name;
  fs::path (*make)(const fs::path& folder, std::string& skip);
  bool exists, regular;
  int openError;  // -99: any code
};

fs::path makeLink(const fs::path& folder, std::string& skip) {
  writeAll(folder / "target", "the link's target");
#ifdef _WIN32
  // Wine says it made one and makes nothing.
  if (!CreateSymbolicLinkA((folder / "link").string().c_str(), "target", 0x2 /* unprivileged */) ||
      GetFileAttributesA((folder / "link").string().c_str()) == INVALID_FILE_ATTRIBUTES) {
    skip = "this Windows makes no links for a player";
  }
#else
  std::error_code error;
  fs::create_symlink("target", folder / "link", error);
  if (error) skip = "this file system makes no links: " + error.message();
#endif
  return folder / "link";
}

const Kind kinds[] = {
    {"regular file",
     [](const fs::path& folder, std::string&) {
       writeAll(folder / "file", "a table");
       return folder / "file";
     },
     true, true, 0},
    {"nothing", [](const fs::path& folder, std::string&) { return folder / "missing"; }, false, false, ENOENT},
    {"folder",
     [](const fs::path& folder, std::string&) {
       fs::create_directory(folder / "folder");
       return folder / "folder";
     },
     true, false, -99},
    {"link to a regular file", makeLink, true, false, -99},
    {"FIFO",
     [](const fs::path& folder, std::string& skip) {
#ifdef _WIN32
       skip = "Windows has no FIFOs in folders: its pipes have names of their own";
#else
       if (::mkfifo((folder / "fifo").c_str(), 0600) != 0)
         skip = std::string("this file system makes no FIFOs: ") + std::strerror(errno);
#endif
       return folder / "fifo";
     },
     true, false, -99},
    {"device",
     [](const fs::path& folder, std::string&) {
#ifdef _WIN32
       return folder / "NUL";
#else
       (void)folder;
       return fs::path("/dev/null");
#endif
     },
     true, false, notRegularFile},
};

class WhatStandsAtAName : public FileSystemContract, public testing::WithParamInterface<Kind> {};

// Only a regular file is opened, and never by waiting (a FIFO's writer) or
// by following a link; what stands at a name is told as it is.
TEST_P(WhatStandsAtAName, OnlyARegularFileIsOpened) {
  const Kind& kind = GetParam();
  std::string skip;
  const fs::path path = kind.make(root_, skip);
  if (!skip.empty()) GTEST_SKIP() << skip;
  Folder folder;
  std::string name;
  int error = 0;
  ASSERT_TRUE(openFolderOf(path.string(), folder, name, error)) << fileErrorText(error);
  for (const FileAccess access : {FileAccess::Read, FileAccess::ReadWrite}) {
    SCOPED_TRACE(access == FileAccess::Read ? "read" : "read and write");
    error = 0;
    std::FILE* file = openRegularFile(folder, name, access, error);
    EXPECT_EQ(file != nullptr, kind.regular);
    if (file) {
      EXPECT_TRUE(identityOf(file).regular);
      std::fclose(file);
    } else if (kind.openError == -99) {
      EXPECT_NE(error, 0);
    } else {
      EXPECT_EQ(error, kind.openError) << fileErrorText(error);
    }
  }
  EXPECT_EQ(isRegularOrMissing(folder, name), kind.regular || !kind.exists);
  const FileIdentity identity = identityAt(folder, name);
  EXPECT_EQ(identity.exists, kind.exists);
  EXPECT_EQ(identity.regular, kind.regular);
}

INSTANTIATE_TEST_SUITE_P(Kinds, WhatStandsAtAName, testing::ValuesIn(kinds), [](const auto& info) {
  std::string name = info.param.name;
  for (char& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return name;
});

// The same file keeps its identity, whether looked at by name or open; a
// file rewritten or replaced since has another, even at the same length.
TEST_F(FileSystemContract, AFileRewrittenOrReplacedIsAnother) {
  using namespace std::chrono_literals;
  const struct {
    const char* how;
    void (*change)(const fs::path& file);
  } changes[] = {
      {"rewritten longer", [](const fs::path& file) { writeAll(file, "table, longer"); }},
      {"rewritten at the same length a moment later",
       [](const fs::path& file) {
         const auto written = fs::last_write_time(file);
         writeAll(file, "TABLE");
         fs::last_write_time(file, written + 10ms);
       }},
      {"replaced by another as old and as long",
       [](const fs::path& file) {
         writeAll(file.string() + ".new", "TABLE");
         fs::last_write_time(file.string() + ".new", fs::last_write_time(file));
         fs::rename(file.string() + ".new", file);
       }},
  };
  for (const auto& change : changes) {
    SCOPED_TRACE(change.how);
    writeAll(at("t"), "table");
    int error = 0;
    std::FILE* file = openRegularFile(folder_, "t", FileAccess::Read, error);
    ASSERT_NE(file, nullptr) << fileErrorText(error);
    const FileIdentity before = identityAt(folder_, "t");
    EXPECT_EQ(identityOf(file), before);
    EXPECT_EQ(before.size, 5);
    std::fclose(file);
    change.change(at("t"));
    const FileIdentity after = identityAt(folder_, "t");
    EXPECT_NE(after, before);
    file = openRegularFile(folder_, "t", FileAccess::Read, error);
    ASSERT_NE(file, nullptr) << fileErrorText(error);
    EXPECT_EQ(identityOf(file), after);
    std::fclose(file);
  }
}

// A temporary file is new, named by its prefix and six letters or digits,
// and claimed while it is open: the cleanup leaves it, as it leaves any file
// a live game has claimed, and removes it once it is closed.
TEST_F(FileSystemContract, TemporaryFilesAreNewAndClaimedWhileOpen) {
  writeAll(at("t"), "a table");
  std::vector<std::pair<std::string, std::FILE*>> open;
  for (int i = 0; i < 3; ++i) {
    std::string name;
    int error = 0;
    std::FILE* file = createTemporaryFile(folder_, "t.tmp-", name, error);
    ASSERT_NE(file, nullptr) << fileErrorText(error);
    open.emplace_back(name, file);
    ASSERT_EQ(name.size(), 6 + temporarySuffixLength) << name;
    EXPECT_EQ(name.substr(0, 6), "t.tmp-");
    for (const char c : name.substr(6)) EXPECT_TRUE(std::isalnum(static_cast<unsigned char>(c))) << name;
    const FileIdentity identity = identityAt(folder_, name);
    EXPECT_TRUE(identity.regular);
    EXPECT_EQ(identity.size, 0);
    for (int j = 0; j < i; ++j) EXPECT_NE(open[j].first, name);
  }
  int error = 0;
  std::FILE* table = openRegularFile(folder_, "t", FileAccess::Read, error);
  ASSERT_NE(table, nullptr) << fileErrorText(error);
  claimFile(table);
  open.emplace_back("t", table);
  writeAll(at("left.tmp-abc123"), "a dead game's leftover");
  EXPECT_TRUE(removeUnclaimedFile(folder_, "left.tmp-abc123"));
  EXPECT_FALSE(existsAt("left.tmp-abc123"));
  for (const auto& [name, file] : open) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(removeUnclaimedFile(folder_, name));
    EXPECT_TRUE(existsAt(name));
    std::fclose(file);
    EXPECT_TRUE(removeUnclaimedFile(folder_, name));
    EXPECT_FALSE(existsAt(name));
  }
}

TEST_F(FileSystemContract, AFolderListsItsEntries) {
  writeAll(at("a"), "a");
  writeAll(at("b.tmp-123456"), "b");
  fs::create_directory(at("c"));
  std::set<std::string> names;
  for (const std::string& name : namesIn(folder_))
    if (name != "." && name != "..") names.insert(name);
  EXPECT_EQ(names, (std::set<std::string>{"a", "b.tmp-123456", "c"}));
  fs::remove_all(root_);
  EXPECT_TRUE(namesIn(folder_).empty());
}

TEST_F(FileSystemContract, NamesAreReplacedAndRemovedInOneStep) {
  writeAll(at("new"), "new");
  writeAll(at("t"), "old");
  EXPECT_EQ(replaceFile(folder_, "new", "t"), 0);
  EXPECT_EQ(readAll(at("t")), "new");
  EXPECT_FALSE(existsAt("new"));
  EXPECT_EQ(replaceFile(folder_, "new", "t"), ENOENT);
  EXPECT_EQ(removeFile(folder_, "t"), 0);
  EXPECT_FALSE(existsAt("t"));
  EXPECT_EQ(removeFile(folder_, "t"), ENOENT);
}

// Where the system swaps two files they trade places, and a missing one is
// told; where it cannot, it says so and leaves both as they were.
TEST_F(FileSystemContract, TwoFilesAreSwappedOrLeftAsTheyWere) {
  writeAll(at("a"), "A");
  writeAll(at("b"), "B");
  const int swapped = swapFiles(folder_, "a", "b");
  if (swapped == 0) {
    EXPECT_EQ(readAll(at("a")), "B");
    EXPECT_EQ(readAll(at("b")), "A");
    EXPECT_EQ(swapFiles(folder_, "a", "missing"), ENOENT);
    EXPECT_EQ(swapFiles(folder_, "missing", "b"), ENOENT);
  } else {
    EXPECT_NE(swapped, ENOENT) << fileErrorText(swapped);
    EXPECT_EQ(readAll(at("a")), "A");
    EXPECT_EQ(readAll(at("b")), "B");
  }
}

// A new file's permissions: reading and writing for all, but what the
// file-creation mask takes away.
fs::perms newFilePermissions() {
  const auto mask = ::umask(0);
  ::umask(mask);
  return static_cast<fs::perms>(0666 & ~mask);
}

// A new file takes the permissions of the file it stands in for, or those
// of any new file when there is none; one that forbids writing is read-only.
TEST_F(FileSystemContract, PermissionsAreCopiedAndReadOnlyIsTold) {
  writeAll(at("model"), "a table");
  fs::permissions(at("model"), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  for (const char* model : {"model", "missing"}) {
    SCOPED_TRACE(model);
    std::string name;
    int error = 0;
    std::FILE* file = createTemporaryFile(folder_, "t.tmp-", name, error);
    ASSERT_NE(file, nullptr) << fileErrorText(error);
    copyPermissions(folder_, model, file);
    std::fclose(file);
    EXPECT_EQ(fs::status(at(name)).permissions(),
              existsAt(model) ? fs::status(at(model)).permissions() : newFilePermissions());
  }
  fs::create_directory(at("folder"));
  writeAll(at("t"), "a table");
  const fs::perms readOnly = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
  fs::permissions(at("model"), readOnly);
  const std::pair<const char*, bool> cases[] = {{"model", true}, {"t", false}, {"missing", false}, {"folder", false}};
  for (const auto& [name, expected] : cases) EXPECT_EQ(isReadOnlyFile(folder_, name), expected) << name;
}

// What was written reaches the file before it is closed; a file is cut to
// the length given.
TEST_F(FileSystemContract, AFileIsSyncedAndTruncated) {
  std::string name;
  int error = 0;
  std::FILE* file = createTemporaryFile(folder_, "t.tmp-", name, error);
  ASSERT_NE(file, nullptr) << fileErrorText(error);
  std::fputs("hello, world", file);
  EXPECT_TRUE(syncFile(file));
  EXPECT_EQ(identityAt(folder_, name).size, 12);
  EXPECT_TRUE(truncateFile(file, 5));
  EXPECT_EQ(identityOf(file).size, 5);
  std::fclose(file);
  EXPECT_EQ(readAll(at(name)), "hello");
}

// A lock is held until released: another taker waits for it, is told
// ETIMEDOUT when the wait runs out, and gets it as soon as it is released.
TEST_F(FileSystemContract, ALockShutsOutASecondTakerUntilReleased) {
  writeAll(at("t"), "a table");
  int error = 0;
  intptr_t first = acquireLock(folder_, "t.lock", "t", 0, error);
  ASSERT_NE(first, -1) << fileErrorText(error);
  EXPECT_TRUE(identityAt(folder_, "t.lock").regular);
  EXPECT_EQ(acquireLock(folder_, "t.lock", "t", 30, error), -1);
  EXPECT_EQ(error, ETIMEDOUT) << fileErrorText(error);
  // Released while the second taker waits for it.
  static intptr_t held;
  held = first;
  setFileStepHook([](FileStep step, const std::string&) {
    if (step == FileStep::LockWait && held != -1) releaseLock(std::exchange(held, -1));
    return 0;
  });
  const intptr_t second = acquireLock(folder_, "t.lock", "t", 10'000, error);
  EXPECT_NE(second, -1) << fileErrorText(error);
  EXPECT_EQ(held, -1);
  if (second != -1) releaseLock(second);
}

TEST_F(FileSystemContract, EachOwnErrorCodeHasWordsOfItsOwn) {
  std::set<std::string> texts;
  for (const int code : {notRegularFile, untrustedLink, linkInPlace, tableTooLarge}) {
    const std::string text = fileErrorText(code);
    EXPECT_FALSE(text.empty()) << code;
    EXPECT_NE(text, std::strerror(code)) << code;
    EXPECT_TRUE(texts.insert(text).second) << text;
  }
  EXPECT_EQ(fileErrorText(ENOENT), std::strerror(ENOENT));
}

// The hook is called at the start of each step with the name it acts on,
// and a nonzero answer fails that step with that code, leaving the files
// as they were.
TEST_F(FileSystemContract, TheHookIsCalledAtEveryStepAndCanFailIt) {
  const struct {
    FileStep step;
    const char* name;
    bool (*failed)(const Folder& folder);  // true when the step failed as the hook said
  } cases[] = {
      {FileStep::Open, "t",
       [](const Folder& folder) {
         int error = 0;
         return !openRegularFile(folder, "t", FileAccess::Read, error) && error == hookError;
       }},
      {FileStep::Identity, "t", [](const Folder& folder) { return !identityAt(folder, "t").exists; }},
      {FileStep::Create, "t.tmp-",
       [](const Folder& folder) {
         std::string name;
         int error = 0;
         return !createTemporaryFile(folder, "t.tmp-", name, error) && error == hookError;
       }},
      {FileStep::Permissions, "t",
       [](const Folder& folder) {
         std::string name;
         int error = 0;
         std::FILE* file = createTemporaryFile(folder, "t.tmp-", name, error);
         if (!file) return false;
         const fs::path path = fs::path(folder.path) / name;
         const fs::perms before = fs::status(path).permissions();
         copyPermissions(folder, "t", file);
         std::fclose(file);
         return fs::status(path).permissions() == before;
       }},
      {FileStep::Replace, "u",
       [](const Folder& folder) {
         return replaceFile(folder, "t", "u") == hookError && identityAt(folder, "t").exists;
       }},
      {FileStep::Swap, "u", [](const Folder& folder) { return swapFiles(folder, "t", "u") == hookError; }},
      {FileStep::Remove, "t",
       [](const Folder& folder) { return removeFile(folder, "t") == hookError && identityAt(folder, "t").exists; }},
      {FileStep::Remove, "t",
       [](const Folder& folder) { return !removeUnclaimedFile(folder, "t") && identityAt(folder, "t").exists; }},
      {FileStep::Lock, "t.lock",
       [](const Folder& folder) {
         int error = 0;
         return acquireLock(folder, "t.lock", "t", 0, error) == -1 && error == hookError;
       }},
      {FileStep::LockWait, "t.lock",
       [](const Folder& folder) {
         int error = 0;
         const intptr_t held = acquireLock(folder, "t.lock", "t", 0, error);
         if (held == -1) return false;
         const bool failed = acquireLock(folder, "t.lock", "t", 10'000, error) == -1 && error == hookError;
         releaseLock(held);
         return failed;
       }},
  };
  setFileStepHook(recordStep);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name + std::string(" at step ") + std::to_string(static_cast<int>(c.step)));
    writeAll(at("t"), "a table");
    writeAll(at("u"), "another");
    steps.clear();
    failing = c.step;
    EXPECT_TRUE(c.failed(folder_));
    EXPECT_NE(std::find(steps.begin(), steps.end(), std::pair<FileStep, std::string>(c.step, c.name)), steps.end());
  }
}

}  // namespace
