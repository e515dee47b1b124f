#include "server/sqlitedatabase.h"

#include <sqlite3.h>

namespace velsrv {

namespace {
// A busy database (another process) is retried for this long before failing.
constexpr int kBusyTimeoutMs = 2000;
}  // namespace

SqliteDatabase::~SqliteDatabase() { Close(); }

bool SqliteDatabase::Open(const std::string& path, std::string* error) {
  Close();
  const int rc = sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  if (rc != SQLITE_OK) {
    if (error) *error = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
    Close();
    return false;
  }
  sqlite3_busy_timeout(db_, kBusyTimeoutMs);
  return true;
}

void SqliteDatabase::Close() {
  if (db_ != nullptr) {
    sqlite3_close_v2(db_);
    db_ = nullptr;
  }
}

bool SqliteDatabase::Exec(const std::string& sql, std::string* error) {
  if (db_ == nullptr) {
    if (error) *error = "database not open";
    return false;
  }
  char* message = nullptr;
  const int rc = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message);
  if (rc != SQLITE_OK) {
    if (error) *error = message ? message : sqlite3_errstr(rc);
    sqlite3_free(message);
    return false;
  }
  return true;
}

std::string SqliteDatabase::LastError() const { return db_ ? sqlite3_errmsg(db_) : "database not open"; }

long long SqliteDatabase::Changes() const { return db_ ? sqlite3_changes(db_) : 0; }

long long SqliteDatabase::LastInsertId() const { return db_ ? sqlite3_last_insert_rowid(db_) : 0; }

}  // namespace velsrv
