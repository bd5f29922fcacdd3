#include "study/Optimizer.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <map>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <tuple>

#include "calc/Calculation.h"
#include "fields/FieldOps.h"
#include "fields/NumberFormat.h"
#include "fields/Text.h"
#include "study/Study.h"

namespace pelmora {

namespace {

const std::vector<std::string> kOutputs = {"ArD", "LrD", "UiD", "DpiD"};

// The SI value a result field shows; nothing when it is disabled, blank, stale or not
// a finite number.
std::optional<double> Si(const TFormPelmora& f, const std::string& name) {
  return SiValue(As<EditD>(f.Find(name)), false, true);
}

std::string Caption(const TFormPelmora& f, const std::string& field) {
  const auto* e = As<EditD>(f.Find(field));
  return e ? e->QuantityName() : field;
}

std::string CsvCell(const std::string& s) { return QuotedCell(s, ",\"\r\n"); }

// The design of a point typed into a window: the tube size as the catalogue pick sets
// it (outer diameter, and inner = outer - 2 x wall), every other value typed as text.
void AssignDesign(TFormPelmora& f, const std::vector<OptimizerVariable>& variables,
                  const std::vector<std::string>& values) {
  for (size_t i = 0; i < variables.size() && i < values.size(); ++i) {
    if (variables[i].name == kTubeVariable) {
      const TubeSize t = ParseTubeSize(values[i]);
      f.dioD->SetValue(t.outer / 1000);
      f.diiD->SetValue(t.outer / 1000 - 2 * t.wall / 1000);
    } else if (auto* e = As<EditD>(f.Find(variables[i].name))) {
      e->SetText(values[i]);
    }
  }
}

// One user action: the design typed in, then the recalculation that leaving a field runs.
bool AssignAndRecalculate(PelmoraApp& app, const std::vector<OptimizerVariable>& variables,
                          const std::vector<std::string>& values) {
  return app.Run([&] {
    AssignDesign(app.form, variables, values);
    app.form.RunHandler("MaoDExit", nullptr);
  });
}

class PointJudge {
 public:
  PointJudge(const OptimizerRequest& r, MarginSource margin) : r_(r), margin_(std::move(margin)) {}

  OptimizerPoint Evaluate(StudyCopy& copy, std::vector<std::string> values) const {
    OptimizerPoint p;
    p.values = std::move(values);
    p.computed = true;
    PelmoraApp& app = copy.App();
    bool ok = true;
    std::string said;
    try {
      copy.Reset();
      ok = AssignAndRecalculate(app, r_.variables, p.values);
      for (const std::string& m : copy.Port().Messages()) said += (said.empty() ? "" : "；") + m;
    } catch (const std::exception& e) {
      ok = false;
      said = e.what();
    }
    const TFormPelmora& f = app.form;
    Record(f, p);
    const std::string panel = f.MyStatusBar->PanelText(1);
    const bool interrupted = panel.rfind(kInterrupted, 0) == 0;
    if (!ok || interrupted || app.calc.AnyStale()) {
      if (said.empty()) said = interrupted ? panel.substr(std::string(kInterrupted).size()) : panel;
      if (said.empty()) said = "计算未完成";
      Reject(p, Verdict::Stopped, said, std::string(VerdictText(Verdict::Stopped)) + "：" + said);
      return p;
    }
    Judge(app, p);
    return p;
  }

 private:
  void Record(const TFormPelmora& f, OptimizerPoint& p) const {
    for (const std::string& o : kOutputs) {
      const auto* e = As<EditD>(f.Find(o));
      std::string shown;
      if (e && e->Enabled() && !e->Stale()) {
        const Overlay ov = e->DrawOverlay();
        shown = ov.draw ? ov.text : e->Text();
      }
      p.shown.push_back(shown);
      p.numbers.push_back(Si(f, o));
    }
  }

  static void Reject(OptimizerPoint& p, Verdict v, std::string reason, std::string because) {
    p.verdict = v;
    p.reason = std::move(reason);
    p.because = std::move(because);
  }

