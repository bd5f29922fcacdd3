#include "app/UndoHistory.h"

#include <algorithm>
#include <type_traits>
#include <variant>

#include "app/TableText.h"
#include "fields/Properties.h"

namespace pelmora {

// The captured window: one part per tracked component, shared between the states of
// the steps that did not touch it (a step's capture takes anew only the components whose
// change notifications it saw).
struct UndoHistory::Part {
  std::vector<PropValue> props;     // per settable property, in the kind's order
  bool stale = false;               // an edit's result left by a run that stopped
  Cursor cursor = Cursor::Default;  // an edit's: a computed result's no-entry cursor
  std::vector<std::string> panels;  // a status bar's texts (the calculation's warnings)
};

struct UndoHistory::State {
  std::vector<std::shared_ptr<const Part>> parts;  // per tracked component
  std::vector<std::function<void()>> restorers;
};

namespace {

bool Tracked(const Component& c) { return Describe(c.GetKind()).project; }

bool IsInput(const Component* c) { return Describe(c->GetKind()).input; }

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
  if (const auto* b = As<SpeedButton>(c)) caption = b->Caption();
  if (const auto* m = As<MenuItem>(c)) caption = m->Caption();
  caption = WithoutAccessKey(caption);
  // A tool button says what it does in its hint; a dialog button's caption ("确定")
  // says less than its hint.
  if (!c->Hint().empty() && (caption.empty() || c->GetKind() != Kind::MenuItem)) return c->Hint();
  return caption;
}

}  // namespace

UndoHistory::UndoHistory(TFormPelmora& form) : f_(form) {
  f_.SetActionObserver(this);
  f_.SetChangeLog(&changed_);
  f_.onHandler = [this](const std::string& handler, Component* sender) { HandlerRun(handler, sender); };
  undoItem_ = f_.MEUndo;
  redoItem_ = f_.MERedo;
  f_.BindCommand("MEUndoClick", [this](Component*) { Undo(); }, {}, {"Ctrl+Z"});
  f_.BindCommand("MERedoClick", [this](Component*) { Redo(); }, {}, {"Ctrl+Y", "Ctrl+Shift+Z"});
  UpdateCommands();
}

UndoHistory::~UndoHistory() {
  if (f_.GetActionObserver() == this) f_.SetActionObserver(nullptr);
  f_.SetChangeLog(nullptr);
  f_.onHandler = nullptr;
}

