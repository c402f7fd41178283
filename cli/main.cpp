// spanlab-cli: the headless front end. Runs the same core as the window.
//
//   spanlab-cli results FILE [--format json|csv]   results record at full precision
//   spanlab-cli results FILE --combination NAME     one load combination's single analysis
//   spanlab-cli results FILE --vehicle NAME --front X [--backward] [--gap G]   a vehicle there
//   spanlab-cli check MODEL.spn                     the run log, as the Results box shows it
//   spanlab-cli lines MODEL.spn                     the model lines, one a line
//   spanlab-cli import LINES.txt -o MODEL.spn       a text file of lines -> model file
//   spanlab-cli convert OLD.txt -o MODEL.spn        an older-version file -> model file
//   spanlab-cli report MODEL.spn [--input] [--summary] [--details] [--points N] [-o F.rpt]
//   spanlab-cli report MODEL.spn --tab-details      the details table, tab-delimited
//   spanlab-cli plot MODEL.spn -o OUT.png|svg|pdf [--size WxH] [--show LIST] [--select LINE]
//   spanlab-cli print MODEL.spn -o OUT.pdf [--paper a4|letter] [--landscape] [report flags]
//   spanlab-cli envelope MODEL [--format json|csv]  the live-load envelope
//   spanlab-cli envelope MODEL --kind strength|service|all   the envelope over combinations
//   spanlab-cli checks MODEL [--format json|csv|text]         the design checks of every span
//   spanlab-cli influence MODEL --of QUANTITY --at X [--format json|csv]   an influence line
//   spanlab-cli moving MODEL [--format json|csv]    the envelope of the vehicles crossing it
//
// Every command that writes a file takes --force to replace a read-only one.
//
// Exit status: 0 the run found no error; 1 the run counted errors or the analysis failed (also
// `results` of a text file whose lines give no beam); 2 the command could not run (bad
// arguments, unreadable, damaged or unwritable file, a read-only output without --force, an
// unknown --combination or --vehicle); 3 (`checks`) the model is sound but some design check is exceeded.
//
// The text commands are here and use the core only; plot and print are in the picture library,
// loaded only when they run (picture_library.h).
#include <CLI/CLI.hpp>

#include <exception>
#include <iostream>
#include <string>

#include "analysis/results_export.h"
#include "cli/commands.h"
#include "cli/design_commands.h"
#include "cli/moving_commands.h"
#include "cli/picture_library.h"
#include "model/model_file.h"
#include "model/number_text.h"
#include "platform/file_access.h"
#include "report/print_options.h"
#include "report/report_text.h"
#include "run/document.h"
#include "run/run_driver.h"

