// The few file operations the high-score file needs beyond the C library:
// reading only regular files, unique temporary files, durable replacement,
// permissions, links and an advisory lock. One body for POSIX, one for Windows.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

// Error codes are errno values, or this one for a path that is no regular file.
constexpr int notRegularFile = -1;
std::string fileErrorText(int error);

enum class FileAccess { Read, ReadWrite };

// Opens a regular file in binary mode without ever blocking: FIFOs, devices
// and folders are refused. Null with `error` set when it cannot.
std::FILE* openRegularFile(const std::string& path, FileAccess access, int& error);

// Creates a new file named `prefix` and six more characters, exclusively and
// never through a link; its name goes to `path`. Null with `error` set.
std::FILE* createTemporaryFile(const std::string& prefix, std::string& path, int& error);

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

// The file a chain of symbolic links ends at; the path itself when it is none.
std::string resolveLink(const std::string& path);

// An exclusive advisory lock on the file at `path`, created when `create` is
// set. Waits at most `timeoutMs`; -1 with `error` set when not granted.
intptr_t acquireLock(const std::string& path, bool create, int timeoutMs, int& error);
void releaseLock(intptr_t lock);
