#include "app/UndoHistory.h"

#include <algorithm>
#include <type_traits>
#include <variant>

#include "app/TableText.h"
#include "fields/Properties.h"

namespace pelmora {

// The captured window. The component part is shared between the states of consecutive
// steps that did not touch it.
struct UndoHistory::State {
  // What a component shows that no settable property holds.
  struct Field {
    bool stale = false;               // an edit's result left by a run that stopped
    Cursor cursor = Cursor::Default;  // an edit's: a computed result's no-entry cursor
    std::vector<std::string> panels;  // a status bar's texts (the calculation's warnings)
    bool operator==(const Field&) const = default;
  };
  struct Components {
    std::vector<std::vector<PropValue>> props;  // per tracked component, per property
    std::vector<Field> fields;                  // per tracked component (edits only matter)
  };
  std::shared_ptr<const Components> comps;
  std::vector<std::function<void()>> restorers;
};

namespace {

bool SameValue(const PropValue& a, const PropValue& b) {
  if (a.index() != b.index()) return false;
  return std::visit(
      [&b](const auto& x) {
        using T = std::decay_t<decltype(x)>;
        const T& y = std::get<T>(b);
        if constexpr (std::is_same_v<T, std::vector<CheckListBox::Item>>) {
          if (x.size() != y.size()) return false;
          for (size_t i = 0; i < x.size(); ++i)
            if (x[i].text != y[i].text || x[i].checked != y[i].checked) return false;
          return true;
        } else {
          return x == y;
        }
      },
      a);
}

// Kinds that are no part of the project: commands, pages, the catalogue grid, the chart.
bool Tracked(const Component& c) {
  switch (c.GetKind()) {
    case Kind::MenuItem:
    case Kind::SpeedButton:
    case Kind::Button:
    case Kind::PageControl:
    case Kind::TabSheet:
    case Kind::DataGrid:
    case Kind::PaintBox: return false;
    default: return true;
  }
}

bool IsInput(const Component* c) {
  switch (c->GetKind()) {
    case Kind::Edit:
    case Kind::EditD:
    case Kind::RichEdit:
    case Kind::Memo:
    case Kind::ComboBox:
    case Kind::ComboBoxU:
    case Kind::RadioGroup:
    case Kind::CheckBox:
    case Kind::RadioButton:
    case Kind::CheckListBox: return true;
    default: return false;
  }
}

bool IsCommand(const Component* c) {
  return c && (c->GetKind() == Kind::SpeedButton || c->GetKind() == Kind::Button || c->GetKind() == Kind::MenuItem);
}

// "&N 新建" → "新建".
std::string WithoutAccessKey(std::string s) {
  if (s.size() >= 3 && s[0] == '&' && s[2] == ' ') s.erase(0, 3);
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

std::string CommandCaption(const Component* c) {
  std::string caption;
  if (const auto* b = dynamic_cast<const SpeedButton*>(c)) caption = b->Caption();
  if (const auto* m = dynamic_cast<const MenuItem*>(c)) caption = m->Caption();
  caption = WithoutAccessKey(caption);
  // A tool button says what it does in its hint; a dialog button's caption ("确定")
  // says less than its hint.
  if (!c->Hint().empty() && (caption.empty() || c->GetKind() != Kind::MenuItem)) return c->Hint();
  return caption;
}

}  // namespace

UndoHistory::UndoHistory(TFormPelmora& form) : f_(form) {
  f_.SetActionObserver(this);
  f_.onHandler = [this](const std::string& handler, Component* sender) { HandlerRun(handler, sender); };
  undoItem_ = f_.MEUndo;
  redoItem_ = f_.MERedo;
  f_.SetHandler("MEUndoClick", [this](Component*) { Undo(); });
  f_.SetHandler("MERedoClick", [this](Component*) { Redo(); });
  UpdateCommands();
}

UndoHistory::~UndoHistory() {
  if (f_.GetActionObserver() == this) f_.SetActionObserver(nullptr);
  f_.onHandler = nullptr;
}

void UndoHistory::SetEnabled(bool on) {
  enabled_ = on;
  f_.SetActionObserver(on ? this : nullptr);
  if (!on) {
    undo_.clear();
    redo_.clear();
    committed_.reset();
    open_ = nullptr;
    UpdateCommands();
  }
}

void UndoHistory::Declare(const std::string& handler, std::string name) {
  declared_[handler] = [name](Component* sender) {
    if (!name.empty() || !sender) return name;
    return CommandCaption(sender);
  };
}

void UndoHistory::Declare(const std::string& handler, std::function<std::string(Component*)> name) {
  declared_[handler] = std::move(name);
}

void UndoHistory::AddState(Capture capture) { participants_.push_back(std::move(capture)); }

// ---------------------------------------------------------------- capturing

void UndoHistory::Track() {
  if (!tracked_.empty()) return;
  for (Component* c : f_.Components())
    if (Tracked(*c)) {
      index_[c] = tracked_.size();
      tracked_.push_back(c);
      derived_.push_back(c->Name() == "RichEditReport");
    }
}

std::shared_ptr<const UndoHistory::State> UndoHistory::CaptureState() const {
  auto comps = std::make_shared<State::Components>();
  comps->props.resize(tracked_.size());
  comps->fields.resize(tracked_.size());
  for (size_t i = 0; i < tracked_.size(); ++i) {
    const Component* c = tracked_[i];
    const auto& props = Describe(c->GetKind()).properties;
    auto& v = comps->props[i];
    v.reserve(props.size());
    for (const Property& p : props) v.push_back(p.get && p.set ? p.get(*c) : PropValue{});
    if (const auto* e = dynamic_cast<const Edit*>(c)) comps->fields[i] = {e->Stale(), e->GetCursor(), {}};
    if (const auto* bar = dynamic_cast<const StatusBar*>(c))
      for (const StatusBar::Panel& p : bar->Panels()) comps->fields[i].panels.push_back(p.text);
  }
  auto s = std::make_shared<State>();
  s->comps = std::move(comps);
  for (const Capture& capture : participants_) s->restorers.push_back(capture());
  return s;
}

std::shared_ptr<const UndoHistory::State> UndoHistory::WithParticipants(const std::shared_ptr<const State>& s) const {
  auto fresh = std::make_shared<State>();
  fresh->comps = s->comps;
  for (const Capture& capture : participants_) fresh->restorers.push_back(capture());
  return fresh;
}

bool UndoHistory::Differs(const State& a, const State& b) const {
  if (a.comps == b.comps) return false;
  for (size_t i = 0; i < tracked_.size(); ++i) {
    if (derived_[i]) continue;
    const auto& x = a.comps->props[i];
    const auto& y = b.comps->props[i];
    for (size_t k = 0; k < x.size() && k < y.size(); ++k)
      if (!SameValue(x[k], y[k])) return true;
    if (!(a.comps->fields[i] == b.comps->fields[i])) return true;
  }
  return false;
}

void UndoHistory::Restore(const State& s) {
  // Setting a property may move others through the handlers it raises (a mode choice
  // relabels and enables fields, a unit rescales its field): repeat until a round
  // finds everything as captured (bounded; the modes settle in two).
  for (int round = 0; round < 8; ++round) {
    bool set = false;
    for (size_t i = 0; i < tracked_.size(); ++i) {
      Component* c = tracked_[i];
      const auto& props = Describe(c->GetKind()).properties;
      const auto& want = s.comps->props[i];
      for (size_t k = 0; k < props.size() && k < want.size(); ++k) {
        const Property& p = props[k];
        if (!p.get || !p.set || SameValue(p.get(*c), want[k])) continue;
        p.set(*c, want[k]);
        set = true;
      }
    }
    if (!set) break;
  }
  for (size_t i = 0; i < tracked_.size(); ++i) {
    const State::Field& field = s.comps->fields[i];
    if (auto* e = dynamic_cast<Edit*>(tracked_[i])) {
      e->SetCursor(field.cursor);
      e->SetStale(field.stale);
    } else if (auto* bar = dynamic_cast<StatusBar*>(tracked_[i])) {
      for (size_t k = 0; k < field.panels.size() && k < bar->Panels().size(); ++k)
        if (bar->PanelText(k) != field.panels[k]) bar->SetPanelText(k, field.panels[k]);
    }
  }
  for (const auto& restore : s.restorers) restore();
}

// ---------------------------------------------------------------- naming

std::string UndoHistory::CaptionOf(const Component* c) const { return ControlCaption(f_, c); }

std::string UndoHistory::NameOf(const Component* subject) const {
  switch (subject->GetKind()) {
    case Kind::ComboBoxU: return kUnit + CaptionOf(subject);
    case Kind::ComboBox:
    case Kind::RadioGroup:
    case Kind::CheckBox:
    case Kind::RadioButton:
    case Kind::CheckListBox: return kChosen + CaptionOf(subject);
    default: return kTyped + CaptionOf(subject);
  }
}

// The control the user changed: the one that had the focus when the action began, if it
// changed; else the first selector, list or input that did (a change from the command
// line, where no control is focused for a unit).
Component* UndoHistory::Subject(const State& before, const State& after) const {
  // What the user sets: a text, a choice, a tick (not the looks the modes give).
  auto changed = [&](size_t i) {
    const auto& props = Describe(tracked_[i]->GetKind()).properties;
    const auto& x = before.comps->props[i];
    const auto& y = after.comps->props[i];
    for (size_t k = 0; k < x.size() && k < y.size() && k < props.size(); ++k) {
      const std::string& n = props[k].name;
      const bool value = n == "Text" || n == "ItemIndex" || n == "Lines" || n == "Checked" ||
                         (n == "Items" && tracked_[i]->GetKind() == Kind::CheckListBox);
      if (value && !SameValue(x[k], y[k])) return true;
    }
    return false;
  };
  if (focusAtStart_ && IsInput(focusAtStart_)) {
    auto it = index_.find(focusAtStart_);
    if (it != index_.end() && changed(it->second)) return focusAtStart_;
  }
  // A mode choice moves other lists and units with it; a unit choice moves nothing else.
  for (Kind wanted : {Kind::RadioGroup, Kind::ComboBox, Kind::CheckBox, Kind::ComboBoxU})
    for (size_t i = 0; i < tracked_.size(); ++i)
      if (tracked_[i]->GetKind() == wanted && !derived_[i] && changed(i)) return tracked_[i];
  for (size_t i = 0; i < tracked_.size(); ++i) {
    const auto* e = dynamic_cast<const Edit*>(tracked_[i]);
    if (e && !derived_[i] && !e->ReadOnly() && e->GetColor() == colors::Window && changed(i)) return tracked_[i];
  }
  return nullptr;
}

void UndoHistory::HandlerRun(const std::string& handler, Component* sender) {
  if (!inAction_) return;
  auto d = declared_.find(handler);
  if (d != declared_.end()) {
    if (declaredName_.empty()) declaredName_ = d->second(sender);
    return;
  }
  if (commandName_.empty() && IsCommand(sender)) commandName_ = CommandCaption(sender);
  // Switching pages rebuilds the report and re-applies the vessel rules: what that
  // changes is a reaction, not a change of the user's.
  if (handler == "PageControl1Change") pageSwitch_ = true;
}

// ---------------------------------------------------------------- steps

void UndoHistory::Rebase() {
  Track();
  committed_ = CaptureState();
  committedCount_ = f_.ChangeCount();
}

void UndoHistory::Begin() {
  inAction_ = true;
  focusAtStart_ = f_.Focused();
  declaredName_.clear();
  commandName_.clear();
  pageSwitch_ = false;
  restored_ = false;
  cleared_ = false;
  // A step goes on only while its control keeps the focus.
  if (open_ && focusAtStart_ != open_) open_ = nullptr;
  // What changed outside any user action (a test's direct settings, the window being
  // built) is where the next step starts from.
  if (!committed_ || committedCount_ != f_.ChangeCount()) Rebase();
}

void UndoHistory::End() {
  inAction_ = false;
  if (restored_ || cleared_) {
    if (cleared_) {
      undo_.clear();
      redo_.clear();
      open_ = nullptr;
    }
    Rebase();
    UpdateCommands();
    if (afterStep) afterStep();
    return;
  }
  if (f_.ChangeCount() == committedCount_) {
    // Nothing of the components changed; the curve or the checks may have.
    if (!participants_.empty()) committed_ = WithParticipants(committed_);
    return;
  }
  auto now = CaptureState();
  committedCount_ = f_.ChangeCount();
  if (!Differs(*committed_, *now)) {
    committed_ = std::move(now);  // the report text, or nothing the project holds
    return;
  }
  Component* subject = declaredName_.empty() ? Subject(*committed_, *now) : nullptr;
  if (pageSwitch_ && declaredName_.empty() && commandName_.empty() && !subject) {
    committed_ = std::move(now);
    return;
  }
  if (declaredName_.empty() && open_ && !undo_.empty() && focusAtStart_ == open_) {
    undo_.back().after = now;  // the same field typed on, or its exit's recalculation
  } else {
    std::string name = !declaredName_.empty()  ? declaredName_
                       : subject               ? NameOf(subject)
                       : !commandName_.empty() ? commandName_
                                               : kRecalculated;
    undo_.push_back({std::move(name), committed_, now});
    if (undo_.size() > kMaxSteps) undo_.erase(undo_.begin());
    redo_.clear();
    open_ = declaredName_.empty() && subject && IsInput(subject) ? subject : nullptr;
  }
  if (open_ && f_.Focused() != open_) open_ = nullptr;
  committed_ = std::move(now);
  UpdateCommands();
  if (afterStep) afterStep();
}

void UndoHistory::ActionStarted() {
  if (enabled_) Begin();
}

void UndoHistory::ActionEnded() {
  if (enabled_ && inAction_) End();
}

UndoHistory::Step::Step(UndoHistory& history, std::string name) : history_(history) {
  if (!history_.enabled_) return;
  own_ = !history_.inAction_;
  if (own_) history_.Begin();
  if (history_.declaredName_.empty()) history_.declaredName_ = std::move(name);
}

UndoHistory::Step::~Step() {
  if (own_ && history_.inAction_) history_.End();
}

bool UndoHistory::Undo() {
  if (undo_.empty()) return false;
  Entry e = std::move(undo_.back());
  undo_.pop_back();
  open_ = nullptr;
  Restore(*e.before);
  redo_.push_back(std::move(e));
  restored_ = true;
  if (!inAction_) committed_.reset();  // taken again when the next action starts
  UpdateCommands();
  if (afterRestore) afterRestore();
  return true;
}

bool UndoHistory::Redo() {
  if (redo_.empty()) return false;
  Entry e = std::move(redo_.back());
  redo_.pop_back();
  open_ = nullptr;
  Restore(*e.after);
  undo_.push_back(std::move(e));
  restored_ = true;
  if (!inAction_) committed_.reset();
  UpdateCommands();
  if (afterRestore) afterRestore();
  return true;
}

void UndoHistory::Clear() {
  undo_.clear();
  redo_.clear();
  open_ = nullptr;
  cleared_ = true;
  if (!inAction_) committed_.reset();
  UpdateCommands();
}

void UndoHistory::UpdateCommands() {
  auto show = [](MenuItem* item, const char* verb, const char* hint, const std::vector<Entry>& steps) {
    if (!item) return;
    std::string caption = verb;
    if (!steps.empty()) {
      std::string name = steps.back().name;
      // An ampersand in a caption would mark an access key.
      for (size_t p = name.find('&'); p != std::string::npos; p = name.find('&', p + 2)) name.insert(p, "&");
      caption += " " + name;
    }
    item->SetCaption(caption);
    item->SetHint(hint);  // the same in every state: it names the manual's section
    item->SetEnabled(!steps.empty());
  };
  show(undoItem_, kUndoCaption, kUndoHint, undo_);
  show(redoItem_, kRedoCaption, kRedoHint, redo_);
}

}  // namespace pelmora
