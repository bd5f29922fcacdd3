#include "app/ResultsState.h"

#include <cstring>
#include <functional>
#include <string_view>

namespace pelmora {

namespace {

// A fingerprint, not a protection: the standard hash of each text, combined with the
// numbers in the manner of FNV-1a.
struct Fingerprint {
  uint64_t h = 1469598103934665603ULL;
  void Mix(uint64_t v) {
    h ^= v;
    h *= 1099511628211ULL;
  }
  void Add(const std::string& s) { Mix(std::hash<std::string_view>{}(s)); }
  void Add(double d) {
    uint64_t bits = 0;
    std::memcpy(&bits, &d, sizeof bits);
    Mix(bits);
  }
  void Add(int i) { Mix(static_cast<uint64_t>(static_cast<int64_t>(i))); }
};

}  // namespace

ResultsState::ResultsState(const TFormPelmora& form, const Calculation& calc) : f_(form), calc_(calc) {
  for (const Component* c : form.Components())
    if (As<RadioGroup>(c) || As<CheckBox>(c) || (As<ComboBox>(c) && !As<ComboBoxU>(c))) choices_.push_back(c);
}

uint64_t ResultsState::Inputs() const {
  Fingerprint f;
  for (const EditD* e : f_.ValueFields()) {
    f.Add(e->Text());
    f.Add(e->Exchange());
  }
  for (const ComboBoxU* u : f_.UnitSelectors()) f.Add(u->ItemIndex());
  for (const Component* c : choices_) {
    if (const auto* l = As<ComboBox>(c))
      f.Add(l->ItemIndex());
    else if (const auto* r = As<RadioGroup>(c))
      f.Add(r->ItemIndex());
    else if (const auto* b = As<CheckBox>(c))
      f.Add(b->Checked() ? 1 : 0);
  }
  return f.h;
}

void ResultsState::Settled() {
  inputs_ = Inputs();
  settled_ = true;
}

bool ResultsState::Current() const { return settled_ && !calc_.AnyStale() && Inputs() == inputs_; }

}  // namespace pelmora
