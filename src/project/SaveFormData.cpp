#include "project/SaveFormData.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <optional>

#include "fields/Errors.h"
#include "fields/NumberFormat.h"
#include "fields/Properties.h"
#include "fields/Text.h"
#include "project/TextFile.h"

namespace pelmora {

namespace {

constexpr std::string_view kLineMark = "△";  // GBK A1 F7: keeps a line's leading blanks
constexpr std::string_view kJoin = "▲";      // GBK A1 F8: joins lines and check-list fields

const char* Bool(bool b) { return b ? "True" : "False"; }

std::string SingleLine(std::string s) {
  for (char& c : s)
    if (c == '\r' || c == '\n') c = ' ';
  return s;
}

std::string EncodeLines(const std::vector<std::string>& lines) {
  std::string v;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i) v += kJoin;
    v += kLineMark;
    v += TrimRight(lines[i]);
  }
  return v;
}

std::vector<std::string> DecodeLines(std::string_view v) {
  std::vector<std::string> lines;
  if (v.empty()) return lines;
  size_t pos = 0;
  for (;;) {
    size_t bar = v.find(kJoin, pos);
    std::string_view part = v.substr(pos, bar == std::string_view::npos ? std::string_view::npos : bar - pos);
    lines.push_back(ReplaceAll(std::string(part), kLineMark, ""));
    if (bar == std::string_view::npos) break;
    pos = bar + kJoin.size();
  }
  return lines;
}

size_t Utf8Len(std::string_view s, size_t pos) {
  if (pos >= s.size()) return 0;
  auto b = static_cast<unsigned char>(s[pos]);
  size_t n = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 1;
  return std::min(n, s.size() - pos);
}

// ------------------------------------------------------------------ record values
// How a record kind writes and reads a property's value.

std::string CheckListText(const std::vector<CheckListBox::Item>& items) {
  std::string v;
  for (const auto& item : items) {
    if (!v.empty()) v += kJoin;
    v += Trim(item.text);
    v += kJoin;
    v += item.checked ? '1' : '0';
  }
  return v;
}

std::vector<CheckListBox::Item> ParseCheckList(std::string_view v) {
  std::vector<CheckListBox::Item> items;
  size_t pos = 0;
  while (pos < v.size()) {
    size_t bar = v.find(kJoin, pos);
    if (bar == std::string_view::npos) break;
    std::string text(v.substr(pos, bar - pos));
    size_t flagAt = bar + kJoin.size();
    size_t flagLen = Utf8Len(v, flagAt);
    bool ticked = flagLen == 1 && v[flagAt] == '1';
    items.push_back({std::move(text), ticked});
    pos = flagAt + flagLen;
    pos += Utf8Len(v, pos);
  }
  return items;
}

std::string EncodeValue(const std::string& recordKind, const PropValue& v) {
  if (recordKind == "Enum") return Bool(std::get<bool>(v));
  if (recordKind == "Ord") return std::to_string(std::get<long long>(v));
  if (recordKind == "Float") return Format15(std::get<double>(v));
  if (recordKind == "Memo" || recordKind == "Rich") return EncodeLines(std::get<std::vector<std::string>>(v));
  if (recordKind == "CheckListBox") return CheckListText(std::get<std::vector<CheckListBox::Item>>(v));
  return SingleLine(std::get<std::string>(v));
}

// ------------------------------------------------------------------ reading

struct Step {
  Component* c = nullptr;
  const Property* property = nullptr;
  PropValue value;
  size_t record = 0;  // its record, counted from 1
};

bool ParseBool(const std::string& v) {
  if (EqualsNoCase(v, "True")) return true;
  if (EqualsNoCase(v, "False")) return false;
  throw ConversionError("Invalid property element: " + v);
}

long long ParseInt32(const std::string& v) {
  long long x = StrToInt(v);
  if (x < INT32_MIN || x > INT32_MAX) throw ConversionError("'" + v + "' is not a valid integer value");
  return x;
}

