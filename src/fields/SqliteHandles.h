#pragma once
// Owning handles of the SQLite C API and the two column readers the data files of the
// program share (property library, tube catalogue). Include only where SQLite is linked.
#include <sqlite3.h>

#include <cmath>
#include <memory>
#include <optional>
#include <string>

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

}  // namespace pelmora::sqlite
