// The dialog's 计算 and 确定 run for a side of the window without showing the dialog: the
// command 更新物性 takes the side's properties again from the record they came from, at
// the temperature the run now has.
#include <algorithm>
#include <tuple>

#include "fields/Text.h"
#include "props/PropNumbers.h"
#include "simp/FormSimpPL.h"  // IWYU pragma: associated

namespace pelmora {

namespace {

// What 计算 changes in the dialog, put back when the side's values have been read.
class DialogState {
 public:
  DialogState(TFormSimpPL& d, ValueGrid& grid, StatusBar& status, std::vector<const EditD*>& refused)
      : d_(d), grid_(grid), status_(status), refused_(refused), refusedBefore_(refused) {
    record_ = d.CurrentRecord();
    t_ = grid.GetValueOf("t");
    p_ = grid.GetValueOf("p");
    statusText_ = status.PanelText(0);
    for (const auto& [field, name] : d.ValueFields())
      fields_.emplace_back(field, field->Text(), field->GetFont().color, field->Hint());
  }
  ~DialogState() {
    try {
      grid_.SetValueOf("t", t_);
      grid_.SetValueOf("p", p_);
      if (record_ >= 0 && record_ != d_.CurrentRecord()) d_.GoTo(record_);
      for (auto& [field, text, color, hint] : fields_) {
        field->SetText(text);
        field->SetFontColor(color);
        field->SetHint(hint);
      }
      refused_ = refusedBefore_;
      status_.SetPanelText(0, statusText_);
    } catch (...) {  // a destructor does not throw; the dialog shows its state at the next 计算
    }
  }
  DialogState(const DialogState&) = delete;
  DialogState& operator=(const DialogState&) = delete;

 private:
  TFormSimpPL& d_;
  ValueGrid& grid_;
  StatusBar& status_;
  std::vector<const EditD*>& refused_;
  std::vector<const EditD*> refusedBefore_;
  int record_ = -1;
  std::string t_, p_, statusText_;
  std::vector<std::tuple<EditD*, std::string, Color, std::string>> fields_;
};

}  // namespace

std::optional<TFormSimpPL::SideValues> TFormSimpPL::ComputedAt(const std::string& no, double t, double p,
                                                               std::string* why) {
  EnsureLoaded();
  if (lib_.Find(no) < 0) {
    if (why) *why = "物性库中没有记录 " + no;
    return std::nullopt;
  }
  DialogState keep(*this, *MyValues1, *StatusBar1, refused_);
  if (!LocateNO(no)) {
    if (why) *why = "物性库中没有记录 " + no;
    return std::nullopt;
  }
  MyValues1->SetValueOf("t", FloatToStr(t));
  MyValues1->SetValueOf("p", FloatToStr(p));
  BBCalClick(nullptr);
  SideValues out;
  for (const auto& [field, name] : valueFields_) {
    if (Refused(field) || (field == VexpkD && Refused(MDD)) || Trim(field->Text()).empty()) continue;
    out.emplace_back(field->Name(), field->GetValue());
  }
  return out;
}

bool TFormSimpPL::UpdateSide(TFormPelmora& main, FluidSide side, double t, std::string* why) {
  const auto& s = main.Substances.Of(side);
  if (!s) {
    if (why) *why = std::string(SideCaption(side)) + "没有取自物性库的物性";
    return false;
  }
  const SideSubstance was = *s;
  auto values = ComputedAt(was.no, t, was.p, why);
  if (!values) return false;
  // 确定's copy: the pairs of the side's button, each into an enabled field.
  for (const auto& [mine, theirs] : CopyTable(ButtonOf(side))) {
    auto it = std::find_if(values->begin(), values->end(), [&](const auto& v) { return v.first == mine; });
    EditD* to = main.FindAs<EditD>(theirs);
    if (it == values->end() || !to || !to->Enabled()) continue;
    to->SetValue(it->second);
  }
  main.Substances.Set(side, SideSubstance{was.no, was.name, t, was.p});
  return true;
}

}  // namespace pelmora
