#include "fields/FieldOps.h"

#include <cmath>

#include "fields/Text.h"

namespace pelmora {

EditD* PutResult(EditD& field, Color color, double tolerance, double x) {
  if (!Trim(field.Text()).empty()) {
    double old = field.GetValue();
    double deviation = old != 0 ? std::fabs(x - old) / std::fabs(old) : std::fabs(x - old);
    if (deviation < tolerance) return nullptr;
  }
  field.SetValue(x);
  field.SetColor(color);
  field.SetReadOnly(true);
  field.SetCursor(Cursor::No);
  return &field;
}

Edit* ReleaseResult(Edit& field) {
  if (field.Text().empty() && field.GetColor() == colors::Window) return nullptr;
  field.SetText("");
  field.SetColor(colors::Window);
  field.SetReadOnly(false);
  field.SetCursor(Cursor::Default);
  return &field;
}

bool AllFilled(std::initializer_list<const Edit*> fields) {
  for (const Edit* e : fields)
    if (e->Text().empty()) return false;
  return true;
}

bool Blank(const Edit& e) { return Trim(e.Text()).empty(); }

std::optional<double> SiValue(const EditD* e, bool evenDisabled, bool refuseStale) {
  if (!e || (!e->Enabled() && !evenDisabled) || (refuseStale && e->Stale())) return std::nullopt;
  const auto v = e->Number();
  if (!v) return std::nullopt;
  const double x = *v * e->Exchange();
  if (!std::isfinite(x)) return std::nullopt;
  return x;
}

}  // namespace pelmora
