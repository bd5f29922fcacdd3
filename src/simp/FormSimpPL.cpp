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

bool WholeNumber(const std::string& s) {
  if (s.empty()) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}

// "0012" and "12" are the same running number.
std::string WithoutLeadingZeros(const std::string& s) {
  size_t i = s.find_first_not_of('0');
  return i == std::string::npos ? "0" : s.substr(i);
}

}  // namespace

TFormSimpPL::TFormSimpPL(UiPort* port) : Form(port) {
  SetLoading(true);
  Build();
  for (Component* c : Components())
    if (auto* u = As<ComboBoxU>(c)) u->Loaded();
  SetLoading(false);
}

void TFormSimpPL::Build() {
  DBNavigator1 = &Create<GroupBox>("DBNavigator1", nullptr, "");
  for (int i = 0; i < 10; ++i) {
    Button& b = Create<Button>(std::string("DBNavigator1.") + kNavButtons[i], DBNavigator1, kNavCaptions[i]);
    b.SetHint(kNavHints[i]);
    std::string which = kNavButtons[i];
    b.OnClick = [this, which](Component*) { NavClick(which); };
    Nav[i] = &b;
  }
  DBGrid1 = &Create<DataGrid>("DBGrid1", nullptr);
  DBGrid1->SetColumns({{"流水号", 46, true}, {"中文名称", 136, true}, {"适用温度/℃", 84, true}});
  DBGrid1->OnChange = [this](Component*) {
    if (!syncing_) GoTo(DBGrid1->Current());
  };

  PageControlP = &Create<PageControl>("PageControlP", nullptr);
  TStGetP = &Create<GroupBox>("TStGetP", PageControlP, "物性数据", Kind::TabSheet);
  TSManP = &Create<GroupBox>("TSManP", PageControlP, "数据库维护", Kind::TabSheet);
  PageControlP->AddPage(TStGetP);
  PageControlP->AddPage(TSManP);
  PageControlP->OnChange = [this](Component* s) { PageControlPChange(s); };

  // Page 物性数据: the record, the value grid, the value fields, the buttons.
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

  BBCal = &Create<Button>("BBCal", TStGetP, "&C 计算");
  BBCal->SetHint("在表中的温度和压力下计算当前物质的物性");
  BBCal->OnClick = [this](Component* s) { BBCalClick(s); };
  BBOK = &Create<Button>("BBOK", TStGetP, "&O 确定");
  BBOK->SetHint("把算得的物性填入计算窗口并关闭");
  BBOK->OnClick = [this](Component* s) { BBOKClick(s); };
  BBCancle = &Create<Button>("BBCancle", TStGetP, "&C 关闭");
  BBCancle->SetHint("关闭，不填入物性");
  BBCancle->OnClick = [this](Component* s) { BBCancleClick(s); };
  BitBtn1 = &Create<Button>("BitBtn1", TStGetP, "&E 维护");
  BitBtn1->SetHint("输入维护口令后打开“数据库维护”页");
  BitBtn1->OnClick = [this](Component* s) { BitBtn1Click(s); };
  MaskEdit1 = &Create<MaskEdit>("MaskEdit1", TStGetP);
  MaskEdit1->SetHint("维护口令");

  // Page 数据库维护.
  for (const PropFieldInfo& info : PropFields()) {
    std::string f = info.name;
    Create<Label>("DBEditL" + f, TSManP, info.caption);
    Edit& e = Create<Edit>("DBEdit" + f, TSManP);
    Edit* ep = &e;
    e.OnChange = [this, ep](Component*) { DBEditChange(ep); };
    DBEdits.emplace_back(f, &e);
  }
  BBSaveSys = &Create<Button>("BBSaveSys", TSManP, "&S 保存系统库");
  BBSaveSys->SetHint("把整个物性库写入物性库文件");
  BBSaveSys->OnClick = [this](Component* s) { BBSaveSysClick(s); };
  BBClose = &Create<Button>("BBClose", TSManP, "&C 关闭");
  BBClose->SetHint("关闭，不填入物性");
  BBClose->OnClick = [this](Component* s) { BBCancleClick(s); };

  StatusBar1 = &Create<StatusBar>("StatusBar1", nullptr);
  StatusBar1->SetPanels({{"", 900, false}});
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
  std::string user = UserFolder(UserFolderKind::Data, false);
  std::error_code ec;
  if (!user.empty() && std::filesystem::is_regular_file(user + PropLibrary::kFileName, ec))
    libPath_ = user + PropLibrary::kFileName;
  else
    libPath_ = PropLibPath(programFolder_);
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

// ---------------------------------------------------------------- the data set

void TFormSimpPL::RefreshGrid() {
  syncing_ = true;
  std::vector<std::vector<std::string>> rows;
  rows.reserve(lib_.Records().size());
  for (const PropRecord& r : lib_.Records()) {
    const PropRange range = RecordRange(r);
    std::string t;
    if (range.tMin || range.tMax)
      t = (range.tMin ? Format15(*range.tMin) : std::string()) + "~" +
          (range.tMax ? Format15(*range.tMax) : std::string());
    rows.push_back({r.NO.value_or(""), r.CN.value_or(""), t});
  }
  DBGrid1->SetRows(std::move(rows));
  DBGrid1->SetCurrent(current_);
  syncing_ = false;
}

void TFormSimpPL::ShowRecord() {
  syncing_ = true;
  PropRecord empty;
  const PropRecord& r =
      state_ != DataState::Browse ? buffer_ : (current_ >= 0 && current_ < lib_.Count() ? lib_.At(current_) : empty);
  DBTextNO->SetText(r.NO.value_or(""));
  DBTextCN->SetText(r.CN.value_or(""));
  DBTextEN->SetText(r.EN.value_or(""));
  DBTextNT->SetText(r.NT.value_or(""));
  DBTextFM->SetText(r.FM.value_or(""));
  DBTextRange->SetText(RangeText(r) + (r.PB ? (RangeText(r).empty() ? "" : "；") + *r.PB : std::string()));
  DBTextSR->SetText(r.SR.value_or(""));
  for (auto& [field, e] : DBEdits) e->SetText(r.Field(field)->value_or(""));
  syncing_ = false;
  UpdateNavigator();
}

void TFormSimpPL::UpdateNavigator() {
  const bool browse = state_ == DataState::Browse;
  const int n = lib_.Count();
  const bool unlocked = TSManP->Visible();
  const bool enabled[10] = {current_ > 0,
                            current_ > 0,
                            n > 0 && current_<n - 1, n> 0 && current_ < n - 1,
                            unlocked && browse,
                            unlocked && (current_ >= 0 || state_ == DataState::Insert),
                            unlocked && browse && current_ >= 0,
                            unlocked && !browse,
                            unlocked && !browse,
                            browse};
  for (int i = 0; i < 10; ++i) Nav[i]->SetEnabled(enabled[i]);
  for (auto& [field, e] : DBEdits) e->SetReadOnly(!unlocked);
}

void TFormSimpPL::DBEditChange(Edit* e) {
  if (syncing_) return;
  if (!TSManP->Visible()) {
    ShowRecord();  // the locked page takes no typing
    return;
  }
  const std::string text = e->Text();
  if (state_ == DataState::Browse) {
    if (current_ < 0) {
      buffer_ = PropRecord{};
      state_ = DataState::Insert;
    } else {
      buffer_ = lib_.At(current_);
      state_ = DataState::Edit;
    }
  }
  for (auto& [field, edit] : DBEdits)
    if (edit == e) *buffer_.Field(field) = text.empty() ? std::nullopt : std::optional<std::string>(text);
  UpdateNavigator();
}

void TFormSimpPL::StartEdit() {
  if (state_ != DataState::Browse || current_ < 0) return;
  buffer_ = lib_.At(current_);
  state_ = DataState::Edit;
  ShowRecord();
}

void TFormSimpPL::Insert() {
  if (state_ != DataState::Browse && !Post()) return;
  buffer_ = PropRecord{};
  // The next free running number, four digits as the shipped records have them.
  long long next = 1;
  for (const PropRecord& r : lib_.Records())
    if (r.NO && WholeNumber(*r.NO) && r.NO->size() <= 6) next = std::max(next, std::stoll(*r.NO) + 1);
  std::string no = std::to_string(next);
  if (no.size() < 4) no.insert(0, 4 - no.size(), '0');
  if (no.size() <= 6) buffer_.NO = no;
  state_ = DataState::Insert;
  ShowRecord();
}

bool TFormSimpPL::Post() {
  if (state_ == DataState::Browse) return true;
  auto refuse = [this](const std::string& text) {
    Port().MessageBox(text, kCaption, MsgType::Warning, Buttons::Ok, Answer::Ok);
    return false;
  };
  std::string no = TrimStr(buffer_.NO.value_or(""));
  if (!WholeNumber(no)) return refuse("流水号必须是整数：“" + no + "”。");
  buffer_.NO = no;
  const int self = state_ == DataState::Edit ? current_ : -1;
  for (int i = 0; i < lib_.Count(); ++i) {
    const auto& other = lib_.At(i).NO;
    if (i != self && other && WholeNumber(TrimStr(*other)) &&
        WithoutLeadingZeros(TrimStr(*other)) == WithoutLeadingZeros(no))
      return refuse("流水号 " + no + " 已经存在（" + lib_.At(i).CN.value_or("") + "）。");
  }
  std::string message;
  int index = state_ == DataState::Insert ? lib_.Insert(buffer_, &message) : lib_.Update(current_, buffer_, &message);
  if (index < 0) return refuse(message);
  current_ = index;
  state_ = DataState::Browse;
  modified_ = true;
  StatusBar1->SetPanelText(0, "物性库已修改，尚未保存。");
  RefreshGrid();
  ShowRecord();
  return true;
}

void TFormSimpPL::Cancel() {
  if (state_ == DataState::Browse) return;
  state_ = DataState::Browse;
  buffer_ = PropRecord{};
  RefreshGrid();
  ShowRecord();
}

void TFormSimpPL::Delete() {
  if (state_ == DataState::Insert) {
    Cancel();
    return;
  }
  if (current_ < 0) return;
  const PropRecord& r = lib_.At(current_);
  std::string q = "确定删除记录" + r.NO.value_or("") + " " + r.CN.value_or("") + "？";
  if (Port().MessageBox(q, kCaption, MsgType::Question, Buttons::YesNo, Answer::No) != Answer::Yes) return;
  state_ = DataState::Browse;
  lib_.Remove(current_);
  if (current_ >= lib_.Count()) current_ = lib_.Count() - 1;
  modified_ = true;
  StatusBar1->SetPanelText(0, "物性库已修改，尚未保存。");
  RefreshGrid();
  ShowRecord();
}

void TFormSimpPL::GoTo(int index) {
  if (lib_.Count() == 0) return;
  if (index < 0) index = 0;
  if (index >= lib_.Count()) index = lib_.Count() - 1;
  if (state_ != DataState::Browse && !Post()) {
    RefreshGrid();  // the row stays where the unfinished record is
    return;
  }
  current_ = index;
  RefreshGrid();
  ShowRecord();
}

bool TFormSimpPL::LocateNO(const std::string& no) {
  int i = lib_.Find(no);
  if (i < 0) {
    for (int k = 0; k < lib_.Count() && i < 0; ++k) {
      const auto& n = lib_.At(k).NO;
      if (n && WholeNumber(no) && WholeNumber(*n) && WithoutLeadingZeros(*n) == WithoutLeadingZeros(no)) i = k;
    }
  }
  if (i < 0) return false;
  GoTo(i);
  return current_ == i;
}

void TFormSimpPL::NavClick(const std::string& b) {
  const bool unlocked = TSManP->Visible();
  if (b == "First")
    GoTo(0);
  else if (b == "Prior")
    GoTo(current_ - 1);
  else if (b == "Next")
    GoTo(current_ + 1);
  else if (b == "Last")
    GoTo(lib_.Count() - 1);
  else if (b == "Refresh") {
    if (state_ == DataState::Browse) {
      RefreshGrid();
      ShowRecord();
    }
  } else if (!unlocked) {
    return;  // editing needs the maintenance page
  } else if (b == "Insert")
    Insert();
  else if (b == "Delete")
    Delete();
  else if (b == "Edit")
    StartEdit();
  else if (b == "Post")
    Post();
  else if (b == "Cancel")
    Cancel();
}

std::string TFormSimpPL::SavePath() const {
  std::string user = UserFolder(UserFolderKind::Data, false);
  if (!user.empty() && libPath_ == user + PropLibrary::kFileName) return libPath_;
  if (FolderWritable(programFolder_.empty() ? "./" : programFolder_)) return PropLibPath(programFolder_);
  user = UserFolder(UserFolderKind::Data, true);
  return user.empty() ? std::string() : user + PropLibrary::kFileName;
}

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
