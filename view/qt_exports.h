// Pictures and PDF files written without a window: the results view's picture (PNG, SVG, PDF)
// and the printed report (PDF). A Qt GUI application must be running (fonts need one).
#pragma once

#include <QPageLayout>

#include <string>

#include "platform/prompt.h"
#include "report/print_options.h"
#include "run/document.h"
#include "view/print_job.h"
#include "view/results_paint.h"

namespace spanlab {

// Paints `doc` (a document, or the run the results view shows: CSPLX_30View::Shown) as the
// results view would at state.m_cxClient x state.m_cyClient with the
// state's toggles and selection, on white, into `path` (.png, .svg or .pdf by its ending).
// Returns an error message, or an empty text on success.
std::string WritePicture(const ModelRun& doc, ResultsViewState state, const std::string& path);

// The A4 or Letter page layout, portrait or landscape, with the report's minimum margins.
QPageLayout ReportPageLayout(bool letter, bool landscape);

// Prints the report as the window prints it into a PDF at 1200 dots per inch on `layout`.
// Returns an error message, or an empty text on success.
std::string WriteReportPdf(const CSPLX_30Doc& doc, PrintOptions& options, Prompter& prompter,
                           const HeaderPainter& header, const std::string& path,
                           const QPageLayout& layout);

}  // namespace spanlab
