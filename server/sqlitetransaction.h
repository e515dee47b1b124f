#pragma once
// Scope guard: BEGIN IMMEDIATE on construction, ROLLBACK unless committed.
#include "server/sqlitedatabase.h"

namespace velsrv {

class SqliteTransaction {
 public:
  explicit SqliteTransaction(SqliteDatabase& db);
  ~SqliteTransaction();
  SqliteTransaction(const SqliteTransaction&) = delete;
  SqliteTransaction& operator=(const SqliteTransaction&) = delete;

  bool Began() const { return began_; }
  bool Commit();

 private:
  SqliteDatabase& db_;
  bool began_ = false;
  bool finished_ = false;
};

}  // namespace velsrv
