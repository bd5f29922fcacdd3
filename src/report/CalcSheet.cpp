#include "report/CalcSheet.h"

#include <algorithm>
#include <cmath>

#include "calc/Balance.h"
#include "calc/Resistances.h"
#include "fields/FieldOps.h"
#include "fields/ModeEnums.h"
#include "fields/Text.h"
#include "report/SheetText.h"

namespace pelmora {

namespace {

constexpr Color kAlert = RGBColor(200, 0, 0);
constexpr Color kCaution = RGBColor(170, 85, 0);
constexpr Color kAlertFill = RGBColor(255, 232, 232);

// The colour of a check level: the hint plain, the warning brown, anything graver red.
Color LevelColour(DesignCheck::Level level) {
  const int rank = static_cast<int>(level);
  return rank <= 0 ? colors::Black : rank == 1 ? kCaution : kAlert;
}

const ComboBoxU* UnitOf(const TFormPelmora& f, const EditD& field) {
  for (const ComboBoxU* u : f.UnitSelectors())
    if (u->Associated() == &field) return u;
  return nullptr;
}

std::string LabelCaption(const TFormPelmora& f, const std::string& componentName) {
  const auto* l = f.FindAs<Label>(componentName.substr(0, componentName.size() - 1) + "L");
  return l ? l->Caption() : std::string();
}

// The part of a list item before its bar (materials, agitators), trimmed.
std::string BeforeBar(const std::string& item) {
  const size_t bar = item.find('|');
  return TrimStr(bar == std::string::npos ? std::string_view(item) : std::string_view(item).substr(0, bar));
}

SheetTable ValueTable() {
  SheetTable t;
  t.columns = {{"名称", 30}, {"数值", 22, true}, {"单位", 18, true}, {"来源", 30}};
  return t;
}

void AddValueRow(SheetTable& t, const SheetValue& v) {
  SheetRow r;
  r.cells = {v.caption, v.value, v.unit, v.source};
  r.shaded = v.result;
  r.boldCell = v.result ? 1 : -1;
  t.rows.push_back(std::move(r));
}

void AddTextRow(SheetTable& t, const std::string& caption, const std::string& text) {
  SheetRow r;
  r.cells = {caption, text, "", "输入"};
  r.span = 1;  // a text has no unit: it runs on into the unit column
  t.rows.push_back(std::move(r));
}

// The rows of one group of the window in its order: value fields, lists, radio groups,
// plain texts and notes; disabled and hidden controls are left out, as the window greys
// or hides them.
SheetTable GroupTable(const TFormPelmora& f, const Component* group) {
  SheetTable t = ValueTable();
  for (const Component* c : f.Components()) {
    if (c->Parent() != group || !c->Enabled() || !c->Visible()) continue;
    if (const auto* e = As<EditD>(c)) {
      if (auto v = SheetValueOf(f, *e)) AddValueRow(t, *v);
    } else if (As<ComboBoxU>(c)) {
      continue;
    } else if (const auto* l = As<ComboBox>(c)) {
      AddTextRow(t, LabelCaption(f, l->Name()), BeforeBar(l->Text()));
    } else if (const auto* g = As<RadioGroup>(c)) {
      const int i = g->ItemIndex();
      AddTextRow(t, g->Caption(),
                 i >= 0 && i < static_cast<int>(g->Items().size()) ? g->Items()[static_cast<size_t>(i)] : "");
    } else if (const auto* r = As<RichEdit>(c)) {
      const std::string text = TrimStr(r->Text());
      if (!text.empty() && text != "注释") AddTextRow(t, LabelCaption(f, r->Name()), text);
    } else if (const auto* p = As<Edit>(c)) {
      AddTextRow(t, LabelCaption(f, p->Name()), p->Text());
    }
  }
  return t;
}

void Heading(CalcSheet& s, const std::string& text, SheetBlock::Kind kind = SheetBlock::Kind::Heading) {
  SheetBlock b;
  b.kind = kind;
  b.text = text;
  s.blocks.push_back(std::move(b));
}

void Text(CalcSheet& s, const std::string& text) { Heading(s, text, SheetBlock::Kind::Text); }

void Table(CalcSheet& s, SheetTable t) {
  SheetBlock b;
  b.kind = SheetBlock::Kind::Table;
  b.table = std::move(t);
  s.blocks.push_back(std::move(b));
}

// A boxed line in red on a light red ground.
void Banner(CalcSheet& s, const std::string& text) {
  SheetTable t;
  t.header = false;
  t.columns = {{"", 1}};
  SheetRow r;
  r.cells = {text};
  r.bold = true;
  r.color = kAlert;
  r.fill = kAlertFill;
  t.rows.push_back(std::move(r));
  Table(s, std::move(t));
}

std::optional<double> ShownSi(const EditD* e) { return SiValue(e); }

// The leading warnings: results that are not current, graver checks, the calculation's
// own message.
void Banners(CalcSheet& s, const TFormPelmora& f, const std::vector<DesignCheck>& checks) {
  bool stale = false;
  for (const EditD* e : f.ValueFields()) stale = stale || (e->Enabled() && e->Stale());
  if (stale) Banner(s, "本次计算未完成：标有“过期”的数值是上次计算的结果，不代表当前输入下的设计，请先完成计算。");
  for (const DesignCheck& c : checks) {
    if (static_cast<int>(c.level) <= static_cast<int>(DesignCheck::Level::Warning)) break;
    std::string where;
    if (const auto* e = As<EditD>(f.Find(c.field))) where = e->QuantityName() + "：";
    Banner(s, std::string(LevelText(c.level)) + "  " + where + c.text);
  }
  if (f.MyStatusBar && f.MyStatusBar->Panels().size() > 1) {
    const std::string message = TrimStr(f.MyStatusBar->PanelText(1));
    if (!message.empty()) Banner(s, "计算信息：" + message);
  }
}

void SummaryRow(SheetTable& t, const TFormPelmora& f, EditD* e, const std::string& note = {}) {
  auto v = e ? SheetValueOf(f, *e) : std::nullopt;
  if (!v) return;
  SheetRow r;
  r.cells = {v->caption, v->value, v->unit, note.empty() ? v->source : note};
  r.shaded = v->result;
  r.boldCell = v->result ? 1 : -1;
  t.rows.push_back(std::move(r));
}

void Summary(CalcSheet& s, const TFormPelmora& f) {
  Heading(s, "1  设计结论");
  SheetTable t = ValueTable();
  t.columns[3].header = "说明";
  const bool flow = ModeOf<VesselType>(*f.RGEType) == VesselType::TwoStreams ||
                    ModeOf<Convection>(*f.RGFType) == Convection::ExternalLoop;
  SummaryRow(t, f, f.AtD, "盘管外表面积");
  SummaryRow(t, f, f.sfD, "面积富余");
  SummaryRow(t, f, f.ArD, "理论面积 ×（1 + 富余度）");
  SummaryRow(t, f, f.LtD, "理论面积 /（π·管根数·管外径）");
  SummaryRow(t, f, f.LrD, "实际面积 /（π·管根数·管外径）");
  SummaryRow(t, f, f.nD);
  SummaryRow(t, f, f.mD);
  SummaryRow(t, f, f.pHD, "管外径 +（管程数 − 1）·管间距·管外径");
  SummaryRow(t, f, f.TTaD, flow ? "ΔTm = F·LMTD（逆流对数平均温差乘校正系数）" : "管程平均温度与容器平均温度之差");
  SummaryRow(t, f, f.CdtD, "单壳程校正系数 F");
  if (flow) {
    auto dT = ShownSi(f.TTaD), F = ShownSi(f.CdtD);
    if (dT && F && *F > 0) {
      SheetRow r;
      r.cells = {"对数平均温差 LMTD", SheetNumber(*dT / *F), SheetUnit("℃"), "ΔTm / F"};
      r.shaded = true;
      r.boldCell = 1;
      t.rows.push_back(std::move(r));
    }
  }
  SummaryRow(t, f, f.KTaD, flow ? "1/K 为下节各项热阻之和" : "|内管热量| /（理论面积·时均温差·加热时间）");
  SummaryRow(t, f, f.UiD);
  SummaryRow(t, f, f.DpiD);
  SummaryRow(t, f, f.DpoD);
  Table(s, std::move(t));
}

void ResistanceSection(CalcSheet& s, const TFormPelmora& f) {
  Heading(s, "2  总传热系数与热阻分解");
  auto r = ResistancesFromFields(f);
  if (!r) {
    Text(s, "热阻分解不可用：壳程膜系数、管内膜系数、污垢热阻、管径或管材尚未给出，或其数值不能构成串联热阻。");
    return;
  }
  SheetTable t;
  t.columns = {
      {"热阻", 22}, {"计算式", 34, true}, {"数值 (" + SheetUnit("m2.K/W") + ")", 24, true}, {"占比 (%)", 20, true}};
  const char* names[] = {"容器侧膜", "管外污垢", "管壁", "管内污垢", "管内膜"};
  const char* formulas[] = {"1/ho", "Ro", "(do − di)·do / [λw·(do + di)]", "Ri·do/di", "(1/hi)·do/di"};
  const auto terms = r->Terms();
  const auto shares = r->SharesPercent();
  for (size_t i = 0; i < terms.size(); ++i) {
    SheetRow row;
    row.cells = {names[i], formulas[i], SheetNumber(terms[i]), SheetPercent(shares[i])};
    row.shaded = true;
    t.rows.push_back(std::move(row));
  }
  SheetRow total;
  total.cells = {"合计 1/K", "各项之和", SheetNumber(r->Total()), "100.0"};
  total.bold = true;
  t.rows.push_back(std::move(total));
  SheetRow k;
  k.cells = {"总传热系数 K", "1 / 合计", SheetNumber(r->K()) + " " + SheetUnit("W/(m2.K)"), ""};
  k.bold = true;
  t.rows.push_back(std::move(k));
  Table(s, std::move(t));
  std::string note = "各项热阻均折算到管外表面，取自窗口所示的壳程膜系数、管外污垢、管外径、管内径、管材导热系数";
  try {
    note += "（" + BeforeBar(f.TmD->Text()) + "，λw = " + SheetNumber(f.TmD->NumberAfterBar(1000)) + " " +
            SheetUnit("W/(m.K)") + "）";
  } catch (const std::exception&) {
  }
  note += "、管内污垢和管内膜系数，与面积迭代求 K 的公式相同。";
  const bool flow = ModeOf<VesselType>(*f.RGEType) == VesselType::TwoStreams ||
                    ModeOf<Convection>(*f.RGFType) == Convection::ExternalLoop;
  if (!flow) note += "储槽与恒温浴的“时均传热系数”由热量、面积和时均温差反求，与此 K 不必相等。";
  Text(s, note);
}

void ChecksSection(CalcSheet& s, const TFormPelmora& f, const std::vector<DesignCheck>& checks) {
  Heading(s, "3  设计检查");
  if (checks.empty()) {
    Text(s, "本次计算没有检查项。");
    return;
  }
  SheetTable t;
  t.columns = {{"级别", 10}, {"项目", 20}, {"说明", 70}};
  for (const DesignCheck& c : checks) {
    std::string where;
    if (const auto* e = As<EditD>(f.Find(c.field))) where = e->QuantityName();
    SheetRow r;
    r.cells = {LevelText(c.level), where, c.text};
    r.color = LevelColour(c.level);
    r.bold = static_cast<int>(c.level) > static_cast<int>(DesignCheck::Level::Hint);
    t.rows.push_back(std::move(r));
  }
  Table(s, std::move(t));
}

std::string InUnitOf(const TFormPelmora& f, const EditD* e, std::optional<double> si) {
  if (!si) return "—";
  const double factor = e && e->Exchange() != 0 ? e->Exchange() : 1;
  (void)f;
  return SheetNumber(*si / factor);
}

void MethodChecks(CalcSheet& s, const TFormPelmora& f, const SheetSources& src) {
  if (src.methodChecks.empty()) return;
  Heading(s, "方法校核");
  SheetTable t;
  t.columns = {{"项目", 15},       {"本程序", 13, true}, {"校核值", 13, true}, {"单位", 12},
               {"方法与来源", 27}, {"偏差", 10, true},   {"级别", 10}};
  for (const MethodCheckRow& m : src.methodChecks) {
    const auto* e = As<EditD>(f.Find(m.field));
    const ComboBoxU* u = e ? UnitOf(f, *e) : nullptr;
    SheetRow r;
    std::string method = m.method;
    if (!m.source.empty()) method += "（" + m.source + "）";
    if (!m.note.empty()) method += "：" + m.note;
    r.cells = {e ? e->QuantityName() : m.field,
               InUnitOf(f, e, m.value),
               InUnitOf(f, e, m.independent),
               u ? SheetUnit(u->GetUnit()) : "",
               method,
               m.deviation ? SheetPercent(*m.deviation * 100) + " %" : "—",
               m.level ? LevelText(*m.level) : ""};
    if (m.level) r.color = LevelColour(*m.level);
    t.rows.push_back(std::move(r));
  }
  Table(s, std::move(t));
  if (!src.recommendedMargin.empty()) Text(s, src.recommendedMargin);
}

void GroupSections(CalcSheet& s, const TFormPelmora& f) {
  Heading(s, "4  输入与计算数据");
  Text(s,
       "说明：带底纹且数值加粗的行是程序求得的结果，其余为输入。“来源”一栏即窗口颜色图例的含义："
       "白色为输入；天蓝为管程热平衡求解；黄色为容器热平衡求解；青色为总热平衡求解；粉色为容器几何求解；"
       "浅蓝为其余计算结果。数值取四位有效数字，很小或很大的数写作 a.bcd×10ⁿ（如 1.000×10⁻⁵ 即 0.00001），"
       "单位为窗口所选单位。");
  // The project's own texts, as typed.
  SheetTable info = ValueTable();
  for (const char* stem : {"OBJName", "OBJProc", "DeviceName", "DeviceNo", "OBJNote"}) {
    const auto* e = f.FindAs<Edit>(std::string(stem) + "D");
    if (e && e->Enabled()) AddTextRow(info, LabelCaption(f, e->Name()), e->Text());
  }
  int n = 1;
  auto group = [&](const std::string& caption, const SheetTable& t) {
    if (t.rows.empty()) return;
    Heading(s, "4." + std::to_string(n++) + "  " + caption, SheetBlock::Kind::Subheading);
    Table(s, t);
  };
  group("项目信息", info);
  const bool agitated = ModeOf<Convection>(*f.RGFType) == Convection::Agitated;
  for (const char* name :
       {"GBBasic", "GBVessel", "GBMix", "GBOutProp", "GBOutPara", "GBTubeProp", "GBTubePara", "GBPrimary"}) {
    // The agitator is part of the design only when the vessel is agitated.
    if (std::string(name) == "GBMix" && !agitated) continue;
    const auto* g = f.FindAs<GroupBox>(name);
    if (g) group(g->Caption(), GroupTable(f, g));
  }
}

std::string FileName(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::string FieldSource(const EditD& e) {
  const Color c = e.GetColor();
  if (c == TubeBalanceColor) return "管程热平衡求解";
  if (c == VesselBalanceColor) return "容器热平衡求解";
  if (c == HeatBalanceColor) return "总热平衡求解";
  if (c == GeometryColor) return "容器几何求解";
  if (c == ResultColor || e.ReadOnly()) return "计算结果";
  // A field the user can type into is an input, whatever grey a mode left on it.
  return "输入";
}

std::optional<SheetValue> SheetValueOf(const TFormPelmora& f, const EditD& e) {
  if (!e.Enabled() || !e.Visible()) return std::nullopt;
  SheetValue v;
  v.caption = e.QuantityName();
  const ComboBoxU* u = UnitOf(f, e);
  v.unit = u ? SheetUnit(u->GetUnit()) : "";
  v.source = FieldSource(e);
  v.result = v.source != "输入";
  const std::string text = TrimStr(e.Text());
  if (text.empty()) {
    v.value = "—";
    v.source = v.result ? "未求得" : "未填写";
  } else if (auto x = e.Number(); x && std::isfinite(*x)) {
    const bool count = u && (u->GetUnit() == "根" || u->GetUnit() == "程");
    v.value = count ? SheetCount(*x) : SheetNumber(*x);
  } else {
    v.value = text;
  }
  if (e.Stale()) v.source += "（过期）";
  return v;
}

std::vector<DesignCheck> ChecksBySeverity(std::vector<DesignCheck> checks) {
  std::stable_sort(checks.begin(), checks.end(), [](const DesignCheck& a, const DesignCheck& b) {
    return static_cast<int>(a.level) > static_cast<int>(b.level);
  });
  return checks;
}

CalcSheet BuildCalcSheet(const TFormPelmora& f, const SheetSources& src) {
  CalcSheet s;
  SheetTitle& t = s.title;
  auto text = [&f](const char* name) {
    const auto* e = f.FindAs<Edit>(name);
    return e ? TrimStr(e->Text()) : std::string();
  };
  t.project = text("OBJNameD");
  t.stage = text("OBJProcD");
  t.item = text("DeviceNameD");
  t.tag = text("DeviceNoD");
  t.file = f.CurrentProjectFile.empty() ? "无名项目" : FileName(f.CurrentProjectFile);
  t.date = src.date;
  auto choice = [](const RadioGroup* g) {
    const int i = g ? g->ItemIndex() : -1;
    return i >= 0 && i < static_cast<int>(g->Items().size()) ? g->Items()[static_cast<size_t>(i)] : std::string();
  };
  const std::string vessel = f.VND ? f.VND->Text() : "";
  t.subtitle = (vessel.empty() ? "" : vessel + "容器 · ") + choice(f.RGEType) + " · " + choice(f.RGFType);

  const std::vector<DesignCheck> checks = ChecksBySeverity(src.checks);
  Banners(s, f, checks);
  Summary(s, f);
  ResistanceSection(s, f);
  ChecksSection(s, f, checks);
  MethodChecks(s, f, src);
  GroupSections(s, f);
  if (src.curve) s.chartHeading = "5  时间—温度曲线";
  return s;
}

}  // namespace pelmora
