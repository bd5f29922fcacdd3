#include "gui/StudyDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <map>

#include "fields/DurableFile.h"
#include "fields/NumberFormat.h"
#include "fields/Progress.h"
#include "gui/ChartMenu.h"
#include "gui/QtCanvas.h"
#include "gui/Widgets.h"
#include "study/StudyChart.h"
#include "study/StudyDefaults.h"

namespace pelmora::gui {

namespace {

const EditD* FieldNamed(const TFormPelmora& f, const std::string& name) {
  for (const EditD* e : f.ValueFields())
    if (e->Name() == name) return e;
  return nullptr;
}

// The caption a list shows for a field: its label, and its group where the label is
// not unique in the window.
std::string ListCaption(const TFormPelmora& f, const EditD& e) {
  int same = 0;
  for (const EditD* o : f.ValueFields())
    if (o->QuantityName() == e.QuantityName()) ++same;
  std::string c = e.QuantityName();
  if (same > 1)
    if (const auto* g = As<GroupBox>(e.Parent()); g && !g->Caption().empty()) c += "（" + g->Caption() + "）";
  return c;
}

}  // namespace

// ---------------------------------------------------------------- chart view

StudyChartView::StudyChartView(QWidget* parent) : QWidget(parent) {
  setObjectName("StudyChart");
  setMinimumSize(420, 260);
}

void StudyChartView::SetData(const StudyResult* result, size_t inputCount, size_t output) {
  result_ = result;
  inputs_ = inputCount;
  output_ = output;
  update();
}

void StudyChartView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  QtCanvas canvas(p, width(), height());
  if (!result_ || result_->rows.empty()) {
    canvas.Clear(colors::White);
    canvas.Text(width() / 2.0, height() / 2.0, "按“运行”计算后在此显示曲线", chart::TextStyle{}, chart::HAlign::Center,
                chart::VAlign::Middle);
    return;
  }
  DrawStudyChart(canvas, *result_, inputs_, output_);
}

// ---------------------------------------------------------------- dialog

StudyDialog::StudyDialog(PelmoraApp& app, QWidget* parent) : QDialog(parent), app_(app) {
  setObjectName("TFormStudy");
  setWindowTitle("参数研究");
  setFont(WindowFont());
  const TFormPelmora& f = app_.form;
  for (const EditD* e : StudyInputFields(f)) inputNames_.push_back(e->Name());
  for (const EditD* e : f.ValueFields())
    if (e->EffectivelyEnabled()) outputNames_.push_back(e->Name());

  auto* v = new QVBoxLayout(this);
  auto* note = new QLabel("在项目的副本上逐点计算，项目本身不会改变。", this);
  v->addWidget(note);
  v->addLayout(MakeInputRows());
  auto* split = new QSplitter(Qt::Horizontal, this);
  MakeOutputList(split);
  QWidget* right = MakeResultPane(split);
  split->addWidget(outputs_);
  split->addWidget(right);
  split->setStretchFactor(1, 1);
  v->addWidget(split, 1);
  v->addLayout(MakeButtons());
  resize(980, 680);
}

