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
// The same on any target. `progress` (optional) is told how far the live-load envelope is and
// may stop it: the log is then empty with `cancelled` set, and the target holds no result of
// its lines.
RunLog RunModel(const RunTarget& target, const std::function<void(const std::string&)>& show,
                const EnvelopeProgress& progress = {});

// The analysis of the lines as they stand, without the checks (the command line's results of a
// plain file of lines). The log is empty; `analysed` is true (false, with `cancelled`, when
// `progress` stopped the envelope).
RunLog RunUnchecked(CSPLX_30Doc& doc);
RunLog RunUnchecked(const RunTarget& target, const EnvelopeProgress& progress = {});

// The analysis step of a run on items already built (CSPLX_30Doc::RunAnalysis on any target).
void RunAnalysis(const RunTarget& target, const EnvelopeProgress& progress = {});

// The runner a document is given (CSPLX_30Doc::SetRunner): the checked run of the window, or
// the unchecked one.
// `progress` (optional) is told how far each live-load envelope is (the command line's
// progress line); it may stop one, which leaves the run `cancelled`.
class ModelRunner : public LinesRunner {
 public:
  enum class Mode { kChecked, kUnchecked };
  explicit ModelRunner(Mode mode = Mode::kChecked, EnvelopeProgress progress = {})
      : m_mode(mode), m_progress(std::move(progress)) {}
  RunLog Run(CSPLX_30Doc& doc) override {
    return m_mode == Mode::kChecked ? RunModel(doc.Target(), {}, m_progress)
                                    : RunUnchecked(doc.Target(), m_progress);
  }

 private:
  Mode m_mode;
  EnvelopeProgress m_progress;
};

// A complete run of `lines` that touches no document: what a run off the window's thread hands
// back (CSPLX_30Doc::AdoptRun). Safe to call on any thread while `lines` stays unchanged.
LinesRunResult RunSnapshot(const std::vector<std::string>& lines, ModelRunner::Mode mode,
                        const EnvelopeProgress& progress = {});

// The sizes from which a run goes off the window's thread. A run costs about 2 microseconds a
// line (50,000 lines: 0.1 s), and a live-load envelope some 50 microseconds a span (2,000
// spans: 0.1 s), so either makes a run long.
struct LongRunSize {
  size_t lines = 50'000;
  size_t liveLoadSupports = 2'000;  // "Support" lines of a model with a "Live Load" line
};
// Whether the run of `lines` is a long one by `size` (counted by the lines' section prefixes).
// Load combinations multiply both sizes: each is one more solution, or one more envelope.
bool IsLongRun(const std::vector<std::string>& lines, const LongRunSize& size = {});

// The help keyword for a line of the run log: "Data Error Messages", "Format Error Messages",
// "Analysis Error Messages" or "Warning Messages" by the line's first seven characters after its
// leading blanks (only its first 50 characters are read); empty for any other line.
std::string HelpKeywordForLogLine(const std::string& line);

// " %3i Error(s), %3i Warning(s)" with the leading blanks of the formatted text removed:
// " 0 Error(s),   0 Warning(s)".
std::string CountsLine(int64_t errors, int64_t warnings);

}  // namespace spanlab
