#include "report/report_text.h"

#include "report/report_builder.h"

namespace spanlab {

namespace {

void AppendReport(std::string& text, const char* title, const ReportBuilder& builder) {
  // The room first: a report of a large model is many times the model file, and a text that
  // doubles as it grows would briefly hold it three times over.
  size_t room = text.size() + std::char_traits<char>::length(title) + 6;
  for (const CReportLine& line : builder.Lines()) room += line.text.size() + 4;
  text.reserve(room);
  text += title;
  text += "\r\n\r\n";
  for (const CReportLine& line : builder.Lines()) {
    if (IsRuleLine(line.text)) continue;
    text += "  ";
    text += line.text;
    text += "\r\n";
  }
  text += "\r\n";
}

}  // namespace

std::string JoinedReportText(const ModelRun& run, const PrintOptions& options) {
  std::string text;
  ReportBuilder builder;
  if (options.m_bPrintInput) {
    builder.BuildInputReport(run);
    AppendReport(text, kInputReportTitle, builder);
    builder.Clear();
  }
  if (options.m_bPrintSummary) {
    builder.BuildSummaryReport(run);
    AppendReport(text, kSummaryReportTitle, builder);
    builder.Clear();
  }
  if (options.m_bPrintDetails) {
    builder.BuildDetailsReport(run, options.m_nDataPoints, false);
    AppendReport(text, kDetailsReportTitle, builder);
    builder.Clear();
  }
  // A model with a Live Load line, combinations or design checks adds their reports to
  // whichever results are reported.
  if (!options.m_bPrintSummary && !options.m_bPrintDetails) return text;
  for (const AppendixReport report : AppendixReports(run)) {
    builder.BuildAppendixReport(run, report, options.m_nDataPoints);
    AppendReport(text, AppendixReportTitle(report), builder);
    builder.Clear();
  }
  return text;
}

std::string TabDelimitedDetailsText(const ModelRun& run, int dataPoints) {
  ReportBuilder builder;
  builder.BuildDetailsReport(run, dataPoints, true);
  std::string text;
  for (const CReportLine& line : builder.Lines()) {
    if (IsRuleLine(line.text)) continue;
    text += line.text;
    text += "\r\n";
  }
  return text + "\r\n";
}

std::string DefaultReportFileName(const std::string& documentPath) {
  std::string name = documentPath.substr(documentPath.rfind('/') + 1);
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.resize(dot);
  return (name.empty() ? std::string("untitled") : name) + ".rpt";
}

Status WriteReportFile(FileAccess& files, const std::string& path, const std::string& text) {
  if (!files.WriteFileOrStream(path, text).ok()) return Status::Error(kReportFileError);
  return Status::Ok();
}

}  // namespace spanlab
