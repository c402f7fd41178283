// ProgressLine: how far a long live-load envelope is, on standard error, for a person watching
// a terminal: "Envelope: 42%", rewritten in place (carriage return), and wiped when the
// envelope ends. Nothing at all is written when standard error is no terminal, or for an
// envelope that ends within the delay, so scripted outputs stay byte for byte the same.
#pragma once

#include <chrono>
#include <ostream>

#include "analysis/live_load.h"

namespace spanlab {

class ProgressLine {
 public:
  using Clock = std::chrono::steady_clock;
  // Writes to `out` when `terminal`, once `delay` has passed since the first progress call.
  ProgressLine(std::ostream& out, bool terminal, Clock::duration delay = std::chrono::milliseconds(500));
  // Writes to standard error when it is a terminal (isatty).
  ProgressLine();
  // Wipes the line if it is still shown (an envelope that stopped before its end).
  ~ProgressLine();
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

  // The callback to hand to the run (ModelRunner); empty when nothing is ever written. It
  // refers to this object, which must outlive the runs it is given to.
  EnvelopeProgress Callback();
  // One progress report at time `now` (the callback calls it with the clock's time). Always
  // returns true: the command line never stops an envelope.
  bool Report(double fraction, Clock::time_point now);

 private:
  void Wipe();

  std::ostream& m_out;
  bool m_terminal;
  Clock::duration m_delay;
  bool m_started = false;
  Clock::time_point m_start;
  int m_shownPercent = -1;  // -1: no line shown
};

}  // namespace spanlab
