#include "select/PipeCatalogue.h"

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <tuple>

#include "fields/DurableFile.h"
#include "fields/Errors.h"
#include "fields/NumberFormat.h"
#include "fields/SqliteHandles.h"
#include "fields/Text.h"

namespace pelmora {

namespace {

constexpr const char* kTimes = "\xC3\x97";  // U+00D7 "×"

using sqlite::ColumnNumber;
using sqlite::ColumnText;
using sqlite::Db;
using sqlite::Stmt;

// The first `n` characters (UTF-8 code points) of s.
std::string FirstChars(const std::string& s, size_t n) {
  size_t i = 0, count = 0;
  while (i < s.size() && count < n) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    size_t len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : 4;
    i += len;
    ++count;
  }
  return s.substr(0, std::min(i, s.size()));
}

double FiniteNumber(const std::string& text) {
  double v = StrToFloat(text);
  if (!std::isfinite(v)) throw ConversionError("'" + text + "' is not a valid floating point value");
  return v;
}

}  // namespace

TubeSize ParseTubeSize(const std::string& dn) {
  size_t x = dn.find(kTimes);
  if (x == std::string::npos) throw ConversionError("'" + dn + "' is not a valid floating point value");
  TubeSize t;
  t.outer = FiniteNumber(dn.substr(0, x));
  t.wall = FiniteNumber(FirstChars(dn.substr(x + 2), 10));
  return t;
}

std::optional<std::string> NormalizeOwnSize(const std::string& text, std::string* message) {
  auto fail = [&](const std::string& m) -> std::optional<std::string> {
    if (message) *message = m;
    return std::nullopt;
  };
  std::string s = ReplaceAll(ReplaceAll(ReplaceAll(TrimStr(text), kTimes, "x"), "X", "x"), "*", "x");
  size_t x = s.find('x');
  if (x == std::string::npos || s.find('x', x + 1) != std::string::npos)
    return fail("管子规格请写成“外径×壁厚”（毫米），例如 25×2.5。");
  auto outer = ParseDecimal(Trim(std::string_view(s).substr(0, x)));
  auto wall = ParseDecimal(Trim(std::string_view(s).substr(x + 1)));
  if (!outer || !wall || !std::isfinite(*outer) || !std::isfinite(*wall))
    return fail("管子规格“" + TrimStr(text) + "”中的外径和壁厚必须是数字（毫米）。");
  if (!(*wall > 0) || !(*outer > 2 * *wall))
    return fail("管子规格“" + TrimStr(text) + "”不成立：外径必须大于两倍壁厚，壁厚必须大于0。");
  std::string dn = Format15(*outer) + kTimes + Format15(*wall);
  if (dn.size() - 1 > 10)  // "×" counts as one character
    return fail("管子规格“" + dn + "”超过10个字符。");
  return dn;
}

std::vector<size_t> DisplayOrder(const std::vector<PipeRow>& pipes) {
  struct Key {
    bool bad;
    double outer, wall;
    bool own;
    std::string standard;
    int id;
  };
  std::vector<Key> keys;
  keys.reserve(pipes.size());
  for (const PipeRow& r : pipes) {
    Key k{false, 0, 0, r.own, r.standard, r.id};
    try {
      TubeSize t = ParseTubeSize(r.dn);
      k.outer = t.outer, k.wall = t.wall;
    } catch (const ConversionError&) {
      k.bad = true;
    }
    keys.push_back(std::move(k));
  }
  std::vector<size_t> order(pipes.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    const Key &x = keys[a], &y = keys[b];
    return std::tie(x.bad, x.outer, x.wall, x.own, x.standard, x.id) <
           std::tie(y.bad, y.outer, y.wall, y.own, y.standard, y.id);
  });
  return order;
}

