#include "props/PropLib.h"

#include "fields/DurableFile.h"
#include "fields/SqliteHandles.h"
#include "fields/Text.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>

namespace pelmora {

namespace {

constexpr std::array<PropFieldInfo, kPropFieldCount> kFields = {{
    {"NO", 6, "流水号"},        {"CN", 20, "中文名"},       {"EN", 20, "英文名"},         {"CP", 300, "比热"},
    {"MD", 300, "密度"},        {"VI", 300, "黏度"},        {"TC", 300, "导热系数"},      {"ST", 300, "表面张力"},
    {"HV", 300, "蒸发潜热"},    {"Pc", 20, "临界压力"},     {"NT", 100, "注释"},          {"FM", 40, "化学式或组成"},
    {"TL", 10, "适用温度下限"}, {"TH", 10, "适用温度上限"}, {"PL", 10, "适用压力下限"},   {"PH", 10, "适用压力上限"},
    {"PB", 60, "压力基准"},     {"VP", 300, "蒸气压"},      {"VL", 10, "蒸气压温度下限"}, {"VH", 10, "蒸气压温度上限"},
    {"SR", 300, "数据来源"},
}};

using Member = std::optional<std::string> PropRecord::*;
constexpr std::array<Member, kPropFieldCount> kMembers = {
    &PropRecord::NO, &PropRecord::CN, &PropRecord::EN, &PropRecord::CP, &PropRecord::MD, &PropRecord::VI,
    &PropRecord::TC, &PropRecord::ST, &PropRecord::HV, &PropRecord::Pc, &PropRecord::NT, &PropRecord::FM,
    &PropRecord::TL, &PropRecord::TH, &PropRecord::PL, &PropRecord::PH, &PropRecord::PB, &PropRecord::VP,
    &PropRecord::VL, &PropRecord::VH, &PropRecord::SR,
};

int FieldIndex(std::string_view name) {
  for (size_t i = 0; i < kFields.size(); ++i) {
    std::string_view f(kFields[i].name);
    if (f.size() != name.size()) continue;
    bool same = true;
    for (size_t j = 0; j < f.size() && same; ++j) {
      auto up = [](char c) { return (c >= 'a' && c <= 'z') ? char(c - 32) : c; };
      same = up(f[j]) == up(name[j]);
    }
    if (same) return static_cast<int>(i);
  }
  return -1;
}

bool NoLess(const PropRecord& a, const PropRecord& b) {
  if (!a.NO || !b.NO) return !a.NO && b.NO;
  return *a.NO < *b.NO;
}

// The file's identity, kept in a small table beside the records.
constexpr const char* kSignature = "Pelmora property library";
// Version 2 added the range, vapour-pressure and source columns; version 1 files load
// with those columns null.
constexpr int kFormatVersion = 2;

using sqlite::ColumnText;
using sqlite::Db;
using sqlite::Stmt;

std::string CreateTableSql() {
  std::string sql = "CREATE TABLE PropLib(";
  for (size_t i = 0; i < kFields.size(); ++i) {
    if (i) sql += ", ";
    std::string n = kFields[i].name;
    sql += n + " TEXT CHECK(" + n + " IS NULL OR length(" + n + ") <= " + std::to_string(kFields[i].width) + ")";
  }
  sql += ")";
  return sql;
}

}  // namespace

const std::optional<std::string>* PropRecord::Field(std::string_view name) const {
  int i = FieldIndex(name);
  return i < 0 ? nullptr : &(this->*kMembers[static_cast<size_t>(i)]);
}

std::optional<std::string>* PropRecord::Field(std::string_view name) {
  int i = FieldIndex(name);
  return i < 0 ? nullptr : &(this->*kMembers[static_cast<size_t>(i)]);
}

const std::array<PropFieldInfo, kPropFieldCount>& PropFields() { return kFields; }

std::string PropLibPath(const std::string& programFolder) {
  return (std::filesystem::path(programFolder) / PropLibrary::kFileName).string();
}

int PropLibrary::Find(std::string_view no) const {
  for (size_t i = 0; i < records_.size(); ++i)
    if (records_[i].NO && *records_[i].NO == no) return static_cast<int>(i);
  return -1;
}

std::string PropLibrary::CheckRecord(const PropRecord& r) {
  for (size_t i = 0; i < kFields.size(); ++i) {
    const auto& v = r.*kMembers[i];
    if (v && GbkWidth(*v) > static_cast<size_t>(kFields[i].width))
      return std::string("“") + kFields[i].caption + "”超过" + std::to_string(kFields[i].width) + "个字符" +
             (r.NO ? "（流水号 " + *r.NO + "）" : std::string());
  }
  return {};
}

void PropLibrary::Sort() { std::stable_sort(records_.begin(), records_.end(), NoLess); }

int PropLibrary::Insert(const PropRecord& r, std::string* message) {
  std::string m = CheckRecord(r);
  if (!m.empty()) {
    if (message) *message = m;
    return -1;
  }
  auto pos = std::upper_bound(records_.begin(), records_.end(), r, NoLess);
  auto at = records_.insert(pos, r);
  return static_cast<int>(at - records_.begin());
}

int PropLibrary::Update(int index, const PropRecord& r, std::string* message) {
  if (index < 0 || index >= Count()) return -1;
  std::string m = CheckRecord(r);
  if (!m.empty()) {
    if (message) *message = m;
    return -1;
  }
  records_.erase(records_.begin() + index);
  return Insert(r, nullptr);
}

void PropLibrary::Remove(int index) {
  if (index >= 0 && index < Count()) records_.erase(records_.begin() + index);
}

bool PropLibrary::Load(const std::string& path, std::string* message) {
  records_.clear();
  auto fail = [&](const std::string& text) {
    records_.clear();
    if (message) *message = text;
    return false;
  };
  sqlite::ReadOnlyFile file = sqlite::OpenReadOnly(path);
  if (file.missing) return fail("找不到物性数据库文件 " + path + "，物性库为空。");
  sqlite3* raw = file.db.get();
  int rc = file.rc;
  auto damaged = [&]() {
    std::string why = sqlite::ReasonZh(raw, rc);
    return fail("物性数据库文件 " + path + " 已损坏或不是物性库（" + why + "），物性库为空。");
  };
  if (rc != SQLITE_OK) return damaged();

  // Identity check.
  sqlite3_stmt* s = nullptr;
  if (sqlite3_prepare_v2(raw, "SELECT value FROM PelmoraFile WHERE key='signature'", -1, &s, nullptr) != SQLITE_OK)
    return damaged();
  Stmt sig(s);
  if (sqlite3_step(s) != SQLITE_ROW || ColumnText(s, 0) != kSignature)
    return fail("文件 " + path + " 不是物性数据库，物性库为空。");

  // The columns the file has: an older library lacks the later ones, which stay null.
  std::vector<size_t> present;
  {
    if (sqlite3_prepare_v2(raw, "SELECT name FROM pragma_table_info('PropLib')", -1, &s, nullptr) != SQLITE_OK)
      return damaged();
    Stmt info(s);
    std::vector<std::string> names;
    while (sqlite3_step(s) == SQLITE_ROW) names.push_back(ColumnText(s, 0));
    for (size_t i = 0; i < kFields.size(); ++i)
      if (std::find(names.begin(), names.end(), kFields[i].name) != names.end()) present.push_back(i);
    if (present.empty() || present.front() != 0) return damaged();
  }
  std::string sql = "SELECT ";
  for (size_t k = 0; k < present.size(); ++k) sql += (k ? ", " : "") + std::string(kFields[present[k]].name);
  sql += " FROM PropLib ORDER BY NO, rowid";
  if (sqlite3_prepare_v2(raw, sql.c_str(), -1, &s, nullptr) != SQLITE_OK) return damaged();
  Stmt sel(s);
  std::vector<PropRecord> loaded;
  while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
    PropRecord r;
    for (size_t k = 0; k < present.size(); ++k) {
      if (sqlite3_column_type(s, static_cast<int>(k)) == SQLITE_NULL) continue;
      r.*kMembers[present[k]] = ColumnText(s, static_cast<int>(k));
    }
    loaded.push_back(std::move(r));
  }
  if (rc != SQLITE_DONE) return damaged();
  records_ = std::move(loaded);
  Sort();
  return true;
}

