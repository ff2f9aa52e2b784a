// The few file operations the high-score file needs beyond the C library:
// reading only regular files, unique temporary files, durable replacement,
// permissions, links, file identities and an advisory lock. One body for
// POSIX, one for Windows.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

// Error codes are errno values, or one of these.
constexpr int notRegularFile = -1;
constexpr int untrustedLink = -2;  // a link the system itself would refuse to follow
std::string fileErrorText(int error);

enum class FileAccess { Read, ReadWrite };

// Opens a regular file in binary mode without ever blocking: FIFOs, devices
// and folders are refused. Null with `error` set when it cannot.
std::FILE* openRegularFile(const std::string& path, FileAccess access, int& error);

// True when nothing is at `path` or a regular file is: the only things a
// table can be kept in.
bool isRegularOrMissing(const std::string& path);

// Which file it is, how long and when last written: a file replaced or
// rewritten since has another identity. `exists` is false for no file.
struct FileIdentity {
  bool exists = false;
  uint64_t volume = 0, index = 0;
  int64_t size = 0, written = 0;
  bool operator==(const FileIdentity&) const = default;
};
FileIdentity identityOf(std::FILE* file);
FileIdentity identityAt(const std::string& path);

// Creates a new file named `prefix` and six more letters or digits,
// exclusively and never through a link; its name goes to `path`. Null with
// `error` set.
std::FILE* createTemporaryFile(const std::string& prefix, std::string& path, int& error);
constexpr size_t temporarySuffixLength = 6;

// Gives `file` the permissions of the file at `model`, or those of a newly
// created file when there is none.
void copyPermissions(const std::string& model, std::FILE* file);

// True when the file exists and its permissions forbid writing to it.
bool isReadOnlyFile(const std::string& path);

// Flushes the stream and has the system write it to the disk.
bool syncFile(std::FILE* file);
bool truncateFile(std::FILE* file, long size);

// Puts `from` in the place of `to` in one step: 0 or an error code.
int replaceFile(const std::string& from, const std::string& to);

// Swaps the two files in one step, so that the one that stood at `b` can
// still be looked at: 0, ENOENT when either is missing, or another error
// code where the system cannot swap files (then replaceFile serves).
int swapFiles(const std::string& a, const std::string& b);

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

// An exclusive advisory lock on the lock file at `path`, created when missing
// with the permissions of the file at `model`, so that whoever may write that
// file may lock it. Waits at most `timeoutMs`; -1 with `error` set when not
// granted (ETIMEDOUT while another holds it).
intptr_t acquireLock(const std::string& path, const std::string& model, int timeoutMs, int& error);
void releaseLock(intptr_t lock);
