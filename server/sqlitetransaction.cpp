#include "server/sqlitetransaction.h"

namespace velsrv {

SqliteTransaction::SqliteTransaction(SqliteDatabase& db) : db_(db) { began_ = db_.Exec("BEGIN IMMEDIATE"); }

SqliteTransaction::~SqliteTransaction() {
  if (began_ && !finished_) db_.Exec("ROLLBACK");
}

bool SqliteTransaction::Commit() {
  if (!began_ || finished_) return false;
  if (!db_.Exec("COMMIT")) return false;  // still rolled back by the destructor
  finished_ = true;
  return true;
}

}  // namespace velsrv