// The two rows of inputs: field, from, to, points, spacing and unit; the second row
// only with its box ticked.
QGridLayout* StudyDialog::MakeInputRows() {
  auto* grid = new QGridLayout;
  const char* heads[] = {"", "研究参数", "起点", "终点", "点数", "间隔", "单位"};
  for (int c = 0; c < 7; ++c) grid->addWidget(new QLabel(heads[c], this), 0, c);
  for (int i = 0; i < 2; ++i) {
    InputRow& row = inputs_[i];
    if (i == 0) {
      grid->addWidget(new QLabel("参数一", this), 1, 0);
    } else {
      row.use = new QCheckBox("参数二", this);
      row.use->setObjectName("CBSecond");
      row.use->setToolTip("勾选后按两个参数的网格计算，每个参数二的取值画一条曲线");
      grid->addWidget(row.use, 2, 0);
    }
    row.field = new QComboBox(this);
    row.field->setObjectName(i == 0 ? "CBInput1" : "CBInput2");
    row.from = new QLineEdit(this);
    row.to = new QLineEdit(this);
    row.points = new QSpinBox(this);
    row.points->setRange(1, kMaxStudyPoints);
    row.points->setValue(kStudyStartPoints[i]);
    row.spacing = new QComboBox(this);
    row.spacing->addItems({"线性", "对数"});
    row.unit = new QLabel(this);
    row.from->setObjectName(i == 0 ? "LEFrom1" : "LEFrom2");
    row.to->setObjectName(i == 0 ? "LETo1" : "LETo2");
    row.points->setObjectName(i == 0 ? "SPPoints1" : "SPPoints2");
    row.spacing->setObjectName(i == 0 ? "CBSpacing1" : "CBSpacing2");
    QWidget* cells[] = {row.field, row.from, row.to, row.points, row.spacing, row.unit};
    for (int c = 0; c < 6; ++c) grid->addWidget(cells[c], i + 1, c + 1);
    FillRow(row, PreselectedStudyInput(inputNames_, i));
    connect(row.field, &QComboBox::currentIndexChanged, this,
            [this, i](int) { FillRow(inputs_[i], inputs_[i].field->currentIndex()); });
  }
  auto enableSecond = [this] {
    const bool on = inputs_[1].use->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{inputs_[1].field, inputs_[1].from, inputs_[1].to,
                                                      inputs_[1].points, inputs_[1].spacing})
      w->setEnabled(on);
  };
  connect(inputs_[1].use, &QCheckBox::toggled, this, enableSecond);
  enableSecond();
  grid->setColumnStretch(1, 1);
  return grid;
}

// The result fields to record, the usual ones ticked, and the method check's margin.
void StudyDialog::MakeOutputList(QWidget* parent) {
  const TFormPelmora& f = app_.form;
  outputs_ = new QListWidget(parent);
  outputs_->setObjectName("LBOutputs");
  outputs_->setToolTip("勾选要记录的结果字段");
  const auto& usual = DefaultStudyOutputs();
  for (const std::string& n : outputNames_) {
    const EditD* e = FieldNamed(f, n);
    const std::string unit = FieldUnit(f, *e);
    auto* item = new QListWidgetItem(Q(ListCaption(f, *e) + (unit.empty() ? "" : "(" + unit + ")")), outputs_);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(std::find(usual.begin(), usual.end(), n) != usual.end() ? Qt::Checked : Qt::Unchecked);
    item->setData(Qt::UserRole, Q(n));
  }
  {
    // The margin the method check of each point asks for.
    auto* item = new QListWidgetItem(Q(kStudyMarginHeader), outputs_);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
    item->setData(Qt::UserRole, QString(kStudyMarginOutput));
    item->setToolTip("方法校核按最保守的方法组合建议的面积富余度");
  }
  outputs_->setMinimumWidth(190);
}

// The result table over the chart of one chosen result (with the chart's menu).
QWidget* StudyDialog::MakeResultPane(QWidget* parent) {
  auto* right = new QWidget(parent);
  auto* rv = new QVBoxLayout(right);
  rv->setContentsMargins(0, 0, 0, 0);
  table_ = new QTableWidget(right);
  table_->setObjectName("TBResult");
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->verticalHeader()->setDefaultSectionSize(18);
  rv->addWidget(table_, 1);
  auto* ch = new QHBoxLayout;
  ch->addWidget(new QLabel("曲线：", right));
  chartChoice_ = new QComboBox(right);
  chartChoice_->setObjectName("CBChart");
  chartChoice_->setEnabled(false);
  chartChoice_->setToolTip("运行后选择要画的结果");
  ch->addWidget(chartChoice_, 1);
  rv->addLayout(ch);
  chart_ = new StudyChartView(right);
  rv->addWidget(chart_, 1);
  ChartSource source;
  source.name = "参数研究";
  source.available = [this] { return !result_.rows.empty() && chartChoice_->currentIndex() >= 0; };
  source.draw = [this](chart::Canvas& canvas) {
    DrawStudyChart(canvas, result_, shown_.inputs.size(),
                   static_cast<size_t>(std::max(0, chartChoice_->currentIndex())));
  };
  AttachChartMenu(chart_, app_.form.Port(), std::move(source));
  connect(chartChoice_, &QComboBox::currentIndexChanged, this, [this](int i) {
    if (i >= 0) chart_->SetData(&result_, shown_.inputs.size(), static_cast<size_t>(i));
  });
  return right;
}

