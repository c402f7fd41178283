// The run that follows every change of the model lines: format check of every line, items,
// data check, and the analysis when no error was found (the whole sequence, up to the views
// being told, is told at the top of run_driver.cpp). Produces the log the output pane's
// Results box shows, line ends "\r\n".
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "run/document.h"

namespace spanlab {

// Runs the checks and, when they pass, the analysis with its extremes on `doc`; the log lists the
// analysis's message lines and then the live-load envelope's, and `warnings` counts the
// analysis's warning lines (W3) with the data check's. `show`
// (optional) receives the log each time it grows a stage: once before the analysis (ending with
// "Running Analysis") and once at the end. After any error the analysis object is Reset.
RunLog RunModel(CSPLX_30Doc& doc, const std::function<void(const std::string&)>& show = {});

// The analysis of the lines as they stand, without the checks (the command line's results of a
// plain file of lines). The log is empty; `analysed` is true.
RunLog RunUnchecked(CSPLX_30Doc& doc);

// The runner a document is given (CSPLX_30Doc::SetRunner): the checked run of the window, or
// the unchecked one.
class ModelRunner : public LinesRunner {
 public:
  enum class Mode { kChecked, kUnchecked };
  explicit ModelRunner(Mode mode = Mode::kChecked) : m_mode(mode) {}
  RunLog Run(CSPLX_30Doc& doc) override {
    return m_mode == Mode::kChecked ? RunModel(doc) : RunUnchecked(doc);
  }

 private:
  Mode m_mode;
};

// The help keyword for a line of the run log: "Data Error Messages", "Format Error Messages",
// "Analysis Error Messages" or "Warning Messages" by the line's first seven characters after its
// leading blanks (only its first 50 characters are read); empty for any other line.
std::string HelpKeywordForLogLine(const std::string& line);

// " %3i Error(s), %3i Warning(s)" with the leading blanks of the formatted text removed:
// " 0 Error(s),   0 Warning(s)".
std::string CountsLine(int64_t errors, int64_t warnings);

}  // namespace spanlab
