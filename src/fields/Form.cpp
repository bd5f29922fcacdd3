#include "fields/Form.h"

#include <algorithm>

#include "fields/Text.h"
#include "fields/UiPort.h"

namespace pelmora {

namespace {
ScriptedPort& FallbackPort() {
  static ScriptedPort port;
  return port;
}
}  // namespace

Form::Form(UiPort* port) : port_(port) {}
Form::~Form() = default;

UiPort& Form::Port() const { return port_ ? *port_ : FallbackPort(); }

void Form::Register(std::unique_ptr<Component> c) {
  Component* raw = c.get();
  if (!raw->Name().empty()) byName_.emplace(AsciiLower(raw->Name()), raw);
  order_.push_back(raw);
  owned_.push_back(std::move(c));
}

Component* Form::Find(std::string_view name) const {
  auto it = byName_.find(AsciiLower(name));
  return it == byName_.end() ? nullptr : it->second;
}

void Form::SetFocus(Component* c) {
  if (c) ShowPageOf(c);
  focused_ = c;
  NotifyFormObservers();
}

void Form::SetFocusAfterLeaving(Component* left, Component* to) {
  leftByCore_ = left;
  if (to) ShowPageOf(to);
  focused_ = to;
  NotifyFormObservers();  // the view moves its focus now, synchronously
  leftByCore_ = nullptr;
}

void Form::NotifyFormObservers() {
  auto copy = observers_;
  for (auto& [id, o] : copy) o(*this);
}

namespace {
const Component* PageOf(const Component* c) {
  for (; c; c = c->Parent())
    if (c->GetKind() == Kind::TabSheet) return c;
  return nullptr;
}
}  // namespace

Component* Form::NextInTabOrder(Component* from, bool forward) const {
  const size_t n = order_.size();
  if (n == 0) return nullptr;
  size_t start = n;
  for (size_t i = 0; i < n; ++i)
    if (order_[i] == from) start = i;
  for (size_t step = 1; step <= n; ++step) {
    size_t i;
    if (start == n)
      i = forward ? step - 1 : n - step;
    else
      i = forward ? (start + step) % n : (start + n - step) % n;
    Component* c = order_[i];
    if (from && PageOf(c) != PageOf(from)) continue;
    bool visible = true;
    for (Component* p = c; p; p = p->Parent())
      if (!p->Visible()) visible = false;
    if (c->Focusable() && c->TabStop() && c->EffectivelyEnabled() && visible) return c;
  }
  return nullptr;
}

int Form::Subscribe(FormObserver o) {
  observers_.emplace_back(nextObserver_, std::move(o));
  return nextObserver_++;
}

void Form::Unsubscribe(int id) {
  std::erase_if(observers_, [id](const auto& p) { return p.first == id; });
}

}  // namespace pelmora
