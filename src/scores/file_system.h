// The few file operations the high-score file needs beyond the C library:
// reading only regular files, unique temporary files, durable replacement,
// permissions, links, file identities and advisory locks. One body for
// POSIX, one for Windows.
//
// Once the link rule has named the table, every step works in the table's
// folder, opened once, and follows no link at the names it is given: a link
// or file another user puts at a name since cannot send a step elsewhere.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// Error codes are errno values, or one of these.
constexpr int notRegularFile = -1;
constexpr int untrustedLink = -2;  // a link the system itself would refuse to follow
constexpr int linkInPlace = -3;    // a link put at a name that held none when it was looked at
constexpr int tableTooLarge = -4;  // larger than any high-score table can be
std::string fileErrorText(int error);

// A table has ten short lines; a file far larger is not one, and is not read.
constexpr int64_t largestTable = 64 * 1024;

// The folder a table is kept in, open while a load or save works in it.
class Folder {
 public:
  Folder() = default;
  ~Folder();
  Folder(const Folder&) = delete;
  Folder& operator=(const Folder&) = delete;
  intptr_t handle = -1;  // POSIX: the open folder; unused on Windows
  std::string path;      // as given, "." for the working folder
};

// Opens the folder that holds `file` (a path whose last part is a file's
// name); false, with `error` set, when it cannot. `name` gets the last part.
bool openFolderOf(const std::string& file, Folder& folder, std::string& name, int& error);

enum class FileAccess { Read, ReadWrite };

// Opens a regular file in binary mode without ever blocking: FIFOs, devices,
// folders and links are refused. Null with `error` set when it cannot.
std::FILE* openRegularFile(const Folder& folder, const std::string& name, FileAccess access, int& error);

// True when nothing is at `name` or a regular file is: the only things a
// table can be kept in.
bool isRegularOrMissing(const Folder& folder, const std::string& name);

// Which file it is, how long and when last written: a file replaced or
// rewritten since has another identity. `exists` is false for no file; a
// link or other non-file has `regular` false.
struct FileIdentity {
  bool exists = false, regular = false;
  uint64_t volume = 0, index = 0;
  int64_t size = 0, written = 0;
  bool operator==(const FileIdentity&) const = default;
};
FileIdentity identityOf(std::FILE* file);
FileIdentity identityAt(const Folder& folder, const std::string& name);

// Creates a new file named `prefix` and six more letters or digits,
// exclusively and never through a link; its name goes to `name`. While it is
// open it is claimed (see claimFile). Null with `error` set.
std::FILE* createTemporaryFile(const Folder& folder, const std::string& prefix, std::string& name, int& error);
constexpr size_t temporarySuffixLength = 6;

// Marks an open file as a live game's, until it is closed, so that no
// cleanup takes it for a dead game's leftover.
void claimFile(std::FILE* file);

// Removes the regular file at `name` when no live game has it claimed; true
// when it was removed.
bool removeUnclaimedFile(const Folder& folder, const std::string& name);

// The names of the folder's entries; empty when it cannot be listed.
std::vector<std::string> namesIn(const Folder& folder);

// Gives `file` the permissions of the regular file at `model`, or those of a
// newly created file when there is none.
void copyPermissions(const Folder& folder, const std::string& model, std::FILE* file);

// True when the regular file exists and its permissions forbid writing to it.
bool isReadOnlyFile(const Folder& folder, const std::string& name);

// Flushes the stream and has the system write it to the disk.
bool syncFile(std::FILE* file);
bool truncateFile(std::FILE* file, long size);

// Puts `from` in the place of `to` in one step: 0 or an error code.
int replaceFile(const Folder& folder, const std::string& from, const std::string& to);

// Swaps the two in one step, so that what stood at `b` can still be looked
// at: 0, ENOENT when either is missing, or another error code where the
// system cannot swap files (then replaceFile serves).
int swapFiles(const Folder& folder, const std::string& a, const std::string& b);

// False where no other program can write the table's folder at the same
// moment: the browser's file system, which is a page's own.
bool othersShareFiles();

// Removes the name `name`: 0 or an error code.
int removeFile(const Folder& folder, const std::string& name);

// The file a chain of symbolic links ends at; the path itself when it is
// none. Empty, with `error` set, where the system itself would not follow a
// link of the chain: another user's link in a shared folder that anyone may
// write to and only owners may delete from (such as /tmp).
std::string resolveLink(const std::string& path, int& error);

// The folder where the game keeps this user's data: $XDG_DATA_HOME/vantrel
// (~/.local/share when that is unset or relative) on POSIX,
// %APPDATA%\Vantrel on Windows. Empty, with the reason in error, when the
// environment names none.
std::string gameDataFolder(std::string& error);

// An exclusive advisory lock on the lock file `name`, created when missing
// with the permissions of the file `model`, so that whoever may write that
// file may lock it. Waits at most `timeoutMs`; -1 with `error` set when not
// granted (ETIMEDOUT while another holds it).
intptr_t acquireLock(const Folder& folder, const std::string& name, const std::string& model, int timeoutMs,
                     int& error);
void releaseLock(intptr_t lock);

// For tests: a hook called at the start of each step with its name and the
// file it acts on, where a test acts as another game or user would between
// two steps. A nonzero return fails the step with that error code.
enum class FileStep { Open, Identity, Create, Permissions, Replace, Swap, Remove, Lock, LockWait };
using FileStepHook = int (*)(FileStep step, const std::string& name);
void setFileStepHook(FileStepHook hook);
// For the bodies: the hook's answer at a step, 0 when there is no hook.
int hookedStep(FileStep step, const std::string& name);
