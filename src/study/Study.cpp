#include "study/Study.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <type_traits>
#include <variant>

#include "fields/Dispatch.h"
#include "fields/NumberFormat.h"
#include "fields/Text.h"

namespace pelmora {

namespace {

const EditD* ValueField(const TFormPelmora& form, const std::string& name) {
  for (const EditD* e : form.ValueFields())
    if (e->Name() == name) return e;
  return nullptr;
}

std::string CsvCell(const std::string& s) { return QuotedCell(s, ",\"\r\n"); }

}  // namespace

std::vector<std::string> StudyValues(const StudyInput& in) {
  if (in.points < 1 || in.points > kMaxStudyPoints)
    throw std::invalid_argument("点数须在 1 到 " + std::to_string(kMaxStudyPoints) + " 之间");
  if (!std::isfinite(in.from) || !std::isfinite(in.to)) throw std::invalid_argument("起点和终点须为有限数值");
  if (in.logarithmic && (in.from <= 0 || in.to <= 0)) throw std::invalid_argument("对数间隔要求起点和终点均大于零");
  std::vector<std::string> values;
  values.reserve(static_cast<size_t>(in.points));
  for (int i = 0; i < in.points; ++i) {
    double x;
    if (i == 0) {
      x = in.from;
    } else if (i == in.points - 1) {
      x = in.to;  // both ends exactly as given
    } else {
      const double t = static_cast<double>(i) / (in.points - 1);
      x = in.logarithmic ? in.from * std::pow(in.to / in.from, t) : in.from + (in.to - in.from) * t;
    }
    values.push_back(Format7(x));
  }
  return values;
}

std::string FieldUnit(const TFormPelmora& form, const EditD& field) {
  for (const ComboBoxU* u : form.UnitSelectors())
    if (u->Associated() == &field) return u->GetUnit();
  return std::string();
}

std::string StudyHeader(const TFormPelmora& form, const std::string& name) {
  if (name == kStudyMarginOutput) return kStudyMarginHeader;
  const EditD* e = ValueField(form, name);
  if (!e) return name;
  const std::string unit = FieldUnit(form, *e);
  return e->QuantityName() + (unit.empty() ? "" : "(" + unit + ")");
}

bool StudyInputAllowed(const TFormPelmora& form, const std::string& name) {
  const EditD* e = ValueField(form, name);
  return e && e->EffectivelyEnabled() && !e->ReadOnly();
}

std::vector<const EditD*> StudyInputFields(const TFormPelmora& form) {
  std::vector<const EditD*> r;
  for (const EditD* e : form.ValueFields())
    if (StudyInputAllowed(form, e->Name())) r.push_back(e);
  return r;
}

std::string ValidateStudy(const TFormPelmora& form, const StudyRequest& request) {
  if (request.inputs.empty() || request.inputs.size() > 2) return "参数研究需要一个或两个输入参数";
  long long grid = 1;
  for (const StudyInput& in : request.inputs) {
    if (!ValueField(form, in.field)) return "没有名为 " + in.field + " 的数值字段";
    if (!StudyInputAllowed(form, in.field))
      return "“" + StudyHeader(form, in.field) + "”不是可输入的字段，不能作为研究参数";
    try {
      StudyValues(in);
    } catch (const std::invalid_argument& e) {
      return "“" + StudyHeader(form, in.field) + "”：" + e.what();
    }
    grid *= in.points;
  }
  if (request.inputs.size() == 2 && request.inputs[0].field == request.inputs[1].field)
    return "两个研究参数不能是同一字段";
  if (grid > kMaxStudyGrid) return "研究点数过多（最多 " + std::to_string(kMaxStudyGrid) + " 点）";
  if (request.outputs.empty()) return "请至少选择一个结果字段";
  for (const std::string& o : request.outputs)
    if (o != kStudyMarginOutput && !ValueField(form, o)) return "没有名为 " + o + " 的数值字段";
  return std::string();
}

StudyInput ParseSweep(const std::string& text) {
  const size_t eq = text.find('=');
  if (eq == std::string::npos) throw std::invalid_argument("expected NAME=FROM:TO:N, got " + text);
  StudyInput in;
  in.field = text.substr(0, eq);
  std::vector<std::string> parts;
  std::string rest = text.substr(eq + 1);
  for (size_t start = 0;;) {
    size_t colon = rest.find(':', start);
    parts.push_back(rest.substr(start, colon == std::string::npos ? std::string::npos : colon - start));
    if (colon == std::string::npos) break;
    start = colon + 1;
  }
  if (parts.size() != 3) throw std::invalid_argument("expected NAME=FROM:TO:N, got " + text);
  auto from = ParseDecimal(Trim(parts[0])), to = ParseDecimal(Trim(parts[1]));
  if (!from || !to) throw std::invalid_argument("FROM and TO must be numbers in " + text);
  in.from = *from;
  in.to = *to;
  try {
    long long n = StrToInt(parts[2]);
    if (n < 1 || n > kMaxStudyPoints) throw std::invalid_argument("");
    in.points = static_cast<int>(n);
  } catch (const std::exception&) {
    throw std::invalid_argument("N must be a whole number from 1 to " + std::to_string(kMaxStudyPoints) + " in " +
                                text);
  }
  return in;
}

// ---------------------------------------------------------------- StudyCopy

StudyCopy::Source::Source(const PelmoraApp& project)
    : records(CollectFormRecords(project.form)),
      programFolder(project.form.ProgramFolder),
      tolerance(project.calc.Tolerance),
      status(project.form.MyStatusBar->PanelText(1)) {}

StudyCopy::StudyCopy(const PelmoraApp& project) : StudyCopy(Source(project)) {}

StudyCopy::StudyCopy(const Source& source) : app_(&port_, source.programFolder), base_(source.records) {
  app_.undo.SetEnabled(false);  // points are put back by Reset, not undone
  ApplyFormRecords(app_.form, base_);
  // A study computes every point, also when the window's automatic calculation is off.
  if (app_.form.SBAutoRun->Down()) {
    app_.form.SBAutoRun->SetDown(false);
    base_ = CollectFormRecords(app_.form);
  }
  app_.calc.Tolerance = source.tolerance;
  baseStatus_ = source.status;
  app_.form.MyStatusBar->SetPanelText(1, baseStatus_);
  Snapshot();
}

void StudyCopy::Snapshot() {
  components_ = app_.form.Components();
  snapshot_.assign(components_.size(), {});
  dirty_.assign(components_.size(), 0);
  for (size_t i = 0; i < components_.size(); ++i) {
    Component* c = components_[i];
    for (const Property& p : Describe(c->GetKind()).properties)
      snapshot_[i].push_back(p.get && p.set ? p.get(*c) : PropValue{});
    c->Subscribe([this, i](Component&) { dirty_[i] = 1; });
  }
}

bool StudyCopy::Restore(size_t i) {
  Component* c = components_[i];
  const auto& props = Describe(c->GetKind()).properties;
  bool set = false;
  for (size_t k = 0; k < props.size() && k < snapshot_[i].size(); ++k) {
    const Property& p = props[k];
    if (!p.get || !p.set) continue;
    if (SameValue(p.get(*c), snapshot_[i][k])) continue;
    p.set(*c, snapshot_[i][k]);
    set = true;
  }
  return set;
}

void StudyCopy::Reset() {
  // Setting a property back may move others through their handlers: repeat until a
  // round finds every changed component as it was (bounded).
  bool settled = false;
  for (int round = 0; round < 8 && !settled; ++round) {
    std::vector<size_t> changed;
    for (size_t i = 0; i < dirty_.size(); ++i)
      if (dirty_[i]) changed.push_back(i), dirty_[i] = 0;
    bool set = false;
    for (size_t i : changed) set = Restore(i) || set;
    settled = !set;
  }
  if (!settled) {
    ApplyFormRecords(app_.form, base_);
    std::fill(dirty_.begin(), dirty_.end(), 0);
  }
  app_.form.MyStatusBar->SetPanelText(1, baseStatus_);
  std::fill(dirty_.begin(), dirty_.end(), 0);
  app_.form.FocusChangedByView(nullptr);
  port_.Clear();
}

StudyRow StudyCopy::Point(const std::vector<std::pair<std::string, std::string>>& inputs,
                          const std::vector<std::string>& outputs) {
  StudyRow row;
  for (const auto& in : inputs) row.inputs.push_back(in.second);
  bool ok = true;
  try {
    Reset();
  } catch (const std::exception& e) {
    ok = false;
    row.message = e.what();
  }
  if (ok) {
    TFormPelmora& f = app_.form;
    for (const auto& [name, text] : inputs) {
      auto* e = As<EditD>(f.Find(name));
      if (!e) continue;
      ok = app_.Run([&f, e, &text] {
        f.FocusChangedByView(e);
        e->SetText(text);
      }) && ok;
    }
    if (ok) ok = app_.Run([this] { app_.calc.Recalculate(); });
    std::string said;
    for (const std::string& m : port_.Messages()) said += (said.empty() ? "" : "；") + m;
    if (!ok && said.empty()) said = f.MyStatusBar->PanelText(1);
    if (!ok && said.empty()) said = "计算未完成";
    row.message = said;
  }
  row.ok = ok;
  if (ok) row.checks = app_.calc.checks;
  for (const std::string& o : outputs) {
    if (o == kStudyMarginOutput) {
      const auto& margin = app_.calc.crossCheck.recommendedMargin;
      row.outputs.push_back(ok && margin ? Format7(*margin) : std::string());
      continue;
    }
    const auto* e = As<EditD>(app_.form.Find(o));
    std::string shown;
    if (ok && e && e->Enabled()) {
      const Overlay ov = e->DrawOverlay();
      shown = ov.draw ? ov.text : e->Text();
    }
    row.outputs.push_back(shown);
  }
  return row;
}

// ---------------------------------------------------------------- RunStudy

StudyResult RunStudy(const PelmoraApp& project, const StudyRequest& request) {
  const std::string why = ValidateStudy(project.form, request);
  if (!why.empty()) throw std::invalid_argument(why);

  StudyResult result;
  for (const StudyInput& in : request.inputs) result.headers.push_back(StudyHeader(project.form, in.field));
  for (const std::string& o : request.outputs) result.headers.push_back(StudyHeader(project.form, o));
  result.headers.push_back(kStudyChecksHeader);
  result.headers.push_back(kStudyMessageHeader);

  // The points in table order: the first input slowest.
  std::vector<std::vector<std::pair<std::string, std::string>>> points;
  const std::vector<std::string> first = StudyValues(request.inputs[0]);
  const std::vector<std::string> second =
      request.inputs.size() > 1 ? StudyValues(request.inputs[1]) : std::vector<std::string>{std::string()};
  for (const std::string& a : first)
    for (const std::string& b : second) {
      std::vector<std::pair<std::string, std::string>> p{{request.inputs[0].field, a}};
      if (request.inputs.size() > 1) p.emplace_back(request.inputs[1].field, b);
      points.push_back(std::move(p));
    }
  result.rows.resize(points.size());

  int threads = request.threads > 0 ? request.threads : static_cast<int>(std::thread::hardware_concurrency());
  threads = std::clamp(threads, 1, kMaxStudyThreads);
  // A copy costs about twenty points (bench_study): a worker is worth it from about
  // thirty-two points on.
  threads = std::clamp(static_cast<int>(points.size() / 32), 1, threads);

  std::atomic<size_t> next{0};
  std::atomic<size_t> done{0};
  auto work = [&](StudyCopy& copy, bool report) {
    for (size_t i = next++; i < points.size(); i = next++) {
      result.rows[i] = copy.Point(points[i], request.outputs);
      const size_t d = ++done;
      if (report && request.progress && (d % 16 == 0 || d == points.size())) request.progress(d, points.size());
    }
  };
  // The project is read once here; each worker makes its own copy from that.
  const StudyCopy::Source source(project);
  if (threads == 1) {
    StudyCopy copy(source);
    work(copy, true);
    return result;
  }
  std::vector<std::string> failures(static_cast<size_t>(threads));
  std::vector<std::thread> pool;
  std::mutex m;
  std::condition_variable finished;
  int running = threads;
  for (int t = 0; t < threads; ++t)
    pool.emplace_back([&, t] {
      struct Ended {  // however the worker ends
        std::mutex& m;
        std::condition_variable& cv;
        int& running;
        ~Ended() {
          std::lock_guard lock(m);
          --running;
          cv.notify_all();
        }
      } ended{m, finished, running};
      try {
        StudyCopy copy(source);
        work(copy, false);
      } catch (const std::exception& e) {
        failures[static_cast<size_t>(t)] = e.what();
      }
    });
  // The calling thread reports the progress while the workers run; every worker ends
  // (its points are bounded), so this wait ends too.
  if (request.progress) {
    std::unique_lock lock(m);
    while (running > 0) {
      finished.wait_for(lock, std::chrono::milliseconds(100));
      lock.unlock();
      request.progress(done.load(), points.size());
      lock.lock();
    }
  }
  for (std::thread& th : pool) th.join();
  // A copy that could not be made leaves its points to the others; any point left
  // over (every copy failed) keeps its row with the reason.
  for (size_t i = 0; i < points.size(); ++i) {
    if (!result.rows[i].inputs.empty()) continue;
    StudyRow& row = result.rows[i];
    for (const auto& in : points[i]) row.inputs.push_back(in.second);
    row.outputs.assign(request.outputs.size(), std::string());
    row.ok = false;
    for (const std::string& f : failures)
      if (!f.empty()) row.message = f;
  }
  return result;
}

std::string StudyCsv(const StudyResult& result, bool byteOrderMark) {
  std::string s = byteOrderMark ? "\xEF\xBB\xBF" : "";
  auto line = [&s](const std::vector<std::string>& cells) {
    for (size_t i = 0; i < cells.size(); ++i) s += (i ? "," : "") + CsvCell(cells[i]);
    s += "\r\n";
  };
  line(result.headers);
  for (const StudyRow& r : result.rows) {
    std::vector<std::string> cells = r.inputs;
    cells.insert(cells.end(), r.outputs.begin(), r.outputs.end());
    cells.push_back(StudyCheckCell(r));
    cells.push_back(r.message);
    line(cells);
  }
  return s;
}

namespace {
// The levels above a hint, most severe first.
std::vector<DesignCheck::Level> FlaggedLevels(const StudyRow& row) {
  std::vector<DesignCheck::Level> levels;
  for (const DesignCheck& c : row.checks)
    if (c.level != DesignCheck::Level::Hint && std::find(levels.begin(), levels.end(), c.level) == levels.end())
      levels.push_back(c.level);
  std::sort(levels.begin(), levels.end(), [](auto a, auto b) { return static_cast<int>(a) > static_cast<int>(b); });
  return levels;
}
}  // namespace

std::string StudyCheckCell(const StudyRow& row) {
  std::string cell;
  for (DesignCheck::Level level : FlaggedLevels(row)) {
    const auto n =
        std::count_if(row.checks.begin(), row.checks.end(), [level](const DesignCheck& c) { return c.level == level; });
    cell += (cell.empty() ? "" : "，") + std::string(LevelText(level)) + " " + std::to_string(n);
  }
  return cell;
}

std::string StudyCheckList(const TFormPelmora& form, const StudyRow& row) {
  std::string list;
  for (DesignCheck::Level level : FlaggedLevels(row))
    for (const DesignCheck& c : row.checks) {
      if (c.level != level) continue;
      std::string where;
      if (const auto* e = As<EditD>(form.Find(c.field))) where = e->QuantityName() + "：";
      list += (list.empty() ? "" : "\n") + std::string(LevelText(level)) + "  " + where + c.text;
    }
  return list;
}

}  // namespace pelmora
