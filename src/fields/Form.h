#pragma once
// The form: the owner of the components in creation order, the keyboard focus, the
// change log the undo history reads, and the observers of form-level changes.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "fields/Components.h"

namespace pelmora {

// Owner of components in creation order, found by name without regard to case.
class Form {
 public:
  explicit Form(UiPort* port = nullptr);
  virtual ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  template <class T, class... Args>
  T& Create(std::string name, Component* parent, Args&&... args) {
    auto c = std::make_unique<T>(*this, std::move(name), parent, std::forward<Args>(args)...);
    T& ref = *c;
    Register(std::move(c));
    return ref;
  }
  Component* Find(std::string_view name) const;
  template <class T>
  T* FindAs(std::string_view name) const {
    return dynamic_cast<T*>(Find(name));
  }
  const std::vector<Component*>& Components() const { return order_; }

  UiPort& Port() const;
  void SetPort(UiPort* p) { port_ = p; }

  // True while the form description is read (unit selectors do not rescale then).
  bool Loading() const { return loading_; }
  void SetLoading(bool b) { loading_ = b; }

  // The control with the keyboard focus, as the view reports it and as the core moves it.
  Component* Focused() const { return focused_; }
  void SetFocus(Component* c);
  // Called by a view when the user moved the focus (no echo to the view).
  void FocusChangedByView(Component* c) { focused_ = c; }
  // The next (or previous) control in tab order that can take the focus.
  Component* NextInTabOrder(Component* from, bool forward) const;
  // Moves the focus to `to` after the core has run the exit handler of `left`: a view
  // that sees the focus leave `left` now must not run it a second time (LeftByCore).
  void SetFocusAfterLeaving(Component* left, Component* to);
  bool LeftByCore(const Component* c) const { return c && c == leftByCore_; }
  void SetLeftByCore(Component* c) { leftByCore_ = c; }

  // While a log is open, every edit whose text is set (changed or not) is noted in it.
  void OpenWriteLog(std::vector<const Component*>* log) { writeLog_ = log; }
  void NoteWrite(const Component* c) {
    if (writeLog_) writeLog_->push_back(c);
  }

  // Counts every change of a component's visible state (each notification): a reader
  // that saw the same count has seen the same form.
  uint64_t ChangeCount() const { return changeCount_; }
  void NoteChange(Component* c) {
    ++changeCount_;
    if (!changeLog_ || changeLogFull_) return;
    if (changeLog_->size() < kChangeLogLimit)
      changeLog_->push_back(c);
    else
      changeLogFull_ = true;
  }
  // While a log is set, every component that notifies a change is noted in it (the undo
  // history captures those again). A log that reached its limit stops and says so: the
  // reader then takes every component.
  void SetChangeLog(std::vector<Component*>* log) {
    changeLog_ = log;
    changeLogFull_ = false;
  }
  bool ChangeLogFull() const { return changeLogFull_; }
  void ClearChangeLog() {
    if (changeLog_) changeLog_->clear();
    changeLogFull_ = false;
  }
  static constexpr size_t kChangeLogLimit = 1 << 16;

  // Told when a user action starts and when it has ended at the dispatch point (the
  // outermost action only; the dialogs and paints inside it are part of it).
  class ActionObserver {
   public:
    virtual ~ActionObserver() = default;
    virtual void ActionStarted() = 0;
    virtual void ActionEnded() = 0;
  };
  ActionObserver* GetActionObserver() const { return actionObserver_; }
  void SetActionObserver(ActionObserver* o) { actionObserver_ = o; }

  // Observers of form-level changes (focus moved by the core).
  using FormObserver = std::function<void(Form&)>;
  int Subscribe(FormObserver o);
  void Unsubscribe(int id);
  void NotifyFormObservers();

 protected:
  // Before a control takes the focus from the core: a form with pages shows its page.
  virtual void ShowPageOf(Component*) {}

 private:
  void Register(std::unique_ptr<Component> c);
  std::vector<std::unique_ptr<Component>> owned_;
  std::vector<Component*> order_;
  std::unordered_map<std::string, Component*> byName_;
  UiPort* port_;
  bool loading_ = false;
  Component* focused_ = nullptr;
  Component* leftByCore_ = nullptr;
  std::vector<const Component*>* writeLog_ = nullptr;
  uint64_t changeCount_ = 0;
  std::vector<Component*>* changeLog_ = nullptr;
  bool changeLogFull_ = false;
  ActionObserver* actionObserver_ = nullptr;
  std::vector<std::pair<int, FormObserver>> observers_;
  int nextObserver_ = 1;
};

// The component as one of the classes of the model (or of a form built on it): null when
// it is none of that class. Code outside the model asks this way, not by casting.
template <class T>
T* As(Component* c) {
  return dynamic_cast<T*>(c);
}
template <class T>
const T* As(const Component* c) {
  return dynamic_cast<const T*>(c);
}

}  // namespace pelmora
