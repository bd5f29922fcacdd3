// The library substances the property dialog filled the sides with: the checks they
// allow after every completed run, and 更新物性, which takes a side's properties again
// from the same record at the temperature the run now has.
#include <cmath>

#include "app/PelmoraApp.h"
#include "calc/SubstanceChecks.h"
#include "fields/NumberFormat.h"

namespace pelmora {

void PelmoraApp::InstallSubstances() {
  calc.moreChecks = [this](std::vector<DesignCheck>& checks) {
    if (form.Substances.Empty()) return;
    simp.EnsureLoaded();
    AddSubstanceChecks(form, simp.Library(), checks);
  };
  // 更新物性: every side whose properties were taken more than 5 K from the run's mean
  // temperature, as the dialog's 计算 and 确定 at that temperature would; the
  // recalculation follows as after the dialog's 确定 (WatchInputs).
  form.SetHandler("MCUpdatePropsClick", [this](Component*) {
    const std::vector<FluidSide> sides = SidesToUpdate(form);
    if (sides.empty()) {
      form.Port().MessageBox(form.Substances.Empty() ? kNoSubstances : kPropertiesCurrent, TFormPelmora::kTitle,
                             MsgType::Information, Buttons::Ok, Answer::Ok);
      return;
    }
    std::string done;
    for (FluidSide side : sides) {
      const double mean = *SideMeanTemperature(form, side);
      std::string why;
      if (!simp.UpdateSide(form, side, mean, &why)) {
        form.Port().MessageBox(std::string(SideCaption(side)) + "物性无法更新：" + why, TFormPelmora::kTitle,
                               MsgType::Warning, Buttons::Ok, Answer::Ok);
        continue;
      }
      done += (done.empty() ? "" : "、") + std::string(SideCaption(side)) + " " + FormatFixed(mean, 1) + " ℃";
    }
    if (!done.empty()) form.MyStatusBar->SetPanelText(0, "已按平均温度更新物性：" + done);
  });
  // The expansion list offers first the coefficient of the vessel liquid's own density,
  // at the vessel's mean temperature (else at the temperature its properties were taken
  // at).
  select.firstExpansion = [this]() -> std::optional<std::pair<std::string, std::string>> {
    const auto& s = form.Substances.Of(FluidSide::Vessel);
    if (!s) return std::nullopt;
    simp.EnsureLoaded();
    const int i = simp.Library().Find(s->no);
    if (i < 0) return std::nullopt;
    const double t = SideMeanTemperature(form, FluidSide::Vessel).value_or(s->t);
    auto beta = ExpansionFromDensity(simp.Library().At(i), t, s->p);
    if (!beta || !(*beta > 0)) return std::nullopt;
    return std::make_pair(Format15(*beta), "由物性库密度计算：β(" + Format15(std::round(t * 10) / 10) +
                                               " ℃) = " + FormatGeneral(*beta, 4, 1) + " 1/K（" + s->name + "）");
  };
  calc.vesselFilm = [this]() -> FilmSource {
    const auto& s = form.Substances.Of(FluidSide::Vessel);
    if (!s) return {};
    simp.EnsureLoaded();
    const int i = simp.Library().Find(s->no);
    if (i < 0) return {};
    return {&simp.Library().At(i), s->p, s->name};
  };
  undo.Declare("MCUpdatePropsClick", "更新物性");
  // Which substance fills each side belongs to the step that changed it (确定, 更新物性).
  undo.AddState([this] { return [this, s = form.Substances] { form.Substances = s; }; });
}

}  // namespace pelmora
