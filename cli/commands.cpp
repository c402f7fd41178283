#include "cli/commands.h"

#include "model/model_file.h"
#include "platform/file_access.h"

namespace spanlab {

namespace {

bool LooksLikeModelFile(const std::string& path, const std::string& bytes) {
  const std::string header = std::string(kModelFileHeader) + "\n";
  if (bytes.compare(0, header.size(), header) == 0) return true;
  return path.size() >= 4 && path.compare(path.size() - 4, 4, ".spn") == 0;
}

}  // namespace

int CannotRun(const std::string& message) {
  std::cerr << "spanlab-cli: " << message << "\n";
  return kExitCannotRun;
}

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

bool OpenModel(CSPLX_30Doc& doc, Prompter& prompter, const std::string& path,
               LinesRunner* runner) {
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
  return FlushStdout();
}

int FlushStdout() {
  std::cout.flush();
  if (!std::cout) return CannotRun("cannot write to standard output");
  return kExitClean;
}

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

}  // namespace spanlab
