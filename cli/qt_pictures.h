// The command line's Qt outputs: the results view's picture (plot) and the printed report
// (print), rendered without a display.
#pragma once

#include <string>

#include "model/document.h"
#include "platform/prompt.h"
#include "report/print_job.h"
#include "report/print_options.h"
#include "view/results_paint.h"

namespace spanlab {

// Paints `doc` as the results view would at `width` x `height` with `state`'s toggles and
// selection, on a white background, into `path` (.png, .svg or .pdf). Returns an error
// message, or an empty text on success. Starts an offscreen Qt GUI application when none runs.
std::string WritePlot(CSPLX_30Doc& doc, ResultsViewState state, const std::string& path);

// Prints the report as the window prints it, into a PDF file: A4 or Letter paper, portrait or
// landscape, at 1200 dots per inch. `header` draws the header picture (may be empty). Returns
// an error message, or an empty text on success.
std::string WritePrintedReport(CSPLX_30Doc& doc, PrintOptions& options, Prompter& prompter,
                               const HeaderPainter& header, const std::string& path,
                               bool letter, bool landscape);

}  // namespace spanlab
