#include "select/Selection.h"

#include <algorithm>
#include <cmath>

#include "fields/DurableFile.h"
#include "fields/Errors.h"
#include "fields/NumberFormat.h"
#include "fields/Text.h"

namespace pelmora {

namespace {

std::string MmText(const std::optional<double>& v) { return v ? Format15(*v) : std::string(); }

// The standard with what the tube is: "GB/T 8163 碳钢无缝钢管".
std::string StandardName(const std::string& standard) {
  static const std::pair<const char*, const char*> kinds[] = {
      {"GB/T 8163", "碳钢无缝钢管"},    {"GB/T 17395", "碳钢无缝钢管"}, {"GB/T 14976", "不锈钢无缝钢管"},
      {"GB/T 12771", "不锈钢焊接钢管"}, {"GB/T 1527", "拉制铜管"},      {"GB/T 6479-2013", "高压化肥设备用无缝钢管"}};
  for (const auto& [name, kind] : kinds)
    if (standard == name) return standard + " " + kind;
  return standard;
}

double CheckedNumber(const std::string& text) {
  double v = StrToFloat(text);
  if (!std::isfinite(v)) throw ConversionError("'" + TrimStr(text) + "' is not a valid floating point value");
  return v;
}

}  // namespace

Selection::Selection(TFormPelmora& form) : f_(form) {
  f_.SetHandler("SBP3Click", [this](Component* s) { SBP3Click(s); });
  f_.SetHandler("SBDLTClick", [this](Component* s) { SBDLTClick(s); });
  // The commands over the catalogue read it first, should it not have been read yet.
  auto withCatalogue = [this](void (Selection::*command)(Component*)) {
    return [this, command](Component* s) {
      EnsureCatalogue();
      (this->*command)(s);
    };
  };
  f_.SetHandler("SBP11Click", withCatalogue(&Selection::SBP11Click));
  f_.SetHandler("SBDiClick", withCatalogue(&Selection::SBDiClick));
  f_.SetHandler("Button3Click", withCatalogue(&Selection::Button3Click));
  f_.SetHandler("Button2Click", withCatalogue(&Selection::Button2Click));
  f_.SetHandler("BPipeAddClick", withCatalogue(&Selection::BPipeAddClick));
  f_.SetHandler("BPipeDelClick", withCatalogue(&Selection::BPipeDelClick));

  // The numbers keep a column wide enough for them; the standard takes the rest of the page.
  f_.DBGPiples->SetColumns({{"序号", 46, true},
                            {"管子规格", 79, true},
                            {"外径/mm", 80, false},
                            {"内径/mm", 80, false},
                            {"壁厚/mm", 80, false},
                            {"标准", 0, true}});
  f_.Button3->SetHint("把当前行的管子规格填入管外径和管内径");
  f_.Button2->SetHint("按规格重新计算每一行的外径和内径");
  BPipeAdd = &f_.Create<Button>("BPipeAdd", f_.TabSheet3, "添加");
  BPipeAdd->SetHint("输入自定的管子规格（外径×壁厚），加入管道系列并保存");
  BPipeAdd->OnClick = f_.AddCommand(*BPipeAdd, "BPipeAddClick");
  BPipeDel = &f_.Create<Button>("BPipeDel", f_.TabSheet3, "删除");
  BPipeDel->SetHint("删除当前行（只能删除自己添加的规格）");
  BPipeDel->OnClick = f_.AddCommand(*BPipeDel, "BPipeDelClick");
}

void Selection::OpenCatalogue() {
  catalogPath = DataFileToRead(f_.ProgramFolder, PipeCatalogue::kFileName);
  std::string message;
  if (!catalogue.Load(catalogPath, &message))
    f_.Port().MessageBox(message, "管道数据库", MsgType::Warning, Buttons::Ok, Answer::Ok);
  RefreshGrid();
}

void Selection::RefreshGrid() {
  order_ = DisplayOrder(catalogue.pipes);
  std::vector<std::vector<std::string>> rows;
  rows.reserve(catalogue.pipes.size());
  for (size_t i : order_) {
    const PipeRow& r = catalogue.pipes[i];
    std::string wall;
    if (r.Do && r.Di) wall = Format15(std::round((*r.Do - *r.Di) / 2 * 1000) / 1000);
    rows.push_back({std::to_string(r.id), r.dn, MmText(r.Do), MmText(r.Di), wall,
                    r.own ? std::string("自定规格") : StandardName(r.standard)});
  }
  f_.DBGPiples->SetRows(std::move(rows));
}

int Selection::PipeAt(int row) const {
  if (row < 0 || row >= static_cast<int>(order_.size())) return -1;
  return static_cast<int>(order_[static_cast<size_t>(row)]);
}

int Selection::RowOf(size_t pipe) const {
  for (size_t r = 0; r < order_.size(); ++r)
    if (order_[r] == pipe) return static_cast<int>(r);
  return -1;
}

std::string Selection::SavePath() const {
  return DataFileToWrite(f_.ProgramFolder, PipeCatalogue::kFileName, catalogPath);
}

bool Selection::Store(PipeCatalogue changed) {
  std::string path = SavePath();
  std::string message = "没有可写的文件夹保存管道数据库。";
  if (path.empty() || !changed.Save(path, &message)) {
    f_.Port().MessageBox(message, "管道数据库", MsgType::Error, Buttons::Ok, Answer::Ok);
    return false;
  }
  catalogue = std::move(changed);
  catalogPath = path;
  return true;
}

void Selection::SBP3Click(Component*) {
  auto answer =
      PickFromList(f_.Port(), PitchValues(), PitchNames(), "螺距和外管径之比", "螺距选择", f_.DspD->Text(), "-");
  if (answer) f_.DspD->SetText(*answer);
}

void Selection::SBDLTClick(Component*) {
  std::string current;
  if (!Trim(f_.EiD->Text()).empty()) current = FormatFixed(f_.EiD->GetValue() * 1000, 2);
  auto answer =
      PickFromList(f_.Port(), RoughnessValues(), RoughnessNames(), "绝对粗糟度", "管道绝对粗糟度选择", current, "mm");
  // A cancelled list writes nothing (the shown value would come back rounded to 0.01 mm).
  if (!answer || Trim(*answer).empty()) return;
  f_.EiD->SetValue(CheckedNumber(*answer) / 1000);
}

void Selection::ExpandList(std::vector<std::string>& values, std::vector<std::string>& names) const {
  values.clear();
  names.clear();
  for (const ExpandRow& r : catalogue.expands) {
    if (!r.ec) continue;
    double v = *r.ec * 1E-4;
    if (!std::isfinite(v)) continue;
    values.push_back(Format15(v));
    names.push_back(r.dn + kCatalogueTemperature);
  }
}

void Selection::SBP11Click(Component*) {
  std::vector<std::string> values, names;
  ExpandList(values, names);
  if (firstExpansion)
    if (auto first = firstExpansion()) {
      values.insert(values.begin(), first->first);
      names.insert(names.begin(), first->second);
    }
  auto answer = PickFromList(f_.Port(), values, names, "膨胀系数", "液体膨胀系数选择", f_.BtoD->Text(), "1/K");
  // A cancelled list writes nothing; nor does an empty answer.
  if (!answer || Trim(*answer).empty()) return;
  f_.BtoD->SetValue(CheckedNumber(*answer));
}

void Selection::SBDiClick(Component*) { f_.PageControl1->SetActivePage(f_.TabSheet3); }

void Selection::Button3Click(Component*) {
  const int row = PipeAt(f_.DBGPiples->Current());
  if (row < 0 || row >= static_cast<int>(catalogue.pipes.size())) {
    f_.Port().MessageBox("管道系列为空，没有可选的管子。", "管道系列", MsgType::Warning, Buttons::Ok, Answer::Ok);
    return;
  }
  const PipeRow& r = catalogue.pipes[static_cast<size_t>(row)];
  TubeSize t = ParseTubeSize(r.dn);
  if (!(t.wall > 0) || !(t.outer > 2 * t.wall)) {
    f_.Port().MessageBox("管子规格“" + r.dn + "”不成立：外径必须大于两倍壁厚，壁厚必须大于0。", "管道系列",
                         MsgType::Warning, Buttons::Ok, Answer::Ok);
    return;
  }
  f_.dioD->SetValue(t.outer / 1000);
  f_.diiD->SetValue(t.outer / 1000 - 2 * t.wall / 1000);
  f_.PageControl1->SetActivePage(f_.TabSheet2);
}

void Selection::Button2Click(Component*) {
  if (catalogue.pipes.empty()) {
    f_.Port().MessageBox("管道系列为空，没有需要维护的行。", "管道系列", MsgType::Information, Buttons::Ok, Answer::Ok);
    return;
  }
  PipeCatalogue changed = catalogue;
  for (PipeRow& r : changed.pipes) {
    try {
      TubeSize t = ParseTubeSize(r.dn);
      r.Do = t.outer;
      r.Di = t.outer - 2 * t.wall;
    } catch (const ConversionError& e) {
      // Nothing is changed when any row is faulty.
      f_.Port().MessageBox("序号 " + std::to_string(r.id) + " 的管子规格“" + r.dn + "”不是“外径×壁厚”的形式（" +
                               e.what() + "），维护未作任何修改。",
                           "管道系列", MsgType::Error, Buttons::Ok, Answer::Ok);
      return;
    }
  }
  if (!Store(std::move(changed))) return;
  RefreshGrid();
  f_.DBGPiples->SetCurrent(static_cast<int>(catalogue.pipes.size()) - 1);
}

void Selection::BPipeAddClick(Component*) {
  // The size is typed into the pick list's input field; the rows show the own sizes so far.
  std::vector<std::string> values, names;
  for (const PipeRow& r : catalogue.pipes)
    if (r.own) values.push_back(r.dn), names.push_back("自定规格");
  auto typed =
      PickFromList(f_.Port(), values, names, "管子规格：外径×壁厚（毫米），例如 25×2.5", "添加管子规格", "", "mm");
  if (!typed || Trim(*typed).empty()) return;
  std::string message;
  auto dn = NormalizeOwnSize(*typed, &message);
  if (!dn) {
    f_.Port().MessageBox(message, "管道系列", MsgType::Warning, Buttons::Ok, Answer::Ok);
    return;
  }
  for (size_t i = 0; i < catalogue.pipes.size(); ++i) {
    if (catalogue.pipes[i].dn == *dn) {
      f_.DBGPiples->SetCurrent(RowOf(i));
      f_.Port().MessageBox(
          "管子规格“" + *dn + "”已在管道系列中（序号 " + std::to_string(catalogue.pipes[i].id) + "）。", "管道系列",
          MsgType::Information, Buttons::Ok, Answer::Ok);
      return;
    }
  }
  PipeCatalogue changed = catalogue;
  int id = 0;
  for (const PipeRow& r : changed.pipes) id = std::max(id, r.id);
  TubeSize t = ParseTubeSize(*dn);
  changed.pipes.push_back({id + 1, *dn, t.outer, t.outer - 2 * t.wall, true, ""});
  if (!Store(std::move(changed))) return;
  RefreshGrid();
  f_.DBGPiples->SetCurrent(RowOf(catalogue.pipes.size() - 1));
}

void Selection::BPipeDelClick(Component*) {
  const int row = PipeAt(f_.DBGPiples->Current());
  if (row < 0 || row >= static_cast<int>(catalogue.pipes.size())) {
    f_.Port().MessageBox("管道系列为空，没有可删除的行。", "管道系列", MsgType::Information, Buttons::Ok, Answer::Ok);
    return;
  }
  const PipeRow& r = catalogue.pipes[static_cast<size_t>(row)];
  if (!r.own) {
    f_.Port().MessageBox(
        "序号 " + std::to_string(r.id) + " 的“" + r.dn + "”是随程序提供的规格，不能删除；只能删除自己添加的规格。",
        "管道系列", MsgType::Warning, Buttons::Ok, Answer::Ok);
    return;
  }
  PipeCatalogue changed = catalogue;
  changed.pipes.erase(changed.pipes.begin() + row);
  if (!Store(std::move(changed))) return;
  RefreshGrid();
}

}  // namespace pelmora
