#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

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

std::string pathOf(const Folder& folder, const std::string& name) {
  if (folder.path == ".") return name;
  const char last = folder.path.back();
  return folder.path + (last == '\\' || last == '/' ? "" : "\\") + name;
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

// A device (NUL, CON) is no file and has no file's information.
FileIdentity identityOfHandle(HANDLE handle) {
  if (GetFileType(handle) != FILE_TYPE_DISK) return {true, false};
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(handle, &info)) return {};
  const auto wide = [](DWORD high, DWORD low) { return (static_cast<uint64_t>(high) << 32) | low; };
  return {true,
          (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0,
          info.dwVolumeSerialNumber,
          wide(info.nFileIndexHigh, info.nFileIndexLow),
          static_cast<int64_t>(wide(info.nFileSizeHigh, info.nFileSizeLow)),
          static_cast<int64_t>(wide(info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime))};
}

// Opened for no access at all, which neither a reader nor a writer minds; a
// folder opens too.
FileIdentity identityAtPath(const std::string& path) {
  const HANDLE handle =
      CreateFileA(path.c_str(), 0, shareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return {};
  const FileIdentity identity = identityOfHandle(handle);
  CloseHandle(handle);
  return identity;
}

}  // namespace

Folder::~Folder() = default;

// Windows names files by path alone; the folder is looked at once, so that a
// missing one is told as it is.
bool openFolderOf(const std::string& file, Folder& folder, std::string& name, int& error) {
  const size_t slash = file.find_last_of("/\\");
  folder.path = slash == std::string::npos ? "." : file.substr(0, slash + (slash == 0 || file[slash - 1] == ':'));
  name = slash == std::string::npos ? file : file.substr(slash + 1);
  const DWORD attributes = GetFileAttributesA(folder.path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    error = attributes == INVALID_FILE_ATTRIBUTES ? errorOf(GetLastError()) : ENOTDIR;
    return false;
  }
  if (name.empty()) {
    error = EISDIR;
    return false;
  }
  return true;
}

// A device's name in any folder has a file's attributes.
bool isRegularOrMissing(const Folder& folder, const std::string& name) {
  const std::string path = pathOf(folder, name);
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return errorOf(GetLastError()) == ENOENT;
  const FileIdentity identity = identityAtPath(path);
  return (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0 &&
         (!identity.exists || identity.regular);
}

FileIdentity identityOf(std::FILE* file) {
  return identityOfHandle(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file))));
}

FileIdentity identityAt(const Folder& folder, const std::string& name) {
  if (hookedStep(FileStep::Identity, name) != 0) return {};
  return identityAtPath(pathOf(folder, name));
}

std::FILE* openRegularFile(const Folder& folder, const std::string& name, FileAccess access, int& error) {
  if ((error = hookedStep(FileStep::Open, name)) != 0) return nullptr;
  const bool write = access == FileAccess::ReadWrite;
  const HANDLE handle = openRegular(pathOf(folder, name), write ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ, error);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  return streamOf(handle, write ? _O_RDWR : _O_RDONLY, write ? "r+b" : "rb", error);
}

// CREATE_NEW fails on any existing name, a link included. Shared only for the
// rename that puts it in place: no other game can open it while it is open,
// which is its claim.
std::FILE* createTemporaryFile(const Folder& folder, const std::string& prefix, std::string& name, int& error) {
  if ((error = hookedStep(FileStep::Create, prefix)) != 0) return nullptr;
  static const char digits[] = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
  static unsigned counter = 0;
  unsigned seed = GetCurrentProcessId() * 2654435761u ^ GetTickCount();
  for (int attempt = 0; attempt < 100; ++attempt) {
    unsigned bits = seed + 7919u * ++counter;
    std::string candidate = prefix;
    for (size_t i = 0; i < temporarySuffixLength; ++i, bits /= 62) candidate += digits[bits % 62];
    const HANDLE handle = CreateFileA(pathOf(folder, candidate).c_str(), GENERIC_READ | GENERIC_WRITE,
                                      FILE_SHARE_DELETE, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
      name = candidate;
      return streamOf(handle, _O_RDWR, "w+b", error);
    }
    error = errorOf(GetLastError());
    if (error != EEXIST) return nullptr;
  }
  return nullptr;
}

// Files are never swapped here, so no other game's file stands at a name of
// this game's to be claimed.
void claimFile(std::FILE*) {}

// A file that another game holds open cannot be opened unshared.
bool removeUnclaimedFile(const Folder& folder, const std::string& name) {
  if (hookedStep(FileStep::Remove, name) != 0) return false;
  const HANDLE handle =
      CreateFileA(pathOf(folder, name).c_str(), DELETE, 0, nullptr, OPEN_EXISTING,
                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  if (GetFileType(handle) != FILE_TYPE_DISK) {
    CloseHandle(handle);
    return false;
  }
  return CloseHandle(handle) != 0;
}

std::vector<std::string> namesIn(const Folder& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  const HANDLE search = FindFirstFileA(pathOf(folder, "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do names.emplace_back(found.cFileName);
  while (FindNextFileA(search, &found));
  FindClose(search);
  return names;
}

// A new file takes the access rights the folder hands down, as the old one did.
void copyPermissions(const Folder&, const std::string& model, std::FILE*) { hookedStep(FileStep::Permissions, model); }

bool isReadOnlyFile(const Folder& folder, const std::string& name) {
  const DWORD attributes = GetFileAttributesA(pathOf(folder, name).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

bool syncFile(std::FILE* file) { return std::fflush(file) == 0 && _commit(_fileno(file)) == 0; }

bool truncateFile(std::FILE* file, long size) { return _chsize(_fileno(file), size) == 0; }

int replaceFile(const Folder& folder, const std::string& from, const std::string& to) {
  if (const int error = hookedStep(FileStep::Replace, to)) return error;
  if (MoveFileExA(pathOf(folder, from).c_str(), pathOf(folder, to).c_str(),
                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return 0;
  return errorOf(GetLastError());
}

// Windows has no such call; a replacement is checked before it is made.
int swapFiles(const Folder&, const std::string&, const std::string& b) {
  if (const int error = hookedStep(FileStep::Swap, b)) return error;
  return ENOSYS;
}

bool othersShareFiles() { return true; }

int removeFile(const Folder& folder, const std::string& name) {
  if (const int error = hookedStep(FileStep::Remove, name)) return error;
  return DeleteFileA(pathOf(folder, name).c_str()) ? 0 : errorOf(GetLastError());
}

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
intptr_t acquireLock(const Folder& folder, const std::string& name, const std::string&, int timeoutMs, int& error) {
  if ((error = hookedStep(FileStep::Lock, name)) != 0) return -1;
  HANDLE handle = CreateFileA(pathOf(folder, name).c_str(), GENERIC_READ, shareAll, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
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
    if (GetLastError() != ERROR_LOCK_VIOLATION || waited >= timeoutMs) {
      error = GetLastError() == ERROR_LOCK_VIOLATION ? ETIMEDOUT : errorOf(GetLastError());
      break;
    }
    if ((error = hookedStep(FileStep::LockWait, name)) != 0) break;
    Sleep(10);
  }
  CloseHandle(handle);
  return -1;
}

// Closing the handle releases its lock.
void releaseLock(intptr_t lock) { CloseHandle(reinterpret_cast<HANDLE>(lock)); }
