#pragma once
// The one entry of every user event into the core.
#include <functional>

#include "fields/Components.h"

namespace pelmora {

// Runs a user action. A SilentAbort ends it without a further message; any other
// error is shown with its text in a message box. The busy cursor is always restored.
// Returns true when the action ran to its end.
bool Dispatch(Form& form, const std::function<void()>& action);

// Shows the hourglass for its lifetime (nesting allowed).
class BusyCursor {
 public:
  explicit BusyCursor(Form& form);
  ~BusyCursor();
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;

 private:
  Form& form_;
};

}  // namespace pelmora
