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
// The log the run produces is what the output pane's Results box shows, line ends "\r\n".
#include "run/run_driver.h"

#include "check/data_check.h"
#include "check/format_check.h"
#include "check/message_log.h"

namespace spanlab {

void CSPLX_30Doc::LinesChanged(CView* sender) {
  if (m_pRunner) {
    m_lastRun = m_pRunner->Run(*this);
  } else {
    BuildItems(false);
    ResetAnalysis();
    m_lastRun = RunLog{};
  }
  UpdateAllViews(sender, kHintLines);
}

RunLog RunModel(CSPLX_30Doc& doc, const std::function<void(const std::string&)>& show) {
  RunLog run;
  MessageLog log;
  if (doc.GetLines().empty()) {
    ++run.errors;
    log.AddMessage("Error F2 - No lines in file.");
    doc.BuildItems(false);
  } else {
    if (doc.GetLines().front() != "File Format:3.0") {
      ++run.errors;
      log.AddMessage("Error F1 - File format not defined.");
    }
    // Each line is split once, for the format check and the items.
    std::vector<SectionLine> split = SplitSectionLines(doc.GetLines());
    for (size_t i = 1; i < doc.GetLines().size(); ++i) {
      CheckLineFormat(doc.GetLines()[i], split[i], run.errors, log);
    }
    if (run.errors != 0) {
      log.FlushDropped();
      log.AddText("Format errors detected - data check cancelled.\r\n");
      doc.BuildItems(false);
    } else {
      doc.BuildItems(split);
      split = {};  // not needed by the data check and the analysis
      CheckModelData(doc.GetItems(), run.errors, run.warnings, log);
    }
  }
  log.FlushDropped();
  log.AddText(CountsLine(run.errors, run.warnings) + "\r\n");
  if (run.errors != 0) {
    doc.ResetAnalysis();  // no stale results
    run.text = log.Text();
    if (show) show(run.text);
    return run;
  }
  log.AddText("Running Analysis\r\n");
  if (show) show(log.Text());
  doc.RunAnalysis();
  // The engine's lines, then the live-load envelope's (its A2 or A4). An analysis warning (W3)
  // counts as a warning of the run.
  for (const auto* lines : {&doc.GetAnalysisMessages(), &doc.GetEnvelope().messages}) {
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

RunLog RunUnchecked(CSPLX_30Doc& doc) {
  doc.BuildItems(true);
  doc.RunAnalysis();
  RunLog run;
  run.analysed = true;
  return run;
}

void CSPLX_30Doc::RunAnalysis() {
  CBeamAnalysis& a = *m_pAnalysis;
  const ModelItems& m = m_items;
  a.Reset();
  a.SetLength(m.m_dBeamLength);
  a.BuildNodes(m.m_properties, m.m_releases, m.m_supports, m.m_springs, m.m_pointLoads,
               m.m_uniformLoads);
  a.BuildElements(m.m_properties, m.m_releases);
  a.Solve(m.m_supports, m.m_springs, m.m_pointLoads, m.m_uniformLoads, m.m_nUnits);
  a.ComputeExtremes(m.m_nUnits);
  m_envelope = {};
  if (!m.m_liveLoads.empty()) {
    const LiveLoadModel model{m.m_supports, m.m_springs, m.m_pointLoads, m.m_uniformLoads,
                              m.m_dBeamLength};
    m_envelope = ComputeLiveLoadEnvelope(a, model, m.m_liveLoads.front());
  }
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
