#include "cli/Json.h"

#include <cstdio>

#include "fields/NumberFormat.h"

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
  o.Bool("enabled", c.Enabled());
  if (!c.Visible()) o.Bool("visible", false);
  if (!c.Hint().empty()) o.Str("hint", c.Hint());
  if (auto* e = dynamic_cast<const Edit*>(&c)) {
    o.Str("text", e->Text());
    std::string display = e->Text();
    if (auto* d = dynamic_cast<const EditD*>(e)) {
      Overlay ov = d->DrawOverlay();
      if (ov.draw) display = ov.text;
      o.Num("exchange", d->Exchange());
      o.Bool("resolved", d->MyResolved());
      o.Str("cursor", d->GetCursor() == Cursor::No ? "no" : "default");
    }
    o.Str("display", display);
    o.Bool("readOnly", e->ReadOnly());
    o.Int("color", e->GetColor());
  } else if (auto* u = dynamic_cast<const ComboBoxU*>(&c)) {
    o.Int("index", u->ItemIndex());
    o.Str("unit", u->GetUnit());
  } else if (auto* l = dynamic_cast<const ComboBox*>(&c)) {
    o.Int("index", l->ItemIndex());
    o.Str("text", l->Text());
  } else if (auto* r = dynamic_cast<const RadioGroup*>(&c)) {
    o.Str("caption", r->Caption());
    o.Int("index", r->ItemIndex());
    o.Raw("items", Items(r->Items()));
  } else if (auto* lb = dynamic_cast<const Label*>(&c)) {
    o.Str("caption", lb->Caption());
  } else if (auto* re = dynamic_cast<const RichEdit*>(&c)) {
    o.Raw("lines", Items(re->Lines()));
  } else if (auto* m = dynamic_cast<const MenuItem*>(&c)) {
    o.Str("caption", m->Caption());
  } else if (auto* b = dynamic_cast<const SpeedButton*>(&c)) {
    if (!b->Caption().empty()) o.Str("caption", b->Caption());
    if (b->Toggle()) o.Bool("down", b->Down());
  } else if (auto* g = dynamic_cast<const GroupBox*>(&c)) {
    o.Str("caption", g->Caption());
  } else if (auto* s = dynamic_cast<const StatusBar*>(&c)) {
    std::vector<std::string> t;
    for (const auto& p : s->Panels()) t.push_back(p.text);
    o.Raw("panels", Items(t));
    o.Int("pIndex", s->PIndex());
  } else if (auto* p = dynamic_cast<const PageControl*>(&c)) {
    o.Str("activePage", p->ActivePage() ? p->ActivePage()->Name() : "");
  } else if (auto* dg = dynamic_cast<const DataGrid*>(&c); dg && !dg->Columns().empty()) {
    o.Int("current", dg->Current());
    std::string rows = "[";
    for (size_t i = 0; i < dg->Rows().size(); ++i) rows += (i ? ", " : "") + Items(dg->Rows()[i]);
    o.Raw("rows", rows + "]");
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
