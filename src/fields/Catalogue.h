#pragma once
// The calculation window's component set: every project variable with its label, unit
// list, role, default and enabled state, every choice list with its items, the pages,
// groups, menu, tool buttons and status bar, created in the window's layout order.
#include <array>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "fields/Commands.h"
#include "fields/Components.h"
#include "fields/Keys.h"
#include "fields/Layout.h"
#include "fields/Substances.h"
#include "fields/Version.h"

namespace pelmora {

// Unit lists by name ("Time", "Mass", ...): padded item texts, first item SI.
const std::vector<std::string>& UnitList(const std::string& name);
// "name" + blanks to the fortieth column (a Chinese character counts two) + "|" + factor.
std::string PadUnitItem(const std::string& name, const std::string& factor);

// What leaving a field runs.
enum class ExitAction { None, Recalc, Geometry, Impeller };

// One quantity of the catalogue.
struct QuantityDef {
  const char* stem;
  const char* caption;
  char role;  // 'I' must input, 'F' free, 'R' result
  const char* units;
  const char* defaultText;
  bool enabled;
  ExitAction exit;
};
const std::vector<QuantityDef>& QuantityDefs();
// The quantity of a field stem ("Ti1" for Ti1D); std::logic_error when there is none.
const QuantityDef& QuantityOf(const std::string& stem);
// The pick lists of wall materials ("name|λ in W/(m.K)") and of insulations.
const std::vector<std::string>& WallMaterials();
const std::vector<std::string>& Insulations();

class TFormPelmora : public Form {
 public:
  explicit TFormPelmora(UiPort* port = nullptr);

#define Q(stem)             \
  Label* stem##L = nullptr; \
  EditD* stem##D = nullptr; \
  ComboBoxU* stem##U = nullptr;
#define C(type, name) type* name = nullptr;
#include "fields/FormMembers.inc"
#undef Q
#undef C

  // Every value field of the window in creation order.
  const std::vector<EditD*>& ValueFields() const { return valueFields_; }
  const std::vector<ComboBoxU*>& UnitSelectors() const { return unitSelectors_; }
  ExitAction ExitOf(const EditD* field) const;

  // Commands bound by name (the command table, see fields/Commands.h); a name left
  // unbound does nothing. SetHandler binds a command with one control; BindCommand one
  // reached by several controls (menu item and tool button) and keys. Binding a name
  // twice while the window is set up is an error (std::logic_error).
  void SetHandler(const std::string& name, Event handler) { commands_.Bind(name, std::move(handler)); }
  void BindCommand(const std::string& name, Event run, std::vector<std::string> aliases,
                   std::vector<std::string> keys = {}) {
    commands_.Bind(name, std::move(run), std::move(aliases), std::move(keys));
  }
  void SetKeyHandler(const std::string& name, KeyEvent handler) { keyHandlers_[name] = std::move(handler); }
  void RunHandler(const std::string& name, Component* sender);
  bool HasHandler(const std::string& name) const;
  // Extends the command bound to `name`: `outer` gets the command as it was and the
  // sender. Where a higher layer must change what a command does, it extends it.
  void WrapHandler(const std::string& name, std::function<void(const Event& inner, Component* sender)> outer);
  // Told of every handler run by name, before it runs (the undo history names its
  // steps after the command that ran).
  std::function<void(const std::string& name, Component* sender)> onHandler;
  // The keys of the command a control runs ("Ctrl+N"), by the control's name.
  std::vector<std::string> KeysOfControl(const std::string& controlName) const;

  // The command table: every menu item, button and speed button of the window with the
  // name of its click handler, and the key handler of the input controls.
  struct Command {
    Component* control;
    std::string handler;
    enum class State { Bound, Disabled } state;
  };
  // Adds a command control built outside the window description; returns its OnClick.
  Event AddCommand(Component& control, const std::string& handler);
  // Checks the table once every subsystem has installed its handlers: a command without
  // a handler is disabled with the hint "此功能尚未提供". A handler name that is neither
  // bound nor listed as not yet provided is a programming error: it throws in debug
  // builds and is reported by UnexpectedUnbound().
  void SealCommands();
  std::vector<Command> Commands() const;
  std::vector<std::string> UnexpectedUnbound() const;
  static constexpr const char* kNotProvidedHint = "此功能尚未提供";

