#include "project/SaveFormData.h"

#include <sys/stat.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <optional>

#include "fields/Errors.h"
#include "fields/NumberFormat.h"
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

void Add(std::vector<FormRecord>& out, const Component& c, const char* kind, const char* prop, std::string value) {
  out.push_back({c.Name(), kind, prop, std::move(value)});
}

void EditRecords(std::vector<FormRecord>& out, const Edit& e) {
  Add(out, e, "String", "Text", SingleLine(e.Text()));
  Add(out, e, "Enum", "Enabled", Bool(e.Enabled()));
  Add(out, e, "Enum", "ReadOnly", Bool(e.ReadOnly()));
  Add(out, e, "Ord", "Color", std::to_string(e.GetColor()));
}

// ------------------------------------------------------------------ reading

enum class Op {
  Text, Enabled, Visible, Hint, ReadOnlyEdit, ReadOnlyRich, Color, Ctl3D, Exchange, ComboIndex, RadioIndex,
  Checked, Down, MenuChecked, Caption, Lines, CheckList
};

struct Step {
  Component* c = nullptr;
  Op op = Op::Text;
  bool b = false;
  long long i = 0;
  double d = 0;
  std::string s;
  std::vector<std::string> lines;
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

bool Is(const std::string& prop, std::string_view name) { return EqualsNoCase(prop, name); }

bool HasCaption(const Component* c) {
  return dynamic_cast<const Label*>(c) || dynamic_cast<const GroupBox*>(c) || dynamic_cast<const SpeedButton*>(c) ||
         dynamic_cast<const MenuItem*>(c);
}

// The step a record makes, or nothing when the component lacks the property.
std::optional<Step> Prepare(Form& form, const FormRecord& r) {
  Component* c = form.Find(r.name);
  if (!c || r.name.empty()) return std::nullopt;
  auto* edit = dynamic_cast<Edit*>(c);
  auto* rich = dynamic_cast<RichEdit*>(c);
  const std::string& p = r.property;
  Step st;
  st.c = c;
  st.op = Op::Text;
  if (r.kind == "String") {
    st.s = r.value;
    if (edit && Is(p, "Text")) st.op = Op::Text;
    else if (Is(p, "Hint")) st.op = Op::Hint;
    else if (HasCaption(c) && Is(p, "Caption")) st.op = Op::Caption;
    else return std::nullopt;
    return st;
  }
  if (r.kind == "Float") {
    auto* field = dynamic_cast<EditD*>(c);
    if (!field || !Is(p, "Exchange")) return std::nullopt;
    st.op = Op::Exchange;
    st.d = StrToFloat(r.value);
    if (!(st.d > 0) || !std::isfinite(st.d)) throw ConversionError("'" + r.value + "' is not a valid unit factor");
    return st;
  }
  if (r.kind == "Ord") {
    if (edit && Is(p, "Color")) st.op = Op::Color;
    else if (dynamic_cast<ComboBox*>(c) && Is(p, "ItemIndex")) st.op = Op::ComboIndex;
    else if (dynamic_cast<RadioGroup*>(c) && Is(p, "ItemIndex")) st.op = Op::RadioIndex;
    else return std::nullopt;
    st.i = ParseInt32(r.value);
    return st;
  }
  if (r.kind == "Enum") {
    if (Is(p, "Enabled")) st.op = Op::Enabled;
    else if (Is(p, "Visible")) st.op = Op::Visible;
    else if (edit && Is(p, "ReadOnly")) st.op = Op::ReadOnlyEdit;
    else if (rich && Is(p, "ReadOnly")) st.op = Op::ReadOnlyRich;
    else if (edit && Is(p, "Ctl3D")) st.op = Op::Ctl3D;
    else if (dynamic_cast<CheckBox*>(c) && Is(p, "Checked")) st.op = Op::Checked;
    else if (dynamic_cast<MenuItem*>(c) && Is(p, "Checked")) st.op = Op::MenuChecked;
    else if (dynamic_cast<SpeedButton*>(c) && Is(p, "Down")) st.op = Op::Down;
    else return std::nullopt;
    st.b = ParseBool(r.value);
    return st;
  }
  if (r.kind == "Memo" || r.kind == "Rich") {
    // Any visual control takes the whole text; menu items are not controls.
    if (dynamic_cast<MenuItem*>(c)) return std::nullopt;
    st.lines = DecodeLines(r.value);
    if (rich) {
      st.op = Op::Lines;
    } else if (edit || HasCaption(c)) {
      st.op = edit ? Op::Text : Op::Caption;
      for (size_t k = 0; k < st.lines.size(); ++k) st.s += (k ? "\r\n" : "") + st.lines[k];
    } else {
      return std::nullopt;
    }
    return st;
  }
  if (r.kind == "CheckListBox") {
    if (!dynamic_cast<CheckListBox*>(c)) return std::nullopt;
    st.op = Op::CheckList;
    st.s = r.value;
    return st;
  }
  return std::nullopt;
}

void SetCaption(Component* c, std::string text) {
  if (auto* l = dynamic_cast<Label*>(c)) l->SetCaption(std::move(text));
  else if (auto* g = dynamic_cast<GroupBox*>(c)) g->SetCaption(std::move(text));
  else if (auto* b = dynamic_cast<SpeedButton*>(c)) b->SetCaption(std::move(text));
  else if (auto* m = dynamic_cast<MenuItem*>(c)) m->SetCaption(std::move(text));
}

void ApplyCheckList(CheckListBox& list, std::string_view v) {
  size_t pos = 0;
  for (size_t item = 0; pos < v.size(); ++item) {
    size_t bar = v.find(kJoin, pos);
    if (bar == std::string_view::npos) break;
    std::string text(v.substr(pos, bar - pos));
    size_t flagAt = bar + kJoin.size();
    size_t flagLen = Utf8Len(v, flagAt);
    bool ticked = flagLen == 1 && v[flagAt] == '1';
    list.SetItem(item, std::move(text), ticked);  // beyond the list: ignored
    pos = flagAt + flagLen;
    pos += Utf8Len(v, pos);
  }
}

void Apply(const Step& st) {
  Component* c = st.c;
  switch (st.op) {
    case Op::Text: static_cast<Edit*>(c)->SetText(st.s); break;
    case Op::Enabled: c->SetEnabled(st.b); break;
    case Op::Visible: c->SetVisible(st.b); break;
    case Op::Hint: c->SetHint(st.s); break;
    case Op::ReadOnlyEdit: static_cast<Edit*>(c)->SetReadOnly(st.b); break;
    case Op::ReadOnlyRich: static_cast<RichEdit*>(c)->SetReadOnly(st.b); break;
    case Op::Color: static_cast<Edit*>(c)->SetColor(static_cast<Color>(st.i)); break;
    case Op::Ctl3D: static_cast<Edit*>(c)->SetCtl3D(st.b); break;
    case Op::Exchange: static_cast<EditD*>(c)->SetExchange(st.d); break;
    case Op::ComboIndex: static_cast<ComboBox*>(c)->SetItemIndex(static_cast<int>(st.i)); break;
    case Op::RadioIndex: static_cast<RadioGroup*>(c)->SetItemIndex(static_cast<int>(st.i)); break;
    case Op::Checked: static_cast<CheckBox*>(c)->SetChecked(st.b); break;
    case Op::MenuChecked: static_cast<MenuItem*>(c)->SetChecked(st.b); break;
    case Op::Down: static_cast<SpeedButton*>(c)->SetDown(st.b); break;
    case Op::Caption: SetCaption(c, st.s); break;
    case Op::Lines: static_cast<RichEdit*>(c)->SetLines(st.lines); break;
    case Op::CheckList: ApplyCheckList(*static_cast<CheckListBox*>(c), st.s); break;
  }
}

std::vector<Step> PrepareAll(Form& form, const std::vector<FormRecord>& records) {
  std::vector<Step> steps;
  steps.reserve(records.size());
  for (const auto& r : records)
    if (auto st = Prepare(form, r)) steps.push_back(std::move(*st));
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
    switch (c->GetKind()) {
      case Kind::Edit: EditRecords(out, static_cast<const Edit&>(*c)); break;
      case Kind::EditD: {
        const auto& e = static_cast<const EditD&>(*c);
        Add(out, e, "Float", "Exchange", Format15(e.Exchange()));
        EditRecords(out, e);
        break;
      }
      case Kind::ComboBox:
      case Kind::ComboBoxU:
        Add(out, *c, "Ord", "ItemIndex", std::to_string(static_cast<const ComboBox&>(*c).ItemIndex()));
        break;
      case Kind::RadioGroup:
        Add(out, *c, "Ord", "ItemIndex", std::to_string(static_cast<const RadioGroup&>(*c).ItemIndex()));
        break;
      case Kind::CheckBox:
      case Kind::RadioButton:
        Add(out, *c, "Enum", "Checked", Bool(static_cast<const CheckBox&>(*c).Checked()));
        break;
      case Kind::Memo: Add(out, *c, "Memo", "Lines", EncodeLines(static_cast<const RichEdit&>(*c).Lines())); break;
      case Kind::RichEdit: Add(out, *c, "Rich", "Lines", EncodeLines(static_cast<const RichEdit&>(*c).Lines())); break;
      case Kind::CheckListBox: {
        std::string v;
        for (const auto& item : static_cast<const CheckListBox&>(*c).Items()) {
          if (!v.empty()) v += kJoin;
          v += Trim(item.text);
          v += kJoin;
          v += item.checked ? '1' : '0';
        }
        Add(out, *c, "CheckListBox", "Items", std::move(v));
        break;
      }
      default: break;  // labels, buttons, groups, pages, menus, the status bar, the chart box
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

std::vector<FormRecord> ParseFormRecords(std::string_view t) {
  std::vector<FormRecord> out;
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
    r.value = ReadLine(t, pos);
    ReadLine(t, pos);
    out.push_back(std::move(r));
  }
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
  std::vector<FormRecord> records = CollectFormRecords(form, excluded);
  // Encoded record by record so that a character GBK cannot hold names its component.
  std::string bytes;
  std::string text = FormatFormRecords({});
  bytes.reserve(records.size() * 40);
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

LoadStatus ReadFormRecordFile(Form& form, const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return LoadStatus::Missing;
  std::string error;
  auto bytes = ReadWholeFile(path, &error);
  if (!bytes) throw FileError("无法读取文件“" + path + "”: " + error);
  size_t pos = 0;
  std::string_view first = ReadLine(*bytes, pos);
  if (first != kFormRecordSignature) return LoadStatus::NotFormRecordFile;
  size_t bad = 0;
  auto text = GbkToUtf8(*bytes, &bad);
  if (!text) {
    size_t line = 1;
    for (size_t k = 0; k < bad && k < bytes->size(); ++k)
      if ((*bytes)[k] == '\n') ++line;
    throw FileError("文件“" + path + "”第 " + std::to_string(line) + " 行不是 GBK 编码的文字");
  }
  ApplyFormRecords(form, ParseFormRecords(*text));
  return LoadStatus::Applied;
}

bool LoadFormRecords(Form& form, const std::string& path) {
  return ReadFormRecordFile(form, path) == LoadStatus::Applied;
}

}  // namespace pelmora