PropValue DecodeValue(const std::string& recordKind, PropType type, const std::string& raw) {
  if (recordKind == "Enum") return ParseBool(raw);
  if (recordKind == "Ord") return ParseInt32(raw);
  if (recordKind == "Float") return StrToFloat(raw);
  if (recordKind == "CheckListBox") return ParseCheckList(raw);
  if (recordKind == "Memo" || recordKind == "Rich") {
    std::vector<std::string> lines = DecodeLines(raw);
    if (type == PropType::Lines) return lines;
    std::string s;
    for (size_t k = 0; k < lines.size(); ++k) s += (k ? "\r\n" : "") + lines[k];
    return s;
  }
  return raw;
}

// A list or radio index from a file must name one of the items (or none, -1): an index
// beyond the list would leave the window with a selection that is no item.
void CheckItemIndex(const Component& c, const Property& p, const PropValue& v, bool listsSettled) {
  if (p.type != PropType::Int || !EqualsNoCase(p.name, "ItemIndex")) return;
  const KindInfo& kind = Describe(c.GetKind());
  if (!kind.itemCount) return;
  // A unit selector's list follows the operating mode, which an earlier record of the
  // same file may still change: it is checked when its record is applied.
  if (!listsSettled && kind.itemsFollowMode) return;
  const size_t n = kind.itemCount(c);
  const long long i = std::get<long long>(v);
  if (i >= -1 && i < static_cast<long long>(n)) return;
  throw ConversionError("文件中“" + c.Name() + "”的选项序号 " + std::to_string(i) + " 超出范围（共 " +
                        std::to_string(n) + " 项，序号应为 0 至 " + std::to_string(static_cast<long long>(n) - 1) +
                        "）");
}

bool Matches(const RecordForm& form, const FormRecord& r) {
  return form.kind == r.kind && (form.anyName || EqualsNoCase(form.property, r.property));
}

// The step a record makes, or nothing when the component lacks the property.
std::optional<Step> Prepare(Form& form, const FormRecord& r, size_t record) {
  Component* c = form.Find(r.name);
  if (!c || r.name.empty()) return std::nullopt;
  for (const Property& p : Describe(c->GetKind()).properties) {
    if (!p.set) continue;
    for (const RecordForm& rf : p.records) {
      if (!Matches(rf, r)) continue;
      try {
        Step st{c, &p, DecodeValue(r.kind, p.type, r.value), record};
        if (p.check) p.check(st.value, r.value);
        CheckItemIndex(*c, p, st.value, false);
        return st;
      } catch (const ConversionError& e) {
        throw RecordError(e.what(), record, r.name);
      }
    }
  }
  return std::nullopt;
}

void Apply(const Step& st) {
  try {
    CheckItemIndex(*st.c, *st.property, st.value, true);
  } catch (const ConversionError& e) {
    throw RecordError(e.what(), st.record, st.c->Name());
  }
  st.property->set(*st.c, st.value);
}

std::vector<Step> PrepareAll(Form& form, const std::vector<FormRecord>& records) {
  std::vector<Step> steps;
  steps.reserve(records.size());
  for (size_t i = 0; i < records.size(); ++i)
    if (auto st = Prepare(form, records[i], i + 1)) steps.push_back(std::move(*st));
  return steps;
}

// One line from `pos`, which moves past its end (CR LF, LF or CR).
std::string_view ReadLine(std::string_view t, size_t& pos) {
  size_t start = std::min(pos, t.size());
  size_t end = t.find_first_of("\r\n", start);
  if (end == std::string_view::npos) {
    pos = t.size();
    return t.substr(start);
  }
  pos = end + 1;
  if (t[end] == '\r' && pos < t.size() && t[pos] == '\n') ++pos;
  return t.substr(start, end - start);
}

}  // namespace

