#pragma once
// The property dialog "简易物性数据库": pick a substance of the property library, compute
// its properties at the t and p of the value grid, copy them into one side of the
// calculation window; a password-guarded page edits the library and saves it. The
// dialog is a form of the component model; the Qt dialog and pelmora-calc are views.
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "fields/Catalogue.h"
#include "fields/Components.h"
#include "props/MyValues.h"
#include "props/PropLib.h"

namespace pelmora {

// The value grid MyValues1 as a component: the model TMyValues, shown as a grid whose
// title row is the column captions and whose rows are the data rows (row 1 on).
class ValueGrid : public DataGrid {
 public:
  ValueGrid(Form& f, std::string name, Component* parent);
  const TMyValues& Model() const { return grid_; }
  // Changes through the component keep the shown rows in step with the model.
  void SetCell(int col, int row, const std::string& text);
  void SetValueOf(const std::string& name, const std::string& value);
  std::string GetValueOf(const std::string& name) const { return grid_.GetValueOf(name); }
  void KeyDown(TMyValues::Key key);
  bool SelectCell(int col, int row);
  // The model after a change from outside (formula rows): redraw.
  TMyValues& Edit() { return grid_; }
  void Sync();

  static constexpr int kRowHeight = 18;

 private:
  TMyValues grid_;
};

// The maintenance password edit: it keeps what was typed and shows one "*" a character.
class MaskEdit : public Edit {
 public:
  MaskEdit(Form& f, std::string name, Component* parent);
  void Type(const std::string& typed);
  void Clear() { Type(std::string()); }
  const std::string& Typed() const { return typed_; }

 private:
  std::string typed_;
};

enum class DataState { Browse, Edit, Insert };
enum class ModalResult { None, Ok, Cancel };

class TFormSimpPL : public Form {
 public:
  explicit TFormSimpPL(UiPort* port = nullptr);

  static constexpr const char* kCaption = "简易物性数据库";
  // High enough for the record's range, sources and note above the value grid and the
  // eight value fields; it fits a 1024 x 768 screen.
  static constexpr int kHeight = 590;
  static constexpr const char* kNavButtons[10] = {"First",  "Prior", "Next", "Last",   "Insert",
                                                  "Delete", "Edit",  "Post", "Cancel", "Refresh"};

  // Components, in creation order.
  GroupBox* DBNavigator1 = nullptr;
  Button* Nav[10] = {};
  DataGrid* DBGrid1 = nullptr;
  PageControl* PageControlP = nullptr;
  GroupBox* TStGetP = nullptr;
  GroupBox* TSManP = nullptr;
  Edit *DBTextNO = nullptr, *DBTextCN = nullptr, *DBTextEN = nullptr, *DBTextNT = nullptr;
  // The record's formula, the range its data hold for (temperature, pressure, basis) and the
  // source of each property.
  Edit *DBTextFM = nullptr, *DBTextRange = nullptr, *DBTextSR = nullptr;
  ValueGrid* MyValues1 = nullptr;
  EditD *CPD = nullptr, *MDD = nullptr, *VID = nullptr, *TCD = nullptr, *STD = nullptr, *HVD = nullptr,
        *VexpkD = nullptr, *PcD = nullptr;
  Button *BBCal = nullptr, *BBOK = nullptr, *BBCancle = nullptr, *BitBtn1 = nullptr;
  MaskEdit* MaskEdit1 = nullptr;
  // The data-bound edits of the maintenance page, in the order of PropFields().
  std::vector<std::pair<std::string, Edit*>> DBEdits;
  Button *BBSaveSys = nullptr, *BBClose = nullptr;
  StatusBar* StatusBar1 = nullptr;

  // The eight value fields with the library name each is computed from ("" for VexpkD).
  const std::vector<std::pair<EditD*, std::string>>& ValueFields() const { return valueFields_; }
  // The value fields of the last 计算 that show an error instead of a value (a broken formula,
  // a value that is no property): 确定 copies none of them.
  bool Refused(const EditD* field) const;

  // ---- window state
  int Width() const { return width_; }
  int PagesWidth() const { return pagesWidth_; }
  // The button of the calculation window that opened the dialog.
  Component* Caller = nullptr;
  bool Showing() const { return showing_; }
  ModalResult Result() const { return result_; }
  // Set by the view that shows the dialog: closes its window (the modal loop ends).
  std::function<void()> closeView;
  // Called by a view when it opens the dialog modally.
  void Opened() { showing_ = true, result_ = ModalResult::None; }

  // The dialog's commands by their click handler names ("BBOKClick"; the navigator's
  // ten buttons run "DBNavigator1Click"). A higher layer extends a command here.
  CommandTable& Commands() { return commands_; }
  const CommandTable& Commands() const { return commands_; }

