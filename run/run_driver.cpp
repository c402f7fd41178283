// What happens at every change of the model lines, in order. An edit in the tree, a dialog, a
// drag, an undo, a new file or a load ends in CSPLX_30Doc::SetLines, EditLines, OnNewDocument or
// OnOpenDocument, and each of those in LinesChanged below:
//   1. the document's runner runs the lines (the window wraps ModelRunner in its BusyRunner,
//      which only shows the busy cursor around a long run; the command line's results of a
//      plain file of lines skip the checks, RunUnchecked):
//      RunModel: format check of every line, the items (BuildModelItems), the data check;
//   2. without errors, RunAnalysis: the engine's nodes, elements and solution, the extremes,
//      and with a Live Load line the envelope over all span patterns; after errors the results
//      are reset, so that no stale result remains;
//   3. then, and only then, the views are told once (hint 2): every view reads the new items
//      and results together, and nothing paints in between.
// A long run (the window's BackgroundRunner takes it) is made on a copy of the lines, off the
// document's thread, by RunSnapshot: the views are told at once that the lines changed and
// their run is going (hint 3), and the document keeps the earlier results, which no view shows
// as current, until AdoptRun takes the complete run of the lines as they still stand and tells
// the views once (hint 2). A later change makes every run before it one that is never taken.
// The log the run produces is what the output pane's Results box shows, line ends "\r\n".
#include "run/run_driver.h"

#include <algorithm>

#include "check/data_check.h"
#include "check/format_check.h"
#include "check/message_log.h"

