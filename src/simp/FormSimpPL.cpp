#include "simp/FormSimpPL.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "fields/DurableFile.h"
#include "fields/Errors.h"
#include "fields/NumberFormat.h"
#include "fields/Text.h"
#include "fields/UiPort.h"
#include "props/PropNumbers.h"
#include "props/PropRange.h"
#include "props/SimpProps.h"

namespace pelmora {

// ---------------------------------------------------------------- ValueGrid

ValueGrid::ValueGrid(Form& f, std::string name, Component* parent) : DataGrid(f, std::move(name), parent) {
  SetTabStop(true);
  SetColumns({{"名称", 64, true}, {"数量", 87, true}, {"单位", 56, true}, {"备注", 110, true}});
  Sync();
}

void ValueGrid::Sync() {
  std::vector<std::vector<std::string>> rows;
  for (int r = 1; r < grid_.RowCount(); ++r) {
    std::vector<std::string> cells;
    for (int c = 0; c < TMyValues::kColCount; ++c) cells.push_back(grid_.Cell(c, r));
    rows.push_back(std::move(cells));
  }
  SetRows(std::move(rows));
}

void ValueGrid::SetCell(int col, int row, const std::string& text) {
  grid_.SetCell(col, row, text);
  Sync();
}

void ValueGrid::SetValueOf(const std::string& name, const std::string& value) {
  grid_.SetValueOf(name, value);
  Sync();
}

void ValueGrid::KeyDown(TMyValues::Key key) {
  grid_.KeyDown(key);
  Sync();
}

bool ValueGrid::SelectCell(int col, int row) {
  bool ok = grid_.SelectCell(col, row);
  Sync();
  return ok;
}

// ---------------------------------------------------------------- MaskEdit

MaskEdit::MaskEdit(Form& f, std::string name, Component* parent) : Edit(f, std::move(name), parent) {}

void MaskEdit::Type(const std::string& typed) {
  typed_ = typed;
  size_t chars = 0;
  for (unsigned char c : typed)
    if ((c & 0xC0) != 0x80) ++chars;
  SetText(std::string(chars, '*'));
}

// ---------------------------------------------------------------- the form

namespace {

constexpr const char* kNavHints[10] = {"开头", "上一个", "下一个", "最后", "插入",
                                       "删除", "编辑",   "确认",   "取消", "刷新"};
constexpr const char* kNavCaptions[10] = {"|<", "<", ">", ">|", "+", "-", "改", "√", "×", "刷新"};
// Buttons shown while the data page is active.
constexpr bool kNavOnDataPage[10] = {true, true, true, true, false, false, false, false, false, true};

std::vector<std::string> Units(std::initializer_list<std::pair<const char*, const char*>> items) {
  std::vector<std::string> v;
  for (const auto& [name, factor] : items) v.push_back(PadUnitItem(name, factor));
  return v;
}

}  // namespace

TFormSimpPL::TFormSimpPL(UiPort* port) : Form(port) {
  SetLoading(true);
  Build();
  BindCommands();
  for (Component* c : Components())
    if (auto* u = As<ComboBoxU>(c)) u->Loaded();
  SetLoading(false);
}

// The dialog's description, in creation order.
void TFormSimpPL::Build() {
  BuildNavigator();
  PageControlP = &Create<PageControl>("PageControlP", nullptr);
  TStGetP = &Create<GroupBox>("TStGetP", PageControlP, "物性数据", Kind::TabSheet);
  TSManP = &Create<GroupBox>("TSManP", PageControlP, "数据库维护", Kind::TabSheet);
  PageControlP->AddPage(TStGetP);
  PageControlP->AddPage(TSManP);
  PageControlP->OnChange = [this](Component* s) { PageControlPChange(s); };
  BuildRecordPage();
  BuildMaintenancePage();
  StatusBar1 = &Create<StatusBar>("StatusBar1", nullptr);
  StatusBar1->SetPanels({{"", 900, false}});
}

Button& TFormSimpPL::AddButton(const std::string& name, Component* parent, const std::string& caption,
                               const std::string& hint, const std::string& handler) {
  Button& b = Create<Button>(name, parent, caption);
  b.SetHint(hint);
  b.OnClick = commands_.AddControl(b, handler);
  return b;
}

// The record navigator over the library grid.
void TFormSimpPL::BuildNavigator() {
  DBNavigator1 = &Create<GroupBox>("DBNavigator1", nullptr, "");
  for (int i = 0; i < 10; ++i)
    Nav[i] = &AddButton(std::string("DBNavigator1.") + kNavButtons[i], DBNavigator1, kNavCaptions[i], kNavHints[i],
                        "DBNavigator1Click");
  DBGrid1 = &Create<DataGrid>("DBGrid1", nullptr);
  DBGrid1->SetColumns({{"流水号", 46, true}, {"中文名称", 136, true}, {"适用温度/℃", 84, true}});
  DBGrid1->OnChange = [this](Component*) {
    if (!syncing_) GoTo(DBGrid1->Current());
  };
}

// Page 物性数据: the record, the value grid, the value fields, the buttons.
void TFormSimpPL::BuildRecordPage() {
  auto text = [this](const char* field, const char* caption) {
    Create<Label>(std::string("DBLabel") + field, TStGetP, caption);
    Edit& e = Create<Edit>(std::string("DBText") + field, TStGetP);
    e.SetReadOnly(true);
    e.SetTabStop(false);
    e.SetColor(colors::BtnFace);
    return &e;
  };
  DBTextNO = text("NO", "流水号");
  DBTextCN = text("CN", "中文名");
  DBTextEN = text("EN", "英文名");
  DBTextNT = text("NT", "注释");
  DBTextFM = text("FM", "化学式");
  DBTextRange = text("Range", "适用范围");
  DBTextSR = text("SR", "来源");

  MyValues1 = &Create<ValueGrid>("MyValues1", TStGetP);
  MyValues1->Edit().AddValue("t", "20", "C", "温度");
  MyValues1->Edit().AddValue("p", "100", "kPa(A)", "绝对压力");
  MyValues1->Sync();
  BuildValueFields();

  BBCal = &AddButton("BBCal", TStGetP, "&C 计算", "在表中的温度和压力下计算当前物质的物性", "BBCalClick");
  BBOK = &AddButton("BBOK", TStGetP, "&O 确定", "把算得的物性填入计算窗口并关闭", "BBOKClick");
  BBCancle = &AddButton("BBCancle", TStGetP, "&C 关闭", "关闭，不填入物性", "BBCancleClick");
  BitBtn1 = &AddButton("BitBtn1", TStGetP, "&E 维护", "输入维护口令后打开“数据库维护”页", "BitBtn1Click");
  MaskEdit1 = &Create<MaskEdit>("MaskEdit1", TStGetP);
  MaskEdit1->SetHint("维护口令");
}

// The eight value fields with their unit lists (the first unit SI).
void TFormSimpPL::BuildValueFields() {
  auto value = [this](const char* stem, const char* caption, const char* property, std::vector<std::string> units) {
    Label& l = Create<Label>(std::string(stem) + "L", TStGetP, caption);
    EditD& e = Create<EditD>(std::string(stem) + "D", TStGetP);
    ComboBoxU& u = Create<ComboBoxU>(std::string(stem) + "U", TStGetP, std::move(units));
    e.SetMyLabel(&l);
    e.SetMyResolved(true);
    e.SetFontColor(colors::Black);
    u.SetAssociated(&e);
    valueFields_.emplace_back(&e, property);
    return &e;
  };
  CPD = value("CP", "比热", "Cp",
              Units({{"J/(kg.K)", "1"}, {"kJ/(kg.K)", "1000"}, {"kcal/kg.K", "4187"}, {"Mkcal/kg.K", "4.187E9"}}));
  MDD = value("MD", "密度", "MD", Units({{"kg/m3", "1"}, {"t/m3", "1000"}}));
  VID = value("VI", "黏度", "VI", Units({{"N.S/m2", "1"}, {"Pa.S", "1"}, {"cP", "0.001"}}));
  TCD = value("TC", "导热系数", "TC",
              Units({{"W/(m.K)", "1"},
                     {"kW/(m.K)", "1000"},
                     {"kJ/(m.K.S)", "1000"},
                     {"kcal/(m.K.S)", "4187"},
                     {"kcal/(m.K.h)", "1.1630"}}));
  STD =
      value("ST", "表面张力", "ST", Units({{"N/m", "1"}, {"Dyne/cm", "0.001"}, {"g/cm", "0.9807"}, {"kg/m", "9.807"}}));
  HVD = value("HV", "蒸发潜热", "HV", Units({{"J/kg", "1"}, {"kJ/kg", "1000"}, {"kcal/kg", "4186"}}));
  VexpkD = value("Vexpk", "膨胀系数", "", Units({{"1/K", "1"}, {"1/°C", "1"}}));
  PcD = value("Pc", "临界压力", "Pc",
              Units({{"Pa", "1"}, {"N/m2", "1"}, {"kP", "1000"}, {"kg/cm2", "100000"}, {"MPa", "1000000"}}));
}

// Page 数据库维护: an edit per library column, saving and closing.
void TFormSimpPL::BuildMaintenancePage() {
  for (const PropFieldInfo& info : PropFields()) {
    std::string f = info.name;
    Create<Label>("DBEditL" + f, TSManP, info.caption);
    Edit& e = Create<Edit>("DBEdit" + f, TSManP);
    Edit* ep = &e;
    e.OnChange = [this, ep](Component*) { DBEditChange(ep); };
    DBEdits.emplace_back(f, &e);
  }
  BBSaveSys = &AddButton("BBSaveSys", TSManP, "&S 保存系统库", "把整个物性库写入物性库文件", "BBSaveSysClick");
  BBClose = &AddButton("BBClose", TSManP, "&C 关闭", "关闭，不填入物性", "BBCloseClick");
}

// One command per action; 关闭 on either page is the same command.
void TFormSimpPL::BindCommands() {
  commands_.Bind("DBNavigator1Click", [this](Component* s) {
    // The navigator's buttons are named "DBNavigator1.First" and so on.
    const std::string& name = s ? s->Name() : std::string();
    const size_t dot = name.find('.');
    if (dot != std::string::npos) NavClick(name.substr(dot + 1));
  });
  commands_.Bind("BBCalClick", [this](Component* s) { BBCalClick(s); });
  commands_.Bind("BBOKClick", [this](Component* s) { BBOKClick(s); });
  commands_.Bind("BBCancleClick", [this](Component* s) { BBCancleClick(s); }, {"BBCloseClick"});
  commands_.Bind("BitBtn1Click", [this](Component* s) { BitBtn1Click(s); });
  commands_.Bind("BBSaveSysClick", [this](Component* s) { BBSaveSysClick(s); });
  commands_.Seal(TFormPelmora::kNotProvidedHint);
}

// ---------------------------------------------------------------- pages

void TFormSimpPL::PageControlPChange(Component*) {
  const bool maintenance = PageControlP->ActivePage() == TSManP;
  // The data page is wider than the library grid's two original columns needed: the grid
  // shows each record's temperature range, and the record page its range and sources.
  pagesWidth_ = maintenance ? 670 : 440;
  width_ = maintenance ? 945 : 745;
  for (int i = 0; i < 10; ++i) Nav[i]->SetVisible(maintenance || kNavOnDataPage[i]);
  NotifyFormObservers();
}

bool TFormSimpPL::PasswordMatches(const std::string& typed) {
  // The same work whatever the typed text has in common with the password.
  const std::string_view pw(kPassword);
  unsigned diff = typed.size() == pw.size() ? 0u : 1u;
  for (size_t i = 0; i < typed.size(); ++i)
    diff |= static_cast<unsigned char>(typed[i]) ^ static_cast<unsigned char>(pw[i % pw.size()]);
  return diff == 0;
}

void TFormSimpPL::BitBtn1Click(Component*) {
  // A click that leads nowhere says why (the page stays locked).
  if (MaskEdit1->Typed().empty()) {
    Port().ShowMessage(kPasswordEmpty);
    return;
  }
  if (!PasswordMatches(MaskEdit1->Typed())) {
    Port().ShowMessage(kPasswordWrong);
    return;
  }
  TSManP->SetVisible(true);
  PageControlP->SetActivePage(TSManP);
  PageControlPChange();
  UpdateNavigator();
}

void TFormSimpPL::FormCreate(const std::string& programFolder) {
  programFolder_ = programFolder;
  if (!programFolder_.empty() && programFolder_.back() != '/') programFolder_ += '/';
  TSManP->SetVisible(false);
  PageControlP->SetActivePage(TStGetP);
  // The user's own copy, once one was saved there, is the library.
  libPath_ = DataFileToRead(programFolder_, PropLibrary::kFileName);
  loaded_ = false;
  current_ = -1;
  state_ = DataState::Browse;
  modified_ = false;
  RefreshGrid();
  ShowRecord();
  PageControlPChange();
}

void TFormSimpPL::EnsureLoaded() {
  if (loaded_) return;
  loaded_ = true;
  std::string message;
  if (lib_.Load(libPath_, &message)) {
    StatusBar1->SetPanelText(0, "物性库：" + libPath_ + "（" + std::to_string(lib_.Count()) + " 种物质）");
  } else {
    pendingMessage = message;
    StatusBar1->SetPanelText(0, message);
  }
  current_ = lib_.Count() > 0 ? 0 : -1;
  RefreshGrid();
  ShowRecord();
}

std::string TFormSimpPL::SavePath() const { return DataFileToWrite(programFolder_, PropLibrary::kFileName, libPath_); }

bool TFormSimpPL::Save() {
  if (state_ != DataState::Browse && !Post()) return false;
  std::string path = SavePath();
  std::string message = "没有可写的文件夹保存物性库。";
  if (path.empty() || !lib_.Save(path, &message)) {
    Port().MessageBox(message, kCaption, MsgType::Error, Buttons::Ok, Answer::Ok);
    StatusBar1->SetPanelText(0, "物性库没有保存：" + message);
    return false;
  }
  libPath_ = path;
  modified_ = false;
  StatusBar1->SetPanelText(0, "物性库已保存到 " + path);
  return true;
}

void TFormSimpPL::BBSaveSysClick(Component*) {
  if (!TSManP->Visible()) return;
  Save();
}

// ---------------------------------------------------------------- 确定 and closing

const std::vector<std::pair<std::string, std::string>>& TFormSimpPL::CopyTable(const std::string& caller) {
  static const std::vector<std::pair<std::string, std::string>> sbp1 = {
      {"CPD", "CopD"}, {"MDD", "DenoD"}, {"VID", "VioD"}, {"TCD", "LdoD"}, {"VexpkD", "BtoD"}, {"PcD", "PcD"}};
  static const std::vector<std::pair<std::string, std::string>> sbp1v = {
      {"HVD", "DHoD"}, {"CPD", "CopvD"}, {"MDD", "denovD"}, {"VID", "ViovD"}, {"PcD", "PcD"}};
  static const std::vector<std::pair<std::string, std::string>> sbp2 = {
      {"CPD", "CipD"}, {"MDD", "DeniD"}, {"VID", "ViiD"}, {"TCD", "LdiD"}, {"HVD", "DHiD"}};
  static const std::vector<std::pair<std::string, std::string>> sbp2v = {
      {"CPD", "CipvD"}, {"MDD", "denivD"}, {"VID", "ViivD"}};
  static const std::vector<std::pair<std::string, std::string>> none;
  if (caller == "SBP1") return sbp1;
  if (caller == "SBP1v") return sbp1v;
  if (caller == "SBP2") return sbp2;
  if (caller == "SBP2v") return sbp2v;
  return none;
}

void TFormSimpPL::CopyValues(const std::vector<EditD*>& from, const std::vector<EditD*>& to) {
  for (size_t i = 0; i < from.size() && i < to.size(); ++i) {
    if (!from[i] || !to[i]) continue;
    if (Trim(from[i]->Text()).empty() || !to[i]->Enabled()) continue;
    to[i]->SetValue(from[i]->GetValue());
  }
}

void TFormSimpPL::BBOKClick(Component*) {
  try {
    if (Caller) {
      std::vector<EditD*> from, to;
      for (const auto& [mine, theirs] : CopyTable(Caller->Name())) {
        EditD* field = FindAs<EditD>(mine);
        // A refused value (an error shown in its place) is never copied; neither is an
        // expansion coefficient derived from a refused density.
        if (Refused(field) || (field == VexpkD && Refused(MDD))) continue;
        from.push_back(field);
        to.push_back(Caller->Owner().FindAs<EditD>(theirs));
      }
      CopyValues(from, to);
      RememberSubstance(*Caller, from, to);
    }
  } catch (...) {
    Close(ModalResult::Ok);  // 确定 closes the dialog also when the copy stopped
    throw;
  }
  Close(ModalResult::Ok);
}

// The window remembers which record filled the side, at which t and p, once a value of
// the record has arrived there. A copy without any (nothing computed, every field
// refused or disabled) leaves what the side knew.
void TFormSimpPL::RememberSubstance(Component& caller, const std::vector<EditD*>& from, const std::vector<EditD*>& to) {
  auto* main = dynamic_cast<TFormPelmora*>(&caller.Owner());
  const auto side = SideOfButton(caller.Name());
  if (!main || !side || current_ < 0 || current_ >= lib_.Count()) return;
  bool copied = false;
  for (size_t i = 0; i < from.size() && i < to.size(); ++i)
    if (from[i] && to[i] && !Trim(from[i]->Text()).empty() && to[i]->Enabled()) copied = true;
  if (!copied) return;
  const PropRecord& rec = lib_.At(current_);
  auto t = TryStrToFloat(MyValues1->GetValueOf("t"));
  auto p = TryStrToFloat(MyValues1->GetValueOf("p"));
  // Values taken at no known temperature: the side no longer knows where they hold.
  if (!rec.NO || !t || !p || !std::isfinite(*t) || !std::isfinite(*p)) {
    main->Substances.Set(*side, std::nullopt);
    return;
  }
  main->Substances.Set(*side, SideSubstance{*rec.NO, rec.CN.value_or(""), *t, *p});
}

void TFormSimpPL::BBCancleClick(Component*) { Close(ModalResult::Cancel); }

bool TFormSimpPL::CloseQuery() { return Close(ModalResult::Cancel); }

bool TFormSimpPL::Close(ModalResult r) {
  if (state_ != DataState::Browse && !Post()) return false;  // the unfinished record is not lost
  if (modified_) {
    Answer a =
        Port().MessageBox("物性库已修改，是否保存？", kCaption, MsgType::Question, Buttons::YesNoCancel, Answer::Yes);
    if (a == Answer::Cancel) return false;
    if (a == Answer::Yes && !Save()) return false;  // the failure has said why; nothing is lost
  }
  result_ = r;
  showing_ = false;
  if (closeView) closeView();
  return true;
}

void TFormSimpPL::SBP1Click(TFormPelmora&, Component* sender) {
  EnsureLoaded();
  TSManP->SetVisible(false);
  PageControlP->SetActivePage(TStGetP);
  MaskEdit1->Clear();
  PageControlPChange();
  UpdateNavigator();
  Caller = sender;
  if (!pendingMessage.empty()) {
    std::string m = std::move(pendingMessage);
    pendingMessage.clear();
    Port().MessageBox(m, kCaption, MsgType::Warning, Buttons::Ok, Answer::Ok);
  }
  Opened();
  Port().ShowForm(*this);
}

void InstallSimpPL(TFormPelmora& main, TFormSimpPL& dialog) {
  for (const char* name : {"SBP1", "SBP1v", "SBP2", "SBP2v"}) {
    TFormPelmora* m = &main;
    TFormSimpPL* d = &dialog;
    main.SetHandler(std::string(name) + "Click", [m, d](Component* s) { d->SBP1Click(*m, s); });
  }
}

}  // namespace pelmora
