#include "cli/Json.h"

#include <cstdio>

#include "fields/NumberFormat.h"
#include "fields/Properties.h"

namespace pelmora {

std::string JsonString(const std::string& s) {
  std::string r = "\"";
  for (unsigned char c : s) {
    switch (c) {
      case '"': r += "\\\""; break;
      case '\\': r += "\\\\"; break;
      case '\n': r += "\\n"; break;
      case '\r': r += "\\r"; break;
      case '\t': r += "\\t"; break;
      default:
        if (c < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", c);
          r += buf;
        } else {
          r += static_cast<char>(c);
        }
    }
  }
  return r + "\"";
}

namespace {

struct Obj {
  std::string s = "{";
  bool first = true;
  void Raw(const char* key, const std::string& v) {
    if (!first) s += ", ";
    first = false;
    s += JsonString(key) + ": " + v;
  }
  void Str(const char* key, const std::string& v) { Raw(key, JsonString(v)); }
  void Bool(const char* key, bool v) { Raw(key, v ? "true" : "false"); }
  void Int(const char* key, long long v) { Raw(key, std::to_string(v)); }
  void Num(const char* key, double v) { Raw(key, Format15(v)); }
  std::string Done() { return s + "}"; }
};

std::string Items(const std::vector<std::string>& items) {
  std::string r = "[";
  for (size_t i = 0; i < items.size(); ++i) r += (i ? ", " : "") + JsonString(items[i]);
  return r + "]";
}

}  // namespace

std::string ComponentJson(const Component& c) {
  Obj o;
  for (const Property& p : Describe(c.GetKind()).properties) {
    if (p.json.empty() || (p.jsonWhen && !p.jsonWhen(c))) continue;
    const char* key = p.json.c_str();
    PropValue v = p.get(c);
    switch (p.type) {
      case PropType::Bool: o.Bool(key, std::get<bool>(v)); break;
      case PropType::Int: o.Int(key, std::get<long long>(v)); break;
      case PropType::Float: o.Num(key, std::get<double>(v)); break;
      case PropType::Text: o.Str(key, std::get<std::string>(v)); break;
      case PropType::Lines: o.Raw(key, Items(std::get<std::vector<std::string>>(v))); break;
      case PropType::CheckList: {
        std::string r = "[";
        for (const auto& item : std::get<std::vector<CheckListBox::Item>>(v)) {
          Obj e;
          e.Str("text", item.text);
          e.Bool("checked", item.checked);
          r += (r.size() > 1 ? ", " : "") + e.Done();
        }
        o.Raw(key, r + "]");
        break;
      }
    }
  }
  return o.Done();
}

std::string ComponentsJson(const Form& form) {
  std::string r = "{";
  bool first = true;
  for (const Component* c : form.Components()) {
    if (c->Name().empty()) continue;
    r += first ? "\n    " : ",\n    ";
    first = false;
    r += JsonString(c->Name()) + ": " + ComponentJson(*c);
  }
  return r + "\n  }";
}

}  // namespace pelmora