// The status line and 运行, 导出CSV, 关闭.
QHBoxLayout* StudyDialog::MakeButtons() {
  auto* buttons = new QHBoxLayout;
  status_ = new QLabel(this);
  status_->setObjectName("LStudyStatus");
  buttons->addWidget(status_, 1);
  run_ = new QPushButton("运行", this);
  run_->setObjectName("BRun");
  run_->setDefault(true);
  export_ = new QPushButton("导出CSV", this);
  export_->setObjectName("BExportCsv");
  export_->setEnabled(false);
  export_->setToolTip("先运行研究，再导出结果表");
  auto* close = new QPushButton("关闭", this);
  close->setObjectName("BClose");
  buttons->addWidget(run_);
  buttons->addWidget(export_);
  buttons->addWidget(close);
  connect(run_, &QPushButton::clicked, this, [this] { RunStudyNow(); });
  connect(export_, &QPushButton::clicked, this, [this] { ExportCsv(); });
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  return buttons;
}

void StudyDialog::FillRow(InputRow& row, int index) {
  const TFormPelmora& f = app_.form;
  if (row.field->count() == 0) {
    QSignalBlocker block(row.field);
    for (const std::string& n : inputNames_) row.field->addItem(Q(ListCaption(f, *FieldNamed(f, n))));
  }
  if (index < 0 || index >= static_cast<int>(inputNames_.size())) return;
  {
    QSignalBlocker block(row.field);
    row.field->setCurrentIndex(index);
  }
  const EditD* e = FieldNamed(f, inputNames_[static_cast<size_t>(index)]);
  row.unit->setText(Q(FieldUnit(f, *e)));
  if (const auto range = StudyStartRange(e->Text())) {
    row.from->setText(Q(range->first));
    row.to->setText(Q(range->second));
  } else {
    row.from->clear();
    row.to->clear();
  }
}

std::string StudyDialog::Request(StudyRequest& r) const {
  r = StudyRequest{};
  const int count = inputs_[1].use->isChecked() ? 2 : 1;
  for (int i = 0; i < count; ++i) {
    const InputRow& row = inputs_[i];
    const int k = row.field->currentIndex();
    if (k < 0) return "请选择研究参数";
    StudyInput in;
    in.field = inputNames_[static_cast<size_t>(k)];
    auto from = ParseDecimal(U(row.from->text().trimmed()));
    auto to = ParseDecimal(U(row.to->text().trimmed()));
    if (!from || !to) return "“" + row.field->currentText().toStdString() + "”的起点和终点须为数值";
    in.from = *from;
    in.to = *to;
    in.points = row.points->value();
    in.logarithmic = row.spacing->currentIndex() == 1;
    r.inputs.push_back(in);
  }
  for (int i = 0; i < outputs_->count(); ++i)
    if (outputs_->item(i)->checkState() == Qt::Checked)
      r.outputs.push_back(U(outputs_->item(i)->data(Qt::UserRole).toString()));
  return ValidateStudy(app_.form, r);
}

void StudyDialog::Message(const std::string& text, MsgType type) {
  app_.form.Port().MessageBox(text, "参数研究", type, Buttons::Ok, Answer::Ok);
}

