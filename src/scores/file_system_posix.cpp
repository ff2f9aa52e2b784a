#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>

#include "scores/file_system.h"

#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif

namespace {

int dirOf(const Folder& folder) { return static_cast<int>(folder.handle); }

// O_NONBLOCK keeps open() from waiting for a FIFO's writer, O_NOFOLLOW from
// going where a link points; fstat then tells what was opened.
int openRegular(const Folder& folder, const std::string& name, int flags, int& error) {
  const int fd = ::openat(dirOf(folder), name.c_str(), flags | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0600);
  if (fd < 0) {
    error = errno == ENXIO ? notRegularFile : errno == ELOOP ? linkInPlace : errno;  // a socket cannot be opened
    return -1;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    error = S_ISDIR(st.st_mode) ? EISDIR : notRegularFile;
    ::close(fd);
    return -1;
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}

std::FILE* streamOf(int fd, const char* mode, int& error) {
  std::FILE* file = ::fdopen(fd, mode);
  if (!file) {
    error = errno;
    ::close(fd);
  }
  return file;
}

#ifdef __EMSCRIPTEN__
// The browser's file system is this program's alone and has no locks: flock()
// succeeds and does nothing. The program keeps its locks and claims itself,
// as the descriptors that hold one with the file each holds; a descriptor
// closed since, or open on another file now, holds nothing.
struct HeldFile {
  int fd;
  dev_t device;
  ino_t index;
};
std::vector<HeldFile> heldFiles;

bool holdFile(int fd) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) return false;
  std::erase_if(heldFiles, [](const HeldFile& held) {
    struct stat now {};
    return ::fstat(held.fd, &now) != 0 || now.st_dev != held.device || now.st_ino != held.index;
  });
  for (const HeldFile& held : heldFiles) {
    if (held.device != st.st_dev || held.index != st.st_ino) continue;
    if (held.fd == fd) return true;
    errno = EWOULDBLOCK;
    return false;
  }
  heldFiles.push_back({fd, st.st_dev, st.st_ino});
  return true;
}

void letGo(int fd) {
  std::erase_if(heldFiles, [fd](const HeldFile& held) { return held.fd == fd; });
}

// When the open file `fd`, or the entry `name` of the folder `fd` is open on,
// was last written: the browser's file system keeps milliseconds, of which
// its stat() passes on the seconds only.
EM_JS(double, writtenMs, (int fd, const char* name), {
  try {
    const path = FS.getStream(fd).path;
    return FS.lstat(name ? path + "/" + UTF8ToString(name) : path).mtime.getTime();
  } catch (e) {
    return 0;
  }
});

int64_t writtenTime(const struct stat&, int fd, const char* name) {
  return static_cast<int64_t>(writtenMs(fd, name)) * 1'000'000;
}
#else
// An exclusive lock on the open file, held until it is closed.
bool holdFile(int fd) { return ::flock(fd, LOCK_EX | LOCK_NB) == 0; }
void letGo(int) {}

int64_t writtenTime(const struct stat& st, int, const char*) {
  return static_cast<int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
}
#endif

// `fd` is the file itself, or the folder it is the entry `name` of.
FileIdentity identityOfStat(const struct stat& st, int fd, const char* name) {
  return {true,
          S_ISREG(st.st_mode),
          static_cast<uint64_t>(st.st_dev),
          static_cast<uint64_t>(st.st_ino),
          static_cast<int64_t>(st.st_size),
          writtenTime(st, fd, name)};
}

