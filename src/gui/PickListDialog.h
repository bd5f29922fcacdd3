#pragma once
// The pick-list dialog on Qt: a report-view list (序号, 名称, 数据, 单位) with grid lines
// and whole-row selection, the input field "输入：", 确定 (default) and 取消. It shows
// and edits a TFormPickList; a click on a row copies its value into the input field,
// a double click confirms the row.
#include <QDialog>
#include <optional>
#include <string>

#include "select/PickList.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace pelmora::gui {

class PickListDialog : public QDialog {
  Q_OBJECT

 public:
  PickListDialog(const PickListRequest& request, QWidget* parent = nullptr);
  // Runs the dialog modally: the confirmed input text, or nullopt when cancelled or closed.
  std::optional<std::string> Ask();
  const TFormPickList& Model() const { return form_; }

  static constexpr int kListWidth = 344;

 private:
  void RowClicked(int row);
  TFormPickList form_;
  QLabel* prompt_;
  QTableWidget* list_;
  QLineEdit* input_;
  QPushButton* ok_;
  QPushButton* cancel_;
};

}  // namespace pelmora::gui
