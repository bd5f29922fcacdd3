#include "props/PropsCommands.h"

#include <cmath>
#include <optional>

#include "props/FormulaParser.h"
#include "props/MyValues.h"
#include "props/PropLib.h"
#include "props/PropNumbers.h"
#include "props/PropRange.h"
#include "props/SimpProps.h"

namespace pelmora {

int RunEvalCommand(const std::string& formula, const std::vector<std::pair<std::string, std::string>>& vars,
                   std::ostream& out) {
  TMyValues grid;
  for (const auto& [name, value] : vars) {
    int row = grid.FindName(TMyValues::kName, name);
    if (row > 0 && grid.Cell(TMyValues::kName, row) == name)
      grid.SetCell(TMyValues::kValue, row, value);
    else
      grid.AddValue(name, value, "", "");
  }
  TFormulaParser parser;
  long double v = 0;
  try {
    v = EvaluateWithValues(parser, formula, &grid);
  } catch (const RangeCheckError& e) {
    out << e.what() << "\n";
    return 2;
  } catch (const std::exception& e) {
    // Whatever a function of the formula raised ends this evaluation only.
    out << "value: \nerror: " << e.what() << "\n";
    return 1;
  }
  out << "value: " << FloatToStr(static_cast<double>(v)) << "\n";
  out << "error: " << parser.ErrorCode() << " " << parser.ErrorMessage() << "\n";
  return parser.ErrorCode() == 0 ? 0 : 1;
}

namespace {

// A dialog value field as the command sees it: empty or an SI value kept as the
// 15-digit text a field shows.
class CommandField : public PropertyTarget {
 public:
  void SetValue(double si) override { text_ = FloatToStr(si); }
  void Clear() override { text_.clear(); }
  bool Empty() const { return text_.empty(); }
  double Value() const { return StrToFloat(text_); }
  const std::string& Text() const { return text_; }

 private:
  std::string text_;
};

struct Shown {
  const char* caption;
  const char* name;
  const char* unit;
};

void Print(std::ostream& out, const Shown& s, const CommandField& f) {
  out << s.caption << " " << s.name << ": " << (f.Empty() ? std::string("(空)") : f.Text() + " " + s.unit) << "\n";
}

}  // namespace

int RunPropsCommand(const std::string& libraryPath, const std::string& no, const std::string& t, const std::string& p,
                    std::ostream& out) {
  PropLibrary lib;
  std::string message;
  if (!lib.Load(libraryPath, &message)) {
    out << message << "\n";
    return 3;
  }
  int index = lib.Find(no);
  if (index < 0) {
    out << "物性库中没有流水号 " << no << "\n";
    return 2;
  }
  const PropRecord& rec = lib.At(index);
  out << "流水号 " << rec.NO.value_or("") << "  " << rec.CN.value_or("") << "  " << rec.EN.value_or("") << "\n";
  if (rec.FM) out << "化学式: " << *rec.FM << "\n";
  if (rec.NT) out << "注释: " << *rec.NT << "\n";
  if (!RangeText(rec).empty()) out << "适用范围: " << RangeText(rec) << (rec.PB ? "（" + *rec.PB + "）" : "") << "\n";
  if (rec.SR) out << "来源: " << *rec.SR << "\n";
  out << "t = " << t << " C, p = " << p << " kPa(A)\n";
  // The boiling point at p and whether (t, p) lies where the data hold.
  bool refused = false;
  {
    auto tv = TryStrToFloat(TrimBlanks(t));
    auto pv = TryStrToFloat(TrimBlanks(p));
    if (pv && std::isfinite(*pv)) {
      BoilingResult b = BoilingPoint(rec, *pv);
      const bool vapour = PhaseOf(rec) == RecordPhase::Vapour;
      if (b.t)
        out << (vapour ? "饱和温度" : "沸点") << " (p = " << p << " kPa): " << FloatToStr(std::round(*b.t * 100) / 100)
            << " C\n";
      else
        out << "沸点: (无) " << b.reason << "\n";
    }
    if (tv && pv && std::isfinite(*tv) && std::isfinite(*pv)) {
      RangeCheck c = CheckRange(rec, *tv, *pv);
      for (const std::string& m : c.messages) out << "超出适用范围: " << m << "\n";
    }
  }

  TMyValues grid;
  grid.AddValue("t", t, "C", "温度");
  grid.AddValue("p", p, "kPa(A)", "绝对压力");

  CommandField cp, md, vi, tc, st, hv, vexpk, pc;
  const Shown sCp{"比热", "Cp", "J/(kg.K)"}, sMd{"密度", "MD", "kg/m3"}, sVi{"黏度", "VI", "Pa.S"},
      sTc{"导热系数", "TC", "W/(m.K)"}, sSt{"表面张力", "ST", "N/m"}, sHv{"蒸发潜热", "HV", "J/kg"},
      sEx{"膨胀系数", "Vexpk", "1/K"}, sPc{"临界压力", "Pc", "Pa"};

  // A broken formula or a value that is no property is said in the value's place and
  // makes the command fail (status 1); the other properties are still computed.
  auto eval = [&](const char* name, CommandField& field) {
    PropertyOutcome o = EvaluateProperty(name, rec, grid);
    if (!o.message.empty()) out << o.message << "\n";
    o.ApplyTo(field);
    if (o.kind == PropertyOutcome::Kind::Error) {
      out << "错误: " << o.error << "（错误代码 " << o.errorCode << "）\n";
      refused = true;
    } else if (o.kind == PropertyOutcome::Kind::Value) {
      std::string why = NonPhysicalMessage(rec, name, o.value, grid.GetValueOf("t"));
      if (!why.empty()) {
        out << "错误: " << why << "\n";
        field.Clear();
        refused = true;
      }
    }
  };
  try {
    eval("Cp", cp);
    Print(out, sCp, cp);
    std::string tt = TrimBlanks(grid.GetValueOf("t"));
    if (!tt.empty()) {
      double t0 = StrToFloat(tt);
      grid.SetValueOf("t", FloatToStr(t0 + 1));
      std::optional<double> rho1;
      const bool hasDensity = rec.MD && !TrimBlanks(*rec.MD).empty();
      try {
        eval("MD", md);
        if (md.Empty() && !hasDensity) {
          grid.SetValueOf("t", FloatToStr(t0));
          out << "警告:“密度”是空白,请补充.\n";
          return 1;
        }
        if (!md.Empty()) rho1 = md.Value();  // empty: refused, said above
      } catch (...) {
        grid.SetValueOf("t", FloatToStr(t0));
        throw;
      }
      grid.SetValueOf("t", FloatToStr(t0));
      md.Clear();
      eval("MD", md);
      Print(out, sMd, md);
      // The expansion coefficient needs both densities; a refused one leaves it empty.
      if (rho1 && *rho1 > 1E-10 && !md.Empty() && md.Value() > 0) vexpk.SetValue(std::log(md.Value() / *rho1));
      Print(out, sEx, vexpk);
    }
    eval("VI", vi);
    Print(out, sVi, vi);
    eval("TC", tc);
    Print(out, sTc, tc);
    eval("ST", st);
    Print(out, sSt, st);
    eval("HV", hv);
    Print(out, sHv, hv);
    eval("Pc", pc);
    Print(out, sPc, pc);
  } catch (const std::exception& e) {
    out << e.what() << "\n";
    return 1;
  }
  return refused ? 1 : 0;
}

}  // namespace pelmora
