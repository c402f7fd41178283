// The reports as plain text: for the clipboard and for report files.
#pragma once

#include <string>

#include "platform/file_access.h"
#include "platform/status.h"
#include "report/print_options.h"
#include "run/document.h"

namespace spanlab {

inline constexpr const char* kReportFileError = "Error - File could not be opened";

// The input data, summary and details reports that `options` switch on, in that order: each
// its title, an empty line, its lines (rule lines left out) indented by two blanks, and an
// empty line. Line ends "\r\n". The diagrams option plays no part. When the summary or the
// details are on, the appendix reports of the model (AppendixReports: the live-load envelope,
// or the strength and service envelopes, and the design checks) follow, each with its title.
std::string JoinedReportText(const ModelRun& run, const PrintOptions& options);

// The details table in tab-delimited form with the rows of `dataPoints` (0..3), rule lines
// left out, each line ended by "\r\n", then one more "\r\n".
std::string TabDelimitedDetailsText(const ModelRun& run, int dataPoints);

// The report file name offered for a document: its file name without folder and extension
// and ".rpt"; "untitled.rpt" for a document without a file.
std::string DefaultReportFileName(const std::string& documentPath);

// Writes the text to the report file (replacing it only once the text is complete), or
// straight into a named pipe, a device or /dev/stdout. Fails with kReportFileError.
Status WriteReportFile(FileAccess& files, const std::string& path, const std::string& text);

}  // namespace spanlab
