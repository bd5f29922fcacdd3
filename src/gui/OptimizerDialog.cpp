#include "gui/OptimizerDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <set>

#include "fields/DurableFile.h"
#include "fields/ModeEnums.h"
#include "fields/NumberFormat.h"
#include "gui/Widgets.h"
#include "select/PickList.h"
#include "study/Study.h"

namespace pelmora::gui {

namespace {

constexpr int kShownBest = 10;
const char* const kNotTypable = "当前工况下该字段不可输入，不能作为优选变量";

QCheckBox* VariableBox(const QString& caption, const char* name, bool allowed, QWidget* parent) {
  auto* c = new QCheckBox(caption, parent);
  c->setObjectName(name);
  c->setChecked(allowed);
  c->setEnabled(allowed);
  if (!allowed) c->setToolTip(kNotTypable);
  return c;
}

}  // namespace

OptimizerDialog::OptimizerDialog(PelmoraApp& app, QWidget* parent) : QDialog(parent), app_(app) {
  setObjectName("TFormOptimize");
  setWindowTitle("设计优选");
  setFont(WindowFont());
  app_.select.EnsureCatalogue();
  seriesList_ = CatalogueSeries(app_.select.catalogue);
  offer_ = OfferOptimizer(app_.form, !seriesList_.empty());

  auto* v = new QVBoxLayout(this);
  v->addWidget(
      new QLabel("逐一计算所选变量的每种组合（在项目的副本上，项目本身不变），按目标排序；"
                 "“应用”把选中的方案填入项目并重新计算。",
                 this));
  auto* top = new QHBoxLayout;
  auto* vars = new QGroupBox("优选变量", this);
  BuildVariables(vars);
  top->addWidget(vars, 3);
  auto* goal = new QGroupBox("目标与约束", this);
  BuildGoal(goal);
  top->addWidget(goal, 2);
  boxes_ = {vars, goal};
  v->addLayout(top);

  table_ = new QTableWidget(this);
  table_->setObjectName("TBBest");
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->verticalHeader()->setVisible(false);
  table_->verticalHeader()->setDefaultSectionSize(18);
  v->addWidget(table_, 1);
  connect(table_, &QTableWidget::itemSelectionChanged, this, [this] { UpdateButtons(); });

  auto* buttons = new QHBoxLayout;
  status_ = new QLabel(this);
  status_->setObjectName("LOptimizeStatus");
  status_->setWordWrap(true);
  buttons->addWidget(status_, 1);
  progress_ = new QProgressBar(this);
  progress_->setObjectName("PBOptimize");
  progress_->setRange(0, 100);
  progress_->setFixedWidth(160);
  progress_->hide();
  buttons->addWidget(progress_);
  run_ = new QPushButton("运行", this);
  run_->setObjectName("BRun");
  run_->setDefault(true);
  apply_ = new QPushButton("应用", this);
  apply_->setObjectName("BApply");
  export_ = new QPushButton("导出CSV", this);
  export_->setObjectName("BExportCsv");
  close_ = new QPushButton("关闭", this);
  close_->setObjectName("BClose");
  for (QPushButton* b : {run_, apply_, export_, close_}) buttons->addWidget(b);
  v->addLayout(buttons);
  connect(run_, &QPushButton::clicked, this, [this] { RunSearch(); });
  connect(apply_, &QPushButton::clicked, this, [this] { ApplySelected(); });
  connect(export_, &QPushButton::clicked, this, [this] { ExportCsv(); });
  connect(close_, &QPushButton::clicked, this, &QDialog::reject);
  UpdateCount();
  UpdateButtons();
  resize(980, 680);
}

void OptimizerDialog::BuildVariables(QWidget* box) {
  auto* g = new QGridLayout(box);
  BuildTubeRow(g, box);
  useCount_ = VariableBox(Q(offer_.countCaption), "CBCount", offer_.count, box);
  countFrom_ = new QSpinBox(box);
  countFrom_->setObjectName("SPCountFrom");
  countTo_ = new QSpinBox(box);
  countTo_->setObjectName("SPCountTo");
  for (QSpinBox* s : {countFrom_, countTo_}) s->setRange(1, static_cast<int>(kMaxOptimizerValues));
  countFrom_->setValue(1);
  countTo_->setValue(12);
  g->addWidget(useCount_, 1, 0);
  g->addWidget(new QLabel("从", box), 1, 1);
  g->addWidget(countFrom_, 1, 2);
  g->addWidget(new QLabel("到", box), 1, 3);
  g->addWidget(countTo_, 1, 4);

  usePitch_ = VariableBox(Q(offer_.pitchCaption), "CBPitch", offer_.pitch, box);
  auto* pitchRow = new QHBoxLayout;
  const auto& names = PitchNames();
  for (size_t i = 0; i < PitchValues().size(); ++i) {
    auto* c = new QCheckBox(Q(PitchValues()[i]), box);
    c->setObjectName(Q("CBPitch" + std::to_string(i)));
    c->setChecked(true);
    if (i < names.size()) c->setToolTip(Q(names[i]));
    pitches_.push_back(c);
    pitchRow->addWidget(c);
  }
  pitchRow->addStretch(1);
  g->addWidget(usePitch_, 2, 0);
  g->addLayout(pitchRow, 2, 1, 1, 4);

  BuildCoilRow(g, box);
  g->setColumnStretch(2, 1);
  g->setColumnStretch(4, 1);

  ConnectVariables();
}

void OptimizerDialog::BuildTubeRow(QGridLayout* g, QWidget* box) {
  useTube_ = VariableBox("管子规格", "CBTube", offer_.tube, box);
  if (seriesList_.empty()) useTube_->setToolTip("管道系列为空，没有可选的管子规格");
  series_ = new QComboBox(box);
  series_->setObjectName("CBSeries");
  std::set<std::string> seen;
  for (const TubeSeries& s : seriesList_) {
    series_->addItem(Q(s.name + "（" + std::to_string(s.sizes.size()) + " 种）"));
    for (const std::string& dn : s.sizes)
      if (seen.insert(dn).second) sizeTexts_.push_back(dn);
  }
  series_->addItem(Q("全部系列（" + std::to_string(sizeTexts_.size()) + " 种）"));
  series_->addItem("勾选的规格");
  series_->setToolTip("选一个系列的全部规格，或全部系列；也可以在右边的列表里逐个勾选");
  sizes_ = new QListWidget(box);
  sizes_->setObjectName("LBSizes");
  sizes_->setToolTip("参与优选的管子规格（外径×壁厚，mm）");
  for (const std::string& dn : sizeTexts_) {
    auto* item = new QListWidgetItem(Q(dn), sizes_);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
  }
  sizes_->setMinimumWidth(110);
  g->addWidget(useTube_, 0, 0);
  g->addWidget(series_, 0, 1, 1, 4);
  g->addWidget(sizes_, 0, 5, 5, 1);
}

void OptimizerDialog::BuildCoilRow(QGridLayout* g, QWidget* box) {
  useCoil_ = VariableBox(Q(offer_.coilCaption), "CBCoil", offer_.coil, box);
  useCoil_->setChecked(false);
  coilFrom_ = new QLineEdit(box);
  coilFrom_->setObjectName("LECoilFrom");
  coilTo_ = new QLineEdit(box);
  coilTo_->setObjectName("LECoilTo");
  coilPoints_ = new QSpinBox(box);
  coilPoints_->setObjectName("SPCoilPoints");
  coilPoints_->setRange(1, static_cast<int>(kMaxOptimizerValues));
  coilPoints_->setValue(3);
  coilPoints_->setPrefix("点数 ");
  // Around the present value, never beyond what the vessel allows.
  if (offer_.coilFrom && offer_.coilTo) {
    coilFrom_->setText(Q(Format7(*offer_.coilFrom)));
    coilTo_->setText(Q(Format7(*offer_.coilTo)));
  }
  coilNote_ = new QLabel(Q(offer_.coilNote), box);
  coilNote_->setObjectName("LCoilLimit");
  coilNote_->setWordWrap(true);
  g->addWidget(useCoil_, 3, 0);
  g->addWidget(coilFrom_, 3, 2);
  g->addWidget(new QLabel("到", box), 3, 3);
  g->addWidget(coilTo_, 3, 4);
  g->addWidget(new QLabel("从", box), 3, 1);
  auto* coilRow = new QHBoxLayout;
  coilRow->addWidget(coilPoints_);
  coilRow->addWidget(coilNote_, 1);
  g->addLayout(coilRow, 4, 1, 1, 4);
}

void OptimizerDialog::ConnectVariables() {
  auto enable = [this] {
    series_->setEnabled(useTube_->isChecked());
    sizes_->setEnabled(useTube_->isChecked());
    countFrom_->setEnabled(useCount_->isChecked());
    countTo_->setEnabled(useCount_->isChecked());
    for (QCheckBox* c : pitches_) c->setEnabled(usePitch_->isChecked());
    for (QWidget* w : std::initializer_list<QWidget*>{coilFrom_, coilTo_, coilPoints_})
      w->setEnabled(useCoil_->isChecked());
    UpdateCount();
  };
  for (QCheckBox* c : {useTube_, useCount_, usePitch_, useCoil_}) connect(c, &QCheckBox::toggled, this, enable);
  for (QCheckBox* c : pitches_) connect(c, &QCheckBox::toggled, this, [this] { UpdateCount(); });
  for (QSpinBox* s : {countFrom_, countTo_, coilPoints_})
    connect(s, &QSpinBox::valueChanged, this, [this] { UpdateCount(); });
  for (QLineEdit* e : {coilFrom_, coilTo_}) connect(e, &QLineEdit::textChanged, this, [this] { UpdateCount(); });
  connect(series_, &QComboBox::currentIndexChanged, this, [this](int i) { ShowSeries(i); });
  connect(sizes_, &QListWidget::itemChanged, this, [this] {
    // A size ticked by hand makes the choice a list of its own.
    QSignalBlocker block(series_);
    series_->setCurrentIndex(series_->count() - 1);
    UpdateCount();
  });
  ShowSeries(static_cast<int>(CurrentSeries(app_.form, seriesList_)));
  enable();
  // Variables whose fields cannot be typed into now stay off.
  for (QCheckBox* c : {useTube_, useCount_, usePitch_, useCoil_})
    if (!c->isEnabled()) c->setChecked(false);
}

void OptimizerDialog::BuildGoal(QWidget* box) {
  auto* g = new QVBoxLayout(box);
  auto* row = new QHBoxLayout;
  row->addWidget(new QLabel("目标：", box));
  objective_ = new QComboBox(box);
  objective_->setObjectName("CBObjective");
  for (OptimizerObjective o : kOptimizerObjectives)
    objective_->addItem(Q(std::string(ObjectiveCaption(o)) + "（" + StudyHeader(app_.form, ObjectiveField(o)) + "）"));
  row->addWidget(objective_, 1);
  g->addLayout(row);
  auto* feasible = new QCheckBox("可行（无“不可行”项，始终要求）", box);
  feasible->setObjectName("CBFeasible");
  feasible->setChecked(true);
  feasible->setEnabled(false);
  feasible->setToolTip("不可行的方案从不参与排序");
  g->addWidget(feasible);
  noWarnings_ = new QCheckBox("无“警告”（流速、压降、适用范围、几何）", box);
  noWarnings_->setObjectName("CBNoWarnings");
  noWarnings_->setChecked(true);
  noWarnings_->setToolTip(
      "有“警告”检查项的方案不参与排序：管内流速、管程和容器侧压降超出常用范围，"
      "关联式用在适用范围之外，盘管高度不够等");
  g->addWidget(noWarnings_);
  margin_ = new QCheckBox("方法校核推荐富余度 ≤ 项目富余度", box);
  margin_->setObjectName("CBMargin");
  margin_->setToolTip("方法校核按独立方法估算传热系数后推荐的面积富余度，不得大于项目的富余度");
  if (!RecommendedMarginSource()) {
    margin_->setEnabled(false);
    margin_->setToolTip("方法校核尚未提供推荐富余度，暂不能作为约束");
  }
  g->addWidget(margin_);
  count_ = new QLabel(box);
  count_->setObjectName("LGridCount");
  g->addWidget(count_);
  g->addStretch(1);
}

void OptimizerDialog::ShowSeries(int index) {
  const int all = static_cast<int>(seriesList_.size());
  if (index < 0 || index > all) return;  // the hand-ticked list keeps its ticks
  std::set<std::string> on;
  if (index == all)
    on.insert(sizeTexts_.begin(), sizeTexts_.end());
  else
    on.insert(seriesList_[static_cast<size_t>(index)].sizes.begin(),
              seriesList_[static_cast<size_t>(index)].sizes.end());
  {
    QSignalBlocker block(sizes_);
    for (int i = 0; i < sizes_->count(); ++i)
      sizes_->item(i)->setCheckState(on.count(sizeTexts_[static_cast<size_t>(i)]) ? Qt::Checked : Qt::Unchecked);
  }
  {
    QSignalBlocker block(series_);
    series_->setCurrentIndex(index);
  }
  UpdateCount();
}

std::string OptimizerDialog::Request(OptimizerRequest& r) const {
  r = OptimizerRequest{};
  if (useTube_->isChecked()) {
    OptimizerVariable t{kTubeVariable, {}};
    for (int i = 0; i < sizes_->count(); ++i)
      if (sizes_->item(i)->checkState() == Qt::Checked) t.values.push_back(sizeTexts_[static_cast<size_t>(i)]);
    if (t.values.empty()) return "请至少勾选一种管子规格";
    r.variables.push_back(std::move(t));
  }
  if (useCount_->isChecked()) {
    OptimizerVariable n{kCountVariable, {}};
    const int a = countFrom_->value(), b = countTo_->value();
    for (int k = std::min(a, b); k <= std::max(a, b); ++k) n.values.push_back(std::to_string(k));
    r.variables.push_back(std::move(n));
  }
  if (usePitch_->isChecked()) {
    OptimizerVariable s{kPitchVariable, {}};
    for (size_t i = 0; i < pitches_.size(); ++i)
      if (pitches_[i]->isChecked()) s.values.push_back(PitchValues()[i]);
    if (s.values.empty()) return "请至少勾选一个管间距";
    r.variables.push_back(std::move(s));
  }
  if (useCoil_->isChecked()) {
    StudyInput in;
    in.field = kCoilVariable;
    auto from = ParseDecimal(U(coilFrom_->text().trimmed()));
    auto to = ParseDecimal(U(coilTo_->text().trimmed()));
    if (!from || !to) return "“" + U(useCoil_->text()) + "”的起点和终点须为数值";
    in.from = *from;
    in.to = *to;
    in.points = coilPoints_->value();
    try {
      r.variables.push_back({kCoilVariable, StudyValues(in)});
    } catch (const std::invalid_argument& e) {
      return "“" + U(useCoil_->text()) + "”：" + e.what();
    }
  }
  r.objective = static_cast<OptimizerObjective>(std::max(0, objective_->currentIndex()));
  r.noWarnings = noWarnings_->isChecked();
  r.marginCheck = margin_->isEnabled() && margin_->isChecked();
  return ValidateOptimizer(app_.form, r);
}

void OptimizerDialog::UpdateCount() {
  if (!count_) return;
  OptimizerRequest r;
  const std::string why = Request(r);
  if (why.empty()) {
    count_->setText(QString("共 %1 种组合").arg(OptimizerGridSize(r)));
    count_->setToolTip(QString());
  } else {
    count_->setText("无法运行（见提示）");
    count_->setToolTip(Q(why));
  }
}

void OptimizerDialog::UpdateButtons() {
  const bool idle = !running_;
  run_->setText(running_ ? "停止" : "运行");
  run_->setToolTip(running_ ? "停止优选（已算的点保留）" : "计算每种组合并按目标排序");
  const bool applicable = idle && SelectedRank() >= 0;
  apply_->setEnabled(applicable);
  apply_->setToolTip(applicable ? "把选中的方案填入项目并重新计算"
                                : "先运行优选，再在表中选一个满足约束的方案（被否决的方案不能应用）");
  const bool exportable = idle && !result_.points.empty();
  export_->setEnabled(exportable);
  export_->setToolTip(exportable ? "把每个计算点及其结论写成 CSV 文件（UTF-8，可用电子表格打开）"
                                 : "先运行优选，再导出全部计算点");
  close_->setEnabled(idle);
  close_->setToolTip(idle ? QString() : "优选进行中，请先停止");
}

void OptimizerDialog::SetRunning(bool running) {
  running_ = running;
  // The choices keep their own enabled states; their boxes are closed while it runs.
  for (QWidget* box : boxes_) box->setEnabled(!running);
  progress_->setVisible(running);
  UpdateButtons();
}

bool OptimizerDialog::Progress(size_t done, size_t total) {
  const int percent = total ? static_cast<int>(done * 100 / total) : 100;
  progress_->setValue(percent);
  app_.form.MyStatusBar->SetProgressPosition(percent);
  QApplication::processEvents();
  return !stopRequested_;
}

void OptimizerDialog::RunSearch() {
  if (running_) {
    stopRequested_ = true;
    return;
  }
  OptimizerRequest r;
  const std::string why = Request(r);
  if (!why.empty()) {
    Message(why, MsgType::Warning);
    return;
  }
  stopRequested_ = false;
  StatusBar& bar = *app_.form.MyStatusBar;
  const bool barShown = bar.ProgressVisible();
  const int barAt = bar.ProgressPosition();
  bar.SetProgressVisible(true);
  SetRunning(true);
  status_->setText(QString("正在计算 %1 种组合…").arg(OptimizerGridSize(r)));
  std::string failure;
  try {
    result_ = RunOptimizer(app_, r, [this](size_t done, size_t total) { return Progress(done, total); });
    shown_ = r;
  } catch (const std::exception& e) {
    failure = e.what();
  }
  bar.SetProgressPosition(barAt);
  bar.SetProgressVisible(barShown);
  SetRunning(false);
  if (!failure.empty()) {
    Message(failure, MsgType::Error);
    return;
  }
  ShowResult();
}

void OptimizerDialog::ShowResult() {
  const std::string objective = ObjectiveField(result_.objective);
  // The objective first, then the other results.
  std::vector<size_t> outputs;
  for (size_t k = 0; k < OptimizerOutputs().size(); ++k)
    if (OptimizerOutputs()[k] == objective)
      outputs.insert(outputs.begin(), k);
    else
      outputs.push_back(k);
  QStringList heads{"名次"};
  for (const std::string& h : result_.variableHeaders) heads << Q(h);
  for (size_t k : outputs)
    heads << Q(result_.outputHeaders[k] + (OptimizerOutputs()[k] == objective ? "（目标）" : ""));
  heads << "提示数"
        << "说明";
  table_->clear();
  table_->setColumnCount(heads.size());
  table_->setHorizontalHeaderLabels(heads);
  const size_t best = std::min<size_t>(kShownBest, result_.ranking.size());
  rowPoint_.clear();
  for (size_t k = 0; k < best; ++k) rowPoint_.push_back(static_cast<int>(result_.ranking[k]));
  for (size_t i : result_.neighbours) rowPoint_.push_back(static_cast<int>(i));
  table_->setRowCount(static_cast<int>(rowPoint_.size()));
  for (size_t row = 0; row < rowPoint_.size(); ++row) {
    const OptimizerPoint& p = result_.points[static_cast<size_t>(rowPoint_[row])];
    const bool ranked = row < best;
    QStringList cells{ranked ? QString::number(row + 1) : QString("否决")};
    for (const std::string& v : p.values) cells << Q(v);
    for (size_t k : outputs) cells << Q(k < p.shown.size() ? p.shown[k] : std::string());
    cells << QString::number(p.hints)
          << Q(ranked ? (p.warnings ? std::to_string(p.warnings) + " 项警告" : "")
                      : std::string("相邻方案被否决：") + p.reason);
    for (int c = 0; c < cells.size(); ++c) {
      auto* item = new QTableWidgetItem(cells[c]);
      if (!ranked) item->setForeground(QColor(160, 0, 0));
      if (!ranked && c == cells.size() - 1) item->setToolTip(Q(p.reason));
      table_->setItem(static_cast<int>(row), c, item);
    }
  }
  // The remarks take the width that is left; a long reason shows whole in its tooltip.
  const int last = table_->columnCount() - 1;
  for (int c = 0; c < last; ++c) table_->resizeColumnToContents(c);
  table_->horizontalHeader()->setSectionResizeMode(last, QHeaderView::Stretch);
  if (best > 0) table_->selectRow(0);
  QString text = QString("%1：计算 %2 点，满足约束 %3 点，用时 %4 s")
                     .arg(Q(ObjectiveCaption(result_.objective)))
                     .arg(result_.Computed())
                     .arg(result_.ranking.size())
                     .arg(result_.seconds, 0, 'f', 2);
  if (result_.cancelled) text += QString("（已停止，共 %1 点）").arg(result_.points.size());
  if (result_.ranking.empty()) text = Q(WhyNothingAccepted(result_));
  status_->setText(text);
  UpdateButtons();
}

int OptimizerDialog::SelectedRank() const {
  const auto rows = table_->selectionModel() ? table_->selectionModel()->selectedRows() : QModelIndexList{};
  if (rows.isEmpty()) return -1;
  const int row = rows.front().row();
  const int best = static_cast<int>(std::min<size_t>(kShownBest, result_.ranking.size()));
  return row >= 0 && row < best ? row : -1;
}

void OptimizerDialog::ApplySelected() {
  const int rank = SelectedRank();
  if (rank < 0 || running_) return;
  const OptimizerPoint& p = result_.points[result_.ranking[static_cast<size_t>(rank)]];
  const bool ok = ApplyOptimizedDesign(app_, shown_.variables, p.values);
  std::string what;
  for (size_t i = 0; i < p.values.size() && i < result_.variableHeaders.size(); ++i)
    what += (i ? "，" : "") + result_.variableHeaders[i] + " " + p.values[i];
  const std::string n = std::to_string(rank + 1);
  if (app_.form.SBAutoRun->Down())
    status_->setText(Q("已把第 " + n + " 名方案（" + what + "）填入项目；自动计算已关闭，结果尚未重新计算"));
  else if (ok)
    status_->setText(Q("已把第 " + n + " 名方案（" + what + "）填入项目并重新计算"));
  else
    status_->setText(Q("已填入第 " + n + " 名方案，但重新计算未完成，请查看主窗口"));
}

void OptimizerDialog::ExportCsv() {
  if (result_.points.empty() || running_) return;
  FileDialogRequest req;
  req.title = "导出CSV";
  req.filter = "CSV 文件（*.csv）|*.csv";
  req.defaultExt = "csv";
  req.fileName = "设计优选.csv";
  req.overwritePrompt = true;
  auto path = app_.form.Port().SaveDialog(req);
  if (!path) return;
  const std::string failure = WriteFileDurably(*path, OptimizerCsv(result_, true));
  if (!failure.empty())
    Message("无法写入“" + *path + "”：" + failure, MsgType::Error);
  else
    status_->setText(Q("已导出到 " + *path));
}

void OptimizerDialog::reject() {
  // Closing while the search runs stops it first.
  if (running_) {
    stopRequested_ = true;
    return;
  }
  QDialog::reject();
}

void OptimizerDialog::Message(const std::string& text, MsgType type) {
  app_.form.Port().MessageBox(text, "设计优选", type, Buttons::Ok, Answer::Ok);
}

}  // namespace pelmora::gui
