#include "cli/CliRunner.h"

#include <algorithm>
#include <climits>
#include <optional>
#include <ostream>
#include <string_view>
#include <type_traits>

#include "cli/CliSession.h"
#include "fields/Dispatch.h"
#include "fields/Errors.h"
#include "fields/NumberFormat.h"
#include "fields/Text.h"
#include "props/PropLib.h"
#include "props/PropsCommands.h"
#include "study/Optimizer.h"
#include "study/Study.h"
#include "study/StudyDefaults.h"

namespace pelmora {

namespace {

using cli::Cli;
using cli::kCliUsage;

// The bytes of `s` with every byte that is not printable ASCII as \xHH.
std::string Escaped(std::string_view s) {
  static const char* hex = "0123456789ABCDEF";
  std::string out;
  for (char ch : s) {
    const auto b = static_cast<unsigned char>(ch);
    if (b >= 0x20 && b < 0x7F) {
      out += ch;
    } else {
      out += "\\x";
      out += hex[b >> 4];
      out += hex[b & 0xF];
    }
  }
  return out;
}

// A number option's value; a usage error when it is none.
template <typename T>
T NumberArgument(const std::string& option, const std::string& value) {
  try {
    if constexpr (std::is_integral_v<T>) {
      long long v = StrToInt(value);
      if (v < INT32_MIN || v > INT32_MAX) throw ConversionError(value);
      return static_cast<T>(v);
    } else {
      return value.empty() ? T{} : static_cast<T>(StrToFloat(value));
    }
  } catch (const ConversionError&) {
    throw std::invalid_argument(option + " needs a number, got '" + value + "'");
  }
}

std::vector<std::string> SplitNames(const std::string& list) {
  std::vector<std::string> names;
  size_t start = 0;
  for (;;) {
    size_t comma = list.find(',', start);
    std::string n = list.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    if (!n.empty()) names.push_back(n);
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  if (names.empty()) throw std::invalid_argument("--output needs at least one field name");
  return names;
}

// What the options of one command line gather for the steps that run after them.
struct Run {
  explicit Run(Cli& c) : cli(c) {}
  Cli& cli;
  std::optional<std::string> formula, record;
  std::vector<std::pair<std::string, std::string>> vars;
  std::string t, p;
  std::vector<StudyInput> sweeps;
  std::vector<std::string> outputs = DefaultStudyOutputs();
  std::string csv;
  bool designShown = false;  // --json or --save-report: a design leaves the program
  // The optimizer's options are taken from the whole command line first: the search
  // runs where --apply-best stands, else after the other options.
  std::optional<OptimizerRequest> optimize;
  size_t top = 10;
  bool optimized = false, sweeping = false, topGiven = false;

  OptimizerRequest& Optimizer() {
    if (!optimize) optimize.emplace();
    return *optimize;
  }
};

using Action = void (*)(Run& r, const std::string& value);

// One option of the command line.
struct Option {
  const char* name;
  bool takesValue;
  // Run where the option stands; nullptr for the optimizer's options, taken in `gather`.
  Action act;
  // Run over the whole command line before any option acts.
  Action gather = nullptr;
  // The value goes into a field as text, so it must be valid UTF-8.
  bool text = false;
};

void FileCommand(Run& r, const char* handler, const std::string& file) { r.cli.Command(handler, file); }

// The options in the order of the usage text.
const Option kOptions[] = {
    {"--set", true,
     [](Run& r, const std::string& v) {
       if (!r.cli.DialogSet(v)) r.cli.Input("--set", v);
     },
     nullptr, true},
    {"--unit", true, [](Run& r, const std::string& v) { r.cli.Input("--unit", v); }},
    {"--select", true, [](Run& r, const std::string& v) { r.cli.Input("--select", v); }},
    {"--exit", true, [](Run& r, const std::string& v) { r.cli.Exit(v); }},
    {"--recalc", false, [](Run& r, const std::string&) { r.cli.Act([&r] { r.cli.app.calc.Recalculate(); }); }},
    {"--click", true, [](Run& r, const std::string& v) { r.cli.Click(v); }},
    {"--key", true, [](Run& r, const std::string& v) { r.cli.Key(v); }},
    {"--commands", false, [](Run& r, const std::string&) { r.cli.Commands(); }},
    {"--curve", true, [](Run& r, const std::string& v) { r.cli.Curve(v); }},
    {"--open", true, [](Run& r, const std::string& v) { FileCommand(r, "MFOpenClick", v); }},
    {"--new", true, [](Run& r, const std::string& v) { FileCommand(r, "MFNewClick", v); }},
    {"--save", true, [](Run& r, const std::string& v) { FileCommand(r, "MFAsClick", v); }},
    {"--save-template", true, [](Run& r, const std::string& v) { FileCommand(r, "MFTempClick", v); }},
    {"--save-report", true,
     [](Run& r, const std::string& v) {
       FileCommand(r, "SBRSaveClick", v);
       r.designShown = true;
     }},
    {"--report-pdf", true, [](Run& r, const std::string& v) { FileCommand(r, "SBRPdfClick", v); }},
    {"--clear", true, [](Run& r, const std::string& v) { r.cli.Clear(v); }},
    {"--pick", true,
     [](Run& r, const std::string& v) {
       r.cli.port.pickText = v;
       r.cli.port.pickRow.reset();
     },
     nullptr, true},
    {"--pick-row", true,
     [](Run& r, const std::string& v) {
       r.cli.port.pickRow = NumberArgument<int>("--pick-row", v);
       r.cli.port.pickText.reset();
     }},
    {"--yes", false, [](Run& r, const std::string&) { r.cli.port.defaultAnswer = Answer::Yes; }},
    {"--undo", false, [](Run& r, const std::string&) { r.cli.UndoRedo(false); }},
    {"--redo", false, [](Run& r, const std::string&) { r.cli.UndoRedo(true); }},
    {"--update-props", false, [](Run& r, const std::string&) { r.cli.Click("MCUpdateProps"); }},
    {"--record", true, [](Run& r, const std::string& v) { r.cli.Record(v); }},
    {"--help-topic", true, [](Run& r, const std::string& v) { r.cli.HelpTopic(v); }},
    {"--help-topics", false, [](Run& r, const std::string&) { r.cli.HelpTopics(); }},
    {"--json", false,
     [](Run& r, const std::string&) {
       r.cli.Json();
       r.designShown = true;
     }},
    {"--sweep", true, [](Run& r, const std::string& v) { r.sweeps.push_back(ParseSweep(v)); }},
    {"--output", true, [](Run& r, const std::string& v) { r.outputs = SplitNames(v); }},
    // Also taken first, for a search at --apply-best before it.
    {"--csv", true, [](Run& r, const std::string& v) { r.csv = v; }, [](Run& r, const std::string& v) { r.csv = v; }},
    {"--optimize", true, nullptr,
     [](Run& r, const std::string& v) {
       for (OptimizerVariable& x : ParseOptimize(v, r.cli.app.select.catalogue))
         r.Optimizer().variables.push_back(std::move(x));
     }},
    {"--objective", true, nullptr,
     [](Run& r, const std::string& v) {
       auto o = ObjectiveNamed(v);
       if (!o) throw std::invalid_argument("--objective takes ArD, LrD or DpiD, got '" + v + "'");
       r.Optimizer().objective = *o;
     }},
    {"--top", true, nullptr,
     [](Run& r, const std::string& v) {
       const int n = NumberArgument<int>("--top", v);
       if (n < 1) throw std::invalid_argument("--top needs a number of at least 1");
       r.top = static_cast<size_t>(n);
       r.topGiven = true;
     }},
    {"--allow-warnings", false, nullptr, [](Run& r, const std::string&) { r.Optimizer().noWarnings = false; }},
    {"--require-margin", false, nullptr, [](Run& r, const std::string&) { r.Optimizer().marginCheck = true; }},
    {"--apply-best", false,
     [](Run& r, const std::string&) {
       if (!r.optimize) throw std::invalid_argument("--apply-best needs --optimize");
       if (r.optimized) throw std::invalid_argument("--apply-best may be given once");
       r.optimized = true;
       r.cli.Fail(r.cli.Optimize(*r.optimize, r.top, r.csv, true));
     }},
    {"--eval", true, [](Run& r, const std::string& v) { r.formula = v; }},
    {"--var", true, [](Run& r, const std::string& v) { r.vars.push_back(Cli::Split(v)); }},
    {"--props", true, [](Run& r, const std::string& v) { r.record = v; }},
    {"--t", true,
     [](Run& r, const std::string& v) {
       r.t = v;
       NumberArgument<double>("--t", v);
     }},
    {"--p", true,
     [](Run& r, const std::string& v) {
       r.p = v;
       NumberArgument<double>("--p", v);
     }},
};

const Option* OptionNamed(const std::string& name) {
  for (const Option& o : kOptions)
    if (name == o.name) return &o;
  return nullptr;
}

// The optimizer's options over the whole line, before anything acts.
void Gather(Run& r, const std::vector<std::string>& args) {
  for (size_t i = 0; i < args.size(); ++i) {
    const Option* o = OptionNamed(args[i]);
    if (!o) continue;
    if (args[i] == "--sweep") r.sweeping = true;
    const bool hasValue = o->takesValue && i + 1 < args.size();
    if (o->gather && (hasValue || !o->takesValue)) o->gather(r, hasValue ? args[i + 1] : std::string());
    if (hasValue) ++i;
  }
  if ((r.optimize || r.topGiven) && (!r.optimize || r.optimize->variables.empty()))
    throw std::invalid_argument("the optimizer needs --optimize VAR=VALUES");
  if (r.optimize && r.sweeping) throw std::invalid_argument("--sweep and --optimize cannot be combined");
}

// What runs after every option: the study or the search, the evaluator, the library.
void Finish(Run& r, std::ostream& out) {
  Cli& cli = r.cli;
  if (!r.sweeps.empty())
    cli.Fail(cli.Study(r.sweeps, r.outputs, r.csv));
  else if (r.optimize && !r.optimized)
    cli.Fail(cli.Optimize(*r.optimize, r.top, r.csv, false));
  else if (!r.csv.empty() && !r.optimize)
    throw std::invalid_argument("--csv needs --sweep or --optimize");
  // The evaluator reports its error code as its result.
  if (r.formula) RunEvalCommand(*r.formula, r.vars, out);
  if (r.record) {
    // 1: the computation ended with a message, printed with what came before it.
    int code = RunPropsCommand(PropLibPath(cli.app.form.ProgramFolder), *r.record, r.t, r.p, out);
    if (code >= 2) cli.Fail(code);
  }
}

// Runs the options in order; false when --help ended the run.
bool RunOptions(Run& r, const std::vector<std::string>& args, std::ostream& out) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--help" || a == "-h") {
      out << kCliUsage;
      return false;
    }
    const Option* o = OptionNamed(a);
    std::string value;
    if (o && o->takesValue) {
      if (i + 1 >= args.size()) throw std::invalid_argument(a + " needs a value");
      value = args[++i];
      // A text that goes into a field must be text: broken bytes would end up in
      // the window, its files and the --json output.
      if (o->text && !ValidUtf8(value))
        throw std::invalid_argument(a + " 的值不是有效的 UTF-8 文字：" + Escaped(value));
    }
    if (i == 0 && !a.empty() && a[0] != '-') {
      Cli& cli = r.cli;
      cli.FileAct([&cli, a] { cli.app.project.OpenAtStartup(a); });
    } else if (!o) {
      throw std::invalid_argument("unknown option " + a);
    } else if (o->act) {
      o->act(r, value);
    }
  }
  return true;
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  try {
    Cli cli(out, err);
    Run run(cli);
    Gather(run, args);
    if (!RunOptions(run, args, out)) return 0;
    Finish(run, out);
    // A script that batches designs must not take an infeasible one for a result.
    if (cli.status == 0 && run.designShown && !Feasible(cli.app.calc.checks)) return 4;
    return cli.status;
  } catch (const std::invalid_argument& e) {
    err << "pelmora-calc: " << e.what() << "\n" << kCliUsage;
    return 2;
  } catch (const ConversionError& e) {
    // An argument that should have been a number, found outside a user action.
    err << "pelmora-calc: " << e.what() << "\n" << kCliUsage;
    return 2;
  } catch (const std::exception& e) {
    ReportUnexpectedError(nullptr, e.what());
    err << "pelmora-calc: " << UnexpectedErrorMessage(e.what()) << "\n";
    return 1;
  } catch (...) {
    ReportUnexpectedError(nullptr, "");
    err << "pelmora-calc: " << UnexpectedErrorMessage("") << "\n";
    return 1;
  }
}

}  // namespace pelmora
