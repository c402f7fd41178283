// Printing the report on a paged device: a printer, a print preview or a PDF file.
#pragma once

#include <QPagedPaintDevice>

#include <functional>

#include "platform/prompt.h"
#include "report/print_options.h"
#include "run/document.h"
#include "view/print_job.h"

namespace spanlab {

// Every page keeps at least this margin from the paper's edge (a PDF "printer" has no
// unprintable border of its own).
inline constexpr double kMinimumMarginMm = 10.0;

// Gives `device` margins of at least kMinimumMarginMm.
void EnsureMargins(QPagedPaintDevice& device);

// The page as the report layout sees it, in the device's units.
PrinterPage PageOf(QPagedPaintDevice& device);

// Told before each page is printed: the number of pages printed so far and the number to
// print. Returning false stops the printing there (the pages printed so far stay).
using PrintProgress = std::function<bool(int printed, int total)>;

// Prints pages `fromPage`..`toPage` (1-based; 0 for the last page) of the report. Returns the
// page count, 0 when the device could not be painted on.
int PrintReport(QPagedPaintDevice& device, const CSPLX_30Doc& doc, PrintOptions& options,
                Prompter* prompter, const HeaderPainter& header, int fromPage = 1,
                int toPage = 0, const PrintProgress& progress = {});

}  // namespace spanlab
