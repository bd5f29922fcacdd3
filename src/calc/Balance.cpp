#include "calc/Balance.h"

#include <cmath>
#include <exception>

#include "fields/Errors.h"
#include "fields/FieldOps.h"
#include "fields/FloatCheck.h"
#include "fields/UiPort.h"

namespace pelmora {

double NewtonSolve(const BalanceValues& v, std::size_t k, const Residual& r, double x0) {
  constexpr double h = 0.000001;
  BalanceValues w = v;
  w[k] = x0;
  double lambda = 1;
  int hits = 0;
  int iterations = 0;
  int restarts = 0;
  do {
    const double x = w[k];
    double F[5];
    for (int j = -2; j <= 2; ++j) {
      w[k] = x + j * h;
      F[j + 2] = fp::Check(r(w));
    }
    const double d = fp::Check((F[0] - 8 * F[1] + 8 * F[3] - F[4]) / (12 * h));
    const double delta = std::fabs(d) > 1e-50 ? fp::Check(lambda * F[2] / d) : 0.0;
    // The damping enters twice: the step is lambda^2 * F / d.
    w[k] = fp::Check(x - lambda * delta);
    const double e = std::fabs(x) > 1e-8 ? std::fabs(lambda * delta / x) : std::fabs(x);
    if (e < 0.00001) ++hits;  // counted over the whole solve
    if (++iterations > 20) {
      iterations = 0;
      lambda /= 2;
      w[k] = x0;
      if (++restarts > kNewtonRestarts) throw ConvergenceError(kNotConverged);
    }
  } while (hits < 2);
  return w[k];
}

EditD* SolveBalance(std::span<EditD* const> fields, Color color, bool onlyEnabled, double x0, const Residual& r) {
  int counted = 0;
  std::size_t last = 0;
  std::ptrdiff_t previous = -1;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    EditD* f = fields[i];
    if (Blank(*f) && (!onlyEnabled || f->Enabled())) {
      ++counted;
      last = i;
    }
    if (f->GetColor() == color && f->MyResolved()) previous = static_cast<std::ptrdiff_t>(i);
  }
  if (counted > 1 || fields.empty()) return nullptr;

  auto warn = [&] {
    fields[0]->Owner().Port().MessageBox(kBalanceError, "", MsgType::Warning, Buttons::Ok, Answer::Ok);
  };
  try {
    BalanceValues v{};
    for (std::size_t i = 0; i < fields.size(); ++i)
      if (!Blank(*fields[i])) v[i] = fields[i]->GetValue();
    if (counted == 1) {
      if (previous >= 0) {
        EditD* p = fields[static_cast<std::size_t>(previous)];
        return ReleaseResult(*p) ? p : nullptr;
      }
      EditD* open = fields[last];
      if (!open->MyResolved()) return nullptr;
      double x = NewtonSolve(v, last, r, x0);
      return PutResult(*open, color, 0.000002, x);
    }
    if (previous >= 0) {
      const auto k = static_cast<std::size_t>(previous);
      double x = NewtonSolve(v, k, r, v[k]);
      return PutResult(*fields[k], color, 0.000002, x);
    }
    return nullptr;
  } catch (const SilentAbort&) {
    warn();
    throw;
  } catch (const std::exception&) {
    warn();
    throw;
  }
}

EditD* SolveBalance(std::initializer_list<EditD*> fields, Color color, bool onlyEnabled, double x0, const Residual& r) {
  return SolveBalance(std::span<EditD* const>(fields.begin(), fields.size()), color, onlyEnabled, x0, r);
}

namespace {
double Log10(double x) { return fp::Ln(x) / 2.302585092994045684; }
}  // namespace

double FrictionFactor(int mode, double Re, double D, double eps) {
  if (Re <= 2000) return fp::Div(64, Re);
  if (mode == 0) {
    if (Re < 100000) return fp::Div(0.3164, fp::Pow(Re, 0.25));
    return 0.0032 + fp::Div(0.221, fp::Pow(Re, 0.237));
  }
  // Colebrook in x = 1/sqrt(lambda), Newton steps with a forward-difference slope.
  const double rel = fp::Div(eps, 3.7 * D);
  auto g = [&](double x) { return x + 2 * Log10(rel + fp::Div(2.51 * x, Re)); };
  constexpr double h = 0.000001;
  double x = 10;
  double delta;
  int steps = 0;
  do {
    if (++steps > 200) throw ConvergenceError(kNotConverged);
    const double gx = g(x);
    delta = fp::Div(h * gx, g(x + h) - gx);
    x -= delta;
  } while (std::fabs(delta) >= 0.000001);
  double lambda = fp::Div(1, x * x);
  if (Re * fp::Sqrt(lambda) * eps / D > 200) {
    const double t = 2 * Log10(fp::Div(3.7 * D, eps));
    lambda = fp::Div(1, t * t);
  }
  return lambda;
}

double GaussLegendre8(const std::function<double(double)>& f, double a, double b) {
  static constexpr double x[4] = {0.1834346425, 0.5255324099, 0.7966664774, 0.9602898565};
  static constexpr double w[4] = {0.3626837834, 0.3137066459, 0.2223810345, 0.1012285363};
  const double c = (a + b) / 2;
  const double h = (b - a) / 2;
  double s = 0;
  for (int i = 0; i < 4; ++i) s += w[i] * (f(c + h * x[i]) + f(c - h * x[i]));
  return fp::Check(h * s);
}

}  // namespace pelmora
