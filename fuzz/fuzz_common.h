// Pieces the fuzz targets share: a file access that serves the fuzz input from memory, and the
// work that follows every load in the program (the run, the reports, the results view).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "check/run_driver.h"
#include "model/document.h"
#include "platform/file_access.h"
#include "platform/recording_device_context.h"
#include "report/print_job.h"
#include "report/print_options.h"
#include "report/report_text.h"
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
  TabDelimitedDetailsText(doc, 1);

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
  for (const std::string& line : doc.m_lines) {
    const long hint = SelectionHintForLine(line);
    if (hint == kHintNoItemLine) continue;
    doc.m_strMessage = line;
    state.selection.OnHint(hint, doc);
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