  void Judge(const PelmoraApp& app, OptimizerPoint& p) const {
    const TFormPelmora& f = app.form;
    const std::vector<DesignCheck>& checks = app.calc.checks;
    const DesignCheck* infeasible = nullptr;
    const DesignCheck* warning = nullptr;
    for (const DesignCheck& c : checks) {
      if (c.level == DesignCheck::Level::Infeasible && !infeasible) infeasible = &c;
      if (c.level == DesignCheck::Level::Warning) {
        ++p.warnings;
        if (!warning) warning = &c;
      }
      if (c.level == DesignCheck::Level::Hint) ++p.hints;
    }
    auto byCheck = [&](Verdict v, const DesignCheck& c) {
      const std::string where = Caption(f, c.field);
      Reject(p, v, std::string(LevelText(c.level)) + "：" + c.text, std::string(LevelText(c.level)) + "：" + where);
    };
    if (infeasible) return byCheck(Verdict::Infeasible, *infeasible);
    const std::string objective = ObjectiveField(r_.objective);
    p.objective = Si(f, objective);
    if (!p.objective) {
      const std::string what = "未算出" + Caption(f, objective);
      return Reject(p, Verdict::NotComputed, what, what);
    }
    if (r_.noWarnings && warning) return byCheck(Verdict::Warning, *warning);
    if (r_.marginCheck) {
      const std::optional<double> m = margin_ ? margin_(app) : std::nullopt;
      const std::optional<double> sf = Si(f, "sfD");
      const double asked = m.value_or(NAN);
      if (!std::isfinite(asked)) return Reject(p, Verdict::Margin, "方法校核未给出推荐富余度", "富余度：未给出推荐值");
      if (!sf || asked > *sf)
        return Reject(p, Verdict::Margin,
                      "方法校核推荐富余度 " + CheckNumber(asked) + " %，大于项目的富余度 " +
                          (sf ? CheckNumber(*sf) : std::string("（空）")) + " %",
                      "富余度：推荐值大于项目的富余度");
    }
    p.verdict = Verdict::Accepted;
  }

