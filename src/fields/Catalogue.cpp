// The window's description: its menu, tool bar, pages and groups, control by control in
// the order the view shows them and Tab visits them.
#include "fields/Catalogue.h"

#include <array>
#include <set>

#include <stdexcept>

#include "fields/Properties.h"
#include "fields/Text.h"

namespace pelmora {

TFormPelmora::TFormPelmora(UiPort* port) : Form(port) {
  SetLoading(true);
  Build();
  Bind();
  for (ComboBoxU* u : unitSelectors_) u->Loaded();
  SetLoading(false);
}

// ------------------------------------------------------------ the pieces

Label& TFormPelmora::AddLabel(const std::string& name, Component* parent, const std::string& caption) {
  return Create<Label>(name, parent, caption);
}

// A quantity: label, value field, unit selector.
void TFormPelmora::AddQuantity(const std::string& stem, Component* parent, bool pageCalc, const std::string& unitName) {
  const QuantityDef& d = QuantityOf(stem);
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
  AddList("Sm", &outPara, "容器材质", WallMaterials()).OnChange = Handler("MaoDChange");
  AddList("Pm", &outPara, "保温材料", Insulations()).OnChange = Handler("MaoDChange");
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
  std::vector<std::string> tubeMaterials(WallMaterials().begin(), WallMaterials().begin() + 14);
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