  // ---- handlers
  // Sets up the pages and finds the library (the user's copy when there is one); the
  // library is read when the dialog is first opened (EnsureLoaded).
  void FormCreate(const std::string& programFolder);
  // Reads the library unless it has been read: a file that cannot be read leaves it
  // empty, the reason in the status bar and said when the dialog opens.
  void EnsureLoaded();
  void PageControlPChange(Component* sender = nullptr);
  void BitBtn1Click(Component* sender = nullptr);
  void BBCalClick(Component* sender = nullptr);
  void BBOKClick(Component* sender = nullptr);
  void BBCancleClick(Component* sender = nullptr);
  void BBSaveSysClick(Component* sender = nullptr);
  // The window's close box: the same as 关闭.
  bool CloseQuery();
  // Opens the dialog from a property button of the calculation window.
  void SBP1Click(TFormPelmora& main, Component* sender);
  // 确定's copy into the calculation window.
  static void CopyValues(const std::vector<EditD*>& from, const std::vector<EditD*>& to);
  // The pairs 确定 copies for a caller (by its name).
  static const std::vector<std::pair<std::string, std::string>>& CopyTable(const std::string& caller);

  // ---- a side's properties from its remembered record, without showing the dialog
  // What 计算 gives for record NO at t (°C) and p (kPa): every value field that shows a
  // value, as 确定 would read it back (SI), by the dialog's field name; refused and empty
  // fields are left out. The dialog's record, grid, fields and status are as before
  // afterwards. Nothing (and `why`) when the library holds no record NO. Errors of the
  // evaluation propagate as from 计算.
  using SideValues = std::vector<std::pair<std::string, double>>;
  std::optional<SideValues> ComputedAt(const std::string& no, double t, double p, std::string* why = nullptr);
  // 更新物性 of one side: ComputedAt its remembered record at t and its remembered p, then
  // 确定's copy into that side's fields of `main`; the side then remembers t. False (and
  // `why`) when it knows no substance or the record is gone.
  bool UpdateSide(TFormPelmora& main, FluidSide side, double t, std::string* why = nullptr);

  // ---- the library as a data set
  const PropLibrary& Library() const { return lib_; }
  const std::string& LibraryPath() const { return libPath_; }
  int CurrentRecord() const { return current_; }
  DataState State() const { return state_; }
  bool LibraryModified() const { return modified_; }
  // Makes record NO current (as a click on its row); false when there is none.
  bool LocateNO(const std::string& no);
  void GoTo(int index);
  void NavClick(const std::string& button);
  // The folder where a save goes when the program folder cannot be written.
  std::string SavePath() const;
  // A message from loading that the user has not yet seen (shown at the first opening).
  std::string pendingMessage;

  static constexpr const char* kPassword = "velmast";
  static constexpr const char* kPasswordEmpty = "请先在“维护”按钮右边的口令框中输入维护口令。";
  static constexpr const char* kPasswordWrong = "维护口令不正确，“数据库维护”页仍然锁定。";
  static bool PasswordMatches(const std::string& typed);

 private:
  void Build();
  void BuildNavigator();
  void BuildRecordPage();
  void BuildValueFields();
  void BuildMaintenancePage();
  void BindCommands();
  Button& AddButton(const std::string& name, Component* parent, const std::string& caption, const std::string& hint,
                    const std::string& handler);
  void ShowRecord();
  void UpdateNavigator();
  void DBEditChange(Edit* e);
  bool Post();
  void Cancel();
  void Delete();
  void Insert();
  void StartEdit();
  bool Save();
  void RefreshGrid();
  // Ends a showing: pending edits posted, unsaved changes offered for saving.
  bool Close(ModalResult r);

  CommandTable commands_;
  std::vector<std::pair<EditD*, std::string>> valueFields_;
  std::vector<const EditD*> refused_;
  void Refuse(EditD* field, const std::string& why);
  void RememberSubstance(Component& caller, const std::vector<EditD*>& from, const std::vector<EditD*>& to);
  void ClearValues();
  std::string RangeStatus(const PropRecord& rec, const std::string& tText, const std::string& pText);
  PropLibrary lib_;
  std::string libPath_;
  bool loaded_ = false;
  std::string programFolder_;
  int current_ = -1;
  DataState state_ = DataState::Browse;
  PropRecord buffer_;
  bool modified_ = false;
  bool syncing_ = false;
  bool showing_ = false;
  ModalResult result_ = ModalResult::None;
  int width_ = 745;
  int pagesWidth_ = 440;
};

// Binds SBP1, SBP1v, SBP2 and SBP2v of the calculation window to the dialog.
void InstallSimpPL(TFormPelmora& main, TFormSimpPL& dialog);

}  // namespace pelmora
