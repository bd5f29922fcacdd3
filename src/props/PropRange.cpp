#include "props/PropRange.h"

#include <cmath>
#include <exception>

#include "fields/NumberFormat.h"
#include "fields/Text.h"
#include "props/MyValues.h"
#include "props/PropNumbers.h"
#include "props/SimpProps.h"

namespace pelmora {

namespace {

std::optional<double> Number(const std::optional<std::string>& text) {
  if (!text) return std::nullopt;
  auto v = TryStrToFloat(TrimBlanks(*text));
  if (!v || !std::isfinite(*v)) return std::nullopt;
  return v;
}

std::string Celsius(double t) { return FormatFixed(t, 1) + " ℃"; }
std::string Kpa(double p) { return Format15(std::round(p * 1000) / 1000) + " kPa"; }

}  // namespace

PropRange RecordRange(const PropRecord& rec) {
  PropRange r;
  r.tMin = Number(rec.TL);
  r.tMax = Number(rec.TH);
  r.pMin = Number(rec.PL);
  r.pMax = Number(rec.PH);
  r.basis = rec.PB.value_or("");
  r.vpMin = Number(rec.VL);
  r.vpMax = Number(rec.VH);
  r.hasVapourPressure = rec.VP && !TrimBlanks(*rec.VP).empty();
  return r;
}

RecordPhase PhaseOf(const PropRecord& rec) {
  if (rec.CN && rec.CN->find("液") != std::string::npos) return RecordPhase::Liquid;
  return RecordRange(rec).hasVapourPressure ? RecordPhase::Vapour : RecordPhase::Gas;
}

bool SaturatedByT(const PropRecord& rec) { return rec.PB && rec.PB->rfind("饱和蒸汽", 0) == 0; }

PressureResult VapourPressure(const PropRecord& rec, double tC) {
  PressureResult out;
  if (!RecordRange(rec).hasVapourPressure) {
    out.reason = "该物性数据没有蒸气压";
    return out;
  }
  if (!std::isfinite(tC)) {
    out.reason = "温度不是数值";
    return out;
  }
  TMyValues grid;
  grid.AddValue("t", FloatToStr(tC), "C", "温度");
  grid.AddValue("p", "101.325", "kPa(A)", "绝对压力");
  try {
    PropertyOutcome o = EvaluateProperty("VP", rec, grid);
    if (o.kind == PropertyOutcome::Kind::Error) {
      out.reason = o.error;
    } else if (o.kind != PropertyOutcome::Kind::Value || !std::isfinite(o.value) || !(o.value > 0)) {
      out.reason = "蒸气压无法计算";
    } else {
      out.value = o.value;
    }
  } catch (const std::exception& e) {
    out.reason = std::string("蒸气压无法计算：") + e.what();
  }
  return out;
}

BoilingResult BoilingPoint(const PropRecord& rec, double pKPa) {
  BoilingResult out;
  const PropRange range = RecordRange(rec);
  if (!range.hasVapourPressure) {
    out.reason = "该物性数据没有蒸气压，无法给出沸点";
    return out;
  }
  if (!std::isfinite(pKPa) || !(pKPa > 0)) {
    out.reason = "压力必须大于0";
    return out;
  }
  double lo = range.vpMin.value_or(range.tMin.value_or(-50));
  double hi = range.vpMax.value_or(range.tMax.value_or(300));
  if (!(hi > lo)) {
    out.reason = "蒸气压的适用范围不成立";
    return out;
  }
  PressureResult plo = VapourPressure(rec, lo), phi = VapourPressure(rec, hi);
  if (!plo.value || !phi.value) {
    out.reason = !plo.value ? plo.reason : phi.reason;
    return out;
  }
  if (pKPa < *plo.value) {
    out.reason = "压力 " + Kpa(pKPa) + " 低于蒸气压数据的下限（" + Celsius(lo) + " 时 " + Kpa(*plo.value) + "）";
    return out;
  }
  if (pKPa > *phi.value) {
    out.reason = "压力 " + Kpa(pKPa) + " 高于蒸气压数据的上限（" + Celsius(hi) + " 时 " + Kpa(*phi.value) + "）";
    return out;
  }
  // The vapour pressure rises with t: bisection keeps the root bracketed.
  for (int i = 0; i < 200 && hi - lo > 1E-4; ++i) {
    const double mid = 0.5 * (lo + hi);
    PressureResult pm = VapourPressure(rec, mid);
    if (!pm.value) {
      out.reason = pm.reason;
      return out;
    }
    (*pm.value < pKPa ? lo : hi) = mid;
  }
  out.t = 0.5 * (lo + hi);
  return out;
}

RangeCheck CheckRange(const PropRecord& rec, double tC, double pKPa) {
  RangeCheck c;
  const PropRange r = RecordRange(rec);
  const std::string name = rec.CN.value_or(rec.NO.value_or(""));
  if (r.tMin && tC < *r.tMin - 1E-9) c.tBelow = true;
  if (r.tMax && tC > *r.tMax + 1E-9) c.tAbove = true;
  if (c.tBelow || c.tAbove)
    c.messages.push_back("温度 " + Celsius(tC) + " 超出" + name + "物性数据的适用范围 " + RangeText(rec));
  if (!SaturatedByT(rec)) {
    if (r.pMin && pKPa < *r.pMin - 1E-9) c.pBelow = true;
    if (r.pMax && pKPa > *r.pMax + 1E-9) c.pAbove = true;
    if (c.pBelow || c.pAbove)
      c.messages.push_back("压力 " + Kpa(pKPa) + " 超出" + name + "物性数据的适用范围 " +
                           Kpa(*(c.pBelow ? r.pMin : r.pMax)) + (c.pBelow ? " 以上" : " 以下"));
    const RecordPhase phase = PhaseOf(rec);
    if (phase != RecordPhase::Gas && std::isfinite(pKPa) && pKPa > 0) {
      BoilingResult b = BoilingPoint(rec, pKPa);
      c.boilingT = b.t;
      if (b.t && phase == RecordPhase::Liquid && tC > *b.t + 1E-6) {
        c.boils = true;
        c.messages.push_back(name + "在 " + Kpa(pKPa) + " 下的沸点为 " + Celsius(*b.t) + "，" + Celsius(tC) +
                             " 时已沸腾，液体物性不适用");
      } else if (b.t && phase == RecordPhase::Vapour && tC < *b.t - 1E-6) {
        c.condenses = true;
        c.messages.push_back(name + "在 " + Kpa(pKPa) + " 下的饱和温度为 " + Celsius(*b.t) + "，" + Celsius(tC) +
                             " 时将冷凝，气相物性不适用");
      }
    }
  }
  return c;
}

std::string RangeText(const PropRecord& rec) {
  const PropRange r = RecordRange(rec);
  std::string s;
  if (r.tMin || r.tMax)
    s = (r.tMin ? Format15(*r.tMin) : std::string("…")) + " ~ " + (r.tMax ? Format15(*r.tMax) : std::string("…")) +
        " ℃";
  if (r.pMin || r.pMax)
    s += (s.empty() ? "" : "，") + (r.pMin ? Format15(*r.pMin) : std::string("…")) + " ~ " +
         (r.pMax ? Format15(*r.pMax) : std::string("…")) + " kPa";
  return s;
}

std::string NonPhysicalMessage(const PropRecord& rec, const std::string& name, double value, const std::string& tText) {
  bool positive = false;
  for (const char* n : {"Cp", "MD", "VI", "TC", "HV"})
    if (EqualsNoCase(name, n)) positive = true;
  const bool surface = EqualsNoCase(name, "ST");
  if (!positive && !surface) return {};
  if (std::isfinite(value) && (positive ? value > 0 : value >= 0)) return {};
  const std::string what = !std::isfinite(value) ? "无法计算" : value < 0 ? "为负值" : "为零";
  return rec.CN.value_or(rec.NO.value_or("")) + " 在 " + TrimBlanks(tText) + " ℃ 的" + PropertyCaption(name) + what +
         "，超出该物性数据的适用范围";
}

}  // namespace pelmora
