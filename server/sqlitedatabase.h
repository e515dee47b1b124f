#pragma once
// Owning handle of one SQLite connection.
#include <cstdint>
#include <string>

struct sqlite3;

namespace velsrv {

class SqliteDatabase {
 public:
  SqliteDatabase() = default;
  ~SqliteDatabase();
  SqliteDatabase(const SqliteDatabase&) = delete;
  SqliteDatabase& operator=(const SqliteDatabase&) = delete;

  // Opens (creating if needed) the file; ":memory:" gives a private database.
  // A database locked by another process is waited for at most busyWaitMs per
  // operation; once one operation has given up, the next ones wait only a
  // tenth of that until a write gets through, so a long lock cannot stall the
  // caller's thread operation after operation.
  bool Open(const std::string& path, std::string* error, std::uint32_t busyWaitMs = 250);
  void Close();
  // Runs statements without results; false with the message on failure.
  bool Exec(const std::string& sql, std::string* error = nullptr);
  // The message of the last failure, kept past the reset that follows it.
  std::string LastError() const;
  long long Changes() const;
  long long LastInsertId() const;
  sqlite3* Handle() const { return db_; }

  // Statements report here: a failure's message, and that a write got through.
  void NoteFailure();
  void NoteWriteDone() { contended_ = false; }

 private:
  static int OnBusy(void* self, int attempt);

  sqlite3* db_ = nullptr;
  std::string lastError_;
  std::uint32_t busyWaitMs_ = 250;
  std::uint64_t busySinceMs_ = 0;
  bool contended_ = false;
};

}  // namespace velsrv
