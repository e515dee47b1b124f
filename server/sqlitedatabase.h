#pragma once
// Owning handle of one SQLite connection.
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
  bool Open(const std::string& path, std::string* error);
  void Close();
  // Runs statements without results; false with the message on failure.
  bool Exec(const std::string& sql, std::string* error = nullptr);
  std::string LastError() const;
  long long Changes() const;
  long long LastInsertId() const;
  sqlite3* Handle() const { return db_; }

 private:
  sqlite3* db_ = nullptr;
};

}  // namespace velsrv
