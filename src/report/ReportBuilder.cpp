#include "report/ReportBuilder.h"

#include <cmath>

#include "fields/ModeEnums.h"
#include "fields/NumberFormat.h"
#include "fields/Properties.h"
#include "fields/Text.h"

namespace pelmora {

namespace {

constexpr const char* kIndent = "        ";  // eight blanks before every row

std::string Fixed4(const std::string& text) {
  std::optional<double> x = ParseDecimal(Trim(text));
  if (!x || !std::isfinite(*x)) return text;
  return FormatFixed(*x, 4);
}

}  // namespace

std::string NumberColumn(const std::string& text) { return Fixed4(text); }

std::string NumberRowText(const std::string& label, const std::string& value, const std::string& unit) {
  return kIndent + PadRight(label, 20) + PadRight(NumberColumn(value), 16) + PadRight(unit, 20);
}

std::string TextRowText(const std::string& label, const std::string& text, const std::string& unit) {
  return kIndent + PadRight(label, 20) + PadRight(text, 20) + PadRight(unit, 20);
}

std::string FixedRowText(const std::string& caption, const std::string& text) {
  return kIndent + PadRight(caption, 20) + PadRight(text, 20);
}

ReportBuilder::ReportBuilder(const TFormPelmora& form) : f_(form) {
  rowFont_ = form.RichEditReport->defaultFont;
  rowFont_.text.clear();
}

const Component* ReportBuilder::Field(const std::string& name) const {
  const Component* c = f_.Find(name);
  return c && c->Enabled() ? c : nullptr;
}

std::string ReportBuilder::LabelOf(const std::string& name) const {
  const auto* l = f_.FindAs<Label>(name.substr(0, name.size() - 1) + "L");
  return l ? l->Caption() : std::string();
}

std::string ReportBuilder::UnitOf(const std::string& name) const {
  const auto* u = f_.FindAs<ComboBox>(name.substr(0, name.size() - 1) + "U");
  if (!u) return std::string(20, ' ');
  // Unit entries are the name padded with blanks, a bar and the factor.
  return GbkPrefix(u->Text(), 20);
}

std::string ReportBuilder::TextOf(const Component* c) const {
  if (!c) return std::string();
  const auto& text = Describe(c->GetKind()).text;
  return text ? text(*c) : std::string();
}

void ReportBuilder::Line(const std::string& text, double points, bool bold) {
  RichRun r;
  r.text = text;
  r.fontName = "宋体";
  r.pointSize = points;
  r.bold = bold;
  r.color = colors::Black;
  paragraphs_.push_back({r});
}

void ReportBuilder::Plain(const std::string& text) {
  RichRun r = rowFont_;
  r.text = text;
  paragraphs_.push_back({r});
}

void ReportBuilder::EmptyLine() { Plain(std::string()); }

void ReportBuilder::Heading(const std::string& heading) { Line(heading, 11, true); }

void ReportBuilder::NumberRow(const std::string& name) {
  if (const Component* c = Field(name)) Plain(NumberRowText(LabelOf(name), TextOf(c), UnitOf(name)));
}

void ReportBuilder::TextRow(const std::string& name) {
  if (const Component* c = Field(name)) Plain(TextRowText(LabelOf(name), TextOf(c), UnitOf(name)));
}

void ReportBuilder::CutRow(const std::string& name) {
  const Component* c = Field(name);
  if (!c) return;
  std::string text = TextOf(c);
  size_t bar = text.find('|');
  text = bar == std::string::npos ? std::string() : TrimStr(std::string_view(text).substr(0, bar));
  Plain(TextRowText(LabelOf(name), text, UnitOf(name)));
}

void ReportBuilder::FixedRow(const std::string& caption, const std::string& text) {
  Plain(FixedRowText(caption, text));
}

void ReportBuilder::AppendSection(const std::string& heading, const std::vector<std::string>& rows) {
  if (!paragraphs_.empty()) EmptyLine();
  Heading(heading);
  for (const auto& r : rows) Plain(r);
}

void ReportBuilder::BuildAll() {
  paragraphs_.clear();
  Line("", 10, false);
  Line(std::string(9, ' ') + f_.VND->Text() + "容器—佩莫拉计算报告", 14, true);
  Line(
      "      " +
          [] {
            std::string rule;
            for (int i = 0; i < 19; ++i) rule += "━";
            return rule;
          }(),
      14, true);
  EmptyLine();

  auto section = [this](const char* heading, auto rows, bool last = false) {
    Heading(heading);
    rows();
    if (!last) EmptyLine();
  };
  auto numbers = [this](std::initializer_list<const char*> names) {
    for (const char* n : names) NumberRow(n);
  };

  section("       项目信息:", [&] { numbers({"OBJNameD", "OBJProcD", "DeviceNameD", "DeviceNoD", "OBJNoteD"}); });
  section("       基本参数:", [&] {
    NumberRow("TaoD");
    TextRow("SetErrD");
    numbers({"sfD", "FixTempD"});
  });
  section("       容器几何参数:", [&] {
    TextRow("VND");
    numbers({"VsD", "KvD", "Ae1D", "DsD", "DcD", "HsD", "WsD"});
  });
  if (ModeOf<Convection>(*f_.RGFType) == Convection::Agitated)
    section("       搅拌器参数:", [&] {
      CutRow("mitD");
      numbers({"midD", "rvD"});
    });
  section("       容器物性及热量平衡，物性:", [&] { numbers({"CopD", "DenoD", "VioD", "LdoD", "BtoD"}); });
  section("       容器物性及热量平衡，工艺和热量平衡数据:", [&] {
    // Written whatever the fields' enabled state.
    FixedRow("流体相态", f_.PhoD->Text());
    FixedRow("流体类型", f_.HToD->Text());
    numbers({"MaoD", "Tom1D", "Tom2D", "QoD", "QLD"});
  });
  section("       容器参数及计算结果:", [&] {
    NumberRow("AeD");
    CutRow("SmD");
    NumberRow("StD");
    CutRow("PmD");
    NumberRow("BpD");
    TextRow("EVTD");
    numbers({"KeD", "KcD", "TwaD", "TeD", "koD", "DpoD"});
  });
  section("       管程物性及热量平衡，物性:", [&] {
    numbers({"CipD", "DeniD", "ViiD", "LdiD", "DHiD", "CipvD", "denivD", "ViivD"});
  });
  section("       管程物性及热量平衡，工艺和热量平衡数据:", [&] {
    TextRow("PhiD");
    TextRow("HTiD");
    numbers({"LaiD", "WiD", "Ti1D", "Ti2D", "QiD"});
  });
  section("       管程参数及计算结果:", [&] {
    NumberRow("nD");
    TextRow("TShapeD");
    numbers({"EiD", "dioD", "diiD"});
    CutRow("TmD");
    numbers({"DspD", "SlD", "mD", "UivD", "pHD", "UiD", "DpiD", "RiD", "RoD", "kiD"});
  });
  section(
      "       简明计算结果:",
      [&] {
        numbers({"AtD", "ArD", "LtD", "LrD", "TTaD", "KTaD", "WcD"});
      },
      true);

  // Quantities of the vessel-side phase change, the circulation and the temperature
  // difference correction, in the modes that use them.
  std::vector<std::string> extra;
  for (const char* n : {"WrD", "CdtD", "DHoD", "CopvD", "denovD", "ViovD", "LaoD", "PoD", "PcD"})
    if (const Component* c = Field(n)) extra.push_back(NumberRowText(LabelOf(n), TextOf(c), UnitOf(n)));
  if (!extra.empty()) AppendSection("       补充数据:", extra);
}

}  // namespace pelmora