namespace spanlab {

void CSPLX_30Doc::LinesChanged(CView* sender) {
  if (m_pRunner && m_pBackground && m_pBackground->TakesRun(m_lines)) {
    m_pPendingSender = sender;
    StartBackgroundRun();
    UpdateAllViews(sender, kHintRunStarted);
    return;
  }
  ++m_nGeneration;
  if (m_bRunPending) {
    m_bRunPending = false;
    m_pPendingSender = nullptr;
    m_pBackground->CancelRun();
  }
  if (m_pRunner) {
    m_lastRun = m_pRunner->Run(*this);
  } else {
    BuildItems(false);
    ResetAnalysis();
    m_lastRun = RunLog{};
  }
  UpdateAllViews(sender, kHintLines);
}

namespace {

void ClearItemsOf(const RunTarget& target) {
  target.items.ClearLists();
  target.items.m_dBeamLength = 0;
}

void ResetAnalysisOf(const RunTarget& target) {
  target.analysis.Reset();
  target.envelope = {};
  target.design = {};
}

}  // namespace

RunLog RunModel(const RunTarget& target, const std::function<void(const std::string&)>& show,
                const EnvelopeProgress& progress) {
  const std::vector<std::string>& lines = target.lines;
  RunLog run;
  MessageLog log;
  if (lines.empty()) {
    ++run.errors;
    log.AddMessage("Error F2 - No lines in file.");
    ClearItemsOf(target);
  } else {
    if (lines.front() != "File Format:3.0") {
      ++run.errors;
      log.AddMessage("Error F1 - File format not defined.");
    }
    // Each line is split once, for the format check and the items.
    std::vector<SectionLine> split = SplitSectionLines(lines);
    for (size_t i = 1; i < lines.size(); ++i) {
      CheckLineFormat(lines[i], split[i], run.errors, log);
    }
    if (run.errors != 0) {
      log.FlushDropped();
      log.AddText("Format errors detected - data check cancelled.\r\n");
      ClearItemsOf(target);
    } else {
      BuildModelItems(lines, split, target.items);
      split = {};  // not needed by the data check and the analysis
      CheckModelData(target.items, run.errors, run.warnings, log);
    }
  }
  log.FlushDropped();
  log.AddText(CountsLine(run.errors, run.warnings) + "\r\n");
  if (run.errors != 0) {
    ResetAnalysisOf(target);  // no stale results
    run.text = log.Text();
    if (show) show(run.text);
    return run;
  }
  log.AddText("Running Analysis\r\n");
  if (show) show(log.Text());
  RunAnalysis(target, progress);
  if (target.envelope.cancelled || target.design.cancelled) {
    run.cancelled = true;
    return run;
  }
  // The engine's lines, then the live-load envelope's (its A2 or A4), then the combinations'
  // and the design checks'. An analysis warning (W3) or an exceeded check counts as a warning
  // of the run.
  const bool combined = target.design.HasCombinations();  // (its envelope's lines are there)
  for (const auto* lines : {&target.analysis.m_messages,
                            combined ? &target.design.messages : &target.envelope.messages,
                            combined ? nullptr : &target.design.messages}) {
    if (!lines) continue;
    for (const std::string& line : *lines) {
      log.AddText(line + "\r\n");
      if (line.compare(0, 7, "Warning") == 0) ++run.warnings;
    }
  }
  log.AddText("Analysis Complete\r\n");
  run.analysed = true;
  run.text = log.Text();
  if (show) show(run.text);
  return run;
}

RunLog RunModel(CSPLX_30Doc& doc, const std::function<void(const std::string&)>& show) {
  return RunModel(doc.Target(), show);
}

RunLog RunUnchecked(const RunTarget& target, const EnvelopeProgress& progress) {
  BuildModelItems(target.lines, SplitSectionLines(target.lines), target.items);
  RunAnalysis(target, progress);
  RunLog run;
  run.cancelled = target.envelope.cancelled || target.design.cancelled;
  run.analysed = !run.cancelled;
  return run;
}

RunLog RunUnchecked(CSPLX_30Doc& doc) { return RunUnchecked(doc.Target()); }

void RunAnalysis(const RunTarget& target, const EnvelopeProgress& progress) {
  CBeamAnalysis& a = target.analysis;
  const ModelItems& m = target.items;
  a.Reset();
  a.SetLength(m.m_dBeamLength);
  a.BuildNodes(m.m_properties, m.m_releases, m.m_supports, m.m_springs, m.m_pointLoads,
               m.m_uniformLoads);
  a.BuildElements(m.m_properties, m.m_releases);
  a.Solve(m.m_supports, m.m_springs, m.m_pointLoads, m.m_uniformLoads, m.m_nUnits);
  a.ComputeExtremes(m.m_nUnits);
  target.envelope = {};
  target.design = {};
  // With combination lines the Live Load's own factors give way to the combinations'.
  if (!m.m_liveLoads.empty() && m.m_combinations.empty()) {
    const LiveLoadModel model{m.m_supports, m.m_springs, m.m_pointLoads, m.m_uniformLoads,
                              m.m_dBeamLength};
    std::vector<LiveLoadSpan> regions;
    const EnvelopeOptions options = CheckOptions(m, regions);
    target.envelope = ComputeLiveLoadEnvelope(a, model, m.m_liveLoads.front(), progress,
                                              EnvelopeMethod::kAuto, options);
    if (target.envelope.cancelled) return;
  }
  target.design = ComputeDesign(a, m, target.envelope, progress);
  if (target.design.HasCombinations()) target.envelope = DesignEnvelope(target.design);
}

void CSPLX_30Doc::RunAnalysis() { spanlab::RunAnalysis(Target()); }

LinesRunResult RunSnapshot(const std::vector<std::string>& lines, ModelRunner::Mode mode,
                        const EnvelopeProgress& progress) {
  LinesRunResult result;
  const RunTarget target{lines, result.items, *result.analysis, result.envelope, result.design};
  result.log = mode == ModelRunner::Mode::kChecked ? RunModel(target, {}, progress)
                                                   : RunUnchecked(target, progress);
  return result;
}

bool IsLongRun(const std::vector<std::string>& lines, const LongRunSize& size) {
  if (lines.size() >= size.lines) return true;
  bool liveLoad = false;
  size_t supports = 0, combinations = 0;
  // By the sections' prefixes: a size, not a check (a line the checks refuse ends the run
  // before the envelope anyway).
  for (const std::string& line : lines) {
    if (line.compare(0, 8, "Support:") == 0) ++supports;
    else if (line.compare(0, 10, "Live Load:") == 0) liveLoad = true;
    else if (line.compare(0, 17, "Load Combination:") == 0 ||
             line.compare(0, 20, "Service Combination:") == 0)
      ++combinations;
  }
  // Each combination is one more solution of every line's nodes, and where it holds the live
  // load one more envelope.
  if (combinations > 0 && lines.size() * (combinations + 1) >= size.lines) return true;
  return liveLoad && supports * std::max<size_t>(combinations, 1) >= size.liveLoadSupports;
}

// ---- Reading the log ----

namespace {
std::string Padded3(int64_t n) {
  std::string s = std::to_string(n);
  if (s.size() < 3) s.insert(0, 3 - s.size(), ' ');
  return s;
}
}  // namespace

std::string HelpKeywordForLogLine(const std::string& line) {
  std::string text = line.substr(0, 50);
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  text.erase(0, first);
  const std::string head = text.substr(0, 7);
  if (head == "Error D") return "Data Error Messages";
  if (head == "Error F") return "Format Error Messages";
  if (head == "Error A") return "Analysis Error Messages";
  if (head == "Warning") return "Warning Messages";
  return {};
}

std::string CountsLine(int64_t errors, int64_t warnings) {
  return " " + std::to_string(errors) + " Error(s), " + Padded3(warnings) + " Warning(s)";
}

}  // namespace spanlab
