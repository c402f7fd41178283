// Pieces the fuzz targets share: a file access that serves the fuzz input from memory, and the
// work that follows every load in the program (the run, the reports, the results view).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>

#include "analysis/results_export.h"
#include "platform/file_access.h"
#include "platform/recording_device_context.h"
#include "report/print_options.h"
#include "report/report_text.h"
#include "run/document.h"
#include "run/run_driver.h"
#include "tests/support/non_numbers.h"
#include "view/print_job.h"
#include "view/results_paint.h"

namespace spanlab::fuzz {

// Every path reads as the same bytes; nothing can be written.
class MemoryFileAccess : public FileAccess {
 public:
  explicit MemoryFileAccess(std::string_view bytes) : bytes_(bytes) {}
  Status ReadFile(const std::string& path, std::string& bytes, size_t maxBytes) override {
    bytes.clear();
    if (bytes_.size() > maxBytes) return Status::Error("Cannot open '" + path + "': too large.");
    bytes.assign(bytes_);
    return Status::Ok();
  }
  Status WriteFileAtomically(const std::string& path, const std::string&) override {
    return Status::Error("Cannot save '" + path + "': read-only.");
  }

 private:
  std::string_view bytes_;
};

// Stops the run (and keeps the input) when `text`, which a user reads, shows "nan" or "inf".
inline void ExpectOnlyNumbers(const std::string& what, const std::string& text) {
  if (!testing::ShowsNonNumber(text)) return;
  std::fprintf(stderr, "%s shows a value that is not a number:\n%s\n", what.c_str(), text.c_str());
  std::abort();
}

// What the window does with a model once its lines are in place: the run, every report as
// text and printed on letter paper at 300 dpi, and the results view at 800 x 600 with the
// curves and then the reactions, each with the marker of the first item line.
inline void RunReportAndPaint(CSPLX_30Doc& doc) {
  RunModel(doc);
  PrintOptions options;
  options.m_bPrintDetails = 1;
  for (int points = 0; points <= 3; points += 3) {
    options.m_nDataPoints = points;
    JoinedReportText(doc, options);
  }
  // The texts made of numbers alone (the input report and the run log quote the model's own
  // lines, which may say anything) must show only numbers.
  std::string messages;
  for (const std::string& m : doc.GetAnalysis().m_messages) messages += m + "\n";
  ExpectOnlyNumbers("the analysis messages", messages);
  PrintOptions results = options;
  results.m_bPrintInput = 0;
  ExpectOnlyNumbers("the summary and details", JoinedReportText(doc, results));
  ExpectOnlyNumbers("the tab-delimited details", TabDelimitedDetailsText(doc, 1));
  std::ostringstream csv;
  WriteResultsCsv(csv, doc.GetAnalysis());
  ExpectOnlyNumbers("the results CSV", csv.str());

  PrinterPage letter;
  letter.physicalWidth = 2550;
  letter.physicalHeight = 3300;
  letter.offsetX = letter.offsetY = 50;
  letter.printableWidth = 2450;
  letter.printableHeight = 3200;
  RecordingDeviceContext printer(true, 25, 50, 300);
  ReportPrintJob job;
  const int pages = job.Begin(printer, letter, options, doc, nullptr);
  for (int page = 1; page <= pages; ++page) job.PrintPage(printer, page, {});

  ResultsViewState state;
  state.m_cxClient = 800;
  state.m_cyClient = 600;
  for (const std::string& line : doc.GetLines()) {
    const long hint = SelectionHintForLine(line);
    if (hint == kHintNoItemLine) continue;
    doc.SetMessage(line);
    state.selection.OnHint(hint, doc.GetMessage(), doc.GetLines(), doc.GetItems());
    break;
  }
  state.toggles = {false, true, true, true, true, true};
  RecordingDeviceContext curves;
  PaintResultsView(curves, doc, state);
  state.toggles = {true, false, false, false, false, true};
  RecordingDeviceContext reactions;
  PaintResultsView(reactions, doc, state);
}

}  // namespace spanlab::fuzz
