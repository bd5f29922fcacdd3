#pragma once
// The three operations through which the calculation writes and releases results.
#include <initializer_list>
#include <optional>

#include "fields/Components.h"

namespace pelmora {

// Writes x (SI) with the marking colour when the field is empty or x deviates from the
// shown value by at least `tolerance` (relative, absolute when the old value is 0);
// returns the field when it wrote, nullptr when it left it unchanged.
EditD* PutResult(EditD& field, Color color, double tolerance, double x);

// Turns a computed field back into an empty input; returns the field when it changed
// something.
Edit* ReleaseResult(Edit& field);

// True when no listed field has an empty text (a single blank counts as filled).
bool AllFilled(std::initializer_list<const Edit*> fields);
inline bool Filled(const Edit& e) { return !e.Text().empty(); }
bool Blank(const Edit& e);  // trimmed text empty

// The SI value a field shows (its number times its unit's factor): nothing for no field,
// an empty or non-numeric text or a value that is not finite, for a disabled field unless
// `evenDisabled`, and for a stale result when `refuseStale` (what a check of the last run
// must not read as current).
std::optional<double> SiValue(const EditD* e, bool evenDisabled = false, bool refuseStale = false);

}  // namespace pelmora