// What is at `name` itself, a link not followed.
bool statAt(const Folder& folder, const std::string& name, struct stat& st) {
  return ::fstatat(dirOf(folder), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
}

// The mode bits of the regular file `model` (its read and write bits only),
// or those of a new file under the umask when there is none.
mode_t modeOf(const Folder& folder, const std::string& model, gid_t& group) {
  struct stat st {};
  group = static_cast<gid_t>(-1);
  if (statAt(folder, model, st) && S_ISREG(st.st_mode)) {
    group = st.st_gid;
    return st.st_mode & 07777;
  }
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

// The kernel's rule for links in folders that anyone may write to and only
// owners may delete from: follow only the player's own or the folder owner's.
bool trustedLink(const std::string& link, const struct stat& linkStat) {
  const size_t slash = link.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : link.substr(0, slash);
  struct stat st {};
  if (::stat(folder.c_str(), &st) != 0) return true;  // then nothing is opened through it either
  if (!(st.st_mode & S_ISVTX) || !(st.st_mode & S_IWOTH)) return true;
  return linkStat.st_uid == ::geteuid() || linkStat.st_uid == st.st_uid;
}

}  // namespace

Folder::~Folder() {
  if (handle != -1) ::close(static_cast<int>(handle));
}

// Read access lets the folder be listed; a folder that may only be passed
// through is opened for the rest.
bool openFolderOf(const std::string& file, Folder& folder, std::string& name, int& error) {
  const size_t slash = file.rfind('/');
  folder.path = slash == std::string::npos ? "." : slash == 0 ? "/" : file.substr(0, slash);
  name = slash == std::string::npos ? file : file.substr(slash + 1);
  int fd = ::open(folder.path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
#ifdef O_PATH
  if (fd < 0 && errno == EACCES) fd = ::open(folder.path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
#endif
  if (fd < 0) {
    error = errno;
    return false;
  }
  folder.handle = fd;
  if (name.empty()) {
    error = EISDIR;
    return false;
  }
  return true;
}

std::FILE* openRegularFile(const Folder& folder, const std::string& name, FileAccess access, int& error) {
  if ((error = hookedStep(FileStep::Open, name)) != 0) return nullptr;
  const bool write = access == FileAccess::ReadWrite;
  const int fd = openRegular(folder, name, write ? O_RDWR : O_RDONLY, error);
  return fd < 0 ? nullptr : streamOf(fd, write ? "r+b" : "rb", error);
}

bool isRegularOrMissing(const Folder& folder, const std::string& name) {
  struct stat st {};
  if (!statAt(folder, name, st)) return errno == ENOENT;
  return S_ISREG(st.st_mode);
}

FileIdentity identityOf(std::FILE* file) {
  struct stat st {};
  if (::fstat(::fileno(file), &st) != 0) return {};
  return identityOfStat(st, ::fileno(file), nullptr);
}

FileIdentity identityAt(const Folder& folder, const std::string& name) {
  struct stat st {};
  if (hookedStep(FileStep::Identity, name) != 0 || !statAt(folder, name, st)) return {};
  return identityOfStat(st, dirOf(folder), name.c_str());
}

// O_CREAT | O_EXCL never follows a link, nor opens what is there.
std::FILE* createTemporaryFile(const Folder& folder, const std::string& prefix, std::string& name, int& error) {
  static const char letters[] = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
  static std::mt19937 random{std::random_device{}()};
  if ((error = hookedStep(FileStep::Create, prefix)) != 0) return nullptr;
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string candidate = prefix;
    for (size_t i = 0; i < temporarySuffixLength; ++i) candidate += letters[random() % (sizeof letters - 1)];
    const int fd = ::openat(dirOf(folder), candidate.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0) {
      holdFile(fd);
      name = candidate;
      return streamOf(fd, "w+b", error);
    }
    if (errno != EEXIST) break;
  }
  error = errno;
  return nullptr;
}

// Never waits: a file someone else holds claimed is safe from the cleanup
// already, and waiting would let another user stall the game.
void claimFile(std::FILE* file) { holdFile(::fileno(file)); }

// Only a file with no other name is taken, and only while it still stands
// at `name` after its claim was checked.
bool removeUnclaimedFile(const Folder& folder, const std::string& name) {
  int error = 0;
  const int fd = openRegular(folder, name, O_RDONLY, error);
  if (fd < 0) return false;
  struct stat opened {
  }, named{};
  const bool take = holdFile(fd) && ::fstat(fd, &opened) == 0 && opened.st_nlink == 1 && statAt(folder, name, named) &&
                    named.st_ino == opened.st_ino && named.st_dev == opened.st_dev &&
                    hookedStep(FileStep::Remove, name) == 0 && ::unlinkat(dirOf(folder), name.c_str(), 0) == 0;
  letGo(fd);
  ::close(fd);
  return take;
}

std::vector<std::string> namesIn(const Folder& folder) {
  std::vector<std::string> names;
  const int fd = ::openat(dirOf(folder), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  DIR* dir = fd < 0 ? nullptr : ::fdopendir(fd);
  if (!dir) {
    if (fd >= 0) ::close(fd);
    return names;
  }
  while (const dirent* entry = ::readdir(dir)) names.emplace_back(entry->d_name);
  ::closedir(dir);
  return names;
}

void copyPermissions(const Folder& folder, const std::string& model, std::FILE* file) {
  if (hookedStep(FileStep::Permissions, model) != 0) return;
  const int fd = ::fileno(file);
  struct stat st {};
  if (!statAt(folder, model, st) || !S_ISREG(st.st_mode)) {
    gid_t group;
    ::fchmod(fd, modeOf(folder, model, group));
    return;
  }
  // The owner can be kept only by root; a shared table keeps its group.
  if (::fchown(fd, st.st_uid, st.st_gid) != 0) (void)!::fchown(fd, static_cast<uid_t>(-1), st.st_gid);
  ::fchmod(fd, st.st_mode & 07777);
}

// No write permission bit at all means the player made it read-only; that
// holds even for root, whom access() lets write anything.
bool isReadOnlyFile(const Folder& folder, const std::string& name) {
  struct stat st {};
  if (!statAt(folder, name, st) || !S_ISREG(st.st_mode)) return false;
  return (st.st_mode & 0222) == 0 || (::faccessat(dirOf(folder), name.c_str(), W_OK, 0) != 0 && errno == EACCES);
}

bool syncFile(std::FILE* file) { return std::fflush(file) == 0 && ::fsync(::fileno(file)) == 0; }

bool truncateFile(std::FILE* file, long size) { return ::ftruncate(::fileno(file), size) == 0; }

int replaceFile(const Folder& folder, const std::string& from, const std::string& to) {
  if (const int error = hookedStep(FileStep::Replace, to)) return error;
#ifdef __EMSCRIPTEN__
  // The browser's file system keeps a file renamed over under its name, to
  // stand there again once the new one goes: the name is freed first. No other
  // program writes this file system (see othersShareFiles).
  struct stat st {};
  if (!statAt(folder, from, st) || (::unlinkat(dirOf(folder), to.c_str(), 0) != 0 && errno != ENOENT)) return errno;
#endif
  return ::renameat(dirOf(folder), from.c_str(), dirOf(folder), to.c_str()) == 0 ? 0 : errno;
}

int swapFiles([[maybe_unused]] const Folder& folder, [[maybe_unused]] const std::string& a,
              [[maybe_unused]] const std::string& b) {
  if (const int error = hookedStep(FileStep::Swap, b)) return error;
#ifdef RENAME_EXCHANGE
  return ::renameat2(dirOf(folder), a.c_str(), dirOf(folder), b.c_str(), RENAME_EXCHANGE) == 0 ? 0 : errno;
#else
  return ENOSYS;
#endif
}

bool othersShareFiles() {
#ifdef __EMSCRIPTEN__
  return false;
#else
  return true;
#endif
}

int removeFile(const Folder& folder, const std::string& name) {
  if (const int error = hookedStep(FileStep::Remove, name)) return error;
  return ::unlinkat(dirOf(folder), name.c_str(), 0) == 0 ? 0 : errno;
}

std::string resolveLink(const std::string& path, int& error) {
  std::string current = path;
  for (int hops = 0; hops < 40; ++hops) {  // the system's own limit on a chain of links
    struct stat st {};
    if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
    if (!trustedLink(current, st)) {
      error = untrustedLink;
      return {};
    }
    char target[4096];
    const ssize_t n = ::readlink(current.c_str(), target, sizeof target - 1);
    if (n <= 0) return current;
    const std::string link(target, static_cast<size_t>(n));
    const size_t slash = current.rfind('/');
    current = link[0] == '/' || slash == std::string::npos ? link : current.substr(0, slash + 1) + link;
  }
  error = ELOOP;
  return {};
}

std::string gameDataFolder(std::string& error) {
  // A relative XDG_DATA_HOME is to be ignored, as if unset.
  const char* dataHome = std::getenv("XDG_DATA_HOME");
  if (dataHome && dataHome[0] == '/') return std::string(dataHome) + "/vantrel";
  const char* home = std::getenv("HOME");
  if (!home || !*home) {
    error = "cannot find this user's data folder: neither XDG_DATA_HOME nor HOME is set";
    return {};
  }
  return std::string(home) + "/.local/share/vantrel";
}

intptr_t acquireLock(const Folder& folder, const std::string& name, const std::string& model, int timeoutMs,
                     int& error) {
  if ((error = hookedStep(FileStep::Lock, name)) != 0) return -1;
  gid_t group;
  const mode_t mode = modeOf(folder, model, group) & 0666;
  const int made = ::openat(dirOf(folder), name.c_str(), O_RDONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  const int fd = made >= 0 ? made : openRegular(folder, name, O_RDONLY, error);  // a lock needs no write access
  if (fd < 0) return -1;
  // Made with the table's bits, umask aside; one of ours made narrower by an
  // older game is widened again, but never a file that has another name too,
  // which may be a private file of the player's linked here by someone else.
  struct stat st {};
  if (made >= 0) (void)!::fchown(fd, static_cast<uid_t>(-1), group);
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && (made >= 0 || (st.st_uid == ::geteuid() && st.st_nlink == 1)) &&
      (st.st_mode & 0666) != mode) {
    ::fchmod(fd, mode);
  }
  for (int waited = 0;; waited += 10) {
    if (holdFile(fd)) return fd;
    if ((errno != EWOULDBLOCK && errno != EINTR) || waited >= timeoutMs) {
      error = errno == EWOULDBLOCK ? ETIMEDOUT : errno;
      break;
    }
    if ((error = hookedStep(FileStep::LockWait, name)) != 0) break;
    const timespec pause{0, 10'000'000};
    ::nanosleep(&pause, nullptr);
  }
  ::close(fd);
  return -1;
}

void releaseLock(intptr_t lock) {
  letGo(static_cast<int>(lock));
  ::close(static_cast<int>(lock));
}
