// The property dialog's library as a data set: the grid of records, the record shown,
// navigation, and editing a record on the maintenance page (insert, edit, post, cancel,
// delete). Saving the library and the dialog's description are in FormSimpPL.cpp.
#include <algorithm>
#include <string>
#include <vector>

#include "fields/NumberFormat.h"
#include "fields/Text.h"
#include "fields/UiPort.h"
#include "props/PropNumbers.h"
#include "props/PropRange.h"
#include "simp/FormSimpPL.h"

namespace pelmora {

namespace {

bool WholeNumber(const std::string& s) {
  if (s.empty()) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}

// "0012" and "12" are the same running number.
std::string WithoutLeadingZeros(const std::string& s) {
  size_t i = s.find_first_not_of('0');
  return i == std::string::npos ? "0" : s.substr(i);
}

}  // namespace

// ---------------------------------------------------------------- the data set

void TFormSimpPL::RefreshGrid() {
  syncing_ = true;
  std::vector<std::vector<std::string>> rows;
  rows.reserve(lib_.Records().size());
  for (const PropRecord& r : lib_.Records()) {
    const PropRange range = RecordRange(r);
    std::string t;
    if (range.tMin || range.tMax)
      t = (range.tMin ? Format15(*range.tMin) : std::string()) + "~" +
          (range.tMax ? Format15(*range.tMax) : std::string());
    rows.push_back({r.NO.value_or(""), r.CN.value_or(""), t});
  }
  DBGrid1->SetRows(std::move(rows));
  DBGrid1->SetCurrent(current_);
  syncing_ = false;
}

void TFormSimpPL::ShowRecord() {
  syncing_ = true;
  PropRecord empty;
  const PropRecord& r =
      state_ != DataState::Browse ? buffer_ : (current_ >= 0 && current_ < lib_.Count() ? lib_.At(current_) : empty);
  DBTextNO->SetText(r.NO.value_or(""));
  DBTextCN->SetText(r.CN.value_or(""));
  DBTextEN->SetText(r.EN.value_or(""));
  DBTextNT->SetText(r.NT.value_or(""));
  DBTextFM->SetText(r.FM.value_or(""));
  DBTextRange->SetText(RangeText(r) + (r.PB ? (RangeText(r).empty() ? "" : "；") + *r.PB : std::string()));
  DBTextSR->SetText(r.SR.value_or(""));
  for (auto& [field, e] : DBEdits) e->SetText(r.Field(field)->value_or(""));
  syncing_ = false;
  UpdateNavigator();
}

void TFormSimpPL::UpdateNavigator() {
  const bool browse = state_ == DataState::Browse;
  const int n = lib_.Count();
  const bool unlocked = TSManP->Visible();
  const bool enabled[10] = {current_ > 0,
                            current_ > 0,
                            n > 0 && current_<n - 1, n> 0 && current_ < n - 1,
                            unlocked && browse,
                            unlocked && (current_ >= 0 || state_ == DataState::Insert),
                            unlocked && browse && current_ >= 0,
                            unlocked && !browse,
                            unlocked && !browse,
                            browse};
  for (int i = 0; i < 10; ++i) Nav[i]->SetEnabled(enabled[i]);
  for (auto& [field, e] : DBEdits) e->SetReadOnly(!unlocked);
}

void TFormSimpPL::DBEditChange(Edit* e) {
  if (syncing_) return;
  if (!TSManP->Visible()) {
    ShowRecord();  // the locked page takes no typing
    return;
  }
  const std::string text = e->Text();
  if (state_ == DataState::Browse) {
    if (current_ < 0) {
      buffer_ = PropRecord{};
      state_ = DataState::Insert;
    } else {
      buffer_ = lib_.At(current_);
      state_ = DataState::Edit;
    }
  }
  for (auto& [field, edit] : DBEdits)
    if (edit == e) *buffer_.Field(field) = text.empty() ? std::nullopt : std::optional<std::string>(text);
  UpdateNavigator();
}

void TFormSimpPL::StartEdit() {
  if (state_ != DataState::Browse || current_ < 0) return;
  buffer_ = lib_.At(current_);
  state_ = DataState::Edit;
  ShowRecord();
}

void TFormSimpPL::Insert() {
  if (state_ != DataState::Browse && !Post()) return;
  buffer_ = PropRecord{};
  // The next free running number, four digits as the shipped records have them.
  long long next = 1;
  for (const PropRecord& r : lib_.Records())
    if (r.NO && WholeNumber(*r.NO) && r.NO->size() <= 6) next = std::max(next, std::stoll(*r.NO) + 1);
  std::string no = std::to_string(next);
  if (no.size() < 4) no.insert(0, 4 - no.size(), '0');
  if (no.size() <= 6) buffer_.NO = no;
  state_ = DataState::Insert;
  ShowRecord();
}

bool TFormSimpPL::Post() {
  if (state_ == DataState::Browse) return true;
  auto refuse = [this](const std::string& text) {
    Port().MessageBox(text, kCaption, MsgType::Warning, Buttons::Ok, Answer::Ok);
    return false;
  };
  std::string no = TrimStr(buffer_.NO.value_or(""));
  if (!WholeNumber(no)) return refuse("流水号必须是整数：“" + no + "”。");
  buffer_.NO = no;
  const int self = state_ == DataState::Edit ? current_ : -1;
  for (int i = 0; i < lib_.Count(); ++i) {
    const auto& other = lib_.At(i).NO;
    if (i != self && other && WholeNumber(TrimStr(*other)) &&
        WithoutLeadingZeros(TrimStr(*other)) == WithoutLeadingZeros(no))
      return refuse("流水号 " + no + " 已经存在（" + lib_.At(i).CN.value_or("") + "）。");
  }
  std::string message;
  int index = state_ == DataState::Insert ? lib_.Insert(buffer_, &message) : lib_.Update(current_, buffer_, &message);
  if (index < 0) return refuse(message);
  current_ = index;
  state_ = DataState::Browse;
  modified_ = true;
  StatusBar1->SetPanelText(0, "物性库已修改，尚未保存。");
  RefreshGrid();
  ShowRecord();
  return true;
}

void TFormSimpPL::Cancel() {
  if (state_ == DataState::Browse) return;
  state_ = DataState::Browse;
  buffer_ = PropRecord{};
  RefreshGrid();
  ShowRecord();
}

void TFormSimpPL::Delete() {
  if (state_ == DataState::Insert) {
    Cancel();
    return;
  }
  if (current_ < 0) return;
  const PropRecord& r = lib_.At(current_);
  std::string q = "确定删除记录" + r.NO.value_or("") + " " + r.CN.value_or("") + "？";
  if (Port().MessageBox(q, kCaption, MsgType::Question, Buttons::YesNo, Answer::No) != Answer::Yes) return;
  state_ = DataState::Browse;
  lib_.Remove(current_);
  if (current_ >= lib_.Count()) current_ = lib_.Count() - 1;
  modified_ = true;
  StatusBar1->SetPanelText(0, "物性库已修改，尚未保存。");
  RefreshGrid();
  ShowRecord();
}

void TFormSimpPL::GoTo(int index) {
  if (lib_.Count() == 0) return;
  if (index < 0) index = 0;
  if (index >= lib_.Count()) index = lib_.Count() - 1;
  if (state_ != DataState::Browse && !Post()) {
    RefreshGrid();  // the row stays where the unfinished record is
    return;
  }
  current_ = index;
  RefreshGrid();
  ShowRecord();
}

bool TFormSimpPL::LocateNO(const std::string& no) {
  int i = lib_.Find(no);
  if (i < 0) {
    for (int k = 0; k < lib_.Count() && i < 0; ++k) {
      const auto& n = lib_.At(k).NO;
      if (n && WholeNumber(no) && WholeNumber(*n) && WithoutLeadingZeros(*n) == WithoutLeadingZeros(no)) i = k;
    }
  }
  if (i < 0) return false;
  GoTo(i);
  return current_ == i;
}

void TFormSimpPL::NavClick(const std::string& b) {
  const bool unlocked = TSManP->Visible();
  if (b == "First")
    GoTo(0);
  else if (b == "Prior")
    GoTo(current_ - 1);
  else if (b == "Next")
    GoTo(current_ + 1);
  else if (b == "Last")
    GoTo(lib_.Count() - 1);
  else if (b == "Refresh") {
    if (state_ == DataState::Browse) {
      RefreshGrid();
      ShowRecord();
    }
  } else if (!unlocked) {
    return;  // editing needs the maintenance page
  } else if (b == "Insert")
    Insert();
  else if (b == "Delete")
    Delete();
  else if (b == "Edit")
    StartEdit();
  else if (b == "Post")
    Post();
  else if (b == "Cancel")
    Cancel();
}

}  // namespace pelmora