  const OptimizerRequest& r_;
  MarginSource margin_;
};

// The grid in order, the first variable slowest.
std::vector<std::vector<std::string>> GridPoints(const OptimizerRequest& r) {
  std::vector<std::vector<std::string>> points;
  const size_t n = OptimizerGridSize(r);
  points.reserve(n);
  for (size_t k = 0; k < n; ++k) {
    std::vector<std::string> values(r.variables.size());
    size_t rest = k;
    for (size_t v = r.variables.size(); v-- > 0;) {
      const auto& vals = r.variables[v].values;
      values[v] = vals[rest % vals.size()];
      rest /= vals.size();
    }
    points.push_back(std::move(values));
  }
  return points;
}

void Rank(const OptimizerRequest& r, OptimizerResult& result) {
  const auto& pts = result.points;
  for (size_t i = 0; i < pts.size(); ++i)
    if (pts[i].computed && pts[i].Accepted()) result.ranking.push_back(i);
  // Ties on the objective go to the smaller area, then the shorter tube, then the
  // smaller pressure drop, then the earlier point of the grid.
  auto key = [&](size_t i) {
    const OptimizerPoint& p = pts[i];
    auto num = [&](size_t k) { return p.numbers.size() > k && p.numbers[k] ? *p.numbers[k] : HUGE_VAL; };
    return std::make_tuple(p.objective.value_or(HUGE_VAL), num(0), num(1), num(3), i);
  };
  std::sort(result.ranking.begin(), result.ranking.end(), [&](size_t a, size_t b) { return key(a) < key(b); });
  if (result.ranking.empty()) return;
  // The rejected points one step from the best in one variable: why not one tube less,
  // the next smaller size, a closer pitch.
  const size_t best = result.ranking.front();
  size_t stride = 1;
  for (size_t v = r.variables.size(); v-- > 0;) {
    const size_t count = r.variables[v].values.size();
    const size_t pos = (best / stride) % count;
    for (int d : {-1, 1}) {
      if ((d < 0 && pos == 0) || (d > 0 && pos + 1 >= count)) continue;
      const size_t j = d < 0 ? best - stride : best + stride;
      if (pts[j].computed && !pts[j].Accepted()) result.neighbours.push_back(j);
    }
    stride *= count;
  }
  std::sort(result.neighbours.begin(), result.neighbours.end());
}

}  // namespace

namespace {

// The value field each objective minimises and its Chinese name.
struct ObjectiveInfo {
  OptimizerObjective objective;
  const char* field;
  const char* caption;
};
constexpr ObjectiveInfo kObjectiveInfo[] = {
    {OptimizerObjective::ActualArea, "ArD", "实际面积最小"},
    {OptimizerObjective::TubeLength, "LrD", "管长最短"},
    {OptimizerObjective::PressureDrop, "DpiD", "管程压降最小"},
};

const ObjectiveInfo& InfoOf(OptimizerObjective o) {
  for (const ObjectiveInfo& i : kObjectiveInfo)
    if (i.objective == o) return i;
  return kObjectiveInfo[0];
}

}  // namespace

const char* ObjectiveField(OptimizerObjective o) { return InfoOf(o).field; }

const char* ObjectiveCaption(OptimizerObjective o) { return InfoOf(o).caption; }

std::optional<OptimizerObjective> ObjectiveNamed(const std::string& field) {
  for (const ObjectiveInfo& i : kObjectiveInfo)
    if (field == i.field) return i.objective;
  return std::nullopt;
}

const char* VerdictText(Verdict v) {
  switch (v) {
    case Verdict::Accepted: return "可行";
    case Verdict::Stopped: return "计算中断";
    case Verdict::NotComputed: return "未算出";
    case Verdict::Infeasible: return "不可行";
    case Verdict::Warning: return "警告";
    case Verdict::Margin: return "富余度";
  }
  return "";
}

// The margin the method check of each point's run asks for (none where it finds no area).
MarginSource RecommendedMarginSource() {
  return [](const PelmoraApp& run) { return run.calc.crossCheck.recommendedMargin; };
}

const std::vector<std::string>& OptimizerOutputs() { return kOutputs; }

size_t OptimizerResult::Computed() const {
  return static_cast<size_t>(std::count_if(points.begin(), points.end(), [](const auto& p) { return p.computed; }));
}

size_t OptimizerGridSize(const OptimizerRequest& r) {
  if (r.variables.empty()) return 0;
  size_t n = 1;
  for (const OptimizerVariable& v : r.variables) {
    if (v.values.empty()) return 0;
    // Saturates instead of overflowing; anything beyond the limit is refused anyway.
    n = n > kMaxOptimizerPoints * kMaxOptimizerValues ? n : n * v.values.size();
  }
  return n;
}

OptimizerResult RunOptimizer(const PelmoraApp& project, const OptimizerRequest& request,
                             const OptimizerProgress& progress) {
  const std::string why = ValidateOptimizer(project.form, request);
  if (!why.empty()) throw std::invalid_argument(why);
  const auto start = std::chrono::steady_clock::now();
  const TFormPelmora& form = project.form;

  OptimizerResult result;
  result.objective = request.objective;
  for (const OptimizerVariable& v : request.variables)
    result.variableHeaders.push_back(v.name == kTubeVariable ? "管子规格" : StudyHeader(form, v.name));
  for (const std::string& o : kOutputs) result.outputHeaders.push_back(StudyHeader(form, o));
  result.objectiveHeader = StudyHeader(form, ObjectiveField(request.objective));

  std::vector<std::vector<std::string>> grid = GridPoints(request);
  const size_t total = grid.size();
  result.points.resize(total);
  const PointJudge judge(request, request.margin ? request.margin : RecommendedMarginSource());

  int threads = request.threads > 0 ? request.threads : static_cast<int>(std::thread::hardware_concurrency());
  threads = std::clamp(threads, 1, kMaxStudyThreads);
  // A copy costs about twenty points: a worker is worth it from about thirty-two on.
  threads = std::clamp(static_cast<int>(total / 32), 1, threads);

  std::atomic<size_t> next{0}, done{0};
  std::atomic<bool> stop{false};
  std::mutex mutex;
  std::condition_variable finished;
  int running = threads;
  std::vector<std::string> failures(static_cast<size_t>(threads));
  const StudyCopy::Source source(project);  // the project is read here, once
  std::vector<std::thread> pool;
  for (int t = 0; t < threads; ++t)
    pool.emplace_back([&, t] {
      try {
        StudyCopy copy(source);
        for (size_t i = next++; i < total && !stop; i = next++) {
          result.points[i] = judge.Evaluate(copy, grid[i]);
          // The caller hears of every few points, not only at the timeout below.
          if (++done % 32 == 0) finished.notify_all();
        }
      } catch (const std::exception& e) {
        failures[static_cast<size_t>(t)] = e.what();
      }
      std::lock_guard lock(mutex);
      --running;
      finished.notify_all();
    });
  {
    // The workers always end (the points are finite); meanwhile the caller hears how
    // far they are and may stop them.
    std::unique_lock lock(mutex);
    while (running > 0) {
      finished.wait_for(lock, std::chrono::milliseconds(100));
      if (progress && !stop) {
        lock.unlock();
        if (!progress(done.load(), total)) stop = true;
        lock.lock();
      }
    }
  }
  for (std::thread& th : pool) th.join();
  if (progress && !stop) progress(done.load(), total);

  // A point no worker reached keeps its values; it counts as not computed.
  std::string failure;
  for (const std::string& f : failures)
    if (!f.empty()) failure = f;
  for (size_t i = 0; i < total; ++i) {
    OptimizerPoint& p = result.points[i];
    if (p.computed) continue;
    p.values = grid[i];
    p.reason = failure.empty() ? "未计算（已停止）" : failure;
  }
  result.cancelled = stop || result.Computed() < total;
  Rank(request, result);
  result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return result;
}

std::string WhyNothingAccepted(const OptimizerResult& result) {
  if (!result.ranking.empty()) return std::string();
  std::map<std::string, size_t> count;
  size_t computed = 0;
  for (const OptimizerPoint& p : result.points)
    if (p.computed) ++count[p.because], ++computed;
  std::vector<std::pair<std::string, size_t>> order(count.begin(), count.end());
  std::stable_sort(order.begin(), order.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
  std::string s = "没有满足约束的方案（计算 " + std::to_string(computed) + " 点，全部被否决）。";
  if (order.empty()) return s;
  s += "否决最多的约束：";
  for (size_t i = 0; i < order.size() && i < 4; ++i)
    s += (i ? "；" : "") + order[i].first + "（" + std::to_string(order[i].second) + " 点）";
  return s + "。";
}

bool ApplyOptimizedDesign(PelmoraApp& app, const std::vector<OptimizerVariable>& variables,
                          const std::vector<std::string>& values) {
  // One command: the values and the recalculation are one user action, which undo
  // takes back as one step named after the dialog's button.
  return app.Run([&] {
    UndoHistory::Step step(app.undo, "应用");
    AssignDesign(app.form, variables, values);
    app.form.RunHandler("MaoDExit", nullptr);
  });
}

std::string OptimizerCsv(const OptimizerResult& result, bool byteOrderMark) {
  std::string s = byteOrderMark ? "\xEF\xBB\xBF" : "";
  auto line = [&s](const std::vector<std::string>& cells) {
    for (size_t i = 0; i < cells.size(); ++i) s += (i ? "," : "") + CsvCell(cells[i]);
    s += "\r\n";
  };
  std::vector<std::string> head = result.variableHeaders;
  head.insert(head.end(), result.outputHeaders.begin(), result.outputHeaders.end());
  for (const char* h : {"提示数", "警告数", "名次", "结论", "原因"}) head.push_back(h);
  line(head);
  std::vector<size_t> rank(result.points.size(), 0);
  for (size_t k = 0; k < result.ranking.size(); ++k) rank[result.ranking[k]] = k + 1;
  for (size_t i = 0; i < result.points.size(); ++i) {
    const OptimizerPoint& p = result.points[i];
    std::vector<std::string> cells = p.values;
    std::vector<std::string> shown = p.shown;
    shown.resize(result.outputHeaders.size());
    cells.insert(cells.end(), shown.begin(), shown.end());
    cells.push_back(p.computed ? std::to_string(p.hints) : std::string());
    cells.push_back(p.computed ? std::to_string(p.warnings) : std::string());
    cells.push_back(rank[i] ? std::to_string(rank[i]) : std::string());
    cells.push_back(p.computed ? VerdictText(p.verdict) : "未计算");
    cells.push_back(p.reason);
    line(cells);
  }
  return s;
}

std::string OptimizerTable(const OptimizerResult& result, size_t top) {
  std::string s = std::string("设计优选：") + ObjectiveCaption(result.objective) + "（" + result.objectiveHeader +
                  "），计算 " + std::to_string(result.Computed()) + " 点，满足约束 " +
                  std::to_string(result.ranking.size()) + " 点" + (result.cancelled ? "（未算完）" : "") + "\n";
  auto row = [&s](const std::vector<std::string>& cells) {
    for (size_t i = 0; i < cells.size(); ++i) s += (i ? "\t" : "") + cells[i];
    s += "\n";
  };
  std::vector<std::string> head = {"名次"};
  head.insert(head.end(), result.variableHeaders.begin(), result.variableHeaders.end());
  head.insert(head.end(), result.outputHeaders.begin(), result.outputHeaders.end());
  head.push_back("提示数");
  head.push_back("警告数");
  if (result.ranking.empty()) {
    s += WhyNothingAccepted(result) + "\n";
    return s;
  }
  row(head);
  for (size_t k = 0; k < result.ranking.size() && k < top; ++k) {
    const OptimizerPoint& p = result.points[result.ranking[k]];
    std::vector<std::string> cells = {std::to_string(k + 1)};
    cells.insert(cells.end(), p.values.begin(), p.values.end());
    cells.insert(cells.end(), p.shown.begin(), p.shown.end());
    cells.push_back(std::to_string(p.hints));
    cells.push_back(std::to_string(p.warnings));
    row(cells);
  }
  if (!result.neighbours.empty()) {
    s += "被否决的相邻方案：\n";
    for (size_t i : result.neighbours) {
      const OptimizerPoint& p = result.points[i];
      std::vector<std::string> cells = {"-"};
      cells.insert(cells.end(), p.values.begin(), p.values.end());
      cells.push_back(p.reason);
      row(cells);
    }
  }
  return s;
}

}  // namespace pelmora
