#include "run/run_driver.h"

#include "check/data_check.h"
#include "check/format_check.h"
#include "check/message_log.h"

namespace spanlab {

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
      CheckModelData(doc, run.errors, run.warnings, log);
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

}  // namespace spanlab
