#include "fields/Catalogue.h"

#include <array>
#include <set>

#include <stdexcept>

#include "fields/Properties.h"
#include "fields/Text.h"

namespace pelmora {

std::string PadUnitItem(const std::string& name, const std::string& factor) {
  return PadRight(name, 40) + "|" + factor;
}

namespace {

using Items = std::vector<std::pair<const char*, const char*>>;

std::map<std::string, std::vector<std::string>> BuildUnitLists() {
  const std::map<std::string, Items> raw = {
      {"Time", {{"S", "1"}, {"min", "60"}, {"hr", "3600"}, {"day", "86400"}}},
      {"Percent", {{"%", "1"}}},
      {"Ratio", {{"-", "1"}}},
      {"Temperature", {{"℃", "1"}}},
      {"MassFlow", {{"kg/s", "1"}, {"kg/h", "2.7778E-4"}, {"t/h", "0.27778"}}},
      {"Mass", {{"kg", "1"}, {"t", "1000"}}},
      {"Area", {{"m2", "1"}, {"dm2", "1.0e-2"}, {"cm2", "1.0e-4"}, {"mm2", "1.0e-6"}}},
      {"Length", {{"m", "1"}, {"dm", "0.1"}, {"cm", "0.01"}, {"mm", "0.001"}}},
      {"Volume", {{"m3", "1"}, {"dm3", "1.0e-3"}, {"cm3", "1.0e-6"}, {"mm3", "1.0e-9"}}},
      {"Energy", {{"J", "1"}, {"J", "1"}, {"kJ", "1000"}, {"kcal", "4186"}, {"Mkcal", "4.186E+9"}}},
      {"Power",
       {{"W", "1"},
        {"J/s", "1"},
        {"kW", "1000"},
        {"kJ/h", "0.27778"},
        {"kcal/h", "1.16306"},
        {"Mkcal/h", "1.1631E+6"}}},
      {"HeatTransferCoefficient",
       {{"W/(m2.K)", "1"},
        {"J/(m2.S.K)", "1"},
        {"kW/(m2.K)", "1000"},
        {"kJ/(m2.K.S)", "1000"},
        {"kcal/(m2.K.S)", "4187"},
        {"kcal/(m2.K.h)", "1.16306"}}},
      {"Pressure",
       {{"N/m2", "1"}, {"Pa", "1"}, {"kN/m2", "1000"}, {"kPa", "1000"}, {"kg/cm2", "100000"}, {"MPa", "1.0e6"}}},
      {"SpecificHeat", {{"J/(kg.K)", "1"}, {"kJ/(kg.K)", "1000"}, {"kcal/kg.K", "4187"}, {"Mkcal/kg.K", "4.187E9"}}},
      {"Viscosity", {{"N.S/m2", "1"}, {"Pa.S", "1"}, {"cP", "0.001"}}},
      {"Conductivity",
       {{"W/(m.K)", "1"},
        {"kW/(m.K)", "1000"},
        {"kJ/(m.K.S)", "1000"},
        {"kcal/(m.K.S)", "4187"},
        {"kcal/(m.K.h)", "1.1630"}}},
      {"Density", {{"kg/m3", "1"}, {"t/m3", "1000"}}},
      {"Expansion", {{"1/K", "1"}}},
      {"LatentHeat", {{"J/kg", "1"}, {"kJ/kg", "1000"}, {"kcal/kg", "4186"}}},
      {"FoulingResistance",
       {{"m2.K/W", "1"},
        {"m2.K/kW", "0.001"},
        {"m2.K.S/cal", "0.23883"},
        {"m2.K.S/kcal", "2.3883E-4"},
        {"m2.K.h/kcal", "0.8598"}}},
      {"Velocity", {{"m/s", "1"}, {"dm/s", "0.1"}, {"cm/s", "0.01"}, {"mm/s", "0.001"}}},
      {"PitchRatio", {{"倍外管径", "1"}}},
      {"Passes", {{"程", "1"}}},
      {"TubeCount", {{"根", "1"}}},
      {"RotationSpeed", {{"r/S", "1"}, {"r/m", "0.01666666666666666667"}, {"r/h", "2.77777777777777777778e-4"}}},
  };
  std::map<std::string, std::vector<std::string>> lists;
  for (const auto& [name, items] : raw) {
    auto& l = lists[name];
    for (const auto& [unit, factor] : items) l.push_back(PadUnitItem(unit, factor));
  }
  return lists;
}

constexpr auto R = ExitAction::Recalc;
constexpr auto G = ExitAction::Geometry;
constexpr auto M = ExitAction::Impeller;
constexpr auto N = ExitAction::None;

const std::vector<QuantityDef> kQuantities = {
    // 基本参数
    {"Tao", "加热时间", 'I', "Time", "", true, R},
    {"sf", "富余度", 'I', "Percent", "", true, R},
    {"SetErr", "收敛误差", 'I', "Ratio", "0.01", true, R},
    {"FixTemp", "浴温", 'I', "Temperature", "", false, R},
    {"Wr", "循环流量", 'I', "MassFlow", "", false, R},
    // 简明计算结果
    {"At", "理论面积", 'R', "Area", "", true, N},
    {"Ar", "实际面积", 'R', "Area", "", true, N},
    {"TTa", "时均温差", 'R', "Temperature", "", true, N},
    {"KTa", "时均传热系数", 'R', "HeatTransferCoefficient", "", true, N},
    {"Lt", "理论单管长", 'R', "Length", "", true, N},
    {"Wc", "维持质量流量", 'R', "MassFlow", "", true, N},
    {"Cdt", "温差矫正系数", 'R', "Ratio", "", true, N},
    {"Lr", "实际单管长", 'R', "Length", "", true, N},
    // 容器参数及计算结果
    {"Bp", "保温层厚", 'I', "Length", "", true, R},
    {"Twa", "保温外壁温", 'R', "Temperature", "", true, N},
    {"Te", "环境温度", 'I', "Temperature", "", true, R},
    {"Ke", "环境传热系数", 'R', "HeatTransferCoefficient", "", true, N},
    {"Ae", "散热面积", 'I', "Area", "", true, R},
    {"St", "容器壁厚", 'I', "Length", "", true, R},
    {"Kc", "维持传热系数", 'R', "HeatTransferCoefficient", "", true, N},
    {"ko", "壳程膜系数", 'R', "HeatTransferCoefficient", "", true, N},
    {"Dpo", "壳程压力降", 'R', "Pressure", "", true, N},
    // 容器物性及热量平衡
    {"Mao", "质量", 'F', "Mass", "", true, R},
    {"Cop", "平均比热", 'I', "SpecificHeat", "", true, R},
    {"Tom1", "初始温度", 'F', "Temperature", "", true, R},
    {"Tom2", "目标温度", 'F', "Temperature", "", true, R},
    {"Qo", "容器热量", 'R', "Energy", "", true, N},
    {"Vio", "动力粘度", 'I', "Viscosity", "", true, R},
    {"Ldo", "导热系数", 'I', "Conductivity", "", true, R},
    {"Deno", "密度", 'I', "Density", "", true, R},
    {"QL", "环境热损", 'R', "Power", "", true, N},
    {"Bto", "膨胀系数", 'I', "Expansion", "", true, R},
    {"DHo", "相变热", 'I', "LatentHeat", "", false, R},
    {"Copv", "蒸汽比热", 'I', "SpecificHeat", "", false, R},
    {"Lao", "不凝气体", 'F', "Percent", "", true, R},
    {"denov", "蒸汽密度", 'I', "Density", "", false, R},
    {"Viov", "蒸汽动力粘度", 'I', "Viscosity", "", false, R},
    {"Po", "蒸发压力", 'F', "Pressure", "", false, N},
    {"Pc", "临界压力", 'I', "Pressure", "", false, N},
    // 管程物性及热量平衡
    {"Wi", "质量流量", 'F', "MassFlow", "", true, R},
    {"Cip", "平均比热", 'I', "SpecificHeat", "", true, R},
    {"Ti1", "入口温度", 'F', "Temperature", "", true, R},
    {"Ti2", "出口温度", 'F', "Temperature", "", true, R},
    {"Qi", "内管热量", 'R', "Energy", "", true, N},
    {"DHi", "相变热", 'I', "LatentHeat", "", false, R},
    {"Vii", "动力粘度", 'I', "Viscosity", "", true, R},
    {"Ldi", "导热系数", 'I', "Conductivity", "", true, R},
    {"Deni", "密度", 'I', "Density", "", true, R},
    {"deniv", "蒸汽密度", 'I', "Density", "", false, R},
    {"Viiv", "蒸汽动力粘度", 'I', "Viscosity", "", false, R},
    {"Lai", "不凝气体", 'F', "Percent", "", true, R},
    {"Cipv", "蒸汽比热", 'I', "SpecificHeat", "", false, R},
    // 管程参数及计算结果
    {"dio", "管外径", 'I', "Length", "", true, R},
    {"dii", "管内径", 'I', "Length", "", true, R},
    {"ki", "管内膜系数", 'R', "HeatTransferCoefficient", "", true, N},
    {"Ri", "管内污垢", 'I', "FoulingResistance", "", true, R},
    {"Uiv", "蒸汽流速", 'F', "Velocity", "", false, R},
    {"Ui", "流速", 'R', "Velocity", "", true, N},
    {"Dpi", "管程压力降", 'R', "Pressure", "", true, N},
    {"Ei", "绝对粗糟度", 'I', "Length", "", true, R},
    {"Ro", "管外污垢", 'I', "FoulingResistance", "", true, R},
    {"Dsp", "管间距", 'I', "PitchRatio", "", true, R},
    {"Sl", "盘管直径", 'I', "Length", "", true, R},
    {"m", "管程数", 'R', "Passes", "", true, N},
    {"pH", "盘管高度", 'F', "Length", "", true, R},
    {"n", "管根数", 'I', "TubeCount", "1", true, N},
    // 容器定义
    {"Vs", "容器体积", 'F', "Volume", "", true, G},
    {"Kv", "充装系数", 'F', "Ratio", "", true, G},
    {"Ae1", "有效散热积", 'R', "Area", "", true, N},
    {"Ws", "宽度", 'F', "Length", "", true, G},
    {"Hs", "高度", 'F', "Length", "", true, G},
    {"Ds", "壳体直径", 'F', "Length", "", true, G},
    {"Dc", "中心柱直径", 'F', "Length", "", true, G},
    {"mid", "浆叶直径", 'F', "Length", "", true, M},
    {"rv", "转速", 'F', "RotationSpeed", "", true, N},
};

const QuantityDef& Def(const std::string& stem) {
  for (const auto& q : kQuantities)
    if (stem == q.stem) return q;
  throw std::logic_error("no quantity " + stem);
}

const std::vector<std::string> kWallMaterials = {"低碳钢|52.34",
                                                 "不锈钢| 16.28",
                                                 "铜|383.79",
                                                 "红铜(85%)|117.47",
                                                 "铝黄铜|117.47",
                                                 "铝青铜(5%)|82.58",
                                                 "铝|227.95",
                                                 "铁|73.27",
                                                 "钛|16.75",
                                                 "石墨| 139.56",
                                                 "硬橡胶|0.15",
                                                 "聚四氟乙烯|0.2419",
                                                 "聚氯乙烯|0.14",
                                                 "聚乙烯|0.3291",
                                                 "钢筋混凝土|2.5",
                                                 "水泥墙|2.5",
                                                 "砖混墙|0.41",
                                                 "湿砖混墙|1.2",
                                                 "工程塑料|0.15",
                                                 "加气混凝土|0.13",
                                                 "干木材(板)|0.12",
                                                 "玻璃|1.1",
                                                 ""};

const std::vector<std::string> kInsulation = {"岩棉板,壳|0.033",
                                              "岩棉缝毡|0.033",
                                              "泡沫石棉|0.038",
                                              "海泡石保温材料|0.046",
                                              "JBT保温材料|0.085",
                                              "珍珠岩制品|0.07",
                                              "矿渣棉一级|0.038",
                                              "矿渣棉二级|0.040",
                                              "酚醛玻璃棉|0.035",
                                              "酚醛超细玻璃棉|0.030",
                                              "酚醛树脂矿棉板,壳,一级|0.040",
                                              "酚醛树脂矿棉板,壳,二级|0.045",
                                              "酚醛玻璃棉板,壳|0.035",
                                              "中吸玻璃纤维板,壳|0.035",
                                              "碳酸镁石棉|0.04",
                                              "硅酸镁石棉|0.06",
                                              "BBS硬质聚氨酯|0.023",
                                              "双组分喷涂聚氨酯|0.027",
                                              "挤出发泡聚苯乙烯硬质板|0.03",
                                              "聚苯乙烯泡沫板|0.04"};

}  // namespace

const std::vector<std::string>& UnitList(const std::string& name) {
  static const auto lists = BuildUnitLists();
  auto it = lists.find(name);
  if (it == lists.end()) throw std::logic_error("no unit list " + name);
  return it->second;
}

const std::vector<QuantityDef>& QuantityDefs() { return kQuantities; }

TFormPelmora::TFormPelmora(UiPort* port) : Form(port) {
  SetLoading(true);
  Build();
  Bind();
  for (ComboBoxU* u : unitSelectors_) u->Loaded();
  SetLoading(false);
}

Event TFormPelmora::Handler(const std::string& name) {
  return [this, name](Component* sender) { RunHandler(name, sender); };
}

KeyEvent TFormPelmora::KeyHandler(const std::string& name) {
  return [this, name](Component* sender, int key) {
    if (name == "MaoDKeyDown") {
      MaoDKeyDown(sender, key);
      return;
    }
    auto it = keyHandlers_.find(name);
    if (it != keyHandlers_.end() && it->second) it->second(sender, key);
  };
}

bool TFormPelmora::HasHandler(const std::string& name) const {
  if (name == "MaoDChange" || name == "MaoDKeyDown") return true;
  if (commands_.Has(name)) return true;
  auto k = keyHandlers_.find(name);
  return k != keyHandlers_.end() && k->second;
}

Event TFormPelmora::AddCommand(Component& control, const std::string& handler) {
  commands_.AddControl(control, handler);
  return Handler(handler);
}

std::vector<std::string> TFormPelmora::KeysOfControl(const std::string& controlName) const {
  for (const auto& e : commands_.Controls())
    if (e.control->Name() == controlName) return commands_.KeysOf(e.handler);
  return {};
}

namespace {
// Commands whose function is still to come. Their controls stay disabled, with a hint.
const std::set<std::string> kNotYetProvided = {};
}  // namespace

std::vector<TFormPelmora::Command> TFormPelmora::Commands() const {
  std::vector<Command> out;
  for (const auto& e : commands_.Controls())
    out.push_back({e.control, e.handler,
                   e.state == CommandTable::Entry::State::Bound ? Command::State::Bound : Command::State::Disabled});
  std::set<std::string> keyed;
  for (Component* c : Components())
    if (c->OnKeyDown && keyed.insert("MaoDKeyDown").second)
      out.push_back({c, "MaoDKeyDown", HasHandler("MaoDKeyDown") ? Command::State::Bound : Command::State::Disabled});
  return out;
}

std::vector<std::string> TFormPelmora::UnexpectedUnbound() const {
  std::vector<std::string> out;
  for (const Command& c : Commands())
    if (c.state == Command::State::Disabled && !kNotYetProvided.count(c.handler))
      out.push_back(c.control->Name() + " → " + c.handler);
  return out;
}

void TFormPelmora::SealCommands() {
  commands_.Seal(kNotProvidedHint);
#ifndef NDEBUG
  auto wrong = UnexpectedUnbound();
  if (!wrong.empty()) {
    std::string list;
    for (const auto& w : wrong) list += w + " ";
    throw std::logic_error("commands without a handler: " + list);
  }
#endif
}

void TFormPelmora::Leave(Component* c) {
  if (!c) return;
  if (const auto& leave = Describe(c->GetKind()).leave) leave(*c);
}

Component* TFormPelmora::MoveFocusFrom(Component* from, bool forward) {
  Component* next = NextInTabOrder(from, forward);
  if (!next || next == from) return from;
  return LeaveFor(from, next);
}

namespace {
bool OnPage(const Component* c, const GroupBox* page) {
  for (; c; c = c->Parent())
    if (c == page) return true;
  return false;
}
}  // namespace

Component* TFormPelmora::TabTarget(Component* from, bool forward) const {
  const GroupBox* page = PageControl1 ? PageControl1->ActivePage() : nullptr;
  if (from && (!page || OnPage(from, page))) return NextInTabOrder(from, forward);
  // From the page tabs (or nowhere): the first (last) control of the page shown.
  const auto& all = Components();
  for (size_t k = 0; k < all.size(); ++k) {
    Component* c = all[forward ? k : all.size() - 1 - k];
    if (!OnPage(c, page) || !c->Focusable() || !c->TabStop() || !c->EffectivelyEnabled()) continue;
    bool visible = true;
    for (const Component* p = c; p && visible; p = p->Parent()) visible = p->Visible();
    if (visible) return c;
  }
  return nullptr;
}

bool TFormPelmora::KeyDown(Component* target, Key key) {
  if (target && target->OnKeyDown) {
    FocusChangedByView(target);
    target->OnKeyDown(target, Code(key));
    return key != Key::Escape;
  }
  const bool forward = key == Key::Enter || key == Key::Down || key == Key::Tab;
  if (!forward && key != Key::Up && key != Key::Backtab) return false;
  const GroupBox* page = PageControl1 ? PageControl1->ActivePage() : nullptr;
  // From the page tabs the tab order goes on from the control that had the focus last.
  Component* next = TabTarget(target ? target : Focused(), forward);
  if (!next) return false;
  if (target && OnPage(target, page)) {
    FocusChangedByView(target);
    if (next != target) LeaveFor(target, next);
  } else {
    // Nothing is left: the control that had the focus was left when it lost it.
    SetFocus(next);
  }
  return true;
}

void TFormPelmora::ShowPageOf(Component* c) {
  for (const Component* p = c; p; p = p->Parent())
    if (p->GetKind() == Kind::TabSheet && p->Parent() == PageControl1)
      PageControl1->SetActivePage(const_cast<GroupBox*>(static_cast<const GroupBox*>(p)));
}

void TFormPelmora::FocusByUser(Component* to) {
  Component* from = Focused();
  if (from == to) return;
  LeaveFor(from, to);
}

Component* TFormPelmora::LeaveFor(Component* from, Component* to) {
  if (from) {
    FocusChangedByView(from);
    SetLeftByCore(from);  // a view that loses `from` meanwhile must not leave it again
    try {
      Leave(from);
    } catch (...) {
      SetLeftByCore(nullptr);
      // A field that refused its own value keeps the focus; a run that stopped over
      // another (blank) field still lets the user go on to the next one.
      if (Component* now = Focused(); now != from) SetFocusAfterLeaving(now, to);
      throw;
    }
    SetLeftByCore(nullptr);
  }
  SetFocusAfterLeaving(from, to);
  return to;
}

void TFormPelmora::MaoDKeyDown(Component* sender, int key) {
  switch (static_cast<Key>(key)) {
    case Key::Enter:  // the field is left as with Tab
    case Key::Down:
    case Key::Tab: MoveFocusFrom(sender, true); break;
    case Key::Up:
    case Key::Backtab: MoveFocusFrom(sender, false); break;
    case Key::F1:
      if (onHelpKey) onHelpKey(sender);
      break;
    default: break;
  }
}

void TFormPelmora::WrapHandler(const std::string& name,
                               std::function<void(const Event& inner, Component* sender)> outer) {
  commands_.Wrap(name, std::move(outer));
}

void TFormPelmora::RunHandler(const std::string& name, Component* sender) {
  if (onHandler) onHandler(name, sender);
  if (name == "MaoDChange") {
    MaoDChange(sender);
    return;
  }
  commands_.Run(name, sender);
}

void TFormPelmora::SetProjectModified(bool b, bool touchSave) {
  projectModified_ = b;
  if (touchSave && MFSave) MFSave->SetEnabled(b);
}

void TFormPelmora::MaoDChange(Component*) { SetProjectModified(true, true); }

void TFormPelmora::SetCaption(std::string c) {
  if (caption_ == c) return;
  caption_ = std::move(c);
  NotifyFormObservers();  // the view redraws the title
}

void TFormPelmora::SetUnsaved(bool b) {
  if (unsaved_ == b) return;
  unsaved_ = b;
  NotifyFormObservers();  // the view redraws the title
}

ExitAction TFormPelmora::ExitOf(const EditD* field) const {
  auto it = exits_.find(field);
  return it == exits_.end() ? ExitAction::None : it->second;
}

// ------------------------------------------------------------ the pieces

Label& TFormPelmora::AddLabel(const std::string& name, Component* parent, const std::string& caption) {
  return Create<Label>(name, parent, caption);
}

// A quantity: label, value field, unit selector.
void TFormPelmora::AddQuantity(const std::string& stem, Component* parent, bool pageCalc, const std::string& unitName) {
  const QuantityDef& d = Def(stem);
  Label& l = AddLabel(stem + "L", parent, d.caption);
  EditD& e = Create<EditD>(stem + "D", parent);
  ComboBoxU& u = Create<ComboBoxU>(unitName.empty() ? stem + "U" : unitName, parent, UnitList(d.units));
  e.SetMyLabel(&l);
  u.SetAssociated(&e);
  Font ef;
  ef.name = "Times New Roman";
  ef.heightPx = 10;
  ef.color = e.GetFont().color;
  e.SetFont(ef);
  if (d.role == 'I') {
    e.SetMyResolved(false);
  } else {
    e.SetMyResolved(true);
    e.SetFontColor(colors::Black);
  }
  if (d.role == 'R') {
    e.SetReadOnly(true);
    e.SetColor(colors::BtnFace);
  }
  if (stem == "Kv" || stem == "mid" || stem == "rv") e.SetCtl3D(false);
  if (stem == "Cdt" || stem == "Dsp" || stem == "m" || stem == "n" || stem == "rv") {
    u.font.name = "宋体";
    u.font.heightPx = 12;
  }
  e.SetText(d.defaultText);
  l.SetEnabled(d.enabled);
  e.SetEnabled(d.enabled);
  u.SetEnabled(d.enabled);
  if (pageCalc) e.OnChange = Handler("MaoDChange");
  e.OnKeyDown = KeyHandler("MaoDKeyDown");
  switch (d.exit) {
    case ExitAction::Recalc: e.OnExit = Handler("MaoDExit"); break;
    case ExitAction::Geometry: e.OnExit = Handler("VsDExit"); break;
    case ExitAction::Impeller: e.OnExit = Handler("midDExit"); break;
    case ExitAction::None: break;
  }
  exits_[&e] = d.exit;
  valueFields_.push_back(&e);
  unitSelectors_.push_back(&u);
}

ComboBox& TFormPelmora::AddList(const std::string& stem, Component* parent, const std::string& caption,
                                std::vector<std::string> items) {
  AddLabel(stem + "L", parent, caption);
  ComboBox& c = Create<ComboBox>(stem + "D", parent, std::move(items));
  c.SetHint(caption);  // what help on the list looks up
  c.font.name = "宋体";
  c.font.heightPx = 12;
  c.SetItemIndex(0);
  c.OnKeyDown = KeyHandler("MaoDKeyDown");
  return c;
}

SpeedButton* TFormPelmora::AddButton(const std::string& name, Component* parent, const std::string& hint, bool toggle) {
  SpeedButton& b = Create<SpeedButton>(name, parent, hint, toggle);
  b.OnClick = AddCommand(b, name + "Click");
  return &b;
}

Button& TFormPelmora::AddCommandButton(const std::string& name, Component* parent, const std::string& caption) {
  Button& b = Create<Button>(name, parent, caption);
  b.OnClick = AddCommand(b, name + "Click");
  return b;
}

SpeedButton* TFormPelmora::Beside(const std::string& control, SpeedButton* button) {
  layout_.SetBeside(Find(control), button);
  return button;
}

MenuItem* TFormPelmora::AddMenu(const std::string& name, Component* parent, const std::string& caption) {
  MenuItem& m = Create<MenuItem>(name, parent, caption);
  m.OnClick = AddCommand(m, name + "Click");
  return &m;
}

// ------------------------------------------------------------ the window, part by part

void TFormPelmora::Build() {
  BuildMenu();
  BuildToolBar();
  std::array<GroupBox*, 5> page = BuildPages();
  BuildProjectPage(page[0]);
  BuildCalcPage(page[1]);
  BuildPipesPage(page[2]);
  BuildVesselPage(page[3]);
  BuildReportPage(page[4]);
  FindAs<PageControl>("PageControl1")->SetActivePage(page[1]);  // bound to its member later
}

void TFormPelmora::BuildMenu() {
  MenuItem* file = AddMenu("MFile", nullptr, "&F 文件");
  AddMenu("MFNew", file, "&N 新建");
  AddMenu("MFOpen", file, "&O 打开");
  AddMenu("N1", file, "-");
  AddMenu("MFSave", file, "&S 保存");
  AddMenu("MFAs", file, "&A 另存为");
  AddMenu("MFTemp", file, "&T 存为模板");
  AddMenu("N2", file, "-");
  AddMenu("MFExit", file, "&E 退出");
  MenuItem* edit = AddMenu("MEdit", nullptr, "&B 编辑");
  AddMenu("MEUndo", edit, "&U 撤销");
  AddMenu("MERedo", edit, "&R 重做");
  AddMenu("N4", edit, "-");
  AddMenu("MECopy", edit, "&C 复制结果");
  MenuItem* calc = AddMenu("MCalc", nullptr, "&C 计算");
  AddMenu("MCRecalc", calc, "&R 重新计算");
  AddMenu("MCStudy", calc, "&P 参数研究…");
  AddMenu("MCOptimize", calc, "&O 设计优选…");
  AddMenu("MCUpdateProps", calc, "&U 更新物性");
  MenuItem* report = AddMenu("MReport", nullptr, "&R 报表");
  AddMenu("MRSimple", report, "&M 生成报表");
  AddMenu("MRSave", report, "&S 保存报表 ");
  AddMenu("N3", report, "-");
  AddMenu("MRPrintRep", report, "&P 打印报表");
  AddMenu("MRPrintCalc", report, "&C 打印计算书");
  AddMenu("MRPdf", report, "&D 导出PDF报告");
  AddMenu("MAbout", nullptr, "&A 关于");
  MenuItem* help = AddMenu("MHelp", nullptr, "&H 帮助");
  AddMenu("MHPDF", help, "&D 帮助文档");
  AddMenu("MHAbout", help, "&A 关于Pelmora");
  AddMenu("MExit", nullptr, "&E 结束");
}

void TFormPelmora::BuildToolBar() {
  GroupBox& toolBar = Create<GroupBox>("ToolBar1", nullptr, "");
  AddButton("SBFNew", &toolBar, "新建");
  AddButton("SBFOpen", &toolBar, "打开");
  AddButton("SBFSave", &toolBar, "保存");
  AddButton("SBFAs", &toolBar, "另存为");
  AddButton("SBFTemp", &toolBar, "存为模板");
  AddButton("SBTCurve", &toolBar, "时间温度曲线");
  AddButton("SBRSimple", &toolBar, "生成报表");
  AddButton("SBRSave", &toolBar, "保存报表");
  AddButton("SBRPrintRep", &toolBar, "打印报表");
  AddButton("SBRPrintCalc", &toolBar, "打印计算书");
  AddButton("SBAutoRun", &toolBar, "自动计算", true);
  AddButton("SBClear", &toolBar, "清除光标处数据");
  AddButton("SBCopy", &toolBar, "复制结果");
  AddButton("SBHPDF", &toolBar, "这是什么？");
}

std::array<GroupBox*, 5> TFormPelmora::BuildPages() {
  PageControl& pages = Create<PageControl>("PageControl1", nullptr);
  pages.OnChange = Handler("PageControl1Change");
  const char* pageCaptions[] = {"项目信息", "计算", "管道系列", "容器定义", "计算报告"};
  const PageKind kinds[] = {PageKind::Fields, PageKind::Groups, PageKind::Pipes, PageKind::Columns, PageKind::Report};
  std::array<GroupBox*, 5> sheet{};
  for (int i = 0; i < 5; ++i) {
    sheet[i] = &Create<GroupBox>("TabSheet" + std::to_string(i + 1), &pages, pageCaptions[i], Kind::TabSheet);
    pages.AddPage(sheet[i]);
    layout_.SetPage(sheet[i], kinds[i]);
  }
  layout_.SetColumns(sheet[1], 2);  // two groups a row
  return sheet;
}

// 项目信息
void TFormPelmora::BuildProjectPage(GroupBox* page) {
  const std::pair<const char*, const char*> info[] = {{"OBJName", "项目名称"},
                                                      {"OBJProc", "项目阶段"},
                                                      {"DeviceName", "设备名称"},
                                                      {"DeviceNo", "设备位号"},
                                                      {"OBJNote", "备注信息"}};
  for (const auto& [stem, caption] : info) {
    AddLabel(std::string(stem) + "L", page, caption);
    Edit& e = Create<Edit>(std::string(stem) + "D", page);
    e.SetHint(caption);
    e.OnChange = Handler("MaoDChange");
    e.OnKeyDown = KeyHandler("MaoDKeyDown");
  }
}

// 计算
void TFormPelmora::BuildCalcPage(GroupBox* page) {
  GroupBox& basic = Create<GroupBox>("GBBasic", page, "基本参数");
  layout_.SetColumns(&basic, 2);
  for (const char* s : {"Tao", "sf", "SetErr", "FixTemp"}) AddQuantity(s, &basic, true);
  RadioGroup& eType =
      Create<RadioGroup>("RGEType", &basic, "容器型式", std::vector<std::string>{"储槽", "恒温浴", "两流股"}, 3);
  eType.SetHint("容器型式");
  eType.SetItemIndex(0);
  eType.OnClick = Handler("RGETypeClick");
  RadioGroup& fType =
      Create<RadioGroup>("RGFType", &basic, "对流方式", std::vector<std::string>{"自然对流", "搅拌", "外循环"}, 3);
  fType.SetHint("对流方式");
  fType.SetItemIndex(0);
  fType.OnClick = Handler("RGFTypeClick");
  AddQuantity("Wr", &basic, true);

  GroupBox& primary = Create<GroupBox>("GBPrimary", page, "简明计算结果");
  layout_.SetColumns(&primary, 2);
  for (const char* s : {"At", "Ar", "TTa", "KTa", "Lt", "Wc", "Cdt", "Lr"}) AddQuantity(s, &primary, true);

  GroupBox& outSpace = Create<GroupBox>("GBOutSpace", page, "容器");
  GroupBox& outPara = Create<GroupBox>("GBOutPara", &outSpace, "容器参数及计算结果");
  layout_.SetColumns(&outPara, 2);
  for (const char* s : {"Bp", "Twa", "Te", "Ke", "Ae", "St", "Kc", "ko", "Dpo"}) AddQuantity(s, &outPara, true);
  AddList("Sm", &outPara, "容器材质", kWallMaterials).OnChange = Handler("MaoDChange");
  AddList("Pm", &outPara, "保温材料", kInsulation).OnChange = Handler("MaoDChange");
  ComboBox& evt = AddList("EVT", &outPara, "散热方向", {"空气", "地表"});
  evt.OnChange = Handler("MaoDChange");

  GroupBox& outProp = Create<GroupBox>("GBOutProp", &outSpace, "容器物性及热量平衡");
  layout_.SetColumns(&outProp, 2);
  for (const char* s : {"Mao", "Cop", "Tom1", "Tom2", "Qo", "Vio", "Ldo", "Deno", "QL", "Bto", "DHo", "Copv", "Lao",
                        "denov", "Viov", "Po", "Pc"})
    AddQuantity(s, &outProp, true);
  ComboBox& pho = AddList("Pho", &outProp, "流体相态", {"单相流体", "蒸汽冷凝", "液体蒸发"});
  pho.OnChange = Handler("PhoDChange");
  pho.OnExit = Handler("MaoDExit");
  AddLabel("HToL", &outProp, "流体类型");
  Edit& hto = Create<Edit>("HToD", &outProp);
  hto.SetReadOnly(true);
  hto.SetHint("流体类型");
  hto.OnChange = Handler("MaoDChange");
  AddLabel("CmtoL", &outProp, "注释");
  RichEdit& cmto = Create<RichEdit>("CmtoD", &outProp);
  cmto.SetText("注释");
  cmto.SetHint("注释");
  cmto.OnChange = Handler("MaoDChange");
  layout_.SetRow(&cmto);
  Beside("CopD", AddButton("SBP1", &outProp, "物性数据库"));
  Beside("BtoD", AddButton("SBP11", &outProp, "物性数据库"));
  Beside("CopvD", AddButton("SBP1v", &outProp, "物性数据库"))->SetEnabled(false);

  GroupBox& tube = Create<GroupBox>("GBTube", page, "传热管");
  GroupBox& tubeProp = Create<GroupBox>("GBTubeProp", &tube, "管程物性及热量平衡");
  layout_.SetColumns(&tubeProp, 2);
  for (const char* s : {"Wi", "Cip", "Ti1", "Ti2", "Qi"}) AddQuantity(s, &tubeProp, true);
  AddQuantity("DHi", &tubeProp, true, "DhiU");
  for (const char* s : {"Vii", "Ldi", "Deni", "deniv", "Viiv", "Lai", "Cipv"}) AddQuantity(s, &tubeProp, true);
  ComboBox& phi = AddList("Phi", &tubeProp, "流体相态", {"单相流体", "蒸气冷凝", "液体蒸发"});
  phi.OnChange = Handler("PhiDChange");
  phi.OnExit = Handler("MaoDExit");
  AddLabel("HTiL", &tubeProp, "流体类型");
  Edit& hti = Create<Edit>("HTiD", &tubeProp);
  hti.SetReadOnly(true);
  hti.SetHint("流体类型");
  hti.OnChange = Handler("MaoDChange");
  AddLabel("CmttL", &tubeProp, "注释");
  RichEdit& cmtt = Create<RichEdit>("CmttD", &tubeProp);
  cmtt.SetText("注释");
  cmtt.SetHint("注释");
  cmtt.OnChange = Handler("MaoDChange");
  layout_.SetRow(&cmtt);
  Beside("CipD", AddButton("SBP2", &tubeProp, "物性数据库"));
  Beside("CipvD", AddButton("SBP2v", &tubeProp, "物性数据库"))->SetEnabled(false);

  GroupBox& tubePara = Create<GroupBox>("GBTubePara", &tube, "管程参数及计算结果");
  layout_.SetColumns(&tubePara, 2);
  for (const char* s : {"dio", "dii", "ki", "Ri", "Uiv", "Ui", "Dpi", "Ei", "Ro", "Dsp", "Sl", "m", "pH", "n"})
    AddQuantity(s, &tubePara, true);
  std::vector<std::string> tubeMaterials(kWallMaterials.begin(), kWallMaterials.begin() + 14);
  AddList("Tm", &tubePara, "管子材质", tubeMaterials).OnChange = Handler("MaoDChange");
  AddList("TShape", &tubePara, "管子形式", {"U型管", "螺旋管"}).OnChange = Handler("TShapeDChange");
  Beside("dioD", AddButton("SBDi", &tubePara, "选择钢管系列"));
  Beside("EiD", AddButton("SBDLT", &tubePara, "选择绝对粗糟度"));
  Beside("DspD", AddButton("SBP3", &tubePara, "选择螺距"));
  Beside("nD", AddButton("SBn", &tubePara, "估算管根数"));

  ComboBoxU& qBak = Create<ComboBoxU>("QBakU", page, UnitList("Energy"));
  qBak.SetVisible(false);
  ComboBoxU& mBak = Create<ComboBoxU>("MBakU", page, UnitList("Mass"));
  mBak.SetVisible(false);
  unitSelectors_.push_back(&qBak);
  unitSelectors_.push_back(&mBak);

  StatusBar& bar = Create<StatusBar>("MyStatusBar", page);
  bar.SetPanels({{"", 200, false}, {"", 400, false}, {"科技成就未来，软件就是力量", 50, true}});
  bar.SetPIndex(2);
  bar.SetProgressPosition(0);
}

// 管道系列
void TFormPelmora::BuildPipesPage(GroupBox* page) {
  Create<DataGrid>("DBGPiples", page);
  Create<DataGrid>("DBNPiples", page);
  AddCommandButton("Button3", page, "选择");
  AddCommandButton("Button2", page, "维护");
}

// 容器定义
void TFormPelmora::BuildVesselPage(GroupBox* page) {
  GroupBox& vessel = Create<GroupBox>("GBVessel", page, "容器几何");
  AddLabel("VNL", &vessel, "容器选择");
  ComboBox& vnd =
      Create<ComboBox>("VND", &vessel, std::vector<std::string>{"球罐", "圆柱（平底）", "立方体", "拱顶罐（水平）"});
  vnd.font.name = "宋体";
  vnd.font.heightPx = 12;
  vnd.SetHint("容器选择");
  vnd.SetItemIndex(0);
  vnd.OnChange = Handler("VNDChange");
  vnd.OnClick = Handler("VNDClick");
  vnd.OnKeyDown = KeyHandler("MaoDKeyDown");
  for (const char* s : {"Vs", "Kv", "Ae1", "Ws", "Hs", "Ds", "Dc"}) AddQuantity(s, &vessel, false);
  GroupBox& mix = Create<GroupBox>("GBMix", page, "搅拌器");
  AddLabel("mitL", &mix, "搅拌器型式");
  const std::string gap(18, ' ');
  ComboBox& mit =
      Create<ComboBox>("mitD", &mix,
                       std::vector<std::string>{"涡轮式" + gap + "|1.01,0.62", "平浆式" + gap + "|0.87,0.36   ",
                                                "推进式" + gap + "|0.83,0.54", ""});
  mit.font.name = "宋体";
  mit.font.heightPx = 12;
  mit.SetHint("搅拌器型式");
  mit.SetItemIndex(0);
  mit.OnChange = Handler("VNDChange");
  mit.OnClick = Handler("VNDClick");
  mit.OnKeyDown = KeyHandler("MaoDKeyDown");
  for (const char* s : {"mid", "rv"}) AddQuantity(s, &mix, false);
  AddCommandButton("BTVessel", page, "确定");
}

// 计算报告
void TFormPelmora::BuildReportPage(GroupBox* page) {
  RichEdit& rep = Create<RichEdit>("RichEditReport", page);
  rep.SetHint("计算报告");
  rep.defaultFont.fontName = "宋体";
  rep.defaultFont.pointSize = 10.5;  // 14 pixels at 96 dpi
  AddButton("SBRPdf", page, "导出PDF报告")->SetCaption("导出PDF报告");
  Create<PaintBox>("PaintBox1", page).OnPaint = Handler("SBTCurveClick");
  AddButton("SBPrepCurve", page, "准备绘制曲线")->SetCaption("准备绘制曲线");
  RadioGroup& lg = Create<RadioGroup>("RGLGDY", page, "图例垂直调整", std::vector<std::string>{"上", "中", "下"}, 3);
  lg.SetItemIndex(0);
  lg.SetHint("图例垂直调整");
  lg.OnClick = Handler("RGLGDYClick");
}

void TFormPelmora::Bind() {
  std::string missing;
  auto bind = [this, &missing](auto*& member, const char* name) {
    using T = std::remove_reference_t<decltype(*member)>;
    member = FindAs<T>(name);
    if (!member) missing += std::string(name) + " ";
  };
#define Q(stem)             \
  bind(stem##L, #stem "L"); \
  bind(stem##D, #stem "D"); \
  bind(stem##U, #stem "U");
#define C(type, name) bind(name, #name);
#include "fields/FormMembers.inc"
#undef Q
#undef C
  if (!missing.empty()) throw std::logic_error("window description lacks " + missing);
}

}  // namespace pelmora
