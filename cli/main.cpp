// spanlab-cli: the headless front end. Runs the same core as the window.
//
//   spanlab-cli results FILE [--format json|csv]   results record at full precision
//   spanlab-cli check MODEL.spn                     the run log, as the Results box shows it
//   spanlab-cli lines MODEL.spn                     the model lines, one a line
//   spanlab-cli import LINES.txt -o MODEL.spn       a text file of lines -> model file
//   spanlab-cli convert OLD.txt -o MODEL.spn        an older-version file -> model file
//   spanlab-cli report MODEL.spn [--input] [--summary] [--details] [--points N] [-o F.rpt]
//   spanlab-cli report MODEL.spn --tab-details      the details table, tab-delimited
//   spanlab-cli plot MODEL.spn -o OUT.png|svg|pdf [--size WxH] [--show LIST] [--select LINE]
//   spanlab-cli print MODEL.spn -o OUT.pdf [--paper a4|letter] [--landscape] [report flags]
//
// Exit status: 0 the run found no error; 1 the run counted errors or the analysis failed;
// 2 the command could not run (bad arguments, unreadable, damaged or unwritable file).
#include <CLI/CLI.hpp>
#include <QCoreApplication>

#include <algorithm>
#include <exception>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/results_export.h"
#include "cli/qt_pictures.h"
#include "view/qt_exports.h"
#include "check/run_driver.h"
#include "model/document.h"
#include "model/model_file.h"
#include "platform/file_access.h"
#include "platform/prompt.h"
#include "report/print_options.h"
#include "report/report_text.h"

namespace spanlab {
namespace {

constexpr int kExitClean = 0;
constexpr int kExitModelErrors = 1;
constexpr int kExitCannotRun = 2;

// Questions are answered from the command line; what the window would show goes to stderr.
class CommandLinePrompter : public Prompter {
 public:
  explicit CommandLinePrompter(bool truncateLongLines) : truncate_(truncateLongLines) {}
  bool AskYesNo(const std::string& text, int) override {
    std::cerr << text << (truncate_ ? " Yes (--truncate-long-lines)\n"
                                    : " No (use --truncate-long-lines to answer Yes)\n");
    return truncate_;
  }
  void Notify(const std::string& text) override { std::cerr << text << "\n"; }

 private:
  bool truncate_;
};

int CannotRun(const std::string& message) {
  std::cerr << "spanlab-cli: " << message << "\n";
  return kExitCannotRun;
}

// Splits text into lines at line feeds; a carriage return before a line feed is dropped.
// A final line without its line feed still counts.
std::vector<std::string> SplitTextLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    size_t stop = end;
    if (stop > start && text[stop - 1] == '\r') --stop;
    lines.emplace_back(text, start, stop - start);
    start = end + 1;
  }
  return lines;
}

bool LooksLikeModelFile(const std::string& path, const std::string& bytes) {
  const std::string header = std::string(kModelFileHeader) + "\n";
  if (bytes.compare(0, header.size(), header) == 0) return true;
  return path.size() >= 4 && path.compare(path.size() - 4, 4, ".spn") == 0;
}

// Opens a model file as the program's document does; `runner` (optional) runs its lines.
bool OpenModel(CSPLX_30Doc& doc, Prompter& prompter, const std::string& path,
               LinesRunner* runner = nullptr) {
  doc.SetPrompter(&prompter);
  doc.SetRunner(runner);
  if (doc.OnOpenDocument(path)) return true;
  std::cerr << "spanlab-cli: " << doc.GetLastError() << "\n";
  return false;
}

int ExitStatus(const RunLog& run, const CSPLX_30Doc& doc) {
  return run.errors == 0 && !doc.GetAnalysis().m_bError ? kExitClean : kExitModelErrors;
}

std::string WithLineFeeds(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out.push_back(text[i]);
  }
  return out;
}

int WriteStdout(const std::string& text) {
  std::cout << text;
  std::cout.flush();
  if (!std::cout) return CannotRun("cannot write to standard output");
  return kExitClean;
}

struct Options {
  std::string input;
  std::string output;
  std::string format = "json";
  bool truncate = false;
  bool input_report = false;
  bool summary_report = false;
  bool details_report = false;
  bool tab_details = false;
  int points = 100;
  std::string size = "1000x600";
  std::string show;
  std::string select;
  bool diagrams_report = false;
  std::string paper = "a4";
  bool landscape = false;
};

enum class Loaded { kFailed, kModelFile, kLinesFile };

