#pragma once
// Undo and redo of what the user changes in the calculation window: a history of steps
// over the component model. A step holds the window as it was before and after the
// change: every settable property of the components that make up the project, the
// stale marks and cursors of the fields, and what the subsystems keep beside the
// components (the design checks of the last run, the time–temperature curve). Undoing
// a step puts the state before it back exactly, results included: they are the results
// the calculation gave for those inputs when they were current, so a project saved after
// an undo is the file it was before the change, byte for byte.
//
// What makes one step (its name is what the menu shows after "撤销"):
// - a field typed and left: every keystroke and the recalculation its exit runs, for as
//   long as the field keeps the focus ("输入 加热时间");
// - a unit chosen ("更改单位 加热时间"), a list item or a radio button ("选择 容器材质"),
//   with the reactions of the choice and of leaving the list;
// - a declared command: everything the command changes, focus or not;
// - anything else that changes the window (the recalculation of F9, a button that is
//   not declared): named after the button, else "重新计算".
// Save keeps the history; reading a file (New, Open, a recent file) clears it.
//
// Declaring a command one step is one line where the subsystems are wired (PelmoraApp),
// with the name of its handler in the command table and the step's name:
//
//     undo.Declare("SBPrepareCurveClick", "准备绘制曲线");
//
// A command that is no handler of the window (a button of a dialog's own form) opens a
// scope in its code instead, also one line:
//
//     UndoHistory::Step step(app.undo, "应用");
//
// Steps are taken when the user action that the dispatch point runs has ended, so a
// command that changes nothing leaves no step, and one that stops half way leaves a step
// with what it did change.
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "fields/Catalogue.h"

namespace pelmora {

class UndoHistory : public Form::ActionObserver {
 public:
  // Takes the action notifications of `form` and installs MEUndoClick and MERedoClick.
  explicit UndoHistory(TFormPelmora& form);
  ~UndoHistory() override;
  UndoHistory(const UndoHistory&) = delete;
  UndoHistory& operator=(const UndoHistory&) = delete;

  // A command of the window made one step, named `name` (empty: the hint or caption of
  // the control that ran it), or named by a function of the control that ran it.
  void Declare(const std::string& handler, std::string name = {});
  void Declare(const std::string& handler, std::function<std::string(Component* sender)> name);

  // A scope that makes what runs inside it one step (the outermost scope or declared
  // command of a user action names it). Outside a user action it is the action itself.
  class Step {
   public:
    Step(UndoHistory& history, std::string name);
    ~Step();
    Step(const Step&) = delete;
    Step& operator=(const Step&) = delete;

   private:
    UndoHistory& history_;
    bool own_ = false;
  };

  // State the subsystems keep beside the components: `capture` returns the function that
  // puts what it captured back.
  using Capture = std::function<std::function<void()>()>;
  void AddState(Capture capture);

  bool CanUndo() const { return !undo_.empty(); }
  bool CanRedo() const { return !redo_.empty(); }
  // The name of the step Undo (Redo) would take back, or empty.
  std::string UndoName() const { return undo_.empty() ? std::string() : undo_.back().name; }
  std::string RedoName() const { return redo_.empty() ? std::string() : redo_.back().name; }
  size_t UndoCount() const { return undo_.size(); }
  size_t RedoCount() const { return redo_.size(); }
  // Puts the window back as it was before the last step (after the step undone); false
  // when there is none. Run inside a user action.
  bool Undo();
  bool Redo();
  // Forgets every step: the window as the current action leaves it is where undo stops.
  void Clear();
  // The window as the current action leaves it is what its file holds (saved, opened).
  void MarkSaved();
  // Whether the window differs from what it was when last marked saved (also after a
  // file was read that MarkSaved did not follow: a recovery copy).
  bool Unsaved() const;

  // Off: no steps are taken (the copies of the window that studies compute on).
  void SetEnabled(bool on);
  // The desktop program takes its first capture of the window once the window has been
  // painted (Start), not in the actions before: those are its start.
  void DeferStart() { deferred_ = true; }
  void Start();
  // Told after an undo or redo has put a state back, and after every step taken.
  std::function<void()> afterRestore;
  std::function<void()> afterStep;

  static constexpr size_t kMaxSteps = 200;
  static constexpr const char* kUndoCaption = "&U 撤销";
  static constexpr const char* kRedoCaption = "&R 重做";
  static constexpr const char* kUndoHint = "撤销上一步修改";
  static constexpr const char* kRedoHint = "重做撤销的修改";
  // Verbs of the steps named after the control the user changed.
  static constexpr const char* kTyped = "输入 ";
  static constexpr const char* kUnit = "更改单位 ";
  static constexpr const char* kChosen = "选择 ";
  static constexpr const char* kRecalculated = "重新计算";

  // The name a control has in a step: a value field's label caption, a list's or a
  // group's caption, a selector's field; with its group when the caption is not unique.
  std::string CaptionOf(const Component* c) const;

  // Form::ActionObserver
  void ActionStarted() override;
  void ActionEnded() override;

 private:
  struct Part;
  struct State;
  struct Entry {
    std::string name;
    std::shared_ptr<const State> before, after;
  };

  void Track();
  std::shared_ptr<const Part> CapturePart(size_t i) const;
  std::shared_ptr<const State> CaptureState();
  void TakeSaved();
  std::shared_ptr<const State> WithParticipants(const std::shared_ptr<const State>& s) const;
  bool Differs(const State& a, const State& b) const;
  void Restore(const State& s);
  Component* Subject(const State& before, const State& after) const;
  std::string NameOf(const Component* subject) const;
  void HandlerRun(const std::string& handler, Component* sender);
  void Rebase();
  void UpdateCommands();
  void Begin();
  void End();

  TFormPelmora& f_;
  bool enabled_ = true;
  bool deferred_ = false;
  std::vector<Component*> tracked_;  // in creation order
  std::vector<char> derived_;        // a change there alone is no step (the report text)
  std::unordered_map<const Component*, size_t> index_;
  std::vector<Capture> participants_;
  std::map<std::string, std::function<std::string(Component*)>> declared_;

  std::vector<Entry> undo_, redo_;
  std::vector<Component*> changed_;         // the form's change log since the last capture
  std::shared_ptr<const State> committed_;  // the window as the last step left it
  std::shared_ptr<const State> saved_;      // the window as its file holds it
  bool savedPending_ = false;
  uint64_t committedCount_ = 0;  // the form's change count then
  Component* open_ = nullptr;    // the control of the top step while it goes on

  // The user action under way.
  bool inAction_ = false;
  Component* focusAtStart_ = nullptr;
  std::string declaredName_;  // of the first declared command or scope
  std::string commandName_;   // of the first command control that ran
  bool pageSwitch_ = false;   // the pages were switched
  bool restored_ = false;     // an undo or redo ran
  bool cleared_ = false;      // a file replaced the window
  MenuItem* undoItem_ = nullptr;
  MenuItem* redoItem_ = nullptr;
};

}  // namespace pelmora
