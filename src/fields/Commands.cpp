#include "fields/Commands.h"

#include <stdexcept>

namespace pelmora {

void CommandTable::Bind(const std::string& name, Event run, std::vector<std::string> aliases,
                        std::vector<std::string> keys) {
  auto command = std::make_shared<Command>(Command{std::move(run), std::move(keys)});
  aliases.insert(aliases.begin(), name);
  for (const std::string& a : aliases) {
    auto [it, added] = byName_.emplace(a, command);
    if (added) continue;
    if (!sealed_) throw std::logic_error("command " + a + " is bound twice");
    it->second = command;
  }
}

void CommandTable::Wrap(const std::string& name, std::function<void(const Event& inner, Component* sender)> outer) {
  auto it = byName_.find(name);
  if (it == byName_.end() || !it->second->run) throw std::logic_error("command " + name + " is extended unbound");
  Command& c = *it->second;
  c.run = [inner = std::move(c.run), outer = std::move(outer)](Component* s) { outer(inner, s); };
}

bool CommandTable::Has(const std::string& name) const {
  auto it = byName_.find(name);
  return it != byName_.end() && it->second->run;
}

void CommandTable::Run(const std::string& name, Component* sender) const {
  auto it = byName_.find(name);
  if (it == byName_.end() || !it->second->run) return;
  // The command stays alive while it runs, even if it binds its own name anew.
  std::shared_ptr<Command> keep = it->second;
  keep->run(sender);
}

std::vector<std::string> CommandTable::KeysOf(const std::string& name) const {
  auto it = byName_.find(name);
  return it == byName_.end() ? std::vector<std::string>() : it->second->keys;
}

Event CommandTable::AddControl(Component& control, const std::string& handler) {
  controls_.emplace_back(&control, handler);
  return [this, handler](Component* sender) { Run(handler, sender); };
}

namespace {
bool IsCommandControl(const Component* c) {
  if (c->GetKind() != Kind::MenuItem) return true;
  // Menu titles open their submenu; separators do nothing.
  if (static_cast<const MenuItem*>(c)->Caption() == "-") return false;
  for (const Component* other : c->Owner().Components())
    if (other->Parent() == c) return false;
  return true;
}
}  // namespace

std::vector<CommandTable::Entry> CommandTable::Controls() const {
  std::vector<Entry> out;
  for (const auto& [c, h] : controls_)
    if (IsCommandControl(c)) out.push_back({c, h, Has(h) ? Entry::State::Bound : Entry::State::Disabled});
  return out;
}

void CommandTable::Seal(const std::string& hint) {
  for (const Entry& e : Controls())
    if (e.state == Entry::State::Disabled) e.control->SetUnavailable(hint);
  sealed_ = true;
}

}  // namespace pelmora