  // The key handler of every input control: Enter, Down and Tab go to the next field,
  // Up and Backtab to the previous one (leaving the field as the window does), F1 asks
  // for help on it.
  void MaoDKeyDown(Component* sender, int key);
  // A key pressed in the window, wherever the focus is: `target` is the control that has
  // it (nullptr for none, or for a part of the window that is no control, such as the
  // page tabs). A control with a key handler gets every key; otherwise Enter, Down and Tab
  // go to the next control, Up and Backtab to the previous one. From the page tabs, on from
  // the control focused last if on the page shown, else from the page's first (last)
  // control (TabTarget). True when the key did something (focus moved, handler took it).
  bool KeyDown(Component* target, Key key);
  // Where Tab (forward) or Backtab goes from `from`: the next control of the page shown
  // in the tab order, or, when `from` is not on that page, its first (last) control.
  Component* TabTarget(Component* from, bool forward) const;
  // Moves the focus from `from` to the next (or previous) control of its page, running
  // the exit handler of the control left first. Returns the control focused.
  Component* MoveFocusFrom(Component* from, bool forward);
  // Gives the focus to `to` as a click would: the control that had it is left first.
  void FocusByUser(Component* to);
  // Runs the exit handler of a control (value fields and lists).
  static void Leave(Component* c);
  // Help on a control (F1); installed by the help subsystem.
  std::function<void(Component*)> onHelpKey;

  // Window state.
  bool ProjectModified() const { return projectModified_; }
  // Sets the flag; `touchSave` mirrors it in the save command as well.
  void SetProjectModified(bool b, bool touchSave = true);
  // The shared change handler of the fields: marks the project modified.
  void MaoDChange(Component* sender);
  std::string CurrentProjectFile;
  // The library substances the property dialog filled each side with (saved with the
  // project as extra records).
  ProjectSubstances Substances;
  std::string ProgramFolder;  // with a trailing separator
  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string c);
  // The window differs from its file as last opened, created or saved: the title
  // shows a mark.
  bool Unsaved() const { return unsaved_; }
  void SetUnsaved(bool b);

  // How the window is arranged: what each page is, the columns of each group, the button
  // beside a field (the view walks it).
  const WindowLayout& Layout() const { return layout_; }

  static constexpr const char* kTitle = PELMORA_NAME_ZH "(" PELMORA_NAME ")" PELMORA_VERSION_TEXT;

 private:
  void Build();
  void Bind();
  // The window description, one builder per part, in creation order.
  void BuildMenu();
  void BuildToolBar();
  std::array<GroupBox*, 5> BuildPages();
  void BuildProjectPage(GroupBox* page);
  void BuildCalcPage(GroupBox* page);
  void BuildPipesPage(GroupBox* page);
  void BuildVesselPage(GroupBox* page);
  void BuildReportPage(GroupBox* page);
  // The pieces they are made of.
  Label& AddLabel(const std::string& name, Component* parent, const std::string& caption);
  void AddQuantity(const std::string& stem, Component* parent, bool pageCalc, const std::string& unitName = {});
  ComboBox& AddList(const std::string& stem, Component* parent, const std::string& caption,
                    std::vector<std::string> items);
  SpeedButton* AddButton(const std::string& name, Component* parent, const std::string& hint, bool toggle = false);
  Button& AddCommandButton(const std::string& name, Component* parent, const std::string& caption);
  MenuItem* AddMenu(const std::string& name, Component* parent, const std::string& caption);
  Event Handler(const std::string& name);
  Component* LeaveFor(Component* from, Component* to);
  // The page of the window a control is on shows before the control takes the focus.
  void ShowPageOf(Component* c) override;
  KeyEvent KeyHandler(const std::string& name);
  // Puts a small button beside a field or list (in the same row of its group).
  SpeedButton* Beside(const std::string& control, SpeedButton* button);

  std::vector<EditD*> valueFields_;
  std::vector<ComboBoxU*> unitSelectors_;
  std::map<const EditD*, ExitAction> exits_;
  CommandTable commands_;
  std::map<std::string, KeyEvent> keyHandlers_;
  bool projectModified_ = false;
  bool unsaved_ = false;
  std::string caption_ = kTitle;
  WindowLayout layout_;
};

}  // namespace pelmora
