#include "server/ownerlock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace velsrv {

namespace {

// The same database reached through another path (a symbolic link, "./")
// must map to the same lock file.
std::string CanonicalPath(const std::string& path) {
  char resolved[PATH_MAX];
  if (::realpath(path.c_str(), resolved) != nullptr) return resolved;
  return path;  // not there yet: it is created under this name
}

std::string ReadHolder(int fd) {
  char text[32] = {};
  const ssize_t n = ::pread(fd, text, sizeof(text) - 1, 0);
  if (n <= 0) return std::string();
  std::string pid(text, static_cast<std::size_t>(n));
  while (!pid.empty() && (pid.back() == '\n' || pid.back() == ' ')) pid.pop_back();
  return pid.find_first_not_of("0123456789") == std::string::npos ? pid : std::string();
}

}  // namespace

OwnerLock::~OwnerLock() { Release(); }

bool OwnerLock::Acquire(const std::string& databasePath, std::string* error) {
  Release();
  lockPath_ = CanonicalPath(databasePath) + ".lock";
  const int fd = ::open(lockPath_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) {
    if (error) *error = "cannot create the lock file " + lockPath_ + ": " + std::strerror(errno);
    return false;
  }
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int err = errno;
    const std::string holder = ReadHolder(fd);
    ::close(fd);
    if (error) {
      if (err == EWOULDBLOCK) {
        *error = "in use by another server" + (holder.empty() ? std::string() : " (process " + holder + ")") +
                 "; only one server may use a database (lock file " + lockPath_ + ")";
      } else {
        *error = "cannot lock " + lockPath_ + ": " + std::strerror(err);
      }
    }
    return false;
  }
  // Who holds it, for the message a second server prints.
  const std::string pid = std::to_string(::getpid()) + "\n";
  if (::ftruncate(fd, 0) == 0) {
    [[maybe_unused]] const ssize_t written = ::pwrite(fd, pid.data(), pid.size(), 0);
  }
  fd_ = fd;
  return true;
}

void OwnerLock::Release() {
  if (fd_ >= 0) {
    ::close(fd_);  // drops the flock; the file stays for the next owner
    fd_ = -1;
  }
}

}  // namespace velsrv
