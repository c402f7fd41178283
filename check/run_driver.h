// The run that follows every change of the model lines: format check of every line, items,
// data check, and the analysis when no error was found. Produces the log the output pane's
// Results box shows, line ends "\r\n".
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "model/document.h"

namespace spanlab {

struct RunLog {
  std::string text;      // the Results box text after the run
  int64_t errors = 0;    // format and data errors (analysis errors set the engine's m_bError)
  int64_t warnings = 0;
  bool analysed = false;  // the analysis ran
};

// Runs the checks and, when they pass, the analysis on `doc`. `show` (optional) receives the
// text each time the Results box would be updated: once before the analysis (ending with
// "Running Analysis") and once at the end. After any error the analysis object is Reset.
RunLog RunModel(CSPLX_30Doc& doc, const std::function<void(const std::string&)>& show = {});

// The help keyword for a line of the run log: "Data Error Messages", "Format Error Messages",
// "Analysis Error Messages" or "Warning Messages" by the line's first seven characters after its
// leading blanks (only its first 50 characters are read); empty for any other line.
std::string HelpKeywordForLogLine(const std::string& line);

// " %3i Error(s), %3i Warning(s)" with the leading blanks of the formatted text removed:
// " 0 Error(s),   0 Warning(s)".
std::string CountsLine(int64_t errors, int64_t warnings);

}  // namespace spanlab