// Loads FILE into `doc` and runs it: a model file as the program opens it (run by `modelRun`),
// any other file as plain text lines (run by `linesRun`). kFailed after a message when that is
// not possible.
Loaded LoadAnyModel(CSPLX_30Doc& doc, Prompter& prompter, const std::string& path,
                    LinesRunner& modelRun, LinesRunner& linesRun) {
  std::string bytes;
  const Status read = DefaultFileAccess().ReadFile(path, bytes);
  if (!read.ok()) {
    CannotRun(read.message());
    return Loaded::kFailed;
  }
  if (LooksLikeModelFile(path, bytes)) {
    return OpenModel(doc, prompter, path, &modelRun) ? Loaded::kModelFile : Loaded::kFailed;
  }
  doc.SetRunner(&linesRun);
  doc.SetLines(nullptr, SplitTextLines(bytes));
  return Loaded::kLinesFile;
}

// Loads FILE and runs it with the checks, whatever kind of file it is.
Loaded LoadAndCheck(CSPLX_30Doc& doc, Prompter& prompter, const std::string& path,
                    ModelRunner& runner) {
  return LoadAnyModel(doc, prompter, path, runner, runner);
}

// The print options the report flags choose; without any flag the defaults.
PrintOptions OptionsFromFlags(const Options& o) {
  PrintOptions options;
  options.m_nDataPoints = DataPointsChoice(o.points);
  if (o.input_report || o.diagrams_report || o.summary_report || o.details_report) {
    options.m_bPrintInput = o.input_report;
    options.m_bPrintDiagrams = o.diagrams_report;
    options.m_bPrintSummary = o.summary_report;
    options.m_bPrintDetails = o.details_report;
  }
  return options;
}

int RunResults(const Options& o) {
  CSPLX_30Doc doc;
  CommandLinePrompter prompter(o.truncate);
  // A model file gets the full check first, as the program runs it; a plain file of model lines
  // is analysed as it stands, without checks.
  ModelRunner checked(ModelRunner::Mode::kChecked), unchecked(ModelRunner::Mode::kUnchecked);
  int status = kExitClean;
  switch (LoadAnyModel(doc, prompter, o.input, checked, unchecked)) {
    case Loaded::kFailed:
      return kExitCannotRun;
    case Loaded::kModelFile: {
      const RunLog& run = doc.GetLastRun();
      if (run.errors != 0) std::cerr << WithLineFeeds(run.text);
      status = ExitStatus(run, doc);
      break;
    }
    case Loaded::kLinesFile:
      status = doc.GetAnalysis().m_bError ? kExitModelErrors : kExitClean;
      break;
  }
  std::ostringstream out;
  if (o.format == "csv") WriteResultsCsv(out, doc.GetAnalysis());
  else WriteResultsJson(out, doc.GetAnalysis());
  const int written = WriteStdout(out.str());
  return written != kExitClean ? written : status;
}

int RunCheck(const Options& o) {
  CSPLX_30Doc doc;
  CommandLinePrompter prompter(o.truncate);
  ModelRunner runner;
  if (!OpenModel(doc, prompter, o.input, &runner)) return kExitCannotRun;
  const RunLog& run = doc.GetLastRun();
  const int written = WriteStdout(WithLineFeeds(run.text));
  return written != kExitClean ? written : ExitStatus(run, doc);
}

int RunLines(const Options& o) {
  CSPLX_30Doc doc;
  CommandLinePrompter prompter(o.truncate);
  if (!OpenModel(doc, prompter, o.input)) return kExitCannotRun;
  std::string text;
  for (const std::string& line : doc.GetLines()) text += line + "\n";
  return WriteStdout(text);
}

int RunReport(const Options& o) {
  CSPLX_30Doc doc;
  CommandLinePrompter prompter(o.truncate);
  ModelRunner runner;
  if (LoadAndCheck(doc, prompter, o.input, runner) == Loaded::kFailed) return kExitCannotRun;
  const RunLog& run = doc.GetLastRun();
  const PrintOptions options = OptionsFromFlags(o);
  const std::string text = o.tab_details ? TabDelimitedDetailsText(doc, options.m_nDataPoints)
                                         : JoinedReportText(doc, options);
  if (o.output.empty()) {
    const int written = WriteStdout(text);
    if (written != kExitClean) return written;
  } else {
    const Status saved = WriteReportFile(DefaultFileAccess(), o.output, text);
    if (!saved.ok()) return CannotRun(saved.message() + ": '" + o.output + "'");
  }
  return ExitStatus(run, doc);
}

// "1000x600" -> 1000, 600; false for anything else or sizes outside 1..20000.
bool ParseSize(const std::string& text, int& width, int& height) {
  const size_t x = text.find('x');
  if (x == std::string::npos) return false;
  try {
    size_t used = 0;
    width = std::stoi(text.substr(0, x), &used);
    if (used != x) return false;
    const std::string rest = text.substr(x + 1);
    height = std::stoi(rest, &used);
    if (used != rest.size()) return false;
  } catch (const std::exception&) {
    return false;
  }
  return width >= 1 && height >= 1 && width <= 20000 && height <= 20000;
}

