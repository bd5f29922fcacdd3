// The property dialog's 计算: every property of the current record at the grid's t and p,
// each checked before it is shown (a broken formula or a value that is no property is
// said in the field's place), then the range and the boiling point in the status bar.
#include <algorithm>
#include <cmath>

#include "fields/NumberFormat.h"
#include "fields/UiPort.h"
#include "props/PropNumbers.h"
#include "props/PropRange.h"
#include "props/SimpProps.h"
#include "simp/FormSimpPL.h"  // IWYU pragma: associated

namespace pelmora {

namespace {

// A value field as the target of one property evaluation.
class FieldTarget : public PropertyTarget {
 public:
  explicit FieldTarget(EditD& e) : e_(e) {}
  void SetValue(double si) override { e_.SetValue(si); }
  void Clear() override { e_.SetText(""); }

 private:
  EditD& e_;
};

}  // namespace

bool TFormSimpPL::Refused(const EditD* field) const {
  return std::find(refused_.begin(), refused_.end(), field) != refused_.end();
}

void TFormSimpPL::Refuse(EditD* field, const std::string& why) {
  field->SetText(why);
  field->SetFontColor(colors::Red);
  field->SetHint(why);
  refused_.push_back(field);
}

void TFormSimpPL::ClearValues() {
  refused_.clear();
  for (auto& [field, name] : valueFields_) {
    field->SetText("");
    field->SetFontColor(colors::Black);
    field->SetHint("");
  }
}

void TFormSimpPL::BBCalClick(Component*) {
  if (current_ < 0 || current_ >= lib_.Count()) {
    Port().ShowMessage("物性库中没有物质可供计算。");
    return;
  }
  const PropRecord rec = lib_.At(current_);
  // A property that is not computed this time must not keep another substance's value.
  ClearValues();
  // Each result is checked before it is shown: a broken formula or a value that is no
  // property (a density that is not positive, ...) is said in the field's place instead.
  auto eval = [&](const char* name, EditD* target) {
    PropertyOutcome o = EvaluateProperty(name, rec, MyValues1->Edit());
    MyValues1->Sync();  // a formula may have added variable rows
    if (!o.message.empty()) Port().ShowMessage(o.message);
    if (o.kind == PropertyOutcome::Kind::Error) {
      Refuse(target, o.error);
      return;
    }
    if (o.kind == PropertyOutcome::Kind::Value) {
      const std::string why = NonPhysicalMessage(rec, name, o.value, MyValues1->GetValueOf("t"));
      if (!why.empty()) {
        Refuse(target, why);
        return;
      }
    }
    FieldTarget t(*target);
    o.ApplyTo(t);
  };
  eval("Cp", CPD);
  const std::string tText = TrimStr(MyValues1->GetValueOf("t"));
  const std::string pText = TrimStr(MyValues1->GetValueOf("p"));
  // Without t or p no density can be had: the step is left out (its evaluations would
  // only repeat the message).
  if (!tText.empty() && !pText.empty()) {
    const double t0 = StrToFloat(tText);
    double rhoUp = 0;
    bool upRefused = false;
    MyValues1->SetValueOf("t", FloatToStr(t0 + 1));
    try {
      eval("MD", MDD);
      upRefused = Refused(MDD);
      if (!upRefused) rhoUp = MDD->GetValue();
    } catch (...) {
      MyValues1->SetValueOf("t", FloatToStr(t0));
      throw;
    }
    MyValues1->SetValueOf("t", FloatToStr(t0));
    if (upRefused) {  // the density at t decides what is shown
      refused_.erase(std::find(refused_.begin(), refused_.end(), MDD));
      MDD->SetFontColor(colors::Black);
      MDD->SetHint("");
    }
    eval("MD", MDD);
    if (!Refused(MDD)) {
      const double rho = MDD->GetValue();
      // Both densities must be positive for the logarithm; otherwise no coefficient.
      if (!upRefused && rhoUp > 1E-10 && rho > 1E-10) VexpkD->SetValue(std::log(rho / rhoUp));
    }
  }
  eval("VI", VID);
  eval("TC", TCD);
  eval("ST", STD);
  eval("HV", HVD);
  eval("Pc", PcD);
  // The status bar: a refused value first (the field shows only its start), then whether
  // t and p lie where the data hold, and the boiling point at p.
  std::string status = RangeStatus(rec, tText, pText);
  if (!refused_.empty()) status = "未采用：" + refused_.front()->Text() + (status.empty() ? "" : "；" + status);
  if (!status.empty()) StatusBar1->SetPanelText(0, status);
}

std::string TFormSimpPL::RangeStatus(const PropRecord& rec, const std::string& tText, const std::string& pText) {
  auto t = TryStrToFloat(tText);
  auto p = TryStrToFloat(pText);
  if (!t || !p || !std::isfinite(*t) || !std::isfinite(*p)) return {};
  std::string text;
  BoilingResult b = BoilingPoint(rec, *p);
  if (b.t)
    text = (PhaseOf(rec) == RecordPhase::Vapour ? "饱和温度 " : "沸点 ") + FormatFixed(*b.t, 1) + " ℃（" + pText +
           " kPa）";
  RangeCheck c = CheckRange(rec, *t, *p);
  if (!c.InRange()) {
    text = "超出适用范围：" + c.messages.front() + (text.empty() ? "" : "；" + text);
  } else if (!RangeText(rec).empty()) {
    text = "在适用范围 " + RangeText(rec) + " 内" + (text.empty() ? "" : "；" + text);
  }
  return text;
}

}  // namespace pelmora
