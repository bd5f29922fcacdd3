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

struct DatabaseWrite {
  std::string error;       // empty once the new file is in place
  bool replacing = false;  // the new file was complete; putting it in place failed
};

// Writes a whole database file: `fill(db)` creates and fills its tables inside one
// transaction of a new file beside `path` and returns false on the first failing
// statement. The complete file then replaces `path`, synced before and after the rename
// (CommitReplacement). On any failure the new file is removed and `path` is untouched.
template <class Fill>
DatabaseWrite WriteDatabaseFile(const std::string& path, Fill&& fill) {
  const std::string temp = path + ".tmp";
  std::error_code ec;
  std::filesystem::remove(temp, ec);
  sqlite3* raw = nullptr;
  const int rc = sqlite3_open_v2(temp.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  Db db(raw);
  auto exec = [raw](const char* sql) { return sqlite3_exec(raw, sql, nullptr, nullptr, nullptr) == SQLITE_OK; };
  if (rc != SQLITE_OK || !exec("BEGIN") || !fill(raw) || !exec("COMMIT")) {
    DatabaseWrite failed{raw ? sqlite3_errmsg(raw) : "无法创建文件"};
    db.reset();
    std::filesystem::remove(temp, ec);
    return failed;
  }
  db.reset();
  DatabaseWrite done;
  done.error = CommitReplacement(temp, path);
  done.replacing = !done.error.empty();
  return done;
}

}  // namespace pelmora::sqlite
