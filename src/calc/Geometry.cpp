#include "calc/Geometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "calc/Balance.h"
#include "fields/FieldOps.h"
#include "fields/FloatCheck.h"
#include "fields/ModeEnums.h"
#include "fields/Text.h"
#include "fields/UiPort.h"

namespace pelmora {

namespace vessel {

namespace {
constexpr double kPi = std::numbers::pi;
constexpr int kMaxSteps = 200;
constexpr double kProbe = 0.000001;  // step of the numerical derivative

// Keeps a Newton step inside [lo, hi]: a step that would leave goes half way from h
// towards the edge it would cross. `closedLo`/`closedHi` tell whether the edge itself
// may be reached.
double Confine(double h, double next, double lo, double hi, bool closedLo, bool closedHi) {
  if (next > hi || (!closedHi && next == hi)) return (h + hi) / 2;
  if (next < lo || (!closedLo && next == lo)) return (h + lo) / 2;
  return next;
}
}  // namespace

std::optional<double> SphereDepth(double R, double Kv) {
  // h = sqrt(4·Kv·R³/(3·R − h)): a spherical cap holding Kv of the volume, 0 < h <= 2R.
  auto g = [&](double h) { return fp::Sqrt(fp::Div(4 * Kv * R * R * R, 3 * R - h)) - h; };
  double h = 0.001 * R;
  for (int i = 0; i < kMaxSteps; ++i) {
    const double g1 = g(h);
    h += kProbe;
    const double g2 = g(h);
    if (g2 == g1) return std::nullopt;
    const double delta = kProbe * g2 / (g2 - g1);
    h = Confine(h, h - delta, 0, 2 * R, false, true);
    if (std::fabs(delta) < 0.0001) return h;
  }
  return std::nullopt;
}

double TankHalfAngle(double D, double h, bool overHalf) {
  const double r = D / 2;
  // Rounding may put the probe a hair outside the circle; the chord is then zero.
  const double s = std::sqrt(std::max(0.0, (D - h) * h));
  const double a = std::asin(std::min(1.0, s / r));
  return overHalf ? kPi - a : a;
}

std::optional<double> HorizontalTankDepth(double D, double Kv) {
  const double r = D / 2;
  const bool over = Kv > 0.5;
  auto F = [&](double h) {
    const double s = std::sqrt(std::max(0.0, (D - h) * h));
    const double segment = r * r * TankHalfAngle(D, h, over) - s * (r - h);
    return fp::Check(Kv * kPi * D * D / 4 - segment);
  };
  // The root lies in the lower half circle for Kv <= 0.5 and in the upper one otherwise.
  const double lo = over ? r : 0, hi = over ? D : r;
  double h = over ? r + 0.001 : 0.001;
  if (!(h > lo && h < hi)) h = (lo + hi) / 2;  // a vessel smaller than the start offset
  for (int i = 0; i < kMaxSteps; ++i) {
    const double start = h;
    const double F1 = F(h);
    h += kProbe;
    const double F2 = F(h);
    if (F2 == F1) return std::fabs(F2) < 0.00001 ? std::optional<double>(h) : std::nullopt;
    h = Confine(h, h - kProbe * F2 / (F2 - F1), lo, hi, over, !over);
    if (std::fabs(F2) < 0.00001) return h;
    // F2 is taken at the probe, 1e-6 m beside the level: for a vessel of more than
    // some 10 m it stays above 1e-5 m² at the root, so a level that no longer moves
    // counts as found as well.
    if (std::fabs(h - start) <= 1e-10 * D) return h;
  }
  return std::nullopt;
}

}  // namespace vessel

Geometry::Geometry(TFormPelmora& form) : f_(form) {
  f_.SetHandler("VsDExit", [this](Component* s) { VsDExit(s); });
  f_.SetHandler("VNDChange", [this](Component* s) { VNDChange(s); });
  f_.SetHandler("VNDClick", [this](Component* s) { VNDClick(s); });
  f_.SetHandler("BTVesselClick", [this](Component* s) { BTVesselClick(s); });
  f_.SetHandler("midDExit", [this](Component* s) { midDExit(s); });
  f_.SetHandler("SBnClick", [this](Component* s) { SBnClick(s); });
}

void Geometry::Status(const std::string& text) { f_.MyStatusBar->SetPanelText(1, text); }

// The volume of the vessel less the centre column, solved for the one open quantity.
void Geometry::SolveVolumeGroup(VesselShape shape) {
  CalcStep step("容器几何", "容器体积、充装系数、宽度、高度、壳体直径");
  using std::numbers::pi;
  constexpr double x0 = 1.2345;
  switch (shape) {
    case VesselShape::Sphere:
      SolveBalance({f_.DsD, f_.DcD, f_.VsD}, GeometryColor, true, x0, [](const BalanceValues& v) {
        return 4 * pi / 3 * std::pow(v[0] / 2, 3) - pi / 4 * v[1] * v[1] * v[0] - v[2];
      });
      break;
    case VesselShape::FlatCylinder:
    case VesselShape::HorizontalDomeTank:
      SolveBalance({f_.DsD, f_.DcD, f_.HsD, f_.VsD}, GeometryColor, true, x0,
                   [](const BalanceValues& v) { return pi * (v[0] * v[0] / 4 - v[1] * v[1] / 4) * v[2] - v[3]; });
      break;
    case VesselShape::Cuboid:
      SolveBalance({f_.DsD, f_.DcD, f_.HsD, f_.WsD, f_.VsD}, GeometryColor, true, x0,
                   [](const BalanceValues& v) { return v[0] * v[2] * v[3] - pi / 4 * v[1] * v[1] * v[2] - v[4]; });
      break;
    default: break;
  }
}

std::optional<double> Geometry::WettedArea(VesselShape shape) {
  using std::numbers::pi;
  const double V = f_.VsD->GetValue();
  const double Kv = f_.KvD->GetValue();
  const double D = f_.DsD->GetValue();
  if (!(Kv > 0 && Kv <= 1)) {
    Status(kBadFill);
    return std::nullopt;
  }
  // Lengths the shape uses (the sphere has its diameter from the volume).
  bool positive = V > 0 && (shape == VesselShape::Sphere || D > 0);
  if (shape >= VesselShape::FlatCylinder) positive = positive && f_.HsD->GetValue() > 0;
  if (shape == VesselShape::Cuboid) positive = positive && f_.WsD->GetValue() > 0;
  if (!positive) {
    Status(kBadSize);
    return std::nullopt;
  }
  switch (shape) {
    case VesselShape::Sphere: {
      const double R = fp::Pow(fp::Div(3 * V, 4 * pi), 1.0 / 3);
      auto h = vessel::SphereDepth(R, Kv);
      if (!h) break;
      return 2 * pi * R * *h;
    }
    case VesselShape::FlatCylinder: return pi * D * f_.HsD->GetValue() * Kv + pi * D * D / 4;
    case VesselShape::Cuboid: {
      const double H = f_.HsD->GetValue(), W = f_.WsD->GetValue();
      return 2 * (D + W) * H * Kv + D * W;
    }
    case VesselShape::HorizontalDomeTank: {
      const double H = f_.HsD->GetValue();
      auto h = vessel::HorizontalTankDepth(D, Kv);
      if (!h) break;
      const double P = D * vessel::TankHalfAngle(D, *h, Kv > 0.5);
      return P * H + 2 * 1.35 * Kv * pi * D * D / 4;
    }
    default: return std::nullopt;
  }
  Status(kNoDepth);
  return std::nullopt;
}

void Geometry::VsDExit(Component*) {
  if (ModeOf<VesselType>(*f_.RGEType) == VesselType::TwoStreams) f_.KvD->SetValue(1);  // a two-stream vessel is full
  const VesselShape shape = ModeOf<VesselShape>(*f_.VND);
  if (shape < VesselShape::Sphere || shape > VesselShape::HorizontalDomeTank) return;
  SolveVolumeGroup(shape);

  bool ready = false;
  switch (shape) {
    case VesselShape::Sphere: ready = AllFilled({f_.VsD, f_.KvD, f_.DsD}); break;
    case VesselShape::FlatCylinder:
    case VesselShape::HorizontalDomeTank: ready = AllFilled({f_.VsD, f_.KvD, f_.DsD, f_.HsD}); break;
    case VesselShape::Cuboid: ready = AllFilled({f_.VsD, f_.KvD, f_.DsD, f_.HsD, f_.WsD}); break;
    case VesselShape::None: break;
  }
  if (!ready) return;
  if (auto area = WettedArea(shape)) {
    const std::string& panel = f_.MyStatusBar->PanelText(1);
    if (panel == kBadFill || panel == kNoDepth || panel == kBadSize) Status("");
    PutResult(*f_.Ae1D, ResultColor, tolerance ? tolerance() : 0.0, *area);
  }
}

void Geometry::VNDChange(Component*) {
  const VesselShape shape = ModeOf<VesselShape>(*f_.VND);
  for (Component* c :
       {static_cast<Component*>(f_.HsL), static_cast<Component*>(f_.HsD), static_cast<Component*>(f_.HsU)})
    c->SetEnabled(shape > VesselShape::Sphere);
  for (Component* c :
       {static_cast<Component*>(f_.WsL), static_cast<Component*>(f_.WsD), static_cast<Component*>(f_.WsU)})
    c->SetEnabled(shape == VesselShape::Cuboid);
  if (Blank(*f_.DcD)) f_.DcD->SetText("0");
  f_.DsL->SetCaption(shape == VesselShape::Cuboid ? "长度" : "直径");
  if (shape == VesselShape::FlatCylinder || shape == VesselShape::Cuboid)
    f_.HsL->SetCaption("高度");
  else if (shape == VesselShape::HorizontalDomeTank)
    f_.HsL->SetCaption("长度");
}

void Geometry::VNDClick(Component*) {
  if (ModeOf<VesselType>(*f_.RGEType) == VesselType::TwoStreams)
    SelectMode(*f_.VND, VesselShape::FlatCylinder);  // a two-stream vessel is a cylinder
  for (EditD* e : {f_.VsD, f_.KvD, f_.Ae1D, f_.WsD, f_.HsD, f_.DsD, f_.DcD}) ReleaseResult(*e);
  f_.Ae1D->SetColor(colors::BtnFace);
  f_.Ae1D->SetReadOnly(true);
}

// Copies the vessel definition into the calculation page: the heat-loss area, and in
// the storage-tank mode an empty content mass from the filled volume.
void Geometry::BTVesselClick(Component*) {
  if (AllFilled({f_.Ae1D, f_.VsD, f_.KvD, f_.DenoD})) {
    f_.AeD->SetValue(f_.Ae1D->GetValue());
    if (ModeOf<VesselType>(*f_.RGEType) == VesselType::StorageTank &&
        ModeOf<Convection>(*f_.RGFType) != Convection::ExternalLoop && Blank(*f_.MaoD))
      f_.MaoD->SetValue(f_.KvD->GetValue() * f_.VsD->GetValue() * f_.DenoD->GetValue());
  }
  f_.PageControl1->SetActivePage(f_.TabSheet2);
}

void Geometry::midDExit(Component*) {
  if (!AllFilled({f_.DsD, f_.midD})) return;
  if (f_.DsD->GetValue() > f_.midD->GetValue()) {
    f_.SetProjectModified(true);
  } else {
    Status(kImpeller);
    f_.Port().Beep();
  }
}

// Tube count for ρ·u² of about 2070 Pa in the tubes.
void Geometry::SBnClick(Component*) {
  if (!AllFilled({f_.WiD, f_.DeniD, f_.diiD})) return;
  const double rho = ModeOf<Phase>(*f_.PhiD) == Phase::Single ? f_.DeniD->GetValue() : f_.denivD->GetValue();
  const double W = f_.WiD->GetValue(), di = f_.diiD->GetValue();
  double n = fp::Div(0.028 * W, di * di * fp::Sqrt(rho));
  if (n < 1) n = 1;
  f_.nD->SetValue(std::nearbyint(n));  // halves go to the even neighbour
}

}  // namespace pelmora
