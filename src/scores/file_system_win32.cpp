#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "scores/file_system.h"

namespace {

int errorOf(DWORD code) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME: return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return EACCES;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return EEXIST;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return ENOSPC;
    case ERROR_WRITE_PROTECT: return EROFS;
    default: return EIO;
  }
}

// Sharing for delete lets another game rename a new table over a file that is
// being read.
constexpr DWORD shareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

std::FILE* streamOf(HANDLE handle, int flags, const char* mode, int& error) {
  const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), flags | _O_BINARY);
  if (fd < 0) {
    error = EMFILE;
    CloseHandle(handle);
    return nullptr;
  }
  std::FILE* file = _fdopen(fd, mode);
  if (!file) {
    error = errno;
    _close(fd);
  }
  return file;
}

// A folder cannot be opened without FILE_FLAG_BACKUP_SEMANTICS, so it fails
// here with "access denied"; a device or pipe opens and is refused by type.
HANDLE openRegular(const std::string& path, DWORD access, int& error) {
  const HANDLE handle =
      CreateFileA(path.c_str(), access, shareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    error = errorOf(GetLastError());
    return handle;
  }
  if (GetFileType(handle) != FILE_TYPE_DISK) {
    error = notRegularFile;
    CloseHandle(handle);
    return INVALID_HANDLE_VALUE;
  }
  return handle;
}

FileIdentity identityOfHandle(HANDLE handle) {
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(handle, &info)) return {};
  const auto wide = [](DWORD high, DWORD low) { return (static_cast<uint64_t>(high) << 32) | low; };
  return {true, info.dwVolumeSerialNumber, wide(info.nFileIndexHigh, info.nFileIndexLow),
          static_cast<int64_t>(wide(info.nFileSizeHigh, info.nFileSizeLow)),
          static_cast<int64_t>(wide(info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime))};
}

}  // namespace

std::string fileErrorText(int error) {
  if (error == notRegularFile) return "not a regular file";
  if (error == untrustedLink) return "a link of another user in a shared folder, which is not followed";
  return std::strerror(error);
}

bool isRegularOrMissing(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return errorOf(GetLastError()) == ENOENT;
  return (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0;
}

FileIdentity identityOf(std::FILE* file) {
  return identityOfHandle(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file))));
}

// Opened for no access at all, which neither a reader nor a writer minds.
FileIdentity identityAt(const std::string& path) {
  const HANDLE handle =
      CreateFileA(path.c_str(), 0, shareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return {};
  const FileIdentity identity = identityOfHandle(handle);
  CloseHandle(handle);
  return identity;
}

std::FILE* openRegularFile(const std::string& path, FileAccess access, int& error) {
  const bool write = access == FileAccess::ReadWrite;
  const HANDLE handle = openRegular(path, write ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ, error);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  return streamOf(handle, write ? _O_RDWR : _O_RDONLY, write ? "r+b" : "rb", error);
}

// CREATE_NEW fails on any existing name, a link included.
std::FILE* createTemporaryFile(const std::string& prefix, std::string& path, int& error) {
  static const char digits[] = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
  static unsigned counter = 0;
  unsigned seed = GetCurrentProcessId() * 2654435761u ^ GetTickCount();
  for (int attempt = 0; attempt < 100; ++attempt) {
    unsigned bits = seed + 7919u * ++counter;
    std::string name = prefix;
    for (int i = 0; i < 6; ++i, bits /= 62) name += digits[bits % 62];
    const HANDLE handle =
        CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
      path = name;
      return streamOf(handle, _O_WRONLY, "wb", error);
    }
    error = errorOf(GetLastError());
    if (error != EEXIST) return nullptr;
  }
  return nullptr;
}

// A new file takes the access rights the folder hands down, as the old one did.
void copyPermissions(const std::string&, std::FILE*) {}

bool isReadOnlyFile(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

bool syncFile(std::FILE* file) { return std::fflush(file) == 0 && _commit(_fileno(file)) == 0; }

bool truncateFile(std::FILE* file, long size) { return _chsize(_fileno(file), size) == 0; }

int replaceFile(const std::string& from, const std::string& to) {
  if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return 0;
  return errorOf(GetLastError());
}

// Windows has no such call; a replacement is checked before it is made.
int swapFiles(const std::string&, const std::string&) { return ENOSYS; }

// Links on Windows need rights a player seldom has; the path is taken as it is.
std::string resolveLink(const std::string& path, int&) { return path; }

std::string gameDataFolder(std::string& error) {
  const char* appData = std::getenv("APPDATA");
  if (!appData || !*appData) {
    error = "cannot find this user's data folder: APPDATA is not set";
    return {};
  }
  return std::string(appData) + "\\Vantrel";
}

// Windows locks are mandatory for the bytes they cover, so the lock covers one
// byte far past any table: reading and writing the file stay free. A new
// lock file takes the access rights the folder hands down, as the table did.
intptr_t acquireLock(const std::string& path, const std::string&, int timeoutMs, int& error) {
  HANDLE handle =
      CreateFileA(path.c_str(), GENERIC_READ, shareAll, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    error = errorOf(GetLastError());
    return -1;
  }
  if (GetFileType(handle) != FILE_TYPE_DISK) {
    error = notRegularFile;
    CloseHandle(handle);
    return -1;
  }
  for (int waited = 0;; waited += 10) {
    OVERLAPPED farByte{};
    farByte.OffsetHigh = 0x7FFFFFFF;
    if (LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &farByte)) {
      return reinterpret_cast<intptr_t>(handle);
    }
    if (GetLastError() != ERROR_LOCK_VIOLATION || waited >= timeoutMs) break;
    Sleep(10);
  }
  error = GetLastError() == ERROR_LOCK_VIOLATION ? ETIMEDOUT : errorOf(GetLastError());
  CloseHandle(handle);
  return -1;
}

// Closing the handle releases its lock.
void releaseLock(intptr_t lock) { CloseHandle(reinterpret_cast<HANDLE>(lock)); }
