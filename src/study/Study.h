#pragma once
// Parameter study: one or two input fields stepped over a range, every point computed as
// a user would (type the value, recalculate) on a copy of the window, never on the
// window itself. Points are spread over threads, each with its own copy.
#include <functional>
#include <string>
#include <vector>

#include "app/PelmoraApp.h"
#include "fields/Properties.h"
#include "project/SaveFormData.h"

namespace pelmora {

struct StudyInput {
  std::string field;        // a value field, e.g. "TaoD"
  double from = 0, to = 0;  // in the field's current unit, as typed
  int points = 2;           // both ends included
  bool logarithmic = false;
};

struct StudyRequest {
  std::vector<StudyInput> inputs;    // one, or two for a grid (the second varies fastest)
  std::vector<std::string> outputs;  // value fields recorded, in this order
  int threads = 0;                   // 0: one per core
  // Called on the calling thread as points complete (done of total), a few times a
  // second at most; for a progress bar.
  std::function<void(size_t done, size_t total)> progress;
};

struct StudyRow {
  std::vector<std::string> inputs;   // the texts typed
  std::vector<std::string> outputs;  // the texts the fields show afterwards
  bool ok = true;
  std::string message;              // why the point failed (or what it said), empty otherwise
  std::vector<DesignCheck> checks;  // the design checks of the point's run
};

struct StudyResult {
  // caption(unit) of each input and output column, then the checks and the message column
  std::vector<std::string> headers;
  std::vector<StudyRow> rows;
};

inline constexpr int kMaxStudyPoints = 1000;  // per input
inline constexpr int kMaxStudyGrid = 10000;   // points of a whole study
inline constexpr int kMaxStudyThreads = 16;
inline constexpr const char* kStudyMessageHeader = "计算信息";
inline constexpr const char* kStudyChecksHeader = "检查";

// The checks of a point's run that are more than hints (a warning, an infeasible
// design): the cell of the 检查 column, the most severe level first ("警告 2"; empty when
// there is none), and the list of them, one per line ("警告  管内流速：…").
std::string StudyCheckCell(const StudyRow& row);
std::string StudyCheckList(const TFormPelmora& form, const StudyRow& row);
// An output that is not a field: the margin (%) the method check of each point
// recommends, empty where the check finds no area.
inline constexpr const char* kStudyMarginOutput = "recommendedMargin";
inline constexpr const char* kStudyMarginHeader = "校核建议富余度(%)";

// The values of one input (Format7 texts, as a user types them); throws
// std::invalid_argument with a Chinese reason for a range that cannot be stepped.
std::vector<std::string> StudyValues(const StudyInput& input);

// Whether a field can be swept: an enabled value field that the user types into.
bool StudyInputAllowed(const TFormPelmora& form, const std::string& name);
// The value fields that can be swept, in window order.
std::vector<const EditD*> StudyInputFields(const TFormPelmora& form);
// "caption(unit)" of a value field as the window shows it.
std::string StudyHeader(const TFormPelmora& form, const std::string& name);
// The unit the field currently shows.
std::string FieldUnit(const TFormPelmora& form, const EditD& field);

// Checks the request against the window: empty when it can run, otherwise the reason.
std::string ValidateStudy(const TFormPelmora& form, const StudyRequest& request);

// Runs the study over a copy of `project`'s window (the window is only read). Throws
// std::invalid_argument with the reason of ValidateStudy.
StudyResult RunStudy(const PelmoraApp& project, const StudyRequest& request);

// The table as CSV (CR LF line ends, quoted where needed); with a UTF-8 byte-order mark
// for files that spreadsheet programs open.
std::string StudyCsv(const StudyResult& result, bool byteOrderMark);

// Parses "NAME=FROM:TO:N" (N >= 1); throws std::invalid_argument.
StudyInput ParseSweep(const std::string& text);

// A copy of a window for studies: a separate PelmoraApp whose port answers nothing,
// holding `project`'s component state, reset to it before every point.
class StudyCopy {
 public:
  explicit StudyCopy(const PelmoraApp& project);
  // What a copy takes from the project, read once so that copies can be made on other
  // threads without touching the project.
  struct Source {
    std::vector<FormRecord> records;
    std::string programFolder;
    double tolerance = 0.000001;
    std::string status;
    explicit Source(const PelmoraApp& project);
  };
  explicit StudyCopy(const Source& source);
  StudyCopy(const StudyCopy&) = delete;
  StudyCopy& operator=(const StudyCopy&) = delete;
  // One point: back to the project's state, type each (field, text), recalculate;
  // outputs are read into the row.
  StudyRow Point(const std::vector<std::pair<std::string, std::string>>& inputs,
                 const std::vector<std::string>& outputs);
  PelmoraApp& App() { return app_; }
  // What the copy's window said since the last Reset.
  const ScriptedPort& Port() const { return port_; }
  // Back to the project's state: the components a point changed get their properties
  // back (found through their change notifications), so a point costs about one
  // assignment and one recalculation; the whole recorded state is applied only when
  // that does not settle.
  void Reset();

 private:
  void Snapshot();
  bool Restore(size_t i);  // true when it set something
  ScriptedPort port_;
  PelmoraApp app_;
  std::vector<FormRecord> base_;
  std::string baseStatus_;
  std::vector<Component*> components_;
  std::vector<std::vector<PropValue>> snapshot_;  // per component, per property
  std::vector<char> dirty_;
};

}  // namespace pelmora
