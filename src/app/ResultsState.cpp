#include "app/ResultsState.h"


namespace pelmora {

namespace {

// FNV-1a, 64 bits: a fingerprint, not a protection.
struct Fnv {
  uint64_t h = 1469598103934665603ULL;
  void Add(const void* data, size_t n) {
    const auto* p = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < n; ++i) {
      h ^= p[i];
      h *= 1099511628211ULL;
    }
  }
  void Add(const std::string& s) {
    Add(s.data(), s.size());
    Add("\x1F", 1);  // keeps "ab"+"c" apart from "a"+"bc"
  }
  template <class T>
  void AddValue(T v) {
    Add(&v, sizeof v);
  }
};

}  // namespace

ResultsState::ResultsState(const TFormPelmora& form, const Calculation& calc) : f_(form), calc_(calc) {
  for (const Component* c : form.Components())
    if (dynamic_cast<const RadioGroup*>(c) || dynamic_cast<const CheckBox*>(c) ||
        (dynamic_cast<const ComboBox*>(c) && !dynamic_cast<const ComboBoxU*>(c)))
      choices_.push_back(c);
}

uint64_t ResultsState::Inputs() const {
  Fnv f;
  for (const EditD* e : f_.ValueFields()) {
    f.Add(e->Text());
    f.AddValue(e->Exchange());
  }
  for (const ComboBoxU* u : f_.UnitSelectors()) f.AddValue(u->ItemIndex());
  for (const Component* c : choices_) {
    if (const auto* l = dynamic_cast<const ComboBox*>(c))
      f.AddValue(l->ItemIndex());
    else if (const auto* r = dynamic_cast<const RadioGroup*>(c))
      f.AddValue(r->ItemIndex());
    else if (const auto* b = dynamic_cast<const CheckBox*>(c))
      f.AddValue(b->Checked());
  }
  return f.h;
}

void ResultsState::Settled() {
  inputs_ = Inputs();
  settled_ = true;
}

bool ResultsState::Current() const { return settled_ && !calc_.AnyStale() && Inputs() == inputs_; }

}  // namespace pelmora
