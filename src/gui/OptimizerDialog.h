#pragma once
// 设计优选: the dialog of the design optimizer. The engineer chooses what may change
// (tube sizes, number of tubes, pitch, coil diameter or leg length), the objective and
// the constraints; the search runs over copies of the window with a progress display,
// the best ten designs are ranked in a table with the rejected neighbours of the best,
// 应用 puts a design into the project and 导出CSV writes every point.
#include <QDialog>
#include <vector>

#include "app/PelmoraApp.h"
#include "study/Optimizer.h"

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace pelmora::gui {

class OptimizerDialog : public QDialog {
 public:
  OptimizerDialog(PelmoraApp& app, QWidget* parent = nullptr);

  // The controls, for tests.
  QCheckBox* UseTube() const { return useTube_; }
  QComboBox* Series() const { return series_; }
  QListWidget* Sizes() const { return sizes_; }
  QCheckBox* UseCount() const { return useCount_; }
  QSpinBox* CountFrom() const { return countFrom_; }
  QSpinBox* CountTo() const { return countTo_; }
  QCheckBox* UsePitch() const { return usePitch_; }
  const std::vector<QCheckBox*>& Pitches() const { return pitches_; }
  QCheckBox* UseCoil() const { return useCoil_; }
  QLineEdit* CoilFrom() const { return coilFrom_; }
  QLineEdit* CoilTo() const { return coilTo_; }
  QSpinBox* CoilPoints() const { return coilPoints_; }
  QComboBox* Objective() const { return objective_; }
  QCheckBox* NoWarnings() const { return noWarnings_; }
  QCheckBox* MarginCheck() const { return margin_; }
  QTableWidget* Table() const { return table_; }
  QPushButton* RunButton() const { return run_; }
  QPushButton* ApplyButton() const { return apply_; }
  QPushButton* ExportButton() const { return export_; }
  QLabel* Status() const { return status_; }
  QLabel* GridCount() const { return count_; }
  QProgressBar* Progress() const { return progress_; }
  const OptimizerResult& Result() const { return result_; }

  // The request the controls describe; empty reason when it can run, else the reason.
  std::string Request(OptimizerRequest& r) const;
  // 运行 (停止 while it runs), 应用 and 导出CSV.
  void RunSearch();
  void ApplySelected();
  void ExportCsv();

 protected:
  void reject() override;

 private:
  void BuildVariables(QWidget* box);
  void BuildTubeRow(QGridLayout* grid, QWidget* box);
  void BuildCoilRow(QGridLayout* grid, QWidget* box);
  void ConnectVariables();
  void BuildGoal(QWidget* box);
  void ShowSeries(int index);
  void UpdateCount();
  void UpdateButtons();
  void SetRunning(bool running);
  bool Progress(size_t done, size_t total);
  void ShowResult();
  int SelectedRank() const;  // the rank (from 0) of the selected row, or -1
  void Message(const std::string& text, MsgType type);

  PelmoraApp& app_;
  std::vector<TubeSeries> seriesList_;
  OptimizerOffer offer_;                // what the project lets the search vary
  std::vector<std::string> sizeTexts_;  // the rows of the size list
  QCheckBox* useTube_ = nullptr;
  QComboBox* series_ = nullptr;
  QListWidget* sizes_ = nullptr;
  QCheckBox* useCount_ = nullptr;
  QSpinBox* countFrom_ = nullptr;
  QSpinBox* countTo_ = nullptr;
  QCheckBox* usePitch_ = nullptr;
  std::vector<QCheckBox*> pitches_;
  QCheckBox* useCoil_ = nullptr;
  QLineEdit* coilFrom_ = nullptr;
  QLineEdit* coilTo_ = nullptr;
  QSpinBox* coilPoints_ = nullptr;
  QLabel* coilNote_ = nullptr;
  QComboBox* objective_ = nullptr;
  QCheckBox* noWarnings_ = nullptr;
  QCheckBox* margin_ = nullptr;
  QLabel* count_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QTableWidget* table_ = nullptr;
  QLabel* status_ = nullptr;
  QPushButton* run_ = nullptr;
  QPushButton* apply_ = nullptr;
  QPushButton* export_ = nullptr;
  QPushButton* close_ = nullptr;
  std::vector<QWidget*> boxes_;  // the choices, closed while the search runs
  bool running_ = false;
  bool stopRequested_ = false;
  OptimizerResult result_;
  OptimizerRequest shown_;     // the request of the result shown
  std::vector<int> rowPoint_;  // per table row: the point index
};

}  // namespace pelmora::gui
