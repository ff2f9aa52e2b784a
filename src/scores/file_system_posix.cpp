#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "scores/file_system.h"

namespace {

// O_NONBLOCK keeps open() from waiting for a FIFO's writer; fstat then tells
// what was opened.
int openRegular(const std::string& path, int flags, int& error) {
  const int fd = ::open(path.c_str(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    error = errno == ENXIO ? notRegularFile : errno;  // a socket cannot be opened at all
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

FileIdentity identityOfStat(const struct stat& st) {
  return {true, static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino), static_cast<int64_t>(st.st_size),
          static_cast<int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec};
}

// The mode bits of `model` (a file's read and write bits only), or those of a
// new file under the umask when there is none.
mode_t modeOf(const std::string& model, gid_t& group) {
  struct stat st {};
  group = static_cast<gid_t>(-1);
  if (::stat(model.c_str(), &st) == 0) {
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

std::string fileErrorText(int error) {
  if (error == notRegularFile) return "not a regular file";
  if (error == untrustedLink) return "a link of another user in a shared folder, which is not followed";
  return std::strerror(error);
}

std::FILE* openRegularFile(const std::string& path, FileAccess access, int& error) {
  const bool write = access == FileAccess::ReadWrite;
  const int fd = openRegular(path, write ? O_RDWR : O_RDONLY, error);
  return fd < 0 ? nullptr : streamOf(fd, write ? "r+b" : "rb", error);
}

bool isRegularOrMissing(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return errno == ENOENT;
  return S_ISREG(st.st_mode);
}

FileIdentity identityOf(std::FILE* file) {
  struct stat st {};
  if (::fstat(::fileno(file), &st) != 0) return {};
  return identityOfStat(st);
}

FileIdentity identityAt(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return {};
  return identityOfStat(st);
}

// mkstemp creates with O_CREAT | O_EXCL, which never follows a link.
std::FILE* createTemporaryFile(const std::string& prefix, std::string& path, int& error) {
  std::string name = prefix + "XXXXXX";
  const int fd = ::mkstemp(name.data());
  if (fd < 0) {
    error = errno;
    return nullptr;
  }
  ::fcntl(fd, F_SETFD, FD_CLOEXEC);
  path = name;
  return streamOf(fd, "wb", error);
}

void copyPermissions(const std::string& model, std::FILE* file) {
  const int fd = ::fileno(file);
  struct stat st {};
  if (::stat(model.c_str(), &st) != 0) {
    gid_t group;
    ::fchmod(fd, modeOf(model, group));
    return;
  }
  // The owner can be kept only by root; a shared table keeps its group.
  if (::fchown(fd, st.st_uid, st.st_gid) != 0) (void)!::fchown(fd, static_cast<uid_t>(-1), st.st_gid);
  ::fchmod(fd, st.st_mode & 07777);
}

// No write permission bit at all means the player made it read-only; that
// holds even for root, whom access() lets write anything.
bool isReadOnlyFile(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return false;
  return (st.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0;
}

bool syncFile(std::FILE* file) { return std::fflush(file) == 0 && ::fsync(::fileno(file)) == 0; }

bool truncateFile(std::FILE* file, long size) { return ::ftruncate(::fileno(file), size) == 0; }

int replaceFile(const std::string& from, const std::string& to) {
  return std::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

int swapFiles([[maybe_unused]] const std::string& a, [[maybe_unused]] const std::string& b) {
#ifdef RENAME_EXCHANGE
  return ::renameat2(AT_FDCWD, a.c_str(), AT_FDCWD, b.c_str(), RENAME_EXCHANGE) == 0 ? 0 : errno;
#else
  return ENOSYS;
#endif
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
  return current;
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

intptr_t acquireLock(const std::string& path, const std::string& model, int timeoutMs, int& error) {
  gid_t group;
  const mode_t mode = modeOf(model, group) & 0666;
  const int made = ::open(path.c_str(), O_RDONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
  if (made >= 0) {
    (void)!::fchown(made, static_cast<uid_t>(-1), group);
    ::close(made);
  }
  const int fd = openRegular(path, O_RDONLY | O_NOFOLLOW, error);  // a lock needs no write access
  if (fd < 0) return -1;
  // Made with the table's bits, umask aside; one of ours made narrower by an
  // older game is widened again.
  struct stat st {};
  if (::fstat(fd, &st) == 0 && st.st_uid == ::geteuid() && (st.st_mode & 0666) != mode) ::fchmod(fd, mode);
  for (int waited = 0;; waited += 10) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return fd;
    if ((errno != EWOULDBLOCK && errno != EINTR) || waited >= timeoutMs) break;
    const timespec pause{0, 10'000'000};
    ::nanosleep(&pause, nullptr);
  }
  error = errno == EWOULDBLOCK ? ETIMEDOUT : errno;
  ::close(fd);
  return -1;
}

void releaseLock(intptr_t lock) { ::close(static_cast<int>(lock)); }
