// The variables of the design optimizer: the tube series of the catalogue, the values
// a variable takes, the vessel's limit on the coil size, the default search, the
// command-line form, and the checks of a request against the window.
#include <algorithm>
#include <cmath>
#include <set>
#include <stdexcept>

#include "fields/Errors.h"
#include "fields/ModeEnums.h"
#include "fields/NumberFormat.h"
#include "fields/Text.h"
#include "select/PickList.h"
#include "study/Optimizer.h"
#include "study/Study.h"

namespace pelmora {

namespace {

// The standard a catalogue row names, for catalogues whose rows carry one; rows of a
// catalogue without that column name none.
template <typename Row>
std::string StandardOf(const Row& row) {
  if constexpr (requires { row.standard; })
    return std::string(row.standard);
  else
    return std::string();
}

// A size that a catalogue pick can take: both numbers, outer > 2 x wall > 0.
bool UsableSize(const std::string& dn) {
  try {
    const TubeSize t = ParseTubeSize(dn);
    return t.wall > 0 && t.outer > 2 * t.wall;
  } catch (const ConversionError&) {
    return false;
  }
}

const EditD* Field(const TFormPelmora& f, const std::string& name) { return As<EditD>(f.Find(name)); }

// The SI value of a field the window shows (enabled, filled, a finite number).
std::optional<double> Shown(const EditD* e) {
  if (!e || !e->EffectivelyEnabled()) return std::nullopt;
  auto v = e->Number();
  if (!v) return std::nullopt;
  const double x = *v * e->Exchange();
  return std::isfinite(x) ? std::optional<double>(x) : std::nullopt;
}

std::vector<std::string> SplitOn(const std::string& s, char sep) {
  std::vector<std::string> parts;
  for (size_t start = 0;;) {
    const size_t at = s.find(sep, start);
    parts.push_back(TrimStr(s.substr(start, at == std::string::npos ? std::string::npos : at - start)));
    if (at == std::string::npos) break;
    start = at + 1;
  }
  return parts;
}

double Number(const std::string& text, const std::string& context) {
  auto v = ParseDecimal(Trim(text));
  if (!v || !std::isfinite(*v)) throw std::invalid_argument("'" + text + "' is not a number in " + context);
  return *v;
}

// Field values: "A:B" whole numbers from A to B, "A:B:N" N values from A to B, or a
// list "a|b|c" (one value alone is a list of one).
std::vector<std::string> FieldValues(const std::string& name, const std::string& text) {
  const std::string context = name + "=" + text;
  const std::vector<std::string> range = SplitOn(text, ':');
  if (range.size() == 2) {
    const double a = Number(range[0], context), b = Number(range[1], context);
    if (a != std::floor(a) || b != std::floor(b))
      throw std::invalid_argument("A:B takes whole numbers (A:B:N for a real range) in " + context);
    if (std::fabs(b - a) >= static_cast<double>(kMaxOptimizerValues))
      throw std::invalid_argument("at most " + std::to_string(kMaxOptimizerValues) + " values in " + context);
    std::vector<std::string> values;
    const int step = b >= a ? 1 : -1;
    for (long long k = static_cast<long long>(a);; k += step) {
      values.push_back(std::to_string(k));
      if (k == static_cast<long long>(b)) break;
    }
    return values;
  }
  if (range.size() == 3) {
    StudyInput in;
    in.field = name;
    in.from = Number(range[0], context);
    in.to = Number(range[1], context);
    try {
      in.points = static_cast<int>(StrToInt(range[2]));
    } catch (const std::exception&) {
      throw std::invalid_argument("N must be a whole number in " + context);
    }
    return StudyValues(in);  // its reasons are Chinese and name the limit
  }
  if (range.size() != 1) throw std::invalid_argument("expected A:B, A:B:N or a|b|c in " + context);
  std::vector<std::string> values = SplitOn(text, '|');
  for (const std::string& v : values) Number(v, context);
  return values;
}

std::vector<std::string> TubeValues(const std::string& text, const PipeCatalogue& catalogue) {
  const std::vector<TubeSeries> series = CatalogueSeries(catalogue);
  const std::string wanted = TrimStr(text);
  if (wanted == "*") {
    std::vector<std::string> all;
    std::set<std::string> seen;
    for (const TubeSeries& s : series)
      for (const std::string& dn : s.sizes)
        if (seen.insert(dn).second) all.push_back(dn);
    if (all.empty()) throw std::invalid_argument("管道系列为空，没有可选的管子规格");
    return all;
  }
  for (const TubeSeries& s : series)
    if (s.name == wanted) return s.sizes;
  std::vector<std::string> sizes;
  for (const std::string& item : SplitOn(wanted, '|')) {
    std::string message;
    auto dn = NormalizeOwnSize(item, &message);
    if (!dn) {
      if (message.size() >= 3 && message.compare(message.size() - 3, 3, "。") == 0) message.resize(message.size() - 3);
      std::string names;
      for (const TubeSeries& s : series) names += (names.empty() ? "" : "、") + s.name;
      throw std::invalid_argument("“" + item + "”既不是管子系列，也不是管子规格（" + message + "）。可用的系列：" +
                                  (names.empty() ? "（无）" : names) + "，或 * 表示全部系列");
    }
    sizes.push_back(*dn);
  }
  return sizes;
}

std::string CheckValues(const TFormPelmora& form, const OptimizerVariable& v) {
  const std::string caption = StudyHeader(form, v.name);
  const EditD* e = Field(form, v.name);
  std::optional<CoilLimit> limit;
  if (v.name == "SlD") limit = CoilSizeLimit(form);
  for (const std::string& text : v.values) {
    auto x = ParseDecimal(Trim(text));
    if (!x || !std::isfinite(*x)) return "“" + caption + "”的取值“" + text + "”不是数值";
    const double si = *x * e->Exchange();
    if (v.name == "nD" && (*x != std::floor(*x) || *x < 1)) return "管数须为不小于 1 的整数（取值“" + text + "”）";
    // A pitch below one tube diameter puts the tubes into each other.
    if (v.name == "DspD" && *x < 1) return "管间距（螺距与管外径之比）不能小于 1（取值“" + text + "”）";
    if (v.name == "SlD") {
      if (!(si > 0)) return "“" + caption + "”须大于零（取值“" + text + "”）";
      if (limit && (limit->strict ? si >= limit->meters : si > limit->meters))
        return "“" + caption + "”的取值“" + text + "”超出容器的限制：" + limit->text;
    }
  }
  return std::string();
}

}  // namespace

std::vector<TubeSeries> CatalogueSeries(const PipeCatalogue& catalogue) {
  std::vector<TubeSeries> series;
  TubeSeries own{kOwnSeries, {}};
  auto into = [&series](const std::string& name) -> TubeSeries& {
    for (TubeSeries& s : series)
      if (s.name == name) return s;
    series.push_back({name, {}});
    return series.back();
  };
  for (const PipeRow& r : catalogue.pipes) {
    if (!UsableSize(r.dn)) continue;
    if (r.own) {
      own.sizes.push_back(r.dn);
      continue;
    }
    const std::string standard = TrimStr(StandardOf(r));
    TubeSeries& s = into(standard.empty() ? kAllShippedSeries : standard);
    if (std::find(s.sizes.begin(), s.sizes.end(), r.dn) == s.sizes.end()) s.sizes.push_back(r.dn);
  }
  if (!own.sizes.empty()) series.push_back(std::move(own));
  return series;
}

std::optional<std::string> CurrentTubeSize(const TFormPelmora& form, const PipeCatalogue& catalogue) {
  auto dout = Shown(form.dioD), din = Shown(form.diiD);
  if (!dout || !din) return std::nullopt;
  for (const PipeRow& r : catalogue.pipes) {
    if (!UsableSize(r.dn)) continue;
    const TubeSize t = ParseTubeSize(r.dn);
    if (std::fabs(t.outer - *dout * 1000) < 0.01 && std::fabs(t.outer - 2 * t.wall - *din * 1000) < 0.01) return r.dn;
  }
  return std::nullopt;
}

size_t CurrentSeries(const TFormPelmora& form, const std::vector<TubeSeries>& series) {
  auto dout = Shown(form.dioD), din = Shown(form.diiD);
  if (dout && din)
    for (size_t i = 0; i < series.size(); ++i)
      for (const std::string& dn : series[i].sizes) {
        const TubeSize t = ParseTubeSize(dn);
        if (std::fabs(t.outer - *dout * 1000) < 0.01 && std::fabs(t.outer - 2 * t.wall - *din * 1000) < 0.01) return i;
      }
  return 0;
}

std::optional<CoilLimit> CoilSizeLimit(const TFormPelmora& form) {
  const TubeShape shape = ModeOf<TubeShape>(*form.TShapeD);
  if (shape == TubeShape::Helical) {
    auto Ds = Shown(form.DsD);
    if (!Ds || *Ds <= 0) return std::nullopt;
    return CoilLimit{*Ds, true, "螺旋盘管直径须小于容器内径 " + CheckNumber(*Ds) + " m"};
  }
  if (shape == TubeShape::UTube) {
    std::optional<double> span;
    for (const EditD* e : {form.HsD, form.DsD, form.WsD})
      if (auto x = Shown(e); x && *x > 0 && (!span || *x > *span)) span = x;
    if (!span) return std::nullopt;
    return CoilLimit{*span, false, "U 型管管腿长不能超过容器的高度和内径（最大 " + CheckNumber(*span) + " m）"};
  }
  return std::nullopt;
}

std::vector<OptimizerVariable> DefaultOptimizerVariables(const TFormPelmora& form, const PipeCatalogue& catalogue) {
  std::vector<OptimizerVariable> vars;
  const std::vector<TubeSeries> series = CatalogueSeries(catalogue);
  if (!series.empty() && StudyInputAllowed(form, "dioD") && StudyInputAllowed(form, "diiD"))
    vars.push_back({kTubeVariable, series[CurrentSeries(form, series)].sizes});
  if (StudyInputAllowed(form, "nD")) vars.push_back({"nD", FieldValues("nD", "1:12")});
  if (StudyInputAllowed(form, "DspD")) vars.push_back({"DspD", PitchValues()});
  return vars;
}

std::vector<OptimizerVariable> ParseOptimize(const std::string& text, const PipeCatalogue& catalogue) {
  std::vector<OptimizerVariable> vars;
  for (const std::string& item : SplitOn(text, ',')) {
    const size_t eq = item.find('=');
    if (eq == std::string::npos) throw std::invalid_argument("expected VAR=VALUES, got '" + item + "'");
    OptimizerVariable v;
    v.name = TrimStr(item.substr(0, eq));
    const std::string values = item.substr(eq + 1);
    if (v.name == kTubeVariable)
      v.values = TubeValues(values, catalogue);
    else if (v.name == "nD" || v.name == "DspD" || v.name == "SlD")
      v.values = FieldValues(v.name, values);
    else
      throw std::invalid_argument("unknown variable '" + v.name + "' (tube, nD, DspD or SlD)");
    vars.push_back(std::move(v));
  }
  return vars;
}

std::string ValidateOptimizer(const TFormPelmora& form, const OptimizerRequest& r) {
  if (r.variables.empty()) return "请至少选择一个优选变量";
  std::set<std::string> names;
  for (const OptimizerVariable& v : r.variables) {
    if (!names.insert(v.name).second) return "优选变量“" + v.name + "”重复";
    if (v.values.empty()) return "优选变量“" + (v.name == kTubeVariable ? "管子规格" : v.name) + "”没有取值";
    if (v.values.size() > kMaxOptimizerValues)
      return "优选变量的取值过多（最多 " + std::to_string(kMaxOptimizerValues) + " 个）";
    if (v.name == kTubeVariable) {
      if (!StudyInputAllowed(form, "dioD") || !StudyInputAllowed(form, "diiD"))
        return "当前工况下管外径和管内径不可输入，不能优选管子规格";
      for (const std::string& dn : v.values)
        if (!UsableSize(dn)) return "管子规格“" + dn + "”不成立：须写成“外径×壁厚”，外径大于两倍壁厚，壁厚大于0";
      continue;
    }
    if (v.name != "nD" && v.name != "DspD" && v.name != "SlD") return "不能优选字段“" + v.name + "”";
    if (!StudyInputAllowed(form, v.name))
      return "“" + StudyHeader(form, v.name) + "”在当前工况下不可输入，不能作为优选变量";
    if (std::string why = CheckValues(form, v); !why.empty()) return why;
  }
  const size_t n = OptimizerGridSize(r);
  if (n > kMaxOptimizerPoints)
    return "组合过多（" + std::to_string(n) + " 种，最多 " + std::to_string(kMaxOptimizerPoints) + " 种），请缩小范围";
  const std::string objective = ObjectiveField(r.objective);
  const EditD* e = Field(form, objective);
  if (!e || !e->EffectivelyEnabled())
    return std::string("当前工况下不计算“") + (e ? e->QuantityName() : objective) + "”，不能作为优选目标";
  if (r.marginCheck && !r.margin && !RecommendedMarginSource()) return "方法校核尚未提供推荐富余度，不能以它作为约束";
  return std::string();
}

OptimizerOffer OfferOptimizer(const TFormPelmora& f, bool haveSeries) {
  OptimizerOffer o;
  o.countCaption = f.nD->QuantityName();
  o.pitchCaption = f.DspD->QuantityName();
  // The window calls it 盘管直径 whatever the shape; for a U-tube it is the leg length.
  const bool uTube = ModeOf<TubeShape>(*f.TShapeD) == TubeShape::UTube;
  o.coilCaption = f.SlD->QuantityName() + (uTube ? "（管腿长）" : "");
  o.tube = haveSeries && StudyInputAllowed(f, "dioD") && StudyInputAllowed(f, "diiD");
  o.count = StudyInputAllowed(f, kCountVariable);
  o.pitch = StudyInputAllowed(f, kPitchVariable);
  o.coil = StudyInputAllowed(f, kCoilVariable);
  const std::optional<CoilLimit> limit = CoilSizeLimit(f);
  if (auto x = f.SlD->Number(); x && *x > 0) {
    double hi = *x * 1.25;
    if (limit) hi = std::min(hi, limit->meters / f.SlD->Exchange() * (limit->strict ? 0.999 : 1.0));
    o.coilFrom = *x * 0.75;
    o.coilTo = std::max(hi, *x * 0.75);
  }
  o.coilNote = "单位 " + FieldUnit(f, *f.SlD) + (limit ? "；" + limit->text : std::string());
  return o;
}

}  // namespace pelmora
