#include "server/sqlitestatement.h"

#include <sqlite3.h>

#include "server/sqlitedatabase.h"

namespace velsrv {

SqliteStatement::~SqliteStatement() { sqlite3_finalize(stmt_); }

bool SqliteStatement::Prepare(SqliteDatabase& db, const char* sql, std::string* error) {
  sqlite3_finalize(stmt_);
  stmt_ = nullptr;
  db_ = &db;
  if (sqlite3_prepare_v2(db.Handle(), sql, -1, &stmt_, nullptr) != SQLITE_OK) {
    db.NoteFailure();
    if (error) *error = db.LastError();
    stmt_ = nullptr;
    return false;
  }
  return true;
}

SqliteStatement& SqliteStatement::Reset() {
  sqlite3_reset(stmt_);
  sqlite3_clear_bindings(stmt_);
  done_ = false;
  return *this;
}

SqliteStatement& SqliteStatement::Bind(int index, long long value) {
  sqlite3_bind_int64(stmt_, index, value);
  return *this;
}

SqliteStatement& SqliteStatement::BindBlob(int index, std::string_view bytes) {
  sqlite3_bind_blob(stmt_, index, bytes.data(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
  return *this;
}

SqliteStatement& SqliteStatement::BindText(int index, std::string_view text) {
  sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
  return *this;
}

SqliteStatement& SqliteStatement::BindNull(int index) {
  sqlite3_bind_null(stmt_, index);
  return *this;
}

bool SqliteStatement::Step() {
  if (stmt_ == nullptr) {
    done_ = false;
    return false;
  }
  const int rc = sqlite3_step(stmt_);
  done_ = rc == SQLITE_DONE;
  if (rc == SQLITE_ROW) return true;
  if (done_) {
    if (!sqlite3_stmt_readonly(stmt_)) db_->NoteWriteDone();
  } else {
    db_->NoteFailure();
  }
  sqlite3_reset(stmt_);
  return false;
}

bool SqliteStatement::Run() {
  while (Step()) {
  }
  return done_;
}

long long SqliteStatement::Int(int column) const { return sqlite3_column_int64(stmt_, column); }

std::string SqliteStatement::Bytes(int column) const {
  const void* data = sqlite3_column_blob(stmt_, column);
  const int size = sqlite3_column_bytes(stmt_, column);
  if (data == nullptr || size <= 0) return std::string();
  return std::string(static_cast<const char*>(data), static_cast<std::size_t>(size));
}

}  // namespace velsrv