bool PropLibrary::Save(const std::string& path, std::string* message) const {
  auto fail = [&](const std::string& text) {
    if (message) *message = text;
    return false;
  };
  for (const auto& r : records_) {
    std::string m = CheckRecord(r);
    if (!m.empty()) return fail("保存失败：" + m);
  }
  const sqlite::DatabaseWrite w = sqlite::WriteDatabaseFile(path, [&](sqlite3* db) {
    auto exec = [db](const std::string& sql) {
      return sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
    };
    if (!exec("CREATE TABLE PelmoraFile(key TEXT PRIMARY KEY, value TEXT)") ||
        !exec(std::string("INSERT INTO PelmoraFile VALUES('signature', '") + kSignature + "'), ('version', '" +
              std::to_string(kFormatVersion) + "')") ||
        !exec(CreateTableSql()) || !exec("CREATE INDEX PropLibNO ON PropLib(NO)"))
      return false;
    std::string sql = "INSERT INTO PropLib VALUES(";
    for (size_t i = 0; i < kFields.size(); ++i) sql += i ? ",?" : "?";
    sql += ")";
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &s, nullptr) != SQLITE_OK) return false;
    Stmt ins(s);
    for (const auto& r : records_) {
      sqlite3_reset(s);
      for (size_t i = 0; i < kFields.size(); ++i) {
        const auto& v = r.*kMembers[i];
        int col = static_cast<int>(i) + 1;
        if (v)
          sqlite3_bind_text(s, col, v->data(), static_cast<int>(v->size()), SQLITE_TRANSIENT);
        else
          sqlite3_bind_null(s, col);
      }
      if (sqlite3_step(s) != SQLITE_DONE) return false;
    }
    return true;
  });
  if (w.replacing) return fail("无法替换物性数据库文件 " + path + "（" + w.error + "）");
  if (!w.error.empty()) return fail("无法保存物性数据库 " + path + "（" + w.error + "）");
  return true;
}

}  // namespace pelmora