void StudyDialog::RunStudyNow() {
  StudyRequest r;
  const std::string why = Request(r);
  if (!why.empty()) {
    Message(why, MsgType::Warning);
    return;
  }
  app_.form.Port().SetBusyCursor(true);
  // The window's progress bar counts the points; paint events are let through, input
  // is not (the dialog stays as it is until the study ends).
  ProgressScope progress(*app_.form.MyStatusBar);
  r.progress = [&progress](size_t done, size_t total) {
    progress.Step(static_cast<long long>(done), static_cast<long long>(total));
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  };
  try {
    result_ = RunStudy(app_, r);
  } catch (const std::exception& e) {
    app_.form.Port().SetBusyCursor(false);
    Message(e.what(), MsgType::Error);
    return;
  }
  app_.form.Port().SetBusyCursor(false);
  shown_ = r;
  ShowResult();
}

void StudyDialog::ShowResult() {
  table_->clear();
  table_->setColumnCount(static_cast<int>(result_.headers.size()));
  table_->setRowCount(static_cast<int>(result_.rows.size()));
  QStringList heads;
  for (const std::string& h : result_.headers) heads << Q(h);
  table_->setHorizontalHeaderLabels(heads);
  int failed = 0, flagged = 0;
  for (size_t i = 0; i < result_.rows.size(); ++i) {
    const StudyRow& row = result_.rows[i];
    std::vector<std::string> cells = row.inputs;
    cells.insert(cells.end(), row.outputs.begin(), row.outputs.end());
    const size_t checkColumn = cells.size();
    cells.push_back(StudyCheckCell(row));
    cells.push_back(row.message);
    for (size_t c = 0; c < cells.size(); ++c) {
      auto* item = new QTableWidgetItem(Q(cells[c]));
      if (!row.ok) item->setForeground(QColor(192, 0, 0));
      if (c == checkColumn && !cells[c].empty()) {
        // The point's run raised a warning or worse: marked, and its tooltip lists them.
        item->setForeground(QColor(176, 0, 0));
        item->setBackground(QColor(255, 236, 224));
        item->setToolTip(Q(StudyCheckList(app_.form, row)));
      }
      table_->setItem(static_cast<int>(i), static_cast<int>(c), item);
    }
    if (!cells[checkColumn].empty()) ++flagged;
    if (!row.ok) ++failed;
  }
  table_->resizeColumnsToContents();
  {
    QSignalBlocker block(chartChoice_);
    chartChoice_->clear();
    for (size_t k = 0; k < shown_.outputs.size(); ++k)
      chartChoice_->addItem(Q(result_.headers[shown_.inputs.size() + k]));
    chartChoice_->setCurrentIndex(0);
  }
  chartChoice_->setEnabled(!shown_.outputs.empty());
  chartChoice_->setToolTip("选择要画的结果");
  chart_->SetData(&result_, shown_.inputs.size(), 0);
  export_->setEnabled(!result_.rows.empty());
  export_->setToolTip("把结果表写成 CSV 文件（UTF-8，可用电子表格打开）");
  status_->setText(
      QString("共 %1 点").arg(result_.rows.size()) +
      (flagged ? QString("，%1 点有计算检查（见“%2”列）").arg(flagged).arg(kStudyChecksHeader) : QString()) +
      (failed ? QString("，其中 %1 点计算失败（见“%2”列）").arg(failed).arg(kStudyMessageHeader) : QString()));
}

void StudyDialog::ExportCsv() {
  if (result_.rows.empty()) return;
  FileDialogRequest req;
  req.title = "导出CSV";
  req.filter = "CSV 文件（*.csv）|*.csv";
  req.defaultExt = "csv";
  req.fileName = "参数研究.csv";
  req.overwritePrompt = true;
  auto path = app_.form.Port().SaveDialog(req);
  if (!path) return;
  const std::string failure = WriteFileDurably(*path, StudyCsv(result_, true));
  if (!failure.empty())
    Message("无法写入“" + *path + "”：" + failure, MsgType::Error);
  else
    status_->setText(Q("已导出到 " + *path));
}

}  // namespace pelmora::gui
