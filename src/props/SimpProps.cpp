#include "props/SimpProps.h"

#include <cmath>
#include <memory>

#include "fields/Text.h"
#include "props/FormulaParser.h"
#include "props/MyValues.h"
#include "props/PropLib.h"
#include "props/PropNumbers.h"
#include "props/PropTables.h"

namespace pelmora {

namespace {

constexpr double R = 8.314;

struct State {
  double Pc, Tc, Vc, Zc, w, M, P, T, Tr, Pr;
};

State Read(const ModelParams& mp) {
  State s{};
  s.Pc = mp[1] * 1000;
  s.Tc = mp[2];
  s.Vc = mp[3] * 1E-6;
  s.Zc = mp[4];
  s.w = mp[5];
  s.M = mp[6];
  s.P = mp[7] * 1000;
  s.T = mp[8] + 273.15;
  s.Tr = s.T / s.Tc;
  s.Pr = s.P / s.Pc;
  return s;
}

enum class Test { Absolute, Relative };

// Secant-like iteration x := x - delta*f(x)/(f(x+delta)-f(x)); true with the root when
// the test held within the step limit.
template <class F>
bool FindRoot(F f, double x0, double delta, Test test, double tol, double& x) {
  x = x0;
  int k = 0;
  while (true) {
    double f1 = f(x);
    double f2 = f(x + delta);
    double dx = delta * f1 / (f2 - f1);
    x = x - dx;
    ++k;
    bool done = test == Test::Absolute ? std::fabs(dx) < tol : std::fabs(dx / x) < tol;
    if (done || k > kRootStepLimit) break;
  }
  return k < kRootStepLimit && std::isfinite(x);
}

double Finite(double v) { return std::isfinite(v) ? v : 0; }

double LiquidVolume(const State& s) { return 2.85E-7 * std::pow(s.Vc * 1E6, 1.048); }

}  // namespace

double PrDensity(const ModelParams& mp, int liquid) {
  if (mp[0] != 0) return 0;
  State s = Read(mp);
  double kappa = 0.37464 + 1.54226 * s.w - 0.26992 * s.w * s.w;
  double a = 0.45724 * (R * s.Tc) * (R * s.Tc) / s.Pc;
  double alpha = std::pow(1 + kappa * (1 - std::sqrt(s.Tr)), 2);
  double b = 0.0778 * R * s.Tc / s.Pc;
  auto f = [&](double v) { return R * s.T / s.P - a * alpha * (v - b) / (s.P * (v * (v + b) + b * (v - b))) + b - v; };
  double x0 = liquid ? LiquidVolume(s) : R * s.T / s.P;
  double v;
  if (!FindRoot(f, x0, 1E-7, Test::Absolute, 1E-7, v)) return 0;
  return Finite(0.001 * s.M / v);
}

double VirialDensity(const ModelParams& mp, int liquid) {
  if (mp[0] != 1) return 0;
  State s = Read(mp);
  double B0 = 0.083 - 0.422 / std::pow(s.Tr, 1.6);
  double B1 = 0.139 - 0.172 / std::pow(s.Tr, 4.2);
  double B = (R * s.Tc / s.Pc) * (B0 + s.w * B1);
  auto f = [&](double v) { return 1 + B / v - s.P * v / (R * s.T); };
  double x0 = liquid ? LiquidVolume(s) : R * s.T / s.P;
  double v;
  if (!FindRoot(f, x0, 1E-7, Test::Relative, 1E-4, v)) return 0;
  return Finite(0.001 * s.M / v);
}

double PrViscosity(const ModelParams& mp, int liquid) {
  if (mp[0] != 0) return 0;
  State s = Read(mp);
  double w = s.w, Q1, Q2, Q3;
  if (w <= 0.3) {
    Q1 = 0.829599 + 0.350857 * w - 0.74768 * w * w;
    Q2 = 1.94546 - 3.19777 * w + 2.80193 * w * w;
    Q3 = 0.299757 - 2.20855 * w + 6.64959 * w * w;
  } else {
    Q1 = 0.956763 + 0.192829 * w - 0.303189 * w * w;
    Q2 = -0.258789 - 37.1071 * w + 20.551 * w * w;
    Q3 = 5.1630307 - 12.8207 * w + 11.0109 * w * w;
  }
  double psi = std::exp(Q2 * (std::sqrt(s.Tr) - 1)) + Q3 * std::pow(std::sqrt(s.Pr) - 1, 2);
  double phi = 1 / std::pow(1 + Q1 * (std::sqrt(s.Tr * s.Pr) - 1), 2);
  double etac = 7.9483E-7 * std::pow(s.Tc, -1.0 / 6) * std::sqrt(s.M) * std::pow(s.Pc / 100000, 2.0 / 3);
  double rc = etac * s.Tc / (s.Pc * s.Zc);
  double r = rc * phi;
  double b = 0.0778 * rc * s.Pc / s.Tc;
  double bp = b * psi;
  double a = 0.45724 * (rc * s.Pc) * (rc * s.Pc) / s.Tc;
  auto f = [&](double e) { return r * s.P / s.T - a * (e - bp) / (s.T * (e * (e + b) + b * (e - b))) + bp - e; };
  double eta;
  if (!FindRoot(f, liquid ? 0.001 : 1E-6, 1E-8, Test::Relative, 0.001, eta)) return 0;
  return eta;
}

double PrConductivity(const ModelParams& mp, int liquid) {
  if (mp[0] != 0) return 0;
  State s = Read(mp);
  double sqTr = std::sqrt(s.Tr);
  double p8 = std::pow(s.Pr, 0.125) - 1;
  double psi = 0.1879 * std::pow(std::sqrt(s.Tr * s.Pr) - 1, 2) + std::exp(-90.2319 * p8 * p8) +
               std::exp(9.8081 * p8 * p8 - 4.7582 * (sqTr - 1)) +
               23.2853 * std::exp((std::pow(s.Pr, 3) - 1) * (sqTr - 1) * (1 / s.T - 1 / s.Tc));
  double phi = 1 / std::pow(1 - 0.127 * (1 - std::sqrt(s.Pr)), 2);
  double lc = std::pow(s.Tc, -1.0 / 6) * std::pow(s.M, -0.5) * std::pow(s.Pc / 1000000, 2.0 / 3) / 21;
  double rc = lc * s.Tc / (s.Pc * s.Zc);
  double r = rc * phi;
  double b = 0.0778 * rc * s.Pc / s.Tc;
  double bp = b * psi;
  double a = 0.45724 * (rc * s.Pc) * (rc * s.Pc) / s.Tc;
  auto f = [&](double l) { return r * s.P / s.T - a * (l - bp) / (s.T * (l * (l + b) + b * (l - b))) + bp - l; };
  double lambda;
  if (!FindRoot(f, liquid ? 0.1 : 0.01, 1E-4, Test::Relative, 0.001, lambda)) return 0;
  return lambda;
}

double PrResidualCp(const ModelParams& mp, int /*liquid*/) {
  if (mp[0] != 0) return 0;
  State s = Read(mp);
  if (s.Pc == 0 || s.M == 0 || s.Tc == 0 || s.P == 0) throw FpDivisionByZero();
  double kappa = 0.37464 + 1.54226 * s.w - 0.26992 * s.w * s.w;
  double a = 0.45724 * (R * s.Tc) * (R * s.Tc) / s.Pc;
  double b = 0.0778 * R * s.Tc / s.Pc;
  const double sq2 = std::sqrt(2.0);
  auto d = [&](double T) { return a * (1 + kappa * (1 - std::sqrt(T / s.Tc))) * (-kappa / std::sqrt(T * s.Tc)); };
  auto S = [&](double T, double v) {
    return std::log((v - b) * s.P / (R * T)) -
           d(T) / (2 * sq2 * b * R) * std::log((v + (1 + sq2) * b) / (v - (sq2 - 1) * b));
  };
  const double delta = 1E-4;
  double rho1 = PrDensity(mp, 0);
  if (rho1 == 0) throw FpDivisionByZero();
  double S1 = S(s.T, 0.001 * s.M / rho1);
  ModelParams mp2 = mp;
  mp2[8] += delta;
  double rho2 = PrDensity(mp2, 0);
  if (rho2 == 0) throw FpDivisionByZero();
  double T2 = s.T + delta;
  double S2 = S(T2, 0.001 * s.M / rho2);
  double result = (1000 / s.M) * R * T2 * (S2 - S1) / delta;
  if (!std::isfinite(result)) throw FpInvalid();
  return result;
}

double VirialResidualCp(const ModelParams& mp, int /*liquid*/) {
  if (mp[0] != 0) return 0;
  State s = Read(mp);
  if (s.Pc == 0 || s.M == 0 || s.Tc == 0) throw FpDivisionByZero();
  double result = (1000 / s.M) * R * s.Pr * (1.7552 / std::pow(s.Tr, 2.6) + 0.3717252 / std::pow(s.Tr, 5.2));
  if (!std::isfinite(result)) throw FpInvalid();
  return result;
}

// ---- property texts ---------------------------------------------------------------

void PropertyOutcome::ApplyTo(PropertyTarget& target) const {
  switch (kind) {
    case Kind::Unchanged: break;
    case Kind::Empty:
    case Kind::Error: target.Clear(); break;
    case Kind::Value: target.SetValue(value); break;
  }
}

std::string CleanPropertyText(const std::string& text) {
  std::string s = text;
  for (char mark : {'?', '<', '{'}) {
    size_t at = s.find(mark);
    if (at != std::string::npos) s = TrimBlanks(s.substr(0, at));
  }
  size_t eq = s.find('=');
  if (eq != std::string::npos) s = TrimBlanks(s.substr(eq + 1));
  return s;
}

std::string PrepareFormula(const std::string& formula, const std::vector<std::string>& params, const ModelParams& mp,
                           int liquid) {
  auto param = [&](size_t i) -> std::string { return i < params.size() ? params[i] : std::string(); };
  std::string s = formula;
  if (s.find("PRRCP") != std::string::npos) s = ReplaceAll(s, "PRRCP", FloatToStr(PrResidualCp(mp, liquid)));
  if (s.find("VRRCP") != std::string::npos) s = ReplaceAll(s, "VRRCP", FloatToStr(VirialResidualCp(mp, liquid)));
  if (!param(1).empty()) {
    s = ReplaceAll(s, "Pc", "(1.0E3*" + param(1) + ")");
    s = ReplaceAll(s, "Pr", "(p/" + param(1) + ")");
  }
  if (!param(2).empty()) {
    s = ReplaceAll(s, "Tc", param(2));
    s = ReplaceAll(s, "Tr", "((t+273.15)/" + param(2) + ")");
  }
  if (!param(3).empty()) {
    s = ReplaceAll(s, "Vc", "(1.0E-6*" + param(3) + ")");
    s = ReplaceAll(s, "Vr", "(V/(1.0E6*" + param(3) + "))");
  }
  if (!param(4).empty()) {
    s = ReplaceAll(s, "Zc", param(4));
    s = ReplaceAll(s, "Zr", "(Z/" + param(4) + ")");
  }
  if (!param(5).empty()) s = ReplaceAll(s, "w", param(5));
  if (!param(6).empty()) s = ReplaceAll(s, "M", param(6));
  if (!param(7).empty()) s = ReplaceAll(s, "B", param(7));
  s = ReplaceAll(s, "T", "(t+273.15)");
  s = ReplaceAll(s, "P", "(1.0E3*p)");
  s = ReplaceAll(s, "R", "8.314");
  return s;
}

namespace {}  // namespace

PropertyOutcome EvaluateProperty(const std::string& name, const PropRecord& record, TMyValues& grid) {
  PropertyOutcome out;
  std::string tText = grid.GetValueOf("t");
  std::string pText = grid.GetValueOf("p");
  if (tText.empty()) {
    out.message = kMsgNoTemperature;
    return out;
  }
  if (pText.empty()) {
    out.message = kMsgNoPressure;
    return out;
  }
  int liquid = record.CN && record.CN->find("液") != std::string::npos ? 1 : 0;
  const std::optional<std::string>* field = record.Field(name);
  if (!field || !*field) {
    out.kind = PropertyOutcome::Kind::Empty;
    return out;
  }
  std::string s = CleanPropertyText(TrimBlanks(**field));

  ModelParams mp{};
  std::vector<std::string> params(100);
  const std::string gridP = grid.Cell(TMyValues::kValue, 2);
  const std::string gridT = grid.Cell(TMyValues::kValue, 1);
  size_t at = s.find("PARAMS:");
  if (at != std::string::npos) {
    std::string list = TrimBlanks(s.substr(at + 7));
    s = TrimBlanks(s.substr(0, at));
    SplitText(list, ',', params, 99);
    SplitNumbers(list + "," + gridP + "," + gridT, ',', mp);
  }

  size_t colon = s.find(':');
  if (colon != std::string::npos && colon < 9) {
    std::string code = s.substr(0, colon);
    if (code == "VRV")
      mp[0] = 1;
    else
      mp[0] = 0;
    SplitNumbers(s.substr(colon + 1) + "," + pText + "," + tText, ',', mp);
    double value = 0;
    if (mp[0] == 0) {
      if (EqualsNoCase(name, "MD"))
        value = PrDensity(mp, liquid);
      else if (EqualsNoCase(name, "VI"))
        value = PrViscosity(mp, liquid);
      else if (EqualsNoCase(name, "TC"))
        value = PrConductivity(mp, liquid);
    } else if (mp[0] == 1) {
      if (EqualsNoCase(name, "MD")) value = VirialDensity(mp, liquid);
    }
    out.kind = PropertyOutcome::Kind::Value;
    out.value = value;
    return out;
  }

  if (s.empty()) {
    out.kind = PropertyOutcome::Kind::Empty;
    return out;
  }

  double value = 0;
  if (s.find(',') != std::string::npos || TryStrToFloat(s)) {
    value = TableValue(s, StrToFloat(tText));
  } else {
    std::string text = PrepareFormula(s, params, mp, liquid);
    auto parser = std::make_unique<TFormulaParser>();
    long double v = EvaluateWithValues(*parser, text, &grid);
    // A broken formula is said, not turned into a value of 0. The critical pressure is
    // the number its text begins with whatever the rest says, so its formula cannot fail.
    if (parser->ErrorCode() != 0 && !EqualsNoCase(name, "Pc")) {
      out.kind = PropertyOutcome::Kind::Error;
      out.errorCode = parser->ErrorCode();
      out.error = "“" + PropertyCaption(name) + "”的公式无法计算（错误 " + std::to_string(parser->ErrorCode()) + "：" +
                  parser->ErrorMessage() + "）";
      return out;
    }
    value = static_cast<double>(v);
  }
  if (EqualsNoCase(name, "Pc")) {
    auto lead = LeadingNumber(s);
    if (!lead) {
      out.kind = PropertyOutcome::Kind::Empty;
      return out;
    }
    value = *lead * 1000;
  }
  out.kind = PropertyOutcome::Kind::Value;
  out.value = std::isfinite(value) ? value : 0;
  return out;
}

std::string PropertyCaption(const std::string& name) {
  static const std::pair<const char*, const char*> captions[] = {
      {"Cp", "比热"},     {"MD", "密度"},     {"VI", "动力粘度"}, {"TC", "导热系数"},
      {"ST", "表面张力"}, {"HV", "蒸发潜热"}, {"Pc", "临界压力"}, {"VP", "蒸气压"}};
  for (const auto& [n, c] : captions)
    if (EqualsNoCase(name, n)) return c;
  return name;
}

}  // namespace pelmora
