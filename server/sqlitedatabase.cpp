#include "server/sqlitedatabase.h"

#include <sqlite3.h>

#include <algorithm>

#include "platform/time/clock.h"

namespace velsrv {

namespace {

// Sleep between retries while another connection holds the lock.
constexpr int kBusySleepMs = 5;

}  // namespace

SqliteDatabase::~SqliteDatabase() { Close(); }

bool SqliteDatabase::Open(const std::string& path, std::string* error, std::uint32_t busyWaitMs) {
  Close();
  const int rc = sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  if (rc != SQLITE_OK) {
    if (error) *error = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
    Close();
    return false;
  }
  busyWaitMs_ = busyWaitMs;
  contended_ = false;
  sqlite3_busy_handler(db_, &SqliteDatabase::OnBusy, this);
  return true;
}

int SqliteDatabase::OnBusy(void* self, int attempt) {
  auto* db = static_cast<SqliteDatabase*>(self);
  // Real time: the lock belongs to another connection, and the wait between tries is a real sleep.
  const std::uint64_t now = plat::Steady().NowMs();
  if (attempt == 0) db->busySinceMs_ = now;
  const std::uint64_t budget = db->contended_ ? db->busyWaitMs_ / 10 : db->busyWaitMs_;
  const std::uint64_t waited = now - db->busySinceMs_;
  if (waited >= budget) {
    db->contended_ = true;
    return 0;  // give up: the statement fails with SQLITE_BUSY
  }
  sqlite3_sleep(static_cast<int>(std::min<std::uint64_t>(kBusySleepMs, budget - waited)));
  return 1;
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
    lastError_ = message ? message : sqlite3_errstr(rc);
    if (error) *error = lastError_;
    sqlite3_free(message);
    return false;
  }
  // Transaction control got its lock (or had it already).
  NoteWriteDone();
  return true;
}

void SqliteDatabase::NoteFailure() { lastError_ = db_ ? sqlite3_errmsg(db_) : "database not open"; }

std::string SqliteDatabase::LastError() const { return lastError_.empty() ? "no error" : lastError_; }

long long SqliteDatabase::Changes() const { return db_ ? sqlite3_changes(db_) : 0; }

long long SqliteDatabase::LastInsertId() const { return db_ ? sqlite3_last_insert_rowid(db_) : 0; }

}  // namespace velsrv
