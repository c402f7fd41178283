// Print Preview and printing of the report with a progress box: a report of a large model runs
// to tens of thousands of pages, and the user can watch it and stop it.
#pragma once

#include <functional>

#include "view/qt_report_printer.h"

class QPrinter;
class QWidget;

namespace spanlab {

// Prints the report onto `target`, telling `progress` before each page (see PrintProgress).
using ReportPagesPrinter = std::function<void(QPrinter& target, const PrintProgress& progress)>;

// Runs `print` with a modal progress box ("Preparing page N of M", Cancel) over `parent`; the
// box appears only when the pages take more than a moment. Returns false when the user
// cancelled.
bool PrintWithProgress(QWidget* parent, const std::function<void(const PrintProgress&)>& print);

// The Print Preview dialog over `parent`, with `printer`'s paper and printer. The pages are
// drawn into a printer of the preview's own, so that they are freed when the preview closes;
// a page setup changed in the preview is kept in `printer`. Cancel in the progress box closes
// the preview.
void ShowPrintPreview(QPrinter& printer, QWidget* parent, const ReportPagesPrinter& print);

// Gives memory the program has freed back to the system (after a preview of many pages).
void ReleaseFreedMemory();

}  // namespace spanlab