void UndoHistory::SetEnabled(bool on) {
  enabled_ = on;
  f_.SetActionObserver(on ? this : nullptr);
  changed_.clear();
  f_.SetChangeLog(on ? &changed_ : nullptr);
  committed_.reset();  // taken whole at the next action
  if (!on) {
    undo_.clear();
    redo_.clear();
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

std::shared_ptr<const UndoHistory::Part> UndoHistory::CapturePart(size_t i) const {
  const Component* c = tracked_[i];
  auto part = std::make_shared<Part>();
  const auto& props = Describe(c->GetKind()).properties;
  part->props.reserve(props.size());
  for (const Property& p : props) part->props.push_back(p.get && p.set ? p.get(*c) : PropValue{});
  if (const auto* e = As<Edit>(c)) {
    part->stale = e->Stale();
    part->cursor = e->GetCursor();
  }
  if (const auto* bar = As<StatusBar>(c))
    for (const StatusBar::Panel& p : bar->Panels()) part->panels.push_back(p.text);
  return part;
}

std::shared_ptr<const UndoHistory::State> UndoHistory::CaptureState() {
  auto s = std::make_shared<State>();
  if (!committed_ || f_.ChangeLogFull()) {
    s->parts.resize(tracked_.size());
    for (size_t i = 0; i < tracked_.size(); ++i) s->parts[i] = CapturePart(i);
  } else {
    s->parts = committed_->parts;
    std::vector<char> done(tracked_.size(), 0);
    auto take = [&](const Component* c) {
      auto it = index_.find(c);
      if (it == index_.end() || done[it->second]) return;
      done[it->second] = 1;
      s->parts[it->second] = CapturePart(it->second);
    };
    for (const Component* c : changed_) {
      take(c);
      // A unit chosen for an empty field changes the field's factor silently.
      if (const auto* u = As<ComboBoxU>(c); u && u->Associated()) take(u->Associated());
    }
  }
  f_.ClearChangeLog();
  for (const Capture& capture : participants_) s->restorers.push_back(capture());
  return s;
}

std::shared_ptr<const UndoHistory::State> UndoHistory::WithParticipants(const std::shared_ptr<const State>& s) const {
  auto fresh = std::make_shared<State>();
  fresh->parts = s->parts;
  for (const Capture& capture : participants_) fresh->restorers.push_back(capture());
  return fresh;
}

namespace {
bool SamePart(const std::vector<PropValue>& x, const std::vector<PropValue>& y) {
  if (x.size() != y.size()) return false;
  for (size_t k = 0; k < x.size(); ++k)
    if (!SameValue(x[k], y[k])) return false;
  return true;
}
}  // namespace

bool UndoHistory::Differs(const State& a, const State& b) const {
  for (size_t i = 0; i < tracked_.size(); ++i) {
    const Part* x = a.parts[i].get();
    const Part* y = b.parts[i].get();
    if (x == y || derived_[i]) continue;
    if (!SamePart(x->props, y->props) || x->stale != y->stale || x->cursor != y->cursor || x->panels != y->panels)
      return true;
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
      const auto& want = s.parts[i]->props;
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
    const Part& part = *s.parts[i];
    if (auto* e = As<Edit>(tracked_[i])) {
      e->SetCursor(part.cursor);
      e->SetStale(part.stale);
    } else if (auto* bar = As<StatusBar>(tracked_[i])) {
      for (size_t k = 0; k < part.panels.size() && k < bar->Panels().size(); ++k)
        if (bar->PanelText(k) != part.panels[k]) bar->SetPanelText(k, part.panels[k]);
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
    if (before.parts[i] == after.parts[i]) return false;
    const auto& props = Describe(tracked_[i]->GetKind()).properties;
    const auto& x = before.parts[i]->props;
    const auto& y = after.parts[i]->props;
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
    const auto* e = As<Edit>(tracked_[i]);
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
  if (deferred_) return;  // not started: what happens now is where the history starts
  if (!committed_ || committedCount_ != f_.ChangeCount()) Rebase();
  TakeSaved();
}

void UndoHistory::Start() {
  if (!deferred_) return;
  deferred_ = false;
  if (enabled_ && !inAction_) {
    Rebase();
    TakeSaved();
  }
}

void UndoHistory::MarkSaved() { savedPending_ = true; }

void UndoHistory::TakeSaved() {
  if (!savedPending_ || !committed_) return;
  savedPending_ = false;
  saved_ = committed_;
}

bool UndoHistory::Unsaved() const { return !saved_ || !committed_ || Differs(*committed_, *saved_); }

void UndoHistory::End() {
  inAction_ = false;
  if (deferred_) {
    cleared_ = restored_ = false;
    return;
  }
  if (restored_ || cleared_) {
    if (cleared_) {
      undo_.clear();
      redo_.clear();
      open_ = nullptr;
    }
    Rebase();
    TakeSaved();
    UpdateCommands();
    if (afterStep) afterStep();
    return;
  }
  if (f_.ChangeCount() == committedCount_) {
    // Nothing of the components changed; the curve or the checks may have.
    if (!participants_.empty()) committed_ = WithParticipants(committed_);
    TakeSaved();
    return;
  }
  auto now = CaptureState();
  committedCount_ = f_.ChangeCount();
  if (!Differs(*committed_, *now)) {
    committed_ = std::move(now);  // the report text, or nothing the project holds
    TakeSaved();
    return;
  }
  Component* subject = declaredName_.empty() ? Subject(*committed_, *now) : nullptr;
  if (pageSwitch_ && declaredName_.empty() && commandName_.empty() && !subject) {
    committed_ = std::move(now);
    TakeSaved();
    if (afterStep) afterStep();
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
  TakeSaved();
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
  saved_.reset();  // what the file holds is told by MarkSaved
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
