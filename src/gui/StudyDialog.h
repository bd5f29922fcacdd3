#pragma once
// 参数研究: the dialog of a parameter study over a copy of the window. One or two input
// fields with their ranges, the result fields to record, the table of points and the
// chart of one result against the first input.
#include <QDialog>
#include <QWidget>

#include "app/PelmoraApp.h"
#include "study/Study.h"

class QCheckBox;
class QComboBox;
class QGridLayout;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace pelmora::gui {

// The chart area: draws the study's chosen column with the chart engine.
class StudyChartView : public QWidget {
 public:
  explicit StudyChartView(QWidget* parent = nullptr);
  void SetData(const StudyResult* result, size_t inputCount, size_t output);

 protected:
  void paintEvent(QPaintEvent* e) override;

 private:
  const StudyResult* result_ = nullptr;
  size_t inputs_ = 1, output_ = 0;
};

class StudyDialog : public QDialog {
 public:
  StudyDialog(PelmoraApp& app, QWidget* parent = nullptr);

  // One input row of the dialog.
  struct InputRow {
    QCheckBox* use = nullptr;  // the second row only
    QComboBox* field = nullptr;
    QLineEdit* from = nullptr;
    QLineEdit* to = nullptr;
    QSpinBox* points = nullptr;
    QComboBox* spacing = nullptr;
    QLabel* unit = nullptr;
  };
  InputRow& Input(int i) { return inputs_[i]; }
  QListWidget* Outputs() const { return outputs_; }
  QTableWidget* Table() const { return table_; }
  QPushButton* RunButton() const { return run_; }
  QPushButton* ExportButton() const { return export_; }
  QComboBox* ChartChoice() const { return chartChoice_; }
  StudyChartView* Chart() const { return chart_; }
  const StudyResult& Result() const { return result_; }

  // The request the dialog describes; empty reason when it can run, else the reason.
  std::string Request(StudyRequest& r) const;
  // 运行 and 导出CSV.
  void RunStudyNow();
  void ExportCsv();

 private:
  QGridLayout* MakeInputRows();
  void MakeOutputList(QWidget* parent);
  QWidget* MakeResultPane(QWidget* parent);
  QHBoxLayout* MakeButtons();
  void FillRow(InputRow& row, int preselect);
  void UpdateUnits();
  void ShowResult();
  void Message(const std::string& text, MsgType type);

  PelmoraApp& app_;
  std::vector<std::string> inputNames_;   // value fields offered, in window order
  std::vector<std::string> outputNames_;  // value fields of the result list
  InputRow inputs_[2];
  QListWidget* outputs_ = nullptr;
  QTableWidget* table_ = nullptr;
  QPushButton* run_ = nullptr;
  QPushButton* export_ = nullptr;
  QComboBox* chartChoice_ = nullptr;
  StudyChartView* chart_ = nullptr;
  QLabel* status_ = nullptr;
  StudyResult result_;
  StudyRequest shown_;
};

}  // namespace pelmora::gui
