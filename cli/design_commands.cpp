#include "cli/design_commands.h"

#include <memory>

#include "analysis/design.h"
#include "analysis/results_export.h"
#include "report/design_tables.h"
#include "report/report_builder.h"
#include "run/run_driver.h"

namespace spanlab {

namespace {

// The names of the model's combinations in line order; empty without combination lines.
std::vector<std::string> CombinationNamesOf(const DesignResults& design) {
  std::vector<std::string> names;
  for (const CombinationInfo& c : design.combinations) names.push_back(c.name);
  return names;
}

// "ULS1, ULS2 and SLS1".
std::string NameList(const std::vector<CLoadCombinationItem>& combinations) {
  std::string text;
  for (size_t i = 0; i < combinations.size(); ++i) {
    if (i > 0) text += i + 1 == combinations.size() ? " and " : ", ";
    text += combinations[i].m_name;
  }
  return text;
}

bool HasKind(const ModelItems& items, bool service) {
  for (const CLoadCombinationItem& c : items.m_combinations) {
    if (c.m_bService == service) return true;
  }
  return false;
}

}  // namespace

int RunEnvelope(const Options& o, const std::string& kind) {
  CheckedModel model(o.truncate);
  if (!model.Load(o.input)) return kExitCannotRun;
  const CSPLX_30Doc& doc = model.doc;
  const DesignResults& design = doc.GetDesign();
  const bool service = kind == "service";
  const LiveLoadEnvelope& envelope = kind == "all" ? doc.GetEnvelope()
                                     : service     ? design.service
                                                   : design.strength;
  const char* missing =
      kind == "all" ? "the model has no Live Load line (add one such as 'Live Load: U = -0.8;')"
      : service     ? "the model has no Service Combination line (add one such as 'Service "
                      "Combination: Name = SLS1; D = 1; L = 1;')"
                    : "the model has no Load Combination line (add one such as 'Load "
                      "Combination: Name = ULS1; D = 1.2; L = 1.6;')";
  const bool ready = kind == "all" ? !envelope.empty()
                                   : HasKind(doc.GetItems(), service) && !envelope.empty();
  const int status = SoundModel(doc, ready, missing);
  if (status != kExitClean) return status;
  const std::vector<std::string> names = CombinationNamesOf(design);
  if (o.format == "csv") WriteEnvelopeCsv(std::cout, envelope, names);
  else WriteEnvelopeJson(std::cout, envelope, names);
  return FlushStdout();
}

int PrintSingleRun(const Options& o, const std::vector<std::string>& lines,
                   ModelItems& items) {
  auto analysis = std::make_unique<CBeamAnalysis>();
  LiveLoadEnvelope envelope;
  DesignResults design;
  RunAnalysis(RunTarget{lines, items, *analysis, envelope, design});
  const int status = analysis->m_bError ? kExitModelErrors : kExitClean;
  if (o.format == "csv") WriteResultsCsv(std::cout, *analysis);
  else WriteResultsJson(std::cout, *analysis);
  const int written = FlushStdout();
  return written != kExitClean ? written : status;
}

int RunCombinationResults(const Options& o, const std::string& name) {
  CSPLX_30Doc doc;
  CommandLinePrompter prompter(o.truncate);
  ProgressLine progress;
  // As `results`: a model file is checked, a plain file of lines analysed as it stands.
  ModelRunner checked(ModelRunner::Mode::kChecked, progress.Callback()),
      unchecked(ModelRunner::Mode::kUnchecked, progress.Callback());
  const Loaded loaded = LoadAnyModel(doc, prompter, o.input, checked, unchecked);
  if (loaded == Loaded::kFailed) return kExitCannotRun;
  if (loaded == Loaded::kModelFile && doc.GetLastRun().errors != 0) {
    std::cerr << WithLineFeeds(doc.GetLastRun().text);
    return kExitModelErrors;
  }
  const std::vector<CLoadCombinationItem>& combinations = doc.GetItems().m_combinations;
  const CLoadCombinationItem* chosen = nullptr;
  for (const CLoadCombinationItem& c : combinations) {
    if (c.m_name == name && !chosen) chosen = &c;  // (lines that were not checked may repeat it)
  }
  if (!chosen) {
    return CannotRun(combinations.empty()
                         ? "--combination " + name + ": the model has no Load Combination or "
                                                     "Service Combination line"
                         : "--combination " + name + ": the model has no combination of that "
                           "name; its combinations are " + NameList(combinations));
  }
  // The combination's loads written out plainly, run as a model of their own.
  ModelItems items = CombinationItems(doc.GetItems(), *chosen);
  return PrintSingleRun(o, doc.GetLines(), items);
}

int RunChecks(const Options& o) {
  CheckedModel model(o.truncate);
  if (!model.Load(o.input)) return kExitCannotRun;
  const CSPLX_30Doc& doc = model.doc;
  const int status = SoundModel(doc, HasDesignChecks(doc.GetItems()),
                                "the model has no Deflection Limit or Capacity line (add one "
                                "such as 'Deflection Limit: Span = 360;')");
  if (status != kExitClean) return status;
  const DesignResults& design = doc.GetDesign();
  const std::vector<CheckRow> rows = CheckRows(design, doc.GetItems().m_nUnits);
  if (o.format == "csv") {
    WriteChecksCsv(std::cout, rows);
  } else if (o.format == "text") {
    for (const std::string& line : ChecksTableLines(rows)) {
      std::cout << (IsRuleLine(line) ? std::string(line.size() - 1, '-') : line) << '\n';
    }
  } else {
    WriteChecksJson(std::cout, rows);
  }
  const int written = FlushStdout();
  if (written != kExitClean) return written;
  return design.Exceeded() ? kExitChecksExceeded : kExitClean;
}

}  // namespace spanlab
