#pragma once
// A prepared statement, reset and rebound for every use. A step that fails or
// finishes resets the statement at once: a failed statement left pending would
// keep its read snapshot open and make every later write on the connection
// fail even after the cause went away.
#include <cstdint>
#include <string>
#include <string_view>

struct sqlite3_stmt;

namespace velsrv {

class SqliteDatabase;

class SqliteStatement {
 public:
  SqliteStatement() = default;
  ~SqliteStatement();
  SqliteStatement(const SqliteStatement&) = delete;
  SqliteStatement& operator=(const SqliteStatement&) = delete;

  bool Prepare(SqliteDatabase& db, const char* sql, std::string* error);
  // Clears bindings and results so the statement can run again.
  SqliteStatement& Reset();
  // Parameters are 1-based, as in SQLite.
  SqliteStatement& Bind(int index, long long value);
  SqliteStatement& BindBlob(int index, std::string_view bytes);
  SqliteStatement& BindText(int index, std::string_view text);
  SqliteStatement& BindNull(int index);

  // One step: true when a row is ready. Done() tells success after false;
  // after false the statement is already reset (the bindings stay).
  bool Step();
  bool Done() const { return done_; }
  // Runs to completion, ignoring rows; true on success.
  bool Run();

  long long Int(int column) const;
  std::string Bytes(int column) const;  // blob or text as raw bytes

 private:
  SqliteDatabase* db_ = nullptr;
  sqlite3_stmt* stmt_ = nullptr;
  bool done_ = false;
};

}  // namespace velsrv
