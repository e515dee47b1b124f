#pragma once
// Exclusive ownership of a database file for the life of a server: an flock()
// on "<database>.lock" next to it. A second server on the same file is refused
// at once instead of running beside the first and failing its live lot. The
// lock file is not the database itself, so tools (sqlite3, backups) can still
// open the database, and closing the lock never touches SQLite's own locks.
#include <string>

namespace velsrv {

class OwnerLock {
 public:
  OwnerLock() = default;
  ~OwnerLock();
  OwnerLock(const OwnerLock&) = delete;
  OwnerLock& operator=(const OwnerLock&) = delete;

  // False with the reason (naming the lock file, and the holder when known).
  bool Acquire(const std::string& databasePath, std::string* error);
  void Release();
  bool Held() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
  std::string lockPath_;
};

}  // namespace velsrv