bool PipeCatalogue::Load(const std::string& path, std::string* message) {
  pipes.clear();
  expands.clear();
  auto fail = [&](const std::string& why) {
    pipes.clear();
    expands.clear();
    if (message) *message = why;
    return false;
  };
  sqlite::ReadOnlyFile file = sqlite::OpenReadOnly(path);
  if (file.missing) return fail("找不到管道数据库 " + path + "，管道系列和液体膨胀系数列表为空。");
  sqlite3* raw = file.db.get();
  int rc = file.rc;
  auto damaged = [&]() {
    std::string why = sqlite::ReasonZh(raw, rc);
    return fail("管道数据库 " + path + " 已损坏或不是管道数据库（" + why + "），管道系列和液体膨胀系数列表为空。");
  };
  if (rc != SQLITE_OK) return damaged();
  sqlite3_stmt* s = nullptr;
  // A catalogue written before the standard column existed has none: its rows name no standard.
  bool hasStd = false;
  if (sqlite3_prepare_v2(raw, "SELECT name FROM pragma_table_info('Piples1')", -1, &s, nullptr) != SQLITE_OK)
    return damaged();
  {
    Stmt info(s);
    while (sqlite3_step(s) == SQLITE_ROW)
      if (ColumnText(s, 0) == "Std") hasStd = true;
  }
  const char* select = hasStd ? "SELECT ID, DN, Do, Di, Own, Std FROM Piples1 ORDER BY ID"
                              : "SELECT ID, DN, Do, Di, Own FROM Piples1 ORDER BY ID";
  if (sqlite3_prepare_v2(raw, select, -1, &s, nullptr) != SQLITE_OK) return damaged();
  {
    Stmt st(s);
    while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
      PipeRow r;
      r.id = sqlite3_column_int(s, 0);
      r.dn = ColumnText(s, 1);
      r.Do = ColumnNumber(s, 2);
      r.Di = ColumnNumber(s, 3);
      r.own = sqlite3_column_int(s, 4) != 0;
      if (hasStd && sqlite3_column_type(s, 5) != SQLITE_NULL) r.standard = ColumnText(s, 5);
      pipes.push_back(std::move(r));
    }
    if (rc != SQLITE_DONE) return damaged();
  }
  if (sqlite3_prepare_v2(raw, "SELECT ID, DN, Ec FROM Expand1 ORDER BY ID", -1, &s, nullptr) != SQLITE_OK)
    return damaged();
  {
    Stmt st(s);
    while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
      ExpandRow r;
      r.id = sqlite3_column_int(s, 0);
      r.dn = ColumnText(s, 1);
      r.ec = ColumnNumber(s, 2);
      expands.push_back(std::move(r));
    }
    if (rc != SQLITE_DONE) return damaged();
  }
  return true;
}

bool PipeCatalogue::Save(const std::string& path, std::string* message) const {
  const sqlite::DatabaseWrite w = sqlite::WriteDatabaseFile(path, [&](sqlite3* db) {
    auto exec = [db](const char* sql) { return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK; };
    if (!exec("CREATE TABLE Piples1(ID INTEGER PRIMARY KEY, DN TEXT NOT NULL, Do REAL, Di REAL, "
              "Own INTEGER NOT NULL DEFAULT 0, Std TEXT)") ||
        !exec("CREATE TABLE Expand1(ID INTEGER PRIMARY KEY, DN TEXT NOT NULL, Ec REAL)"))
      return false;
    auto bindNumber = [](sqlite3_stmt* s, int col, const std::optional<double>& v) {
      if (v)
        sqlite3_bind_double(s, col, *v);
      else
        sqlite3_bind_null(s, col);
    };
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(db, "INSERT INTO Piples1 VALUES(?,?,?,?,?,?)", -1, &s, nullptr) != SQLITE_OK) return false;
    {
      Stmt st(s);
      for (const PipeRow& r : pipes) {
        sqlite3_reset(s);
        sqlite3_bind_int(s, 1, r.id);
        sqlite3_bind_text(s, 2, r.dn.data(), static_cast<int>(r.dn.size()), SQLITE_TRANSIENT);
        bindNumber(s, 3, r.Do);
        bindNumber(s, 4, r.Di);
        sqlite3_bind_int(s, 5, r.own ? 1 : 0);
        if (r.standard.empty())
          sqlite3_bind_null(s, 6);
        else
          sqlite3_bind_text(s, 6, r.standard.data(), static_cast<int>(r.standard.size()), SQLITE_TRANSIENT);
        if (sqlite3_step(s) != SQLITE_DONE) return false;
      }
    }
    if (sqlite3_prepare_v2(db, "INSERT INTO Expand1 VALUES(?,?,?)", -1, &s, nullptr) != SQLITE_OK) return false;
    Stmt st(s);
    for (const ExpandRow& r : expands) {
      sqlite3_reset(s);
      sqlite3_bind_int(s, 1, r.id);
      sqlite3_bind_text(s, 2, r.dn.data(), static_cast<int>(r.dn.size()), SQLITE_TRANSIENT);
      bindNumber(s, 3, r.ec);
      if (sqlite3_step(s) != SQLITE_DONE) return false;
    }
    return true;
  });
  if (!w.error.empty()) {
    if (message) *message = "无法保存管道数据库 " + path + "（" + w.error + "）";
    return false;
  }
  return true;
}

}  // namespace pelmora