// "deflection,moment" or "reactions" -> the view toggles; false with a message otherwise.
bool ParseShow(const std::string& text, ViewToggles& toggles, std::string& error) {
  size_t start = 0;
  while (start <= text.size() && !text.empty()) {
    size_t end = text.find(',', start);
    if (end == std::string::npos) end = text.size();
    const std::string word = text.substr(start, end - start);
    if (word == "reactions") toggles.reactions = true;
    else if (word == "deflection") toggles.deflection = true;
    else if (word == "rotation") toggles.rotation = true;
    else if (word == "moment") toggles.moment = true;
    else if (word == "shear") toggles.shear = true;
    else {
      error = "--show takes reactions, or any of deflection, rotation, moment, shear: '" + word + "'";
      return false;
    }
    start = end + 1;
  }
  if (toggles.reactions && (toggles.deflection || toggles.rotation || toggles.moment || toggles.shear)) {
    error = "--show: reactions are shown alone, not with deflection, rotation, moment or shear";
    return false;
  }
  return true;
}

int RunPlot(const Options& o) {
  ResultsViewState state;
  if (!ParseSize(o.size, state.m_cxClient, state.m_cyClient)) {
    return CannotRun("--size takes WIDTHxHEIGHT, each 1 to 20000, e.g. 1000x600: '" + o.size + "'");
  }
  std::string error;
  if (!ParseShow(o.show, state.toggles, error)) return CannotRun(error);
  CSPLX_30Doc doc;
  CommandLinePrompter prompter(o.truncate);
  ModelRunner runner;
  if (LoadAndCheck(doc, prompter, o.input, runner) == Loaded::kFailed) return kExitCannotRun;
  const RunLog& run = doc.GetLastRun();
  if (!o.select.empty()) {
    if (std::find(doc.GetLines().begin(), doc.GetLines().end(), o.select) == doc.GetLines().end()) {
      return CannotRun("--select: the model has no line '" + o.select + "'");
    }
    const long hint = SelectionHintForLine(o.select);
    if (hint == kHintNoItemLine) return CannotRun("--select: '" + o.select + "' is not an item line");
    doc.SetMessage(o.select);
    state.selection.OnHint(hint, doc);
    state.toggles.position = true;
  }
  EnsureGuiApplication();
  error = WritePicture(doc, state, o.output);
  if (!error.empty()) return CannotRun(error);
  return ExitStatus(run, doc);
}

int RunPrint(const Options& o) {
  CSPLX_30Doc doc;
  CommandLinePrompter prompter(o.truncate);
  ModelRunner runner;
  if (LoadAndCheck(doc, prompter, o.input, runner) == Loaded::kFailed) return kExitCannotRun;
  const RunLog& run = doc.GetLastRun();
  PrintOptions options = OptionsFromFlags(o);
  EnsureGuiApplication();
  const std::string programDir = QCoreApplication::applicationDirPath().toStdString();
  const HeaderPainter header = LoadHeaderPicture(DefaultFileAccess(),
                                                 {programDir, programDir + "/../share/spanlab"});
  const std::string error = WriteReportPdf(doc, options, prompter, header, o.output,
                                           ReportPageLayout(o.paper == "letter", o.landscape));
  if (!error.empty()) return CannotRun(error);
  return ExitStatus(run, doc);
}

int SaveModel(CSPLX_30Doc& doc, const std::string& path) {
  if (!doc.OnSaveDocument(path)) return CannotRun(doc.GetLastError());
  return kExitClean;
}

int RunImport(const Options& o) {
  std::string bytes;
  const Status read = DefaultFileAccess().ReadFile(o.input, bytes);
  if (!read.ok()) return CannotRun(read.message());
  CSPLX_30Doc doc;  // no runner: the lines are only stored
  doc.SetLines(nullptr, SplitTextLines(bytes));
  return SaveModel(doc, o.output);
}

int RunConvert(const Options& o) {
  CSPLX_30Doc doc;
  CommandLinePrompter prompter(o.truncate);
  if (!OpenModel(doc, prompter, o.input)) return kExitCannotRun;
  if (!doc.IsConverted()) std::cerr << "spanlab-cli: '" << o.input
                                   << "' is already in the current format; saved unchanged.\n";
  return SaveModel(doc, o.output);
}

