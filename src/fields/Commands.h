#pragma once
// The command table of a form. A command is one object: what it does, bound once under
// its name (the handler name of its first control, such as "MFNewClick"), with the names
// of its other controls (the tool button "SBFNewClick" of the same action) and its keys
// ("Ctrl+N"). Every control that runs a command is listed with the handler it names, so
// that a front end can show, and a test check, which controls act.
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "fields/Components.h"

namespace pelmora {

class CommandTable {
 public:
  // Binds a command under `name` and its `aliases`, with the `keys` that run it (in the
  // portable spelling "Ctrl+Shift+S", "F9"). Binding a name that is bound already is a
  // programming error while the form is being set up: std::logic_error. Once the table
  // is sealed a name may be bound again on its own (a test puts its own handler in place).
  void Bind(const std::string& name, Event run, std::vector<std::string> aliases = {},
            std::vector<std::string> keys = {});
  // Extends a bound command: `outer` runs instead, with the command as it was and the
  // sender. Every alias of the command gets the extension. Unbound: std::logic_error.
  void Wrap(const std::string& name, std::function<void(const Event& inner, Component* sender)> outer);
  bool Has(const std::string& name) const;
  // Runs the command bound to `name`; an unbound name does nothing.
  void Run(const std::string& name, Component* sender) const;
  // The keys of the command bound to `name` (empty when none or unbound).
  std::vector<std::string> KeysOf(const std::string& name) const;

  // A control that runs the command `handler` when clicked; returns its OnClick, which
  // looks the command up when it runs (extensions and later bindings apply).
  Event AddControl(Component& control, const std::string& handler);
  struct Entry {
    Component* control;
    std::string handler;
    enum class State { Bound, Disabled } state;
  };
  // Every command control in the order added (menu titles and separators left out).
  std::vector<Entry> Controls() const;
  // After every subsystem has bound its commands: a control whose command is unbound is
  // disabled with `hint`; from now on a name may be bound again (see Bind).
  void Seal(const std::string& hint);
  bool Sealed() const { return sealed_; }

 private:
  struct Command {
    Event run;
    std::vector<std::string> keys;
  };
  std::map<std::string, std::shared_ptr<Command>> byName_;
  std::vector<std::pair<Component*, std::string>> controls_;
  bool sealed_ = false;
};

}  // namespace pelmora