std::vector<FormRecord> CollectFormRecords(const Form& form, const std::vector<std::string>& excluded) {
  std::vector<FormRecord> out;
  out.reserve(form.Components().size() * 2);
  for (const Component* c : form.Components()) {
    bool skip = false;
    for (const auto& x : excluded)
      if (EqualsNoCase(x, c->Name())) skip = true;
    if (skip) continue;
    const KindInfo& kind = Describe(c->GetKind());
    for (size_t i : kind.written) {
      const Property& p = kind.properties[i];
      const RecordForm& rf = p.records.front();
      out.push_back({c->Name(), rf.kind, rf.property, EncodeValue(rf.kind, p.get(*c))});
    }
  }
  return out;
}

std::string FormatFormRecords(const std::vector<FormRecord>& records) {
  std::string s;
  size_t size = 80;
  for (const auto& r : records) size += r.name.size() + r.kind.size() + r.property.size() + r.value.size() + 10;
  s.reserve(size);
  s += kFormRecordSignature;
  s += "\r\n";
  s += kFormRecordVersion;
  s += "\r\n\r\n";
  for (const auto& r : records) {
    for (const std::string* line : {&r.name, &r.kind, &r.property, &r.value}) {
      s += *line;
      s += "\r\n";
    }
    s += "\r\n";
  }
  return s;
}

std::vector<FormRecord> ParseFormRecords(std::string_view t, size_t* complete) {
  std::vector<FormRecord> out;
  size_t whole = 0;
  size_t pos = 0;
  ReadLine(t, pos);  // signature
  ReadLine(t, pos);  // version: not compared
  ReadLine(t, pos);  // empty, whatever it holds
  while (pos < t.size()) {
    while (pos < t.size() && (t[pos] == ' ' || t[pos] == '\t' || t[pos] == '\r' || t[pos] == '\n')) ++pos;
    if (pos >= t.size()) break;
    FormRecord r;
    r.name = ReadLine(t, pos);
    r.kind = ReadLine(t, pos);
    r.property = ReadLine(t, pos);
    const size_t valueAt = pos;
    r.value = ReadLine(t, pos);
    // The value line of a whole record ends with a line end; a file cut short does not.
    if (pos > valueAt && (t[pos - 1] == '\n' || t[pos - 1] == '\r')) ++whole;
    ReadLine(t, pos);
    out.push_back(std::move(r));
  }
  if (complete) *complete = whole;
  return out;
}

void ApplyFormRecords(Form& form, const std::vector<FormRecord>& records) {
  std::vector<Step> steps = PrepareAll(form, records);  // throws before anything changes
  std::vector<FormRecord> before = CollectFormRecords(form);
  try {
    for (const Step& st : steps) Apply(st);
  } catch (...) {
    // Put back what was there, record by record, whatever the reactions do meanwhile.
    std::vector<Step> undo;
    try {
      undo = PrepareAll(form, before);
    } catch (...) {
    }
    for (const Step& st : undo) {
      try {
        Apply(st);
      } catch (...) {
      }
    }
    throw;
  }
}

void SaveFormRecords(const Form& form, const std::string& path, const std::vector<std::string>& excluded) {
  SaveFormRecords(CollectFormRecords(form, excluded), path);
}

void SaveFormRecords(const std::vector<FormRecord>& records, const std::string& path) {
  // Encoded record by record so that a character GBK cannot hold names its component.
  std::string bytes;
  std::string text = FormatFormRecords({WriterRecord(records.size())});
  bytes.reserve(records.size() * 40 + text.size());
  bytes += text;
  for (const auto& r : records) {
    for (const std::string* line : {&r.name, &r.kind, &r.property, &r.value}) {
      bytes += Utf8ToGbk(*line, r.name);
      bytes += "\r\n";
    }
    bytes += "\r\n";
  }
  ReplaceFileContent(path, bytes);
}

}  // namespace pelmora