int Main(int argc, char** argv) {
  CLI::App app{"Spanlab: static analysis of a continuous beam"};
  app.require_subcommand(1);
  Options o;
  auto addInput = [&o](CLI::App* cmd, const char* name, const char* help) {
    cmd->add_option(name, o.input, help)->required();
  };
  auto addTruncate = [&o](CLI::App* cmd) {
    cmd->add_flag("--truncate-long-lines", o.truncate,
                  "answer Yes when a text line has more than 80 characters (keep the first "
                  "80); without it the load is cancelled");
  };

  CLI::App* results = app.add_subcommand(
      "results", "Print the results record at full precision (a model file is checked first; "
                 "a plain text file of lines is analysed as it stands)");
  addInput(results, "FILE", "model file (.spn) or text file with one model line a line");
  results->add_option("--format", o.format, "json (default) or csv")
      ->check(CLI::IsMember({"json", "csv"}));
  addTruncate(results);

  CLI::App* check = app.add_subcommand("check", "Check and analyse a model; print the run log");
  addInput(check, "MODEL", "model file");
  addTruncate(check);

  CLI::App* lines = app.add_subcommand("lines", "Print the model lines of a model file");
  addInput(lines, "MODEL", "model file");
  addTruncate(lines);

  CLI::App* import = app.add_subcommand("import", "Make a model file from a text file of lines");
  addInput(import, "LINES", "text file with one model line a line (LF or CRLF)");
  import->add_option("-o,--output", o.output, "model file to write")->required();

  CLI::App* convert =
      app.add_subcommand("convert", "Convert an older-version model file to the current format");
  addInput(convert, "OLD", "older-version text model file");
  convert->add_option("-o,--output", o.output, "model file to write")->required();
  addTruncate(convert);

  CLI::App* report = app.add_subcommand(
      "report", "Print the report text, as the program's Print to File writes it (CRLF)");
  addInput(report, "MODEL", "model file (.spn) or text file with one model line a line");
  report->add_flag("--input", o.input_report, "the input data report");
  report->add_flag("--summary", o.summary_report, "the analysis summary");
  report->add_flag("--details", o.details_report, "the analysis details table");
  report->add_option("--points", o.points, "rows of the details table: 25, 50, 100 or 200 (all)")
      ->check(CLI::IsMember({25, 50, 100, 200}));
  report->add_flag("--tab-details", o.tab_details,
                   "only the details table, tab-delimited, as copied to the clipboard");
  report->add_option("-o,--output", o.output, "report file to write instead of standard output");
  addTruncate(report);

  CLI::App* plot = app.add_subcommand(
      "plot", "Draw the results view's picture into a PNG, SVG or PDF file");
  addInput(plot, "MODEL", "model file (.spn) or text file with one model line a line");
  plot->add_option("-o,--output", o.output, "picture file: .png, .svg or .pdf")->required();
  plot->add_option("--size", o.size, "client size of the view in device units (default 1000x600)");
  plot->add_option("--show", o.show,
                   "reactions, or a comma list of deflection, rotation, moment, shear");
  plot->add_option("--select", o.select, "a model line whose position is marked");
  addTruncate(plot);

  CLI::App* print = app.add_subcommand(
      "print", "Print the report pages into a PDF file, as the program prints them");
  addInput(print, "MODEL", "model file (.spn) or text file with one model line a line");
  print->add_option("-o,--output", o.output, "PDF file to write")->required();
  print->add_option("--paper", o.paper, "a4 (default) or letter")
      ->check(CLI::IsMember({"a4", "letter"}));
  print->add_flag("--landscape", o.landscape, "landscape paper");
  print->add_flag("--input", o.input_report, "the input data report");
  print->add_flag("--diagrams", o.diagrams_report, "the page of diagrams");
  print->add_flag("--summary", o.summary_report, "the analysis summary");
  print->add_flag("--details", o.details_report, "the analysis details table");
  print->add_option("--points", o.points, "rows of the details table: 25, 50, 100 or 200 (all)")
      ->check(CLI::IsMember({25, 50, 100, 200}));
  addTruncate(print);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int code = app.exit(e);
    return code == 0 ? kExitClean : kExitCannotRun;
  }
  if (*results) return RunResults(o);
  if (*check) return RunCheck(o);
  if (*lines) return RunLines(o);
  if (*import) return RunImport(o);
  if (*convert) return RunConvert(o);
  if (*report) return RunReport(o);
  if (*plot) return RunPlot(o);
  if (*print) return RunPrint(o);
  return kExitCannotRun;
}

}  // namespace
}  // namespace spanlab

int main(int argc, char** argv) {
  try {
    return spanlab::Main(argc, argv);
  } catch (const std::exception& e) {
    std::cerr << "spanlab-cli: " << e.what() << "\n";
    return 2;
  }
}
