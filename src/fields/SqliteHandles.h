#pragma once
// Owning handles of the SQLite C API and the two column readers the data files of the
// program share (property library, tube catalogue). Include only where SQLite is linked.
#include <sqlite3.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "fields/DurableFile.h"

namespace pelmora::sqlite {

struct DbCloser {
  void operator()(sqlite3* db) const { sqlite3_close(db); }
};
using Db = std::unique_ptr<sqlite3, DbCloser>;

struct StmtFinalizer {
  void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
using Stmt = std::unique_ptr<sqlite3_stmt, StmtFinalizer>;

// A data file of the program opened read-only: `missing` when there is no such file (then
// no handle); otherwise `rc` is the open's result, and on a failure `db` still holds the
// handle that knows the reason (ReasonZh).
struct ReadOnlyFile {
  Db db;
  int rc = SQLITE_CANTOPEN;
  bool missing = true;
};
inline ReadOnlyFile OpenReadOnly(const std::string& path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return {};
  sqlite3* raw = nullptr;
  const int rc = sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READONLY, nullptr);
  return {Db(raw), rc, false};
}

// A column's text, empty for NULL.
inline std::string ColumnText(sqlite3_stmt* s, int col) {
  const unsigned char* t = sqlite3_column_text(s, col);
  return t ? std::string(reinterpret_cast<const char*>(t), static_cast<size_t>(sqlite3_column_bytes(s, col)))
           : std::string();
}

// A column's number; none for NULL or a value that is not finite.
inline std::optional<double> ColumnNumber(sqlite3_stmt* s, int col) {
  if (sqlite3_column_type(s, col) == SQLITE_NULL) return std::nullopt;
  double v = sqlite3_column_double(s, col);
  if (!std::isfinite(v)) return std::nullopt;
  return v;
}

// A Chinese reason for an SQLite result, with SQLite's own text in brackets ("数据库正被
// 另一个程序使用（database is locked）"). An input/output failure gives the system's reason
// when SQLite knows its error number. `db` may be null (then `rc` alone is used).
inline std::string ReasonZh(sqlite3* db, int rc) {
  const int code = db ? sqlite3_extended_errcode(db) : rc;
  const std::string original = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
  const int primary = code & 0xFF;
  if (db && (primary == SQLITE_IOERR || primary == SQLITE_CANTOPEN || primary == SQLITE_FULL))
    if (int sys = sqlite3_system_errno(db)) return SystemReasonZh(sys);
  const char* zh = nullptr;
  switch (primary) {
    case SQLITE_BUSY: zh = "数据库正被另一个程序使用"; break;
    case SQLITE_LOCKED: zh = "数据库表被锁定"; break;
    case SQLITE_NOMEM: zh = "内存不足"; break;
    case SQLITE_READONLY: zh = "数据库文件只读"; break;
    case SQLITE_IOERR: zh = "磁盘读写错误"; break;
    case SQLITE_CORRUPT: zh = "数据库文件已损坏"; break;
    case SQLITE_FULL: zh = "磁盘空间不足"; break;
    case SQLITE_CANTOPEN: zh = "无法打开数据库文件"; break;
    case SQLITE_NOTADB: zh = "不是数据库文件"; break;
    case SQLITE_PERM:
    case SQLITE_AUTH: zh = "没有访问权限"; break;
    case SQLITE_TOOBIG: zh = "数据太大"; break;
    case SQLITE_CONSTRAINT: zh = "数据不符合约束"; break;
    case SQLITE_MISMATCH: zh = "数据类型不符"; break;
    case SQLITE_PROTOCOL: zh = "数据库锁定协议出错"; break;
    case SQLITE_SCHEMA:
    case SQLITE_ERROR: zh = "数据库结构不符"; break;
    default: zh = "数据库错误"; break;
  }
  return std::string(zh) + "（" + original + "）";
}

struct DatabaseWrite {
  std::string error;       // empty once the new file is in place
  bool replacing = false;  // the new file was complete; putting it in place failed
};

// Writes a whole database file: `fill(db)` creates and fills its tables inside one
// transaction of a new file of a unique name beside `path` (DurableTemp), and returns
// false on the first failing statement. The complete file then replaces `path` (through
// a symbolic link), synced before and after the rename. On any failure the new file is
// removed, `path` is untouched and the failure is counted (NoteFailedWrite). Two writers
// at once both succeed: each fills its own file, and the renames take turns.
template <class Fill>
DatabaseWrite WriteDatabaseFile(const std::string& path, Fill&& fill) {
  DurableTemp temp(WriteTarget(path));
  auto failed = [](std::string why, bool replacing) {
    NoteFailedWrite();
    return DatabaseWrite{std::move(why), replacing};
  };
  if (temp.Error()) return failed(SystemReasonZh(temp.Error()), false);
  sqlite3* raw = nullptr;
  const int rc = sqlite3_open_v2(temp.Path().c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr);
  Db db(raw);
  auto exec = [raw](const char* sql) { return sqlite3_exec(raw, sql, nullptr, nullptr, nullptr) == SQLITE_OK; };
  if (rc != SQLITE_OK || !exec("BEGIN") || !fill(raw) || !exec("COMMIT")) {
    std::string why = ReasonZh(raw, rc);
    db.reset();
    return failed(why, false);
  }
  // Closed before the rename, so that the journal is gone and the file is complete.
  if (sqlite3_close(db.release()) != SQLITE_OK) return failed("无法关闭数据库文件", false);
  if (int e = temp.Commit()) return failed(SystemReasonZh(e), true);
  return {};
}

}  // namespace pelmora::sqlite
