// The quantities of the window's value fields with their unit lists, and the pick lists of
// wall materials and insulations.
#include "fields/Catalogue.h"

#include <map>
#include <stdexcept>

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

}  // namespace

const QuantityDef& QuantityOf(const std::string& stem) {
  for (const auto& q : kQuantities)
    if (stem == q.stem) return q;
  throw std::logic_error("no quantity " + stem);
}

namespace {

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

const std::vector<std::string>& WallMaterials() { return kWallMaterials; }
const std::vector<std::string>& Insulations() { return kInsulation; }

}  // namespace pelmora
