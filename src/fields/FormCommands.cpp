// The window's commands, its focus and its keys: which handler a name runs, where Tab,
// Enter and the arrows go, and what leaving a control does.
#include "fields/Catalogue.h"

#include <set>
#include <stdexcept>

#include "fields/Properties.h"

namespace pelmora {

Event TFormPelmora::Handler(const std::string& name) {
  return [this, name](Component* sender) { RunHandler(name, sender); };
}

KeyEvent TFormPelmora::KeyHandler(const std::string& name) {
  return [this, name](Component* sender, int key) {
    if (name == "MaoDKeyDown") {
      MaoDKeyDown(sender, key);
      return;
    }
    auto it = keyHandlers_.find(name);
    if (it != keyHandlers_.end() && it->second) it->second(sender, key);
  };
}

bool TFormPelmora::HasHandler(const std::string& name) const {
  if (name == "MaoDChange" || name == "MaoDKeyDown") return true;
  if (commands_.Has(name)) return true;
  auto k = keyHandlers_.find(name);
  return k != keyHandlers_.end() && k->second;
}

Event TFormPelmora::AddCommand(Component& control, const std::string& handler) {
  commands_.AddControl(control, handler);
  return Handler(handler);
}

std::vector<std::string> TFormPelmora::KeysOfControl(const std::string& controlName) const {
  for (const auto& e : commands_.Controls())
    if (e.control->Name() == controlName) return commands_.KeysOf(e.handler);
  return {};
}

namespace {
// Commands whose function is still to come. Their controls stay disabled, with a hint.
const std::set<std::string> kNotYetProvided = {};
}  // namespace

std::vector<TFormPelmora::Command> TFormPelmora::Commands() const {
  std::vector<Command> out;
  for (const auto& e : commands_.Controls())
    out.push_back({e.control, e.handler,
                   e.state == CommandTable::Entry::State::Bound ? Command::State::Bound : Command::State::Disabled});
  std::set<std::string> keyed;
  for (Component* c : Components())
    if (c->OnKeyDown && keyed.insert("MaoDKeyDown").second)
      out.push_back({c, "MaoDKeyDown", HasHandler("MaoDKeyDown") ? Command::State::Bound : Command::State::Disabled});
  return out;
}

std::vector<std::string> TFormPelmora::UnexpectedUnbound() const {
  std::vector<std::string> out;
  for (const Command& c : Commands())
    if (c.state == Command::State::Disabled && !kNotYetProvided.count(c.handler))
      out.push_back(c.control->Name() + " → " + c.handler);
  return out;
}

void TFormPelmora::SealCommands() {
  commands_.Seal(kNotProvidedHint);
#ifndef NDEBUG
  auto wrong = UnexpectedUnbound();
  if (!wrong.empty()) {
    std::string list;
    for (const auto& w : wrong) list += w + " ";
    throw std::logic_error("commands without a handler: " + list);
  }
#endif
}

void TFormPelmora::Leave(Component* c) {
  if (!c) return;
  if (const auto& leave = Describe(c->GetKind()).leave) leave(*c);
}

Component* TFormPelmora::MoveFocusFrom(Component* from, bool forward) {
  Component* next = NextInTabOrder(from, forward);
  if (!next || next == from) return from;
  return LeaveFor(from, next);
}

namespace {
bool OnPage(const Component* c, const GroupBox* page) {
  for (; c; c = c->Parent())
    if (c == page) return true;
  return false;
}
}  // namespace

Component* TFormPelmora::TabTarget(Component* from, bool forward) const {
  const GroupBox* page = PageControl1 ? PageControl1->ActivePage() : nullptr;
  if (from && (!page || OnPage(from, page))) return NextInTabOrder(from, forward);
  // From the page tabs (or nowhere): the first (last) control of the page shown.
  const auto& all = Components();
  for (size_t k = 0; k < all.size(); ++k) {
    Component* c = all[forward ? k : all.size() - 1 - k];
    if (!OnPage(c, page) || !c->Focusable() || !c->TabStop() || !c->EffectivelyEnabled()) continue;
    bool visible = true;
    for (const Component* p = c; p && visible; p = p->Parent()) visible = p->Visible();
    if (visible) return c;
  }
  return nullptr;
}

bool TFormPelmora::KeyDown(Component* target, Key key) {
  if (target && target->OnKeyDown) {
    FocusChangedByView(target);
    target->OnKeyDown(target, Code(key));
    return key != Key::Escape;
  }
  const bool forward = key == Key::Enter || key == Key::Down || key == Key::Tab;
  if (!forward && key != Key::Up && key != Key::Backtab) return false;
  const GroupBox* page = PageControl1 ? PageControl1->ActivePage() : nullptr;
  // From the page tabs the tab order goes on from the control that had the focus last.
  Component* next = TabTarget(target ? target : Focused(), forward);
  if (!next) return false;
  if (target && OnPage(target, page)) {
    FocusChangedByView(target);
    if (next != target) LeaveFor(target, next);
  } else {
    // Nothing is left: the control that had the focus was left when it lost it.
    SetFocus(next);
  }
  return true;
}

void TFormPelmora::ShowPageOf(Component* c) {
  for (const Component* p = c; p; p = p->Parent())
    if (p->GetKind() == Kind::TabSheet && p->Parent() == PageControl1)
      PageControl1->SetActivePage(const_cast<GroupBox*>(static_cast<const GroupBox*>(p)));
}

void TFormPelmora::FocusByUser(Component* to) {
  Component* from = Focused();
  if (from == to) return;
  LeaveFor(from, to);
}

Component* TFormPelmora::LeaveFor(Component* from, Component* to) {
  if (from) {
    FocusChangedByView(from);
    SetLeftByCore(from);  // a view that loses `from` meanwhile must not leave it again
    try {
      Leave(from);
    } catch (...) {
      SetLeftByCore(nullptr);
      // A field that refused its own value keeps the focus; a run that stopped over
      // another (blank) field still lets the user go on to the next one.
      if (Component* now = Focused(); now != from) SetFocusAfterLeaving(now, to);
      throw;
    }
    SetLeftByCore(nullptr);
  }
  SetFocusAfterLeaving(from, to);
  return to;
}

void TFormPelmora::MaoDKeyDown(Component* sender, int key) {
  switch (static_cast<Key>(key)) {
    case Key::Enter:  // the field is left as with Tab
    case Key::Down:
    case Key::Tab: MoveFocusFrom(sender, true); break;
    case Key::Up:
    case Key::Backtab: MoveFocusFrom(sender, false); break;
    case Key::F1:
      if (onHelpKey) onHelpKey(sender);
      break;
    default: break;
  }
}

void TFormPelmora::WrapHandler(const std::string& name,
                               std::function<void(const Event& inner, Component* sender)> outer) {
  commands_.Wrap(name, std::move(outer));
}

void TFormPelmora::RunHandler(const std::string& name, Component* sender) {
  if (onHandler) onHandler(name, sender);
  if (name == "MaoDChange") {
    MaoDChange(sender);
    return;
  }
  commands_.Run(name, sender);
}

void TFormPelmora::SetProjectModified(bool b, bool touchSave) {
  projectModified_ = b;
  if (touchSave && MFSave) MFSave->SetEnabled(b);
}

void TFormPelmora::MaoDChange(Component*) { SetProjectModified(true, true); }

void TFormPelmora::SetCaption(std::string c) {
  if (caption_ == c) return;
  caption_ = std::move(c);
  NotifyFormObservers();  // the view redraws the title
}

void TFormPelmora::SetUnsaved(bool b) {
  if (unsaved_ == b) return;
  unsaved_ = b;
  NotifyFormObservers();  // the view redraws the title
}

ExitAction TFormPelmora::ExitOf(const EditD* field) const {
  auto it = exits_.find(field);
  return it == exits_.end() ? ExitAction::None : it->second;
}
}  // namespace pelmora
