#include "fields/Properties.h"

#include <type_traits>

// Properties are written with designated initializers that name only what they set.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "fields/Errors.h"
#include "fields/NumberFormat.h"
#include "fields/Text.h"

namespace pelmora {

namespace {

template <class T>
const T& As(const Component& c) {
  return static_cast<const T&>(c);
}
template <class T>
T& As(Component& c) {
  return static_cast<T&>(c);
}

bool B(const PropValue& v) { return std::get<bool>(v); }
int I(const PropValue& v) { return static_cast<int>(std::get<long long>(v)); }
const std::string& S(const PropValue& v) { return std::get<std::string>(v); }

const RecordForm kMemo{"Memo", "Lines", true};
const RecordForm kRich{"Rich", "Lines", true};

// ------------------------------------------------------------ every kind

std::vector<Property> Common(int enabledRank) {
  std::vector<Property> p;
  p.push_back({.name = "Enabled",
               .type = PropType::Bool,
               .get = [](const Component& c) -> PropValue { return c.Enabled(); },
               .set = [](Component& c, const PropValue& v) { c.SetEnabled(B(v)); },
               .records = {{"Enum", "Enabled"}},
               .saveRank = enabledRank,
               .json = "enabled"});
  p.push_back({.name = "Visible",
               .type = PropType::Bool,
               .get = [](const Component& c) -> PropValue { return c.Visible(); },
               .set = [](Component& c, const PropValue& v) { c.SetVisible(B(v)); },
               .records = {{"Enum", "Visible"}},
               .json = "visible",
               .jsonWhen = [](const Component& c) { return !c.Visible(); }});
  p.push_back({.name = "Hint",
               .type = PropType::Text,
               .get = [](const Component& c) -> PropValue { return c.Hint(); },
               .set = [](Component& c, const PropValue& v) { c.SetHint(S(v)); },
               .records = {{"String", "Hint"}},
               .json = "hint",
               .jsonWhen = [](const Component& c) { return !c.Hint().empty(); }});
  return p;
}

// The caption of a label, group, page, button or menu item. A memo record sets it to
// its lines; menu items are not controls and take no memo.
template <class T>
Property Caption(bool memo, bool printedWhenEmpty = true) {
  Property p{.name = "Caption",
             .type = PropType::Text,
             .get = [](const Component& c) -> PropValue { return As<T>(c).Caption(); },
             .set = [](Component& c, const PropValue& v) { As<T>(c).SetCaption(S(v)); },
             .records = {{"String", "Caption"}},
             .json = "caption"};
  if (memo) {
    p.records.push_back(kMemo);
    p.records.push_back(kRich);
  }
  if (!printedWhenEmpty) p.jsonWhen = [](const Component& c) { return !As<T>(c).Caption().empty(); };
  return p;
}

int ParseIndex(const std::string& arg) { return static_cast<int>(StrToInt(arg)); }

// ------------------------------------------------------------ the kinds

KindInfo EditKind(Kind kind) {
  const bool value = kind == Kind::EditD;
  KindInfo k{kind, value ? "EditD" : "Edit", "ValueEdit", Common(3), {}};
  auto& p = k.properties;
  p.push_back({.name = "Text",
               .type = PropType::Text,
               .get = [](const Component& c) -> PropValue { return As<Edit>(c).Text(); },
               .set = [](Component& c, const PropValue& v) { As<Edit>(c).SetText(S(v)); },
               .records = {{"String", "Text"}, kMemo, kRich},
               .saveRank = 2,
               .json = "text",
               .input = {{"--set", [](Component& c, const std::string& arg) -> std::function<void()> {
                            auto* e = &As<Edit>(c);
                            e->Owner().FocusChangedByView(e);
                            return [e, arg] { e->Type(arg); };
                          }}}});
  p.push_back({.name = "Stale",
               .type = PropType::Bool,
               .get = [](const Component& c) -> PropValue { return As<Edit>(c).Stale(); },
               .json = "stale",
               .jsonWhen = [](const Component& c) { return As<Edit>(c).Stale(); }});
  if (value) {
    p.push_back({.name = "Exchange",
                 .type = PropType::Float,
                 .get = [](const Component& c) -> PropValue { return As<EditD>(c).Exchange(); },
                 .set = [](Component& c, const PropValue& v) { As<EditD>(c).SetExchange(std::get<double>(v)); },
                 .records = {{"Float", "Exchange"}},
                 .saveRank = 1,
                 .check =
                     [](const PropValue& v, const std::string& raw) {
                       double d = std::get<double>(v);
                       if (!(d > 0) || !std::isfinite(d))
                         throw ConversionError("'" + raw + "' is not a valid unit factor");
                     },
                 .json = "exchange"});
    p.push_back({.name = "MyResolved",
                 .type = PropType::Bool,
                 .get = [](const Component& c) -> PropValue { return As<EditD>(c).MyResolved(); },
                 .json = "resolved"});
    p.push_back({.name = "Cursor",
                 .type = PropType::Text,
                 .get = [](const Component& c) -> PropValue {
                   return std::string(As<EditD>(c).GetCursor() == Cursor::No ? "no" : "default");
                 },
                 .json = "cursor"});
  }
  p.push_back({.name = "Display",
               .type = PropType::Text,
               .get = [](const Component& c) -> PropValue {
                 if (c.GetKind() == Kind::EditD) {
                   Overlay ov = As<EditD>(c).DrawOverlay();
                   if (ov.draw) return ov.text;
                 }
                 return As<Edit>(c).Text();
               },
               .json = "display"});
  p.push_back({.name = "ReadOnly",
               .type = PropType::Bool,
               .get = [](const Component& c) -> PropValue { return As<Edit>(c).ReadOnly(); },
               .set = [](Component& c, const PropValue& v) { As<Edit>(c).SetReadOnly(B(v)); },
               .records = {{"Enum", "ReadOnly"}},
               .saveRank = 4,
               .json = "readOnly"});
  p.push_back({.name = "Color",
               .type = PropType::Int,
               .get = [](const Component& c) -> PropValue { return static_cast<long long>(As<Edit>(c).GetColor()); },
               .set = [](Component& c, const PropValue& v) { As<Edit>(c).SetColor(static_cast<Color>(I(v))); },
               .records = {{"Ord", "Color"}},
               .saveRank = 5,
               .json = "color"});
  p.push_back({.name = "Ctl3D",
               .type = PropType::Bool,
               .get = [](const Component& c) -> PropValue { return As<Edit>(c).Ctl3D(); },
               .set = [](Component& c, const PropValue& v) { As<Edit>(c).SetCtl3D(B(v)); },
               .records = {{"Enum", "Ctl3D"}}});
  k.leave = [](Component& c) { As<Edit>(c).Exit(); };
  k.text = [](const Component& c) { return As<Edit>(c).Text(); };
  if (value)  // a value field is known by the caption of its quantity
    k.helpTopic = [](const Component& c) {
      const Label* l = As<EditD>(c).MyLabel();
      return l ? l->Caption() : c.Hint();
    };
  return k;
}

// A user's choice of an item of a list; `what` names an item in messages.
UserInput ChooseItem(const char* option, const char* what, bool focus) {
  return {option, [what, focus](Component& c, const std::string& arg) -> std::function<void()> {
            auto* l = &As<ComboBox>(c);
            int i = ParseIndex(arg);
            if (i < 0 || i >= static_cast<int>(l->Items().size()))
              throw std::invalid_argument(std::string("no ") + what + " " + arg + " in " + c.Name());
            if (focus) l->Owner().FocusChangedByView(l);
            return [l, i] { l->UserSelect(i); };
          }};
}

KindInfo ComboKind(Kind kind) {
  const bool unit = kind == Kind::ComboBoxU;
  KindInfo k{kind, unit ? "ComboBoxU" : "ComboBox", "ChoiceCombo", Common(0), {}};
  Property index{
      .name = "ItemIndex",
      .type = PropType::Int,
      .get = [](const Component& c) -> PropValue { return static_cast<long long>(As<ComboBox>(c).ItemIndex()); },
      .set = [](Component& c, const PropValue& v) { As<ComboBox>(c).SetItemIndex(I(v)); },
      .records = {{"Ord", "ItemIndex"}},
      .saveRank = 1,
      .json = "index"};
  if (unit) index.input.push_back(ChooseItem("--unit", "unit", false));
  index.input.push_back(ChooseItem("--select", "item", true));
  k.properties.push_back(std::move(index));
  if (unit)
    k.properties.push_back({.name = "Unit",
                            .type = PropType::Text,
                            .get = [](const Component& c) -> PropValue { return As<ComboBoxU>(c).GetUnit(); },
                            .json = "unit"});
  else
    k.properties.push_back({.name = "Text",
                            .type = PropType::Text,
                            .get = [](const Component& c) -> PropValue { return As<ComboBox>(c).Text(); },
                            .json = "text"});
  k.leave = [](Component& c) { As<ComboBox>(c).Exit(); };
  k.text = [](const Component& c) { return As<ComboBox>(c).Text(); };
  k.itemCount = [](const Component& c) { return As<ComboBox>(c).Items().size(); };
  k.itemsFollowMode = unit;
  if (unit)
    k.shownItem = [](const std::string& item) { return ComboBoxU::ItemUnit(item); };
  else
    k.shownItem = [](const std::string& item) { return TrimStr(item); };
  return k;
}

KindInfo RadioGroupKind() {
  KindInfo k{Kind::RadioGroup, "RadioGroup", "RadioGroupView", Common(0), {}};
  auto& p = k.properties;
  p.push_back({.name = "Caption",
               .type = PropType::Text,
               .get = [](const Component& c) -> PropValue { return As<RadioGroup>(c).Caption(); },
               .json = "caption"});
  p.push_back(
      {.name = "ItemIndex",
       .type = PropType::Int,
       .get = [](const Component& c) -> PropValue { return static_cast<long long>(As<RadioGroup>(c).ItemIndex()); },
       .set = [](Component& c, const PropValue& v) { As<RadioGroup>(c).SetItemIndex(I(v)); },
       .records = {{"Ord", "ItemIndex"}},
       .saveRank = 1,
       .json = "index",
       .input = {{"--select", [](Component& c, const std::string& arg) -> std::function<void()> {
                    auto* r = &As<RadioGroup>(c);
                    int i = ParseIndex(arg);
                    if (i < 0 || i >= static_cast<int>(r->Items().size()))
                      throw std::invalid_argument("no item " + arg + " in " + c.Name());
                    r->Owner().FocusChangedByView(r);  // a click on a radio button focuses its group
                    return [r, i] { r->SetItemIndex(i); };
                  }}}});
  p.push_back({.name = "Items",
               .type = PropType::Lines,
               .get = [](const Component& c) -> PropValue { return As<RadioGroup>(c).Items(); },
               .json = "items"});
  k.itemCount = [](const Component& c) { return As<RadioGroup>(c).Items().size(); };
  return k;
}

KindInfo RichKind(Kind kind) {
  const bool memo = kind == Kind::Memo;
  KindInfo k{kind, memo ? "Memo" : "RichEdit", "RichTextView", Common(0), {}};
  k.properties.push_back(
      {.name = "Lines",
       .type = PropType::Lines,
       .get = [](const Component& c) -> PropValue { return As<RichEdit>(c).Lines(); },
       .set = [](Component& c, const PropValue& v) { As<RichEdit>(c).SetLines(std::get<std::vector<std::string>>(v)); },
       .records = {memo ? kMemo : kRich, memo ? kRich : kMemo},
       .saveRank = 1,
       .json = "lines",
       .input = {{"--set", [](Component& c, const std::string& arg) -> std::function<void()> {
                    auto* r = &As<RichEdit>(c);
                    return [r, arg] { r->SetText(arg); };
                  }}}});
  k.properties.push_back({.name = "ReadOnly",
                          .type = PropType::Bool,
                          .get = [](const Component& c) -> PropValue { return As<RichEdit>(c).ReadOnly(); },
                          .set = [](Component& c, const PropValue& v) { As<RichEdit>(c).SetReadOnly(B(v)); },
                          .records = {{"Enum", "ReadOnly"}}});
  k.text = [](const Component& c) { return As<RichEdit>(c).Text(); };
  return k;
}

KindInfo CheckBoxKind(Kind kind) {
  KindInfo k{kind, kind == Kind::RadioButton ? "RadioButton" : "CheckBox", "", Common(0), {}};
  k.properties.push_back({.name = "Checked",
                          .type = PropType::Bool,
                          .get = [](const Component& c) -> PropValue { return As<CheckBox>(c).Checked(); },
                          .set = [](Component& c, const PropValue& v) { As<CheckBox>(c).SetChecked(B(v)); },
                          .records = {{"Enum", "Checked"}},
                          .saveRank = 1});
  return k;
}

KindInfo CheckListKind() {
  KindInfo k{Kind::CheckListBox, "CheckListBox", "", Common(0), {}};
  k.properties.push_back({.name = "Items",
                          .type = PropType::CheckList,
                          .get = [](const Component& c) -> PropValue { return As<CheckListBox>(c).Items(); },
                          .set =
                              [](Component& c, const PropValue& v) {
                                // Items beyond the list are ignored.
                                const auto& items = std::get<std::vector<CheckListBox::Item>>(v);
                                for (size_t i = 0; i < items.size(); ++i)
                                  As<CheckListBox>(c).SetItem(i, items[i].text, items[i].checked);
                              },
                          .records = {{"CheckListBox", "Items", true}},
                          .saveRank = 1});
  return k;
}

KindInfo ButtonKind(Kind kind) {
  // A push button with a caption, or a small tool button with its glyph.
  const bool push = kind == Kind::Button;
  KindInfo k{kind, push ? "Button" : "SpeedButton", push ? "ButtonView" : "SpeedButtonView", Common(0), {}};
  k.press = [](Component& c) { As<SpeedButton>(c).Click(); };
  k.properties.push_back(Caption<SpeedButton>(true, false));
  k.properties.push_back({.name = "Down",
                          .type = PropType::Bool,
                          .get = [](const Component& c) -> PropValue { return As<SpeedButton>(c).Down(); },
                          .set = [](Component& c, const PropValue& v) { As<SpeedButton>(c).SetDown(B(v)); },
                          .records = {{"Enum", "Down"}},
                          .json = "down",
                          .jsonWhen = [](const Component& c) { return As<SpeedButton>(c).Toggle(); }});
  return k;
}

KindInfo MenuKind() {
  KindInfo k{Kind::MenuItem, "MenuItem", "", Common(0), {}};
  k.press = [](Component& c) { As<MenuItem>(c).Click(); };
  k.properties.push_back(Caption<MenuItem>(false));
  k.properties.push_back({.name = "Checked",
                          .type = PropType::Bool,
                          .get = [](const Component& c) -> PropValue { return As<MenuItem>(c).Checked(); },
                          .set = [](Component& c, const PropValue& v) { As<MenuItem>(c).SetChecked(B(v)); },
                          .records = {{"Enum", "Checked"}}});
  return k;
}

KindInfo StatusBarKind() {
  KindInfo k{Kind::StatusBar, "StatusBar", "StatusBar", Common(0), {}};
  k.properties.push_back({.name = "Panels",
                          .type = PropType::Lines,
                          .get = [](const Component& c) -> PropValue {
                            std::vector<std::string> t;
                            for (const auto& p : As<StatusBar>(c).Panels()) t.push_back(p.text);
                            return t;
                          },
                          .json = "panels"});
  k.properties.push_back(
      {.name = "PIndex",
       .type = PropType::Int,
       .get = [](const Component& c) -> PropValue { return static_cast<long long>(As<StatusBar>(c).PIndex()); },
       .json = "pIndex"});
  return k;
}

KindInfo PageControlKind() {
  KindInfo k{Kind::PageControl, "PageControl", "", Common(0), {}};
  k.properties.push_back({.name = "ActivePage",
                          .type = PropType::Text,
                          .get = [](const Component& c) -> PropValue {
                            const GroupBox* a = As<PageControl>(c).ActivePage();
                            return a ? a->Name() : std::string();
                          },
                          .json = "activePage"});
  return k;
}

KindInfo Plain(Kind kind, std::string name, std::string view) {
  return {kind, std::move(name), std::move(view), Common(0), {}};
}

// A grid over a table: its current row (chosen with --select NAME=ROW, from 0, or
// --select NAME=TEXT, the first row with a cell that reads TEXT, such as a tube size) and
// its rows, each as its cells joined by tabs; shown only when the grid has columns.
KindInfo DataGridKind() {
  KindInfo k = Plain(Kind::DataGrid, "DataGrid", "");
  auto hasColumns = [](const Component& c) { return !As<DataGrid>(c).Columns().empty(); };
  k.properties.push_back(
      {.name = "Current",
       .type = PropType::Int,
       .get = [](const Component& c) -> PropValue { return static_cast<long long>(As<DataGrid>(c).Current()); },
       .json = "current",
       .jsonWhen = hasColumns,
       .input = {{"--select", [](Component& c, const std::string& arg) -> std::function<void()> {
                    auto* g = &As<DataGrid>(c);
                    int i = -1;
                    const bool number = !arg.empty() && arg.find_first_not_of("-0123456789") == std::string::npos;
                    if (number) {
                      i = ParseIndex(arg);
                    } else {
                      const auto& rows = g->Rows();
                      for (size_t r = 0; r < rows.size() && i < 0; ++r)
                        for (const std::string& cell : rows[r])
                          if (cell == arg) i = static_cast<int>(r);
                    }
                    if (i < 0 || i >= static_cast<int>(g->Rows().size()))
                      throw std::invalid_argument("no row " + arg + " in " + c.Name());
                    return [g, i] { g->SetCurrent(i); };
                  }}}});
  k.properties.push_back({.name = "Rows",
                          .type = PropType::Lines,
                          .get = [](const Component& c) -> PropValue {
                            std::vector<std::string> rows;
                            for (const auto& r : As<DataGrid>(c).Rows()) {
                              std::string line;
                              for (size_t i = 0; i < r.size(); ++i) line += (i ? "\t" : "") + r[i];
                              rows.push_back(line);
                            }
                            return rows;
                          },
                          .json = "rows",
                          .jsonWhen = hasColumns});
  return k;
}

void Order(KindInfo& k) {
  k.written.clear();
  for (size_t i = 0; i < k.properties.size(); ++i)
    if (k.properties[i].saveRank > 0 && !k.properties[i].records.empty()) k.written.push_back(i);
  std::stable_sort(k.written.begin(), k.written.end(),
                   [&k](size_t a, size_t b) { return k.properties[a].saveRank < k.properties[b].saveRank; });
}

std::vector<KindInfo> Build() {
  std::vector<KindInfo> all;
  auto add = [&all](Kind kind, KindInfo k) {
    auto i = static_cast<size_t>(kind);
    if (all.size() <= i) all.resize(i + 1, KindInfo{kind, "", "", {}, {}});
    Order(k);
    if (!k.helpTopic) k.helpTopic = [](const Component& c) { return c.Hint(); };
    all[i] = std::move(k);
  };
  KindInfo label = Plain(Kind::Label, "Label", "CaptionLabel");
  label.properties.push_back(Caption<Label>(true));
  add(Kind::Label, std::move(label));
  add(Kind::Edit, EditKind(Kind::Edit));
  add(Kind::EditD, EditKind(Kind::EditD));
  add(Kind::ComboBox, ComboKind(Kind::ComboBox));
  add(Kind::ComboBoxU, ComboKind(Kind::ComboBoxU));
  add(Kind::RadioGroup, RadioGroupKind());
  add(Kind::RichEdit, RichKind(Kind::RichEdit));
  add(Kind::Memo, RichKind(Kind::Memo));
  add(Kind::CheckBox, CheckBoxKind(Kind::CheckBox));
  add(Kind::RadioButton, CheckBoxKind(Kind::RadioButton));
  add(Kind::CheckListBox, CheckListKind());
  add(Kind::SpeedButton, ButtonKind(Kind::SpeedButton));
  add(Kind::Button, ButtonKind(Kind::Button));
  add(Kind::MenuItem, MenuKind());
  for (Kind g : {Kind::GroupBox, Kind::TabSheet}) {
    KindInfo group = Plain(g, g == Kind::GroupBox ? "GroupBox" : "TabSheet", g == Kind::GroupBox ? "GroupView" : "");
    group.properties.push_back(Caption<GroupBox>(true));
    add(g, std::move(group));
  }
  add(Kind::PageControl, PageControlKind());
  add(Kind::StatusBar, StatusBarKind());
  add(Kind::PaintBox, Plain(Kind::PaintBox, "PaintBox", "PaintBoxView"));
  add(Kind::DataGrid, DataGridKind());
  for (Kind k : {Kind::Edit, Kind::EditD, Kind::RichEdit, Kind::Memo, Kind::ComboBox, Kind::ComboBoxU, Kind::RadioGroup,
                 Kind::CheckBox, Kind::RadioButton, Kind::CheckListBox})
    all[static_cast<size_t>(k)].input = true;
  for (Kind k : {Kind::MenuItem, Kind::SpeedButton, Kind::Button, Kind::PageControl, Kind::TabSheet, Kind::DataGrid,
                 Kind::PaintBox})
    all[static_cast<size_t>(k)].project = false;
  return all;
}

std::vector<KindInfo>& Table() {
  static std::vector<KindInfo> table = Build();
  return table;
}

}  // namespace

const KindInfo& Describe(Kind k) { return Table().at(static_cast<size_t>(k)); }

void AddProperty(Kind k, Property p) {
  KindInfo& info = Table().at(static_cast<size_t>(k));
  info.properties.push_back(std::move(p));
  Order(info);
}

void RemoveProperty(Kind k, std::string_view name) {
  KindInfo& info = Table().at(static_cast<size_t>(k));
  std::erase_if(info.properties, [name](const Property& p) { return p.name == name; });
  Order(info);
}

bool SameValue(const PropValue& a, const PropValue& b) {
  if (a.index() != b.index()) return false;
  return std::visit(
      [&b](const auto& x) {
        using T = std::decay_t<decltype(x)>;
        const T& y = std::get<T>(b);
        if constexpr (std::is_same_v<T, std::vector<CheckListBox::Item>>) {
          if (x.size() != y.size()) return false;
          for (size_t i = 0; i < x.size(); ++i)
            if (x[i].text != y[i].text || x[i].checked != y[i].checked) return false;
          return true;
        } else {
          return x == y;
        }
      },
      a);
}

}  // namespace pelmora
