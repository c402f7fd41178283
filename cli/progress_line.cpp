#include "cli/progress_line.h"

#include <unistd.h>

#include <iostream>
#include <string>

namespace spanlab {

namespace {
constexpr char kLabel[] = "Envelope: ";
}  // namespace

ProgressLine::ProgressLine(std::ostream& out, bool terminal, Clock::duration delay)
    : m_out(out), m_terminal(terminal), m_delay(delay) {}

ProgressLine::ProgressLine() : ProgressLine(std::cerr, isatty(STDERR_FILENO) == 1) {}

ProgressLine::~ProgressLine() { Wipe(); }

EnvelopeProgress ProgressLine::Callback() {
  if (!m_terminal) return {};
  return [this](double fraction) { return Report(fraction, Clock::now()); };
}

bool ProgressLine::Report(double fraction, Clock::time_point now) {
  if (!m_terminal) return true;
  if (!m_started) {  // a new envelope (a command may run more than one)
    m_started = true;
    m_start = now;
  }
  if (fraction >= 1) {
    Wipe();
    m_started = false;
    return true;
  }
  const int percent = static_cast<int>(fraction * 100);
  if (now - m_start < m_delay || percent == m_shownPercent) return true;
  m_shownPercent = percent;
  m_out << '\r' << kLabel << percent << '%' << std::flush;
  return true;
}

void ProgressLine::Wipe() {
  if (m_shownPercent < 0) return;
  m_out << '\r' << std::string(sizeof kLabel - 1 + 4, ' ') << '\r' << std::flush;
  m_shownPercent = -1;
}

}  // namespace spanlab
