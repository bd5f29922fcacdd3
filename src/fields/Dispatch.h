#pragma once
// The one entry of every user event into the core.
#include <functional>
#include <string>

#include "fields/Components.h"

namespace pelmora {

// Runs a user action. A SilentAbort ends it without a further message; any other
// error is shown with its text in a message box. The busy cursor is always restored.
// Returns true when the action ran to its end.
bool Dispatch(Form& form, const std::function<void()>& action);

// Something escaped a user action that no user action is meant to end with (a fault of
// the program: a logic error, exhausted memory, an exception of a foreign type). The
// dispatch point and the front ends' last-resort handlers report it here: the message
// is shown (through the form's port when there is a form) and the hook runs.
std::string UnexpectedErrorMessage(const std::string& what);
void ReportUnexpectedError(Form* form, const std::string& what);

// Runs after an unexpected error has been shown, e.g. to write a recovery copy of the
// project. One hook for the program; empty: nothing more happens.
using UnexpectedErrorHook = std::function<void(const std::string& what)>;
void SetUnexpectedErrorHook(UnexpectedErrorHook hook);

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
