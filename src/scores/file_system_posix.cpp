#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
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
    error = errno;
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

}  // namespace

std::string fileErrorText(int error) { return error == notRegularFile ? "not a regular file" : std::strerror(error); }

std::FILE* openRegularFile(const std::string& path, FileAccess access, int& error) {
  const bool write = access == FileAccess::ReadWrite;
  const int fd = openRegular(path, write ? O_RDWR : O_RDONLY, error);
  return fd < 0 ? nullptr : streamOf(fd, write ? "r+b" : "rb", error);
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
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
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

std::string resolveLink(const std::string& path) {
  std::string current = path;
  for (int hops = 0; hops < 40; ++hops) {  // the system's own limit on a chain of links
    char target[4096];
    const ssize_t n = ::readlink(current.c_str(), target, sizeof target - 1);
    if (n < 0) return current;
    const std::string link(target, static_cast<size_t>(n));
    const size_t slash = current.rfind('/');
    current = link[0] == '/' || slash == std::string::npos ? link : current.substr(0, slash + 1) + link;
  }
  return current;
}

intptr_t acquireLock(const std::string& path, bool create, int timeoutMs, int& error) {
  if (create) {
    const int made = ::open(path.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
    if (made >= 0) ::close(made);
  }
  const int fd = openRegular(path, O_RDONLY | O_NOFOLLOW, error);  // a lock needs no write access
  if (fd < 0) return -1;
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