namespace spanlab {
namespace {

int RunResults(const Options& o) {
  CSPLX_30Doc doc;
  CommandLinePrompter prompter(o.truncate);
  // A model file gets the full check first, as the program runs it; a plain file of model lines
  // is analysed as it stands, without checks, unless its lines give no beam.
  ProgressLine progress;
  ModelRunner checked(ModelRunner::Mode::kChecked, progress.Callback()),
      unchecked(ModelRunner::Mode::kUnchecked, progress.Callback());
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
      status = doc.GetAnalysis().m_bError || doc.GetEnvelope().error ? kExitModelErrors
                                                                     : kExitClean;
      if (doc.GetAnalysis().m_nNodes == 0) {
        // Lines that give no beam are not a model (an empty file, any other text, random
        // bytes): the checks say why, as `check` shows it.
        std::cerr << WithLineFeeds(RunModel(doc).text);
        status = kExitModelErrors;
      }
      break;
  }
  std::ostream& out = std::cout;  // straight to standard output, no copy of a large record
  if (o.format == "csv") WriteResultsCsv(out, doc.GetAnalysis());
  else WriteResultsJson(out, doc.GetAnalysis());
  const int written = FlushStdout();
  return written != kExitClean ? written : status;
}

int RunCheck(const Options& o) {
  CSPLX_30Doc doc;
  CommandLinePrompter prompter(o.truncate);
  ProgressLine progress;
  ModelRunner runner(ModelRunner::Mode::kChecked, progress.Callback());
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
  for (const std::string& line : doc.GetLines()) {
    // A first line that is the model file header is escaped, so that import takes the text
    // for the text file of lines it is (the escape of a plain line gives the line back).
    if (text.empty() && line == kModelFileHeader) text += '\\';
    text += TextFileLine(line);
    text += '\n';
  }
  return WriteStdout(text);
}

int RunReport(const Options& o) {
  CheckedModel model(o.truncate);
  if (!model.Load(o.input)) return kExitCannotRun;
  CSPLX_30Doc& doc = model.doc;
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

// "from 0 to 42 ft": the beam's extent in the model's length unit.
std::string BeamExtent(const CSPLX_30Doc& doc) {
  const double unit = doc.GetFactors()[kFactorLength];
  const std::string label = doc.GetUnitLabel(kQuantityPosition);
  return "from 0 to " + FormatGeneral(doc.GetBeamLength() / unit, 15) +
         (label.empty() ? "" : " " + label);
}

int RunInfluence(const Options& o, const std::string& of, const std::string& atText) {
  double at = 0;
  if (!ParsePosition(atText, at)) {
    return CannotRun("--at takes a position on the beam in the model's length unit, such as "
                     "--at 15: '" + atText + "' is not a number");
  }
  at += 0.0;  // "-0" is the position 0
  CheckedModel model(o.truncate);
  if (!model.Load(o.input)) return kExitCannotRun;
  const CSPLX_30Doc& doc = model.doc;
  const int status = SoundModel(doc, doc.GetAnalysis().CanSolveLoadCases(), "no results");
  if (status != kExitClean) return status;
  const InfluenceQuantity quantity = *InfluenceQuantityFromName(of);
  const double unit = doc.GetFactors()[kFactorLength];
  // The far end as the model states it: `at` equal to the longest X, scaled as X is, is on
  // the beam, also where the scaled length does not divide back exactly.
  const double length = doc.GetBeamLength();
  if (!(at >= 0) || !(at * unit <= length || at <= length / unit)) {
    return CannotRun("--at " + atText + " is outside the beam: give a position " +
                     BeamExtent(doc) + ".");
  }
  const InfluenceLine line =
      ComputeInfluenceLine(doc.GetAnalysis(), doc.GetSprings(), quantity, at * unit);
  if (!line.error.empty()) return CannotRun(line.error);
  if (o.format == "csv") WriteInfluenceCsv(std::cout, line, unit);
  else WriteInfluenceJson(std::cout, line, quantity, unit);
  return FlushStdout();
}

int SaveModel(CSPLX_30Doc& doc, const std::string& path) {
  if (!doc.OnSaveDocument(path)) return CannotRun(doc.GetLastError());
  return kExitClean;
}

int RunImport(const Options& o) {
  std::string bytes;
  const Status read = DefaultFileAccess().ReadFile(o.input, bytes);
  if (!read.ok()) return CannotRun(read.message());
  const Status text = CheckTextOfLines(o.input, bytes);
  if (!text.ok()) return CannotRun(text.message() + " Nothing was written.");
  std::vector<std::string> lines;
  const Status split = SplitTextLines(bytes, lines);
  if (!split.ok()) return CannotRun("Cannot open '" + o.input + "'. " + split.message());
  std::string().swap(bytes);
  CSPLX_30Doc doc;  // no runner: the lines are only stored
  doc.SetLines(nullptr, std::move(lines));
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

  bool force = false;
  auto addForce = [&force](CLI::App* cmd) {
    cmd->add_flag("--force", force,
                  "replace the output file also when it is read-only (it stays read-only); "
                  "without it a read-only file is left as it is, with status 2");
  };

  CLI::App* results = app.add_subcommand(
      "results", "Print the results record at full precision (a model file is checked first; "
                 "a plain text file of lines is analysed as it stands, and lines that give no "
                 "beam end with status 1 and the checks' log)");
  addInput(results, "FILE", "model file (.spn) or text file with one model line a line");
  results->add_option("--format", o.format, "json (default) or csv")
      ->check(CLI::IsMember({"json", "csv"}));
  std::string combination;
  CLI::Option* combinationOption = results->add_option("--combination", combination,
                      "the single analysis of the load combination of that name (its loads "
                      "factored, the live load on every span); an unknown name ends with "
                      "status 2 and the list of names");
  std::string vehicle, front, gap;
  bool backward = false;
  CLI::Option* vehicleOption = results->add_option(
      "--vehicle", vehicle,
      "the single analysis of the vehicle of that name alone, standing with its front axle at "
      "--front (an unknown name ends with status 2 and the list of names)");
  results->add_option("--front", front, "the front axle's X, in the model's length unit");
  results->add_flag("--backward", backward,
                    "the vehicle heads towards smaller X (its other axles on the right)");
  results->add_option("--gap", gap,
                      "the variable spacing's length (default: its smallest), length unit");
  vehicleOption->excludes(combinationOption);
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
  addForce(import);

  CLI::App* convert =
      app.add_subcommand("convert", "Convert an older-version model file to the current format");
  addInput(convert, "OLD", "older-version text model file");
  convert->add_option("-o,--output", o.output, "model file to write")->required();
  addForce(convert);
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
  addForce(report);
  addTruncate(report);

  CLI::App* plot = app.add_subcommand(
      "plot", "Draw the results view's picture into a PNG, SVG or PDF file");
  addInput(plot, "MODEL", "model file (.spn) or text file with one model line a line");
  plot->add_option("-o,--output", o.output, "picture file: .png, .svg or .pdf")->required();
  addForce(plot);
  plot->add_option("--size", o.size, "client size of the view in device units (default 1000x600)");
  plot->add_option("--show", o.show,
                   "reactions, or a comma list of deflection, rotation, moment, shear");
  plot->add_option("--select", o.select, "a model line whose position is marked");
  addTruncate(plot);

  CLI::App* print = app.add_subcommand(
      "print", "Print the report pages into a PDF file, as the program prints them");
  addInput(print, "MODEL", "model file (.spn) or text file with one model line a line");
  print->add_option("-o,--output", o.output, "PDF file to write")->required();
  addForce(print);
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

  CLI::App* envelope = app.add_subcommand(
      "envelope", "Print the live-load envelope over every pattern of loaded spans (the model "
                  "needs a Live Load line), or with load combinations the envelope over them, "
                  "each largest and smallest value with its combination");
  addInput(envelope, "MODEL", "model file (.spn) or text file with one model line a line");
  envelope->add_option("--format", o.format, "json (default) or csv")
      ->check(CLI::IsMember({"json", "csv"}));
  std::string kind = "all";
  envelope->add_option("--kind", kind,
                       "all (default: the envelope the diagrams show), strength (over the Load "
                       "Combination lines) or service (over the Service Combination lines)")
      ->check(CLI::IsMember({"all", "strength", "service"}));
  addTruncate(envelope);

  CLI::App* checks = app.add_subcommand(
      "checks", "Print the design checks of every span (Deflection Limit and Capacity lines): "
                "value, limit, utilisation and governing combination, in the model's units. "
                "Status 0 when all pass, 3 when some check is exceeded, 1 for model errors");
  addInput(checks, "MODEL", "model file (.spn) or text file with one model line a line");
  checks->add_option("--format", o.format, "json (default), csv or text")
      ->check(CLI::IsMember({"json", "csv", "text"}));
  addTruncate(checks);

  CLI::App* moving = app.add_subcommand(
      "moving", "Print the moving-load envelope: every node's and element end's largest and "
                "smallest value as each vehicle (Vehicle lines) crosses the beam, with where it "
                "stands for it (front axle's x, direction, variable gap) and the coincident "
                "shear or moment");
  addInput(moving, "MODEL", "model file (.spn) or text file with one model line a line");
  moving->add_option("--format", o.format, "json (default) or csv")
      ->check(CLI::IsMember({"json", "csv"}));
  addTruncate(moving);

  std::string influenceOf;
  std::string influenceAt;
  CLI::App* influence = app.add_subcommand(
      "influence", "Print the influence line of a quantity at a position: its value for a unit "
                   "downward load at each node");
  addInput(influence, "MODEL", "model file (.spn) or text file with one model line a line");
  influence->add_option("--of", influenceOf, "the quantity")
      ->required()
      ->check(CLI::IsMember(
          {"deflection", "rotation", "shear", "moment", "reaction-vert", "reaction-rot"}));
  influence->add_option("--at", influenceAt, "the position, in the model's length unit, from 0 "
                                             "to the beam's length (the nearest node is taken)")
      ->required();
  influence->add_option("--format", o.format, "json (default) or csv")
      ->check(CLI::IsMember({"json", "csv"}));
  addTruncate(influence);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int code = app.exit(e);
    return code == 0 ? kExitClean : kExitCannotRun;
  }
  // A save would replace a read-only file (it needs only the folder's permission): refused
  // before any work unless asked for.
  const bool writes = *import || *convert || *report || *plot || *print;
  if (writes && !force && !o.output.empty() && DefaultFileAccess().IsReadOnlyFile(o.output)) {
    return CannotRun("Cannot save '" + o.output + "': the file is read-only. Nothing was "
                     "written; use --force to replace it.");
  }
  if (*results && *vehicleOption) {
    if (front.empty()) return CannotRun("--vehicle " + vehicle + " needs --front X");
    return RunVehicleResults(o, vehicle, front, backward, gap);
  }
  if (*results && (!front.empty() || backward || !gap.empty()))
    return CannotRun("--front, --backward and --gap go with --vehicle NAME");
  if (*results) return *combinationOption ? RunCombinationResults(o, combination) : RunResults(o);
  if (*moving) return RunMoving(o);
  if (*check) return RunCheck(o);
  if (*lines) return RunLines(o);
  if (*import) return RunImport(o);
  if (*convert) return RunConvert(o);
  if (*report) return RunReport(o);
  if (*plot) return RunPictureCommand("plot", o);
  if (*print) return RunPictureCommand("print", o);
  if (*envelope) return RunEnvelope(o, kind);
  if (*checks) return RunChecks(o);
  if (*influence) return RunInfluence(o, influenceOf, influenceAt);
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
